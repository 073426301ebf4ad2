#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

#include "canvas/canvas.h"

class QWidget;

namespace cbeam {

class UiServices;

// A drawing as a window shows it, to be made again as a picture: its size,
// its vertical scale and the stretch of the zoomed beam in view.
struct Picture {
    QSize size;                  // logical pixels
    double twipsPerUnitY = 1.0;  // twips per vertical canvas unit
    double fullWidth = 0;        // pixels of the zoomed drawing; 0: not zoomed
    double left = 0;             // pixels of it left of the visible stretch
    std::function<void(Canvas&)> draw;
};

// What a widget shows at the moment; nullopt when it shows no drawing of
// the present beam.
using PictureOf = std::function<std::optional<Picture>()>;

// The drawing in black on white, at `devicePixelRatio` device pixels per
// logical pixel; the image carries that ratio, and a resolution that prints
// it at its logical size on a 96 dpi screen.
QImage PictureImage(const Picture& picture, double devicePixelRatio);
// The drawing as SVG vector art, in black on white; empty when it failed.
QByteArray PictureSvg(const Picture& picture);

// Gives `widget` a context menu with "复制图形" (the clipboard gets the
// picture as an image at twice the screen's density and as SVG) and
// "保存图形…" (PNG or SVG by the name's extension, asked for through
// `services` and written atomically). The actions are the widget's own
// actions(), disabled in the menu while `picture` gives nothing.
// "保存图形…" of a picture: PNG or SVG by the name's extension, `preset`
// offered in the dialog.
void SavePicture(UiServices& services, const Picture& picture, double dpr,
                 const QString& preset = QStringLiteral("*.png"));

void AddPictureActions(QWidget* widget, UiServices& services, PictureOf picture);

}  // namespace cbeam
