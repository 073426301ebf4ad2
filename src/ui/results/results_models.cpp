#include "ui/results/results_models.h"

#include <algorithm>
#include <cmath>

#include "text/format.h"
#include "ui/common/controls.h"

namespace cbeam {

QString F3(double v) {
    return Q(Format(v, "0.000"));
}

QString Rotation(double v) {
    return Q(Format(v, "0.000E+00"));
}

QString Deflection(double mm) {
    const double size = std::fabs(mm);
    if (!(size >= 1e-9)) return QStringLiteral("0");
    const int digits = std::clamp(2 - static_cast<int>(std::floor(std::log10(size))), 0, 12);
    // Rounding can carry into a new digit (0.000999 to 0.00100).
    const double rounded = QString::number(mm, 'f', digits).toDouble();
    const int carried =
        std::fabs(rounded) >= std::pow(10.0, 3 - digits) && digits > 0 ? digits - 1 : digits;
    return QString::number(mm, 'f', carried);
}

QString Reaction(double r) {
    const QString shown = F3(r);
    return shown.startsWith(u'-') && shown != QStringLiteral("-0.000")
               ? shown + QStringLiteral(" (上拔)")
               : shown;
}

CellTable::CellTable(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)) {}

void CellTable::SetContents(int rows, Cell cell) {
    beginResetModel();
    m_rows = rows;
    m_cell = std::move(cell);
    endResetModel();
}

QString CellTable::TabSeparated() const {
    QString out = m_headers.join(u'\t') + u'\n';
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_headers.size(); ++c) {
            if (c > 0) out += u'\t';
            out += m_cell(r, c);
        }
        out += u'\n';
    }
    return out;
}

int CellTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int CellTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant CellTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows) return {};
    // The whole text for a cell too narrow for it (a long list of spans).
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return m_cell(index.row(), index.column());
    }
    if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CellTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return m_headers.value(section);
    return {};
}

}  // namespace cbeam
