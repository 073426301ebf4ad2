#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>

namespace cbeam {

// A read-only table whose cells are made only when a view asks for them, so
// that tens of thousands of rows cost nothing until they are scrolled to.
class CellTable : public QAbstractTableModel {
  public:
    using Cell = std::function<QString(int row, int column)>;
    explicit CellTable(QStringList headers, QObject* parent = nullptr);

    // New contents; 0 rows empties the table.
    void SetContents(int rows, Cell cell);
    QString Text(int row, int column) const { return m_cell(row, column); }
    // The headers and every row, cells separated by tabs, lines by "\n".
    QString TabSeparated() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QStringList m_headers;
    int m_rows = 0;
    Cell m_cell;
};

}  // namespace cbeam
