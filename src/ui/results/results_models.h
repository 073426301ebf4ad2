#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>

namespace cbeam {

// The tables' numbers: forces and moments with three decimals.
QString F3(double v);
// A rotation is a few thousandths of a radian or less: three decimals would
// show most of them as 0.000, so they keep three decimals of a mantissa.
QString Rotation(double v);
// Deflections run from metres to microns: three significant digits, so
// that a stiff beam's 0.0012 mm does not read 0.001.
QString Deflection(double mm);
// A support that holds the beam down is pulled up by it: marked 上拔.
QString Reaction(double r);

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
