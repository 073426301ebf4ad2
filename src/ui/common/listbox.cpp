#include "ui/common/listbox.h"

namespace cbeam {

ListBox::ListBox(QWidget* parent) : QListView(parent) {
    setModel(&m_model);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QString ListBox::Item(int row) const {
    return row >= 0 && row < Count() ? m_model.stringList().at(row) : QString();
}

void ListBox::Clear() {
    if (Count() > 0) m_model.setStringList({});
}

void ListBox::AddItem(const QString& text) {
    const int row = Count();
    m_model.insertRows(row, 1);
    m_model.setData(m_model.index(row), text);
}

void ListBox::SetItems(const QStringList& lines) {
    m_model.setStringList(lines);
}

void ListBox::SetItem(int row, const QString& text) {
    if (row < 0) return;
    if (row >= Count()) m_model.insertRows(Count(), row + 1 - Count());
    m_model.setData(m_model.index(row), text);
}

}  // namespace cbeam
