#include "ui/input/spantable.h"

#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <array>

#include "ui/common/controls.h"

namespace cbeam {

namespace {
constexpr std::array<int, 7> kLefts = {120, 1200, 2040, 3000, 3960, 4920, 5880};
}

SpanTable::SpanTable(QWidget* parent) {
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

void SpanTable::SetHeader(QLabel* header) {
    m_header = header;
    static const QRegularExpression word(QStringLiteral("\\S+"));
    for (const auto& m : word.globalMatch(header->text())) {
        auto* caption = new QLabel(m.captured(), header->parentWidget());
        caption->hide();
        m_captions.push_back(caption);
    }
}

void SpanTable::LayOut(int extra, int taller) {
    const int first = Px(kLefts.front()), width = Px(kLefts.back()) - first;
    const auto left = [&](std::size_t i) {
        const int at = Px(kLefts[i]);
        return at + static_cast<int>(static_cast<long long>(at - first) * extra / width);
    };
    const std::array<ListBox*, 6> columns = {ListI, ListEI, ListL, ListC, ListQ, ListA};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        columns[i]->setGeometry(left(i), Px(2040), left(i + 1) - left(i), Px(1290) + taller);
    }
    if (m_header == nullptr) return;
    m_header->setVisible(extra == 0);
    for (std::size_t i = 0; i < m_captions.size() && i < columns.size(); ++i) {
        QLabel* caption = m_captions[i];
        // As far into its column as the header's first caption.
        caption->setGeometry(left(i) + m_header->x() - first, m_header->y(),
                             caption->sizeHint().width(), m_header->height());
        caption->setVisible(extra != 0);
    }
}

void SpanTable::SetEmptyRows(int rows) {
    const QStringList empty(rows, QString());
    for (ListBox* list : {ListI, ListEI, ListL, ListC, ListQ, ListA}) list->SetItems(empty);
}

}  // namespace cbeam
