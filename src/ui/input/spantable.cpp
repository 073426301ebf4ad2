#include "ui/input/spantable.h"

#include <QScrollBar>
#include <array>

#include "ui/common/controls.h"

namespace cbeam {

SpanTable::SpanTable(QWidget* parent) {
    constexpr std::array<int, 7> kLefts = {120, 1200, 2040, 3000, 3960, 4920, 5880};
    std::array<ListBox**, 6> columns = {&ListI, &ListEI, &ListL, &ListC, &ListQ, &ListA};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        auto* list = new ListBox(parent);
        Place(list, kLefts[i], 2040, kLefts[i + 1] - kLefts[i], 1290);
        *columns[i] = list;
    }
    for (ListBox** a : columns) {
        for (ListBox** b : columns) {
            if (a == b) continue;
            QObject::connect((*a)->verticalScrollBar(), &QScrollBar::valueChanged,
                             (*b)->verticalScrollBar(), &QScrollBar::setValue);
        }
    }
}

void SpanTable::SetEmptyRows(int rows) {
    const QStringList empty(rows, QString());
    for (ListBox* list : {ListI, ListEI, ListL, ListC, ListQ, ListA}) list->SetItems(empty);
}

}  // namespace cbeam
