#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QString>
#include <string>

#include "canvas/canvas.h"

// The windows follow one event rule: a change that our own code makes to a
// text, a selection or an option runs the control's handler at once, nested,
// exactly as the user's change would, even when nothing changes. Qt emits
// nothing for an unchanged value and emits on its own when a first combo item
// arrives, so the windows make such changes with signals blocked and call the
// handler themselves.
namespace cbeam {

// Design positions are in twips, as canvases measure.
inline int Px(int twips) {
    return static_cast<int>(twips / kTwipsPerPixel + 0.5);
}

// Places a widget at a design position given in twips.
inline void Place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(Px(left), Px(top), Px(width), Px(height));
}

// A window of a fixed design size that deletes itself when closed.
// The program's own icon (a beam over three supports with its moment curve),
// in the sizes drawn for it.
inline QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/cbeam-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

inline void SetUpWindow(QWidget* w, const QString& name, const QString& title, int width,
                        int height) {
    w->setObjectName(name);
    w->setWindowIcon(ProgramIcon());
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle(title);
    w->setFixedSize(Px(width), Px(height));
}

// A captioned control (label, edit, button, option, frame) at a design position.
template <class W>
W* Make(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    auto* w = new W(text, parent);
    Place(w, left, top, width, height);
    return w;
}

// The core's texts are UTF-8.
inline QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

template <class Handler>
void SetText(QLineEdit* edit, const QString& text, Handler&& handler) {
    {
        const QSignalBlocker block(edit);
        edit->setText(text);
    }
    handler();
}

template <class Handler>
void SetListIndex(QComboBox* combo, int index, Handler&& handler) {
    {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(index);
    }
    handler();
}

// Switching an option on or off from code, without running any handler.
inline void SetOption(QAbstractButton* option, bool on) {
    const QSignalBlocker block(option);
    option->setChecked(on);
}

}  // namespace cbeam
