#pragma once

#include <QListView>
#include <QStringList>
#include <functional>
#include <memory>

namespace cbeam {

// A list box of text lines, with uniform item sizes so that a list of
// 32,767 lines is refilled in milliseconds. Its lines are either held or,
// for the longest lists, made when they are shown or read (SetLines).
class ListBox : public QListView {
  public:
    // Line `row` (0 first) of a list of made lines.
    using MakeLine = std::function<QString(int row)>;

    explicit ListBox(QWidget* parent = nullptr);
    ~ListBox() override;

    int Count() const;
    QString Item(int row) const;
    QStringList Items() const;
    void Clear();
    void AddItem(const QString& text);
    void SetItems(const QStringList& lines);
    // `count` lines, each made by `line` when it is needed.
    void SetLines(int count, MakeLine line);
    // Rewrites one line; rows past the end are added as needed.
    void SetItem(int row, const QString& text);

  private:
    class Model;
    std::unique_ptr<Model> m_model;
};

}  // namespace cbeam
