#pragma once

#include <QStringList>
#include <vector>

class QLabel;

#include "ui/common/listbox.h"

namespace cbeam {

// The six list boxes of the span table under the header "跨编号 EI(EI0) ...";
// row k-1 belongs to span k. They scroll together, as one table would.
struct SpanTable {
    explicit SpanTable(QWidget* parent);

    // Every column gets `rows` empty lines.
    void SetEmptyRows(int rows);
    // The header above the columns: one label of six captions, spaced with
    // blanks to stand over the columns at the design size.
    void SetHeader(QLabel* header);
    // The columns at their design places, `extra` pixels wider in all,
    // shared in proportion to their design widths, and `taller` pixels taller. A wider table gets a
    // label per caption in place of the header, so that the captions stay
    // over their columns.
    void LayOut(int extra, int taller = 0);

    ListBox* ListI = nullptr;
    ListBox* ListEI = nullptr;
    ListBox* ListL = nullptr;
    ListBox* ListC = nullptr;
    ListBox* ListQ = nullptr;
    ListBox* ListA = nullptr;

  private:
    QLabel* m_header = nullptr;
    std::vector<QLabel*> m_captions;
};

}  // namespace cbeam
