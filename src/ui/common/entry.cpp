#include "ui/common/entry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>

#include "ui/common/controls.h"

namespace cbeam {

namespace {

class SelectOnEntry : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* edit = static_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
            m_clicked = why == Qt::MouseFocusReason;
            if (why == Qt::TabFocusReason || why == Qt::BacktabFocusReason) edit->selectAll();
        } else if (event->type() == QEvent::MouseButtonRelease && m_clicked) {
            // After the press has placed the cursor; a text dragged over
            // keeps the part the user chose.
            m_clicked = false;
            if (!edit->hasSelectedText()) edit->selectAll();
        }
        return false;
    }

  private:
    bool m_clicked = false;
};

class NumberSearch : public QObject {
  public:
    NumberSearch(QComboBox* combo, std::function<void()> picked)
        : QObject(combo), m_combo(combo), m_picked(std::move(picked)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() != 1 || text[0] < u'0' || text[0] > u'9' ||
            (key->modifiers() & ~Qt::KeypadModifier) != 0) {
            return false;
        }
        if (!m_typing.isValid() || m_typing.elapsed() > QApplication::keyboardInputInterval()) {
            m_digits.clear();
        }
        m_typing.start();
        m_digits += text;
        // A number past the last span starts a new one with this digit.
        if (m_digits.toInt() < 1 || m_digits.toInt() > m_combo->count()) m_digits = text;
        const int span = m_digits.toInt();
        if (span >= 1 && span <= m_combo->count()) {
            if (watched == m_combo->view()) {  // the open list: only move its cursor
                m_combo->view()->setCurrentIndex(m_combo->model()->index(span - 1, 0));
            } else {
                SetListIndex(m_combo, span - 1, m_picked);
            }
        }
        return true;
    }

  private:
    QComboBox* m_combo;
    std::function<void()> m_picked;
    QString m_digits;
    QElapsedTimer m_typing;
};

}  // namespace

void SelectAllOnEntry(QLineEdit* edit) {
    edit->installEventFilter(new SelectOnEntry(edit));
}

void PickSpanByNumber(QComboBox* combo, std::function<void()> picked) {
    auto* search = new NumberSearch(combo, std::move(picked));
    combo->installEventFilter(search);
    combo->view()->installEventFilter(search);
}

int FitWidth(const QLineEdit* edit, const QString& text, int designTwips) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    option.state |= QStyle::State_Sunken;
    const QFontMetrics& fm = edit->fontMetrics();
    const QMargins margins = edit->textMargins();
    // QLineEdit scrolls unless the text, one pixel for the cursor and its
    // margin of 2 on each side fit inside the frame.
    const QSize content(fm.horizontalAdvance(text) + 1 + 2 * 2 + margins.left() + margins.right(),
                        fm.height());
    const int least =
        edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, content, edit).width();
    return std::max(Px(designTwips), least);
}

int FitWidth(const QComboBox* combo, const QString& text, int designTwips) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    const QFontMetrics& fm = combo->fontMetrics();
    const QSize content(std::max(fm.horizontalAdvance(text), fm.boundingRect(text).width()),
                        std::max(static_cast<int>(std::ceil(QFontMetricsF(fm).height())), 14) + 2);
    const int least =
        combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, combo).width();
    return std::max(Px(designTwips), least);
}

}  // namespace cbeam
