#pragma once

#include <QObject>
#include <QString>
#include <vector>

class QLabel;
class QLineEdit;

namespace cbeam {

class UiServices;

// A text that is a number still being typed: empty, a sign or a point
// alone, a mantissa waiting for its exponent ("1e", "2.5E-").
bool IsIncompleteNumber(const QString& text);

// What is wrong with an accepted text: empty when it reads wholly as a number.
QString TextProblem(const QString& text, double value);

// The typed fields of a window say what is wrong with them until it is
// mended: a red frame, the reason as tooltip and on the window's problem
// line. A refusal is never shown as a modal box while the user types: it
// would take the keys typed next. A number still being typed is only
// marked, and told when the field is left while still refused.
class FieldMarks : public QObject {
  public:
    FieldMarks(UiServices& services, QLabel* line, QObject* parent);

    void Watch(QLineEdit* field);
    // The field's text was accepted and read as `value`.
    void Accept(QLineEdit* field, double value);
    // The field's text was refused with `message`.
    void Refuse(QLineEdit* field, const QString& message);
    // Marks the field with `problem` without telling it; empty clears.
    void Mark(QLineEdit* field, const QString& problem);
    QString Problem(const QLineEdit* field) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Entry {
        QLineEdit* field;
        QString problem;
        QString held;  // a refusal to tell when the field is left
    };
    Entry* Find(const QLineEdit* field);
    void ShowLine();

    UiServices& m_services;
    QLabel* m_line;
    std::vector<Entry> m_entries;
};

}  // namespace cbeam
