#include "ui/common/picture_actions.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QWidget>
#include <cmath>

#include "canvas/image_canvas.h"
#include "canvas/svg_canvas.h"
#include "canvas/view_canvas.h"
#include "files/safe_write.h"
#include "ui/common/services.h"

namespace cbeam {
namespace {

constexpr double kInchesPerMeter = 1 / 0.0254;
// SVG pictures hold the detail of the image, half a screen pixel: a long
// beam's picture with every primitive runs to tens of megabytes.
constexpr double kSvgDetail = 2;
constexpr double kScreenDpi = 96;

// Pictures go into documents: black on white, whatever the desktop theme.
void DrawOnPaper(const Picture& picture, QtCanvas& canvas) {
    canvas.SetForeground(Qt::black);
    canvas.SetBackground(Qt::white);
    canvas.Clear();
    const double unitsPerPixel = canvas.ScaleWidth() / std::max(1, picture.size.width());
    const double full = std::max<double>(picture.fullWidth, picture.size.width());
    ViewCanvas view(canvas, full * unitsPerPixel, picture.left * unitsPerPixel);
    picture.draw(view);
}

// The file kind a name asks for; a name without an extension gets the one
// of the chosen file type (0: PNG, 1: SVG).
struct Target {
    QString name;
    bool svg = false;
    bool known = true;
};

Target TargetOf(const QString& path, int chosenFilter) {
    const QFileInfo file(path);
    if (!file.fileName().contains(u'.')) {
        const bool svg = chosenFilter == 1;
        return {path + (svg ? QStringLiteral(".svg") : QStringLiteral(".png")), svg};
    }
    const QString suffix = file.suffix().toLower();
    return {path, suffix == u"svg", suffix == u"svg" || suffix == u"png"};
}


}  // namespace

QImage PictureImage(const Picture& picture, double devicePixelRatio) {
    ImageCanvas canvas(picture.size, picture.twipsPerUnitY, devicePixelRatio);
    DrawOnPaper(picture, canvas);
    QImage image = canvas.Image();
    const int dotsPerMeter =
        static_cast<int>(std::lround(devicePixelRatio * kScreenDpi * kInchesPerMeter));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

QByteArray PictureSvg(const Picture& picture) {
    return SvgBytes(picture.size, picture.twipsPerUnitY, kSvgDetail,
                    [&picture](SvgCanvas& canvas) { DrawOnPaper(picture, canvas); });
}

void SavePicture(UiServices& services, const Picture& picture, double dpr, const QString& preset) {
    int chosen = 0;
    const std::optional<QString> path =
        services.SaveFile(preset,
                          QStringLiteral("PNG 图片(*.png)|*.png|SVG 图形(*.svg)|*.svg"), &chosen);
    if (!path) return;
    const Target target = TargetOf(*path, chosen);
    if (!target.known) {
        RefuseCommand(services, Command::Picture, Status{Code::UnknownPictureKind});
        return;
    }
    const QByteArray bytes =
        target.svg ? PictureSvg(picture) : PngBytes(PictureImage(picture, 2 * dpr));
    if (bytes.isEmpty()) {
        Refuse(services, QString::fromStdString(LeadIn(Command::Picture) + "\n" +
                                                MessageText(Status{Code::ImageNotSaved})) +
                             target.name);
        return;
    }
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (const Status r = WriteFileSafely(LocalPath(target.name), view); !r) {
        RefuseCommand(services, Command::Picture, r);
    }
}

void AddPictureActions(QWidget* widget, UiServices& services, PictureOf picture) {
    auto* copy = new QAction(QStringLiteral("复制图形"), widget);
    auto* save = new QAction(QStringLiteral("保存图形…"), widget);
    QObject::connect(copy, &QAction::triggered, widget, [widget, picture] {
        const std::optional<Picture> shown = picture();
        if (!shown) return;
        auto* data = new QMimeData;
        data->setImageData(PictureImage(*shown, 2 * widget->devicePixelRatioF()));
        data->setData(QStringLiteral("image/svg+xml"), PictureSvg(*shown));
        QGuiApplication::clipboard()->setMimeData(data);
    });
    QObject::connect(save, &QAction::triggered, widget, [widget, &services, picture] {
        if (const std::optional<Picture> shown = picture()) {
            SavePicture(services, *shown, widget->devicePixelRatioF());
        }
    });
    widget->addAction(copy);
    widget->addAction(save);
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, widget,
                     [widget, picture](const QPoint& at) {
                         const bool shown = picture().has_value();
                         for (QAction* action : widget->actions()) action->setEnabled(shown);
                         QMenu::exec(widget->actions(), widget->mapToGlobal(at), nullptr, widget);
                     });
}

}  // namespace cbeam
