#include "ui/common/listbox.h"

#include <QAbstractListModel>

namespace cbeam {

// Held lines, or a count and the function that makes them; a held line
// written into a list of made lines makes them all first.
class ListBox::Model : public QAbstractListModel {
  public:
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : Count();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
        return Line(index.row());
    }

    int Count() const { return m_make ? m_count : static_cast<int>(m_lines.size()); }
    QString Line(int row) const {
        if (row < 0 || row >= Count()) return {};
        return m_make ? m_make(row) : m_lines.at(row);
    }
    QStringList Lines() const {
        if (!m_make) return m_lines;
        QStringList all;
        all.reserve(m_count);
        for (int row = 0; row < m_count; ++row) all << m_make(row);
        return all;
    }
    void Reset(QStringList lines, int count = 0, MakeLine make = {}) {
        beginResetModel();
        m_lines = std::move(lines);
        m_count = count;
        m_make = std::move(make);
        endResetModel();
    }
    void Set(int row, const QString& text) {
        if (m_make) Reset(Lines());
        if (row >= Count()) {
            beginInsertRows({}, Count(), row);
            while (m_lines.size() <= row) m_lines << QString();
            endInsertRows();
        }
        m_lines[row] = text;
        emit dataChanged(index(row), index(row));
    }

  private:
    QStringList m_lines;
    int m_count = 0;
    MakeLine m_make;
};

ListBox::ListBox(QWidget* parent) : QListView(parent), m_model(std::make_unique<Model>()) {
    setModel(m_model.get());
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

ListBox::~ListBox() {
    setModel(nullptr);
}

int ListBox::Count() const {
    return m_model->Count();
}

QString ListBox::Item(int row) const {
    return m_model->Line(row);
}

QStringList ListBox::Items() const {
    return m_model->Lines();
}

void ListBox::Clear() {
    if (Count() > 0) m_model->Reset({});
}

void ListBox::AddItem(const QString& text) {
    m_model->Set(Count(), text);
}

void ListBox::SetItems(const QStringList& lines) {
    m_model->Reset(lines);
}

void ListBox::SetLines(int count, MakeLine line) {
    m_model->Reset({}, count, std::move(line));
}

void ListBox::SetItem(int row, const QString& text) {
    if (row >= 0) m_model->Set(row, text);
}

}  // namespace cbeam
