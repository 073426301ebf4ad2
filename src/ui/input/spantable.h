#pragma once

#include <QStringList>

#include "ui/common/listbox.h"

namespace cbeam {

// The six list boxes of the span table under the header "跨编号 EI(EI0) ...";
// row k-1 belongs to span k. They scroll together, as one table would.
struct SpanTable {
    explicit SpanTable(QWidget* parent);

    // Every column gets `rows` empty lines.
    void SetEmptyRows(int rows);
    // The columns at their design places, `extra` pixels wider in all,
    // shared in proportion to their design widths.
    void LayOut(int extra);

    ListBox* ListI = nullptr;
    ListBox* ListEI = nullptr;
    ListBox* ListL = nullptr;
    ListBox* ListC = nullptr;
    ListBox* ListQ = nullptr;
    ListBox* ListA = nullptr;
};

}  // namespace cbeam
