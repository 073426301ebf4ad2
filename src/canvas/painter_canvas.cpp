#include "canvas/painter_canvas.h"

#include <QFontMetricsF>
#include <QPen>
#include <QRectF>
#include <cmath>

namespace cbeam {
namespace {

QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// One pixel wide at any scale: the picture boxes draw with the platform's
// default line.
QPen OnePixel(const QColor& colour) {
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    return pen;
}

// Held-back lines are drawn at the latest when this many have gathered.
constexpr std::size_t kMaxPending = 8192;

}  // namespace

QtCanvas::QtCanvas(QSize logicalSize, double twipsPerVerticalUnit)
    : m_size(logicalSize),
      m_vertical(std::isfinite(twipsPerVerticalUnit) && twipsPerVerticalUnit > 0
                     ? twipsPerVerticalUnit
                     : 1.0),
      m_font(DefaultFont()) {}

QtCanvas::~QtCanvas() = default;

QFont QtCanvas::DefaultFont() {
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    return font;
}

void QtCanvas::SetFont(const QFont& font) {
    m_font = font;
    m_ascentKnown = false;
}

double QtCanvas::ScaleWidth() const {
    return m_size.width() * kTwipsPerPixel;
}

double QtCanvas::ScaleHeight() const {
    return m_size.height() * kTwipsPerPixel / m_vertical;
}

QPointF QtCanvas::ToPixels(double x, double y) const {
    return {x / kTwipsPerPixel, y * m_vertical / kTwipsPerPixel};
}

void QtCanvas::Pend(const QLineF& line, const QColor& colour) {
    if (!m_pending.empty() && (colour != m_pendingColour || m_pending.size() >= kMaxPending)) {
        Flush();
    }
    m_pendingColour = colour;
    m_pending.push_back(line);
}

void QtCanvas::Flush() {
    if (m_pending.empty()) return;
    QPainter& p = Painter();
    if (p.isActive()) {
        p.setPen(OnePixel(m_pendingColour));
        p.drawLines(m_pending.data(), static_cast<int>(m_pending.size()));
    }
    m_pending.clear();
}

void QtCanvas::Line(float x1, float y1, float x2, float y2) {
    Pend(QLineF(ToPixels(x1, y1), ToPixels(x2, y2)), m_foreground);
}

void QtCanvas::Line(float x1, float y1, float x2, float y2, Rgb colour) {
    Pend(QLineF(ToPixels(x1, y1), ToPixels(x2, y2)), ToQColor(colour));
}

void QtCanvas::Box(float x1, float y1, float x2, float y2, Rgb colour) {
    Flush();
    QPainter& p = Painter();
    if (!p.isActive()) return;
    p.setPen(OnePixel(ToQColor(colour)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(ToPixels(x1, y1), ToPixels(x2, y2)).normalized());
}

void QtCanvas::Circle(float x, float y, float r) {
    Flush();
    QPainter& p = Painter();
    if (!p.isActive()) return;
    p.setPen(OnePixel(m_foreground));
    p.setBrush(Qt::NoBrush);
    const double radius = std::fabs(r) / kTwipsPerPixel;  // horizontal units: stays round
    p.drawEllipse(ToPixels(x, y), radius, radius);
}

void QtCanvas::Print(float x, float y, std::string_view text) {
    Flush();
    QPainter& p = Painter();
    if (!p.isActive()) return;
    if (!m_ascentKnown) {
        m_ascent = QFontMetricsF(m_font).ascent();
        m_ascentKnown = true;
    }
    p.setPen(m_foreground);
    p.setFont(m_font);
    p.setBackgroundMode(Qt::TransparentMode);
    const QPointF at = ToPixels(x, y);
    p.drawText(QPointF(at.x(), at.y() + m_ascent),
               QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

PainterCanvas::PainterCanvas(QSize logicalSize, double twipsPerVerticalUnit,
                             double devicePixelRatio)
    : QtCanvas(logicalSize, twipsPerVerticalUnit) {
    const double dpr =
        std::isfinite(devicePixelRatio) && devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    if (logicalSize.width() > 0 && logicalSize.height() > 0) {
        const QSize device(static_cast<int>(std::ceil(logicalSize.width() * dpr)),
                           static_cast<int>(std::ceil(logicalSize.height() * dpr)));
        m_image = QImage(device, QImage::Format_ARGB32_Premultiplied);
        m_image.setDevicePixelRatio(dpr);
        m_image.fill(Background());
    }
}

PainterCanvas::~PainterCanvas() = default;

QPainter& PainterCanvas::Painter() {
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>();
        if (!m_image.isNull()) m_painter->begin(&m_image);
    }
    return *m_painter;
}

void PainterCanvas::End() {
    Flush();
    m_painter.reset();
}

void PainterCanvas::Clear() {
    DropPending();
    m_painter.reset();
    if (!m_image.isNull()) m_image.fill(Background());
}

const QImage& PainterCanvas::Image() {
    End();
    return m_image;
}

}  // namespace cbeam
