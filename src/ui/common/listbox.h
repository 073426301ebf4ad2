#pragma once

#include <QListView>
#include <QStringList>
#include <QStringListModel>

namespace cbeam {

// A list box of text lines. Built on a string model with uniform item sizes
// so that a list of 32,767 lines is refilled in milliseconds.
class ListBox : public QListView {
  public:
    explicit ListBox(QWidget* parent = nullptr);

    int Count() const { return static_cast<int>(m_model.rowCount()); }
    QString Item(int row) const;
    QStringList Items() const { return m_model.stringList(); }
    void Clear();
    void AddItem(const QString& text);
    void SetItems(const QStringList& lines);
    // Rewrites one line; rows past the end are added as needed.
    void SetItem(int row, const QString& text);

  private:
    QStringListModel m_model;
};

}  // namespace cbeam
