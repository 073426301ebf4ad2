#include "canvas/qt_canvas.h"

#include <QFontMetricsF>
#include <QPen>
#include <QRectF>
#include <algorithm>
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

// Widths remembered before the memory starts afresh.
constexpr std::size_t kMaxWidths = 4096;

// Held-back lines are drawn at the latest when this many have gathered.
constexpr std::size_t kMaxPending = 8192;

bool Finite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Cuts a line in logical pixels to the rectangle around the surface that
// `room` leaves (Liang-Barsky); false when nothing of it is left. The paint
// engine is not made for coordinates far beyond its surface, and a wild
// label or moment can put them there.
bool ClipTo(QSizeF room, QLineF& line) {
    const double x1 = line.x1(), y1 = line.y1(), dx = line.dx(), dy = line.dy();
    if (!Finite(x1, y1, dx, dy)) return false;
    const double lox = -room.width(), hix = 2 * room.width();
    const double loy = -room.height(), hiy = 2 * room.height();
    if (x1 >= lox && x1 <= hix && line.x2() >= lox && line.x2() <= hix && y1 >= loy && y1 <= hiy &&
        line.y2() >= loy && line.y2() <= hiy) {
        return true;
    }
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - lox, hix - x1, y1 - loy, hiy - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    line = QLineF(x1 + t0 * dx, y1 + t0 * dy, x1 + t1 * dx, y1 + t1 * dy);
    return std::isfinite(line.x1()) && std::isfinite(line.x2()) && std::isfinite(line.y1()) &&
           std::isfinite(line.y2());
}

}  // namespace

QtCanvas::QtCanvas(QSize logicalSize, double twipsPerVerticalUnit, double devicePixelRatio)
    : m_size(logicalSize),
      m_vertical(std::isfinite(twipsPerVerticalUnit) && twipsPerVerticalUnit > 0
                     ? twipsPerVerticalUnit
                     : 1.0),
      m_dpr(std::isfinite(devicePixelRatio) && devicePixelRatio > 0 ? devicePixelRatio : 1.0),
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
    m_metrics.reset();
    m_widths.clear();
    ++m_fontSerial;
}

double QtCanvas::ScaleWidth() const {
    return m_size.width() * kTwipsPerPixel;
}

double QtCanvas::ScaleHeight() const {
    return m_size.height() * kTwipsPerPixel / m_vertical;
}

DeviceScale QtCanvas::Resolution() const {
    return {m_dpr / kTwipsPerPixel, m_dpr * m_vertical / kTwipsPerPixel};
}

DeviceScale QtCanvas::LabelScale() const {
    return QtCanvas::Resolution();
}

QPointF QtCanvas::ToPixels(double x, double y) const {
    return {x / kTwipsPerPixel, y * m_vertical / kTwipsPerPixel};
}

void QtCanvas::Pend(QLineF line, const QColor& colour) {
    if (!ClipTo(QSizeF(m_size) + QSizeF(1, 1), line)) return;
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
    const QPointF a = ToPixels(x1, y1), b = ToPixels(x2, y2);
    const QColor c = ToQColor(colour);
    QLineF diagonal(a, b);
    if (ClipTo(QSizeF(m_size) + QSizeF(1, 1), diagonal) && diagonal == QLineF(a, b)) {
        Flush();
        QPainter& p = Painter();
        if (!p.isActive()) return;
        p.setPen(OnePixel(c));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(a, b).normalized());
        return;
    }
    // An outline reaching far off goes as four lines, cut like any line.
    Pend(QLineF(a.x(), a.y(), b.x(), a.y()), c);
    Pend(QLineF(b.x(), a.y(), b.x(), b.y()), c);
    Pend(QLineF(b.x(), b.y(), a.x(), b.y()), c);
    Pend(QLineF(a.x(), b.y(), a.x(), a.y()), c);
}

void QtCanvas::Circle(float x, float y, float r) {
    Flush();
    QPainter& p = Painter();
    if (!p.isActive()) return;
    p.setPen(OnePixel(m_foreground));
    p.setBrush(Qt::NoBrush);
    const double radius = std::fabs(r) / kTwipsPerPixel;  // horizontal units: stays round
    const QPointF centre = ToPixels(x, y);
    // A circle far larger than the picture, or far off it, is no symbol of
    // these drawings.
    const double far = 2.0 * (m_size.width() + m_size.height());
    if (!(radius <= far) || !(std::fabs(centre.x()) <= 2 * far) ||
        !(std::fabs(centre.y()) <= 2 * far)) {
        return;
    }
    p.drawEllipse(centre, radius, radius);
}

double QtCanvas::TextWidth(std::string_view text) const {
    std::string key(text);
    if (const auto it = m_widths.find(key); it != m_widths.end()) return it->second;
    if (!m_metrics) m_metrics.emplace(m_font);
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    // The ink may reach past the advance (italic, a wide last glyph).
    const double pixels =
        std::max(m_metrics->horizontalAdvance(s), m_metrics->boundingRect(s).right());
    const double width = std::isfinite(pixels) && pixels > 0 ? pixels * kTwipsPerPixel : 0;
    // Values edited one after another would otherwise gather without end.
    if (m_widths.size() >= kMaxWidths) m_widths.clear();
    m_widths.emplace(std::move(key), width);
    return width;
}

void QtCanvas::Print(float x, float y, std::string_view text) {
    Flush();
    QPainter& p = Painter();
    if (!p.isActive()) return;
    const QPointF at = ToPixels(x, y);
    const double far = 2.0 * (m_size.width() + m_size.height());
    if (!(std::fabs(at.x()) <= far) || !(std::fabs(at.y()) <= far)) return;
    if (!m_ascentKnown) {
        m_ascent = QFontMetricsF(m_font).ascent();
        m_ascentKnown = true;
    }
    p.setPen(m_foreground);
    p.setFont(m_font);
    p.setBackgroundMode(Qt::TransparentMode);
    p.drawText(QPointF(at.x(), at.y() + m_ascent),
               QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace cbeam
