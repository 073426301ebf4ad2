#include "ui/common/fieldmarks.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <algorithm>

#include "text/status.h"
#include "ui/common/services.h"

namespace cbeam {

bool IsIncompleteNumber(const QString& text) {
    // A prefix of a whole number that is not one itself.
    static const QRegularExpression partial(
        QStringLiteral(R"(^\s*[+-]?(\.?|\d+\.?\d*[eE][+-]?|\.\d+[eE][+-]?)\s*$)"));
    return partial.match(text).hasMatch();
}

QString TextProblem(const QString& text, double value) {
    // The whole of a decimal number, as the reading rules take it.
    static const QRegularExpression whole(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    if (whole.match(text).hasMatch()) return {};
    if (text.trimmed().isEmpty()) {
        return QString::fromStdString(MessageText(Status{Code::NumberMissing}));
    }
    return QString::fromStdString(
        MessageText(Status{.code = Code::IncompleteNumber,
                           .text = text.toStdString(),
                           .taken = QString::number(value, 'g', 15).toStdString()}));
}

FieldMarks::FieldMarks(UiServices& services, QLabel* line, QObject* parent)
    : QObject(parent), m_services(services), m_line(line) {
    if (m_line != nullptr) {
        m_line->setStyleSheet(QStringLiteral("color: #b00000"));
        m_line->hide();
    }
}

void FieldMarks::Watch(QLineEdit* field) {
    m_entries.push_back({field, {}, {}});
    field->installEventFilter(this);
}

FieldMarks::Entry* FieldMarks::Find(const QLineEdit* field) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [field](const Entry& e) { return e.field == field; });
    return it == m_entries.end() ? nullptr : &*it;
}

QString FieldMarks::Problem(const QLineEdit* field) const {
    for (const Entry& e : m_entries) {
        if (e.field == field) return e.problem;
    }
    return {};
}

void FieldMarks::Accept(QLineEdit* field, double value) {
    Mark(field, TextProblem(field->text(), value));
}

void FieldMarks::Refuse(QLineEdit* field, const QString& message) {
    Mark(field, message);
    Entry* e = Find(field);
    if (e != nullptr && IsIncompleteNumber(field->text()) && field->hasFocus()) {
        e->held = message;
        return;
    }
    RefuseTyped(m_services, message);
}

void FieldMarks::Mark(QLineEdit* field, const QString& problem) {
    Entry* e = Find(field);
    if (e == nullptr) return;
    e->held.clear();
    if (e->problem == problem) return;
    // The box that told the problem goes with it.
    if (problem.isEmpty()) m_services.EndNotice();
    e->problem = problem;
    field->setToolTip(problem);
    field->setStyleSheet(
        problem.isEmpty() ? QString() : QStringLiteral("QLineEdit { border: 2px solid red; }"));
    ShowLine();
}

void FieldMarks::ShowLine() {
    if (m_line == nullptr) return;
    for (const Entry& e : m_entries) {
        if (!e.problem.isEmpty()) {
            m_line->setText(e.problem);
            m_line->show();
            m_line->raise();
            return;
        }
    }
    m_line->clear();
    m_line->hide();
}

bool FieldMarks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusOut) return false;
    // Only when the user leaves the field: a box or a menu taking the
    // focus for a moment is not leaving it.
    const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
    if (why == Qt::PopupFocusReason || why == Qt::ActiveWindowFocusReason) return false;
    Entry* e = Find(static_cast<QLineEdit*>(watched));
    if (e == nullptr || e->held.isEmpty()) return false;
    const QString held = std::exchange(e->held, QString());
    RefuseTyped(m_services, held);
    return false;
}

}  // namespace cbeam
