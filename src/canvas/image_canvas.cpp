#include "canvas/image_canvas.h"

#include <QBuffer>
#include <cmath>

namespace cbeam {
namespace {

// Labels kept laid out; a picture shows a few hundred at most.
constexpr std::size_t kMaxLabels = 1024;

std::uint32_t Opaque(Rgb c) {
    return 0xFF000000u | (c.r << 16) | (c.g << 8) | c.b;
}

}  // namespace

ImageCanvas::ImageCanvas(QSize logicalSize, double twipsPerVerticalUnit, double devicePixelRatio)
    : QtCanvas(logicalSize, twipsPerVerticalUnit, devicePixelRatio) {
    m_sx = Resolution().x;
    m_sy = Resolution().y;
    const double dpr = m_sx * kTwipsPerPixel;
    if (logicalSize.width() > 0 && logicalSize.height() > 0) {
        const QSize device(static_cast<int>(std::ceil(logicalSize.width() * dpr)),
                           static_cast<int>(std::ceil(logicalSize.height() * dpr)));
        m_image = QImage(device, QImage::Format_ARGB32_Premultiplied);
        m_image.setDevicePixelRatio(dpr);
        m_image.fill(Background());
    }
}

ImageCanvas::~ImageCanvas() = default;

QPainter& ImageCanvas::Painter() {
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>();
        if (!m_image.isNull()) {
            Raster();  // detaches the pixels first, as the raster writes them too
            m_painter->begin(&m_image);
        }
    }
    return *m_painter;
}

PixelRaster& ImageCanvas::Raster() {
    if (!m_raster.Attached() && !m_image.isNull()) {
        auto* bits = reinterpret_cast<std::uint32_t*>(m_image.bits());
        m_raster.Attach(bits, m_image.width(), m_image.height(),
                        static_cast<int>(m_image.bytesPerLine() / 4));
    }
    return m_raster;
}

void ImageCanvas::Clear() {
    DropPending();
    m_painter.reset();
    if (!m_image.isNull()) {
        Raster();
        m_image.fill(Background());
    }
}

void ImageCanvas::Line(float x1, float y1, float x2, float y2) {
    Raster().Line(DX(x1), DY(y1), DX(x2), DY(y2), qPremultiply(Foreground().rgba()));
}

void ImageCanvas::Line(float x1, float y1, float x2, float y2, Rgb colour) {
    Raster().Line(DX(x1), DY(y1), DX(x2), DY(y2), Opaque(colour));
}

void ImageCanvas::Box(float x1, float y1, float x2, float y2, Rgb colour) {
    PixelRaster& r = Raster();
    const double a = DX(x1), b = DY(y1), c = DX(x2), d = DY(y2);
    const std::uint32_t pixel = Opaque(colour);
    r.Line(a, b, c, b, pixel);
    r.Line(a, d, c, d, pixel);
    r.Line(a, b, a, d, pixel);
    r.Line(c, b, c, d, pixel);
}

void ImageCanvas::Circle(float x, float y, float r) {
    // The radius is in horizontal units: the circle stays round.
    Raster().Circle(DX(x), DY(y), std::fabs(static_cast<double>(r)) * m_sx,
                    qPremultiply(Foreground().rgba()));
}

void ImageCanvas::Print(float x, float y, std::string_view text) {
    QPainter& p = Painter();
    if (!p.isActive()) return;
    const QPointF at = ToPixels(x, y);
    const double far = 2.0 * (LogicalSize().width() + LogicalSize().height());
    if (!(std::fabs(at.x()) <= far) || !(std::fabs(at.y()) <= far)) return;
    if (m_labelFont != FontSerial() || m_labels.size() >= kMaxLabels) {
        m_labels.clear();
        m_labelFont = FontSerial();
    }
    auto label = m_labels.find(std::string(text));
    if (label == m_labels.end()) {
        QStaticText s(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        s.setTextFormat(Qt::PlainText);
        s.setPerformanceHint(QStaticText::AggressiveCaching);
        label = m_labels.emplace(std::string(text), std::move(s)).first;
    }
    p.setPen(Foreground());
    p.setFont(Font());
    p.setBackgroundMode(Qt::TransparentMode);
    p.drawStaticText(at, label->second);
}

const QImage& ImageCanvas::Image() {
    Flush();
    m_painter.reset();
    m_raster.Detach();
    return m_image;
}

QByteArray PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") ? bytes : QByteArray();
}

}  // namespace cbeam
