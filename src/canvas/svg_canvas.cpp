#include "canvas/svg_canvas.h"

#include <QBuffer>
#include <QSvgGenerator>

namespace cbeam {
namespace {

std::unique_ptr<QSvgGenerator> Generator(QSize size) {
    auto g = std::make_unique<QSvgGenerator>();
    g->setSize(size);
    g->setViewBox(QRect(QPoint(0, 0), size));
    g->setResolution(96);
    g->setTitle(QStringLiteral("cbeam"));
    return g;
}

}  // namespace

SvgCanvas::SvgCanvas(const QString& fileName, QSize logicalSize, double twipsPerVerticalUnit)
    : QtCanvas(logicalSize, twipsPerVerticalUnit), m_generator(Generator(logicalSize)) {
    m_generator->setFileName(fileName);
}

SvgCanvas::SvgCanvas(QIODevice* device, QSize logicalSize, double twipsPerVerticalUnit,
                     double detail)
    : QtCanvas(logicalSize, twipsPerVerticalUnit),
      m_generator(Generator(logicalSize)),
      m_detail(detail) {
    m_generator->setOutputDevice(device);
}

DeviceScale SvgCanvas::Resolution() const {
    if (!(m_detail > 0)) return {};
    return {m_detail / kTwipsPerPixel, m_detail * TwipsPerVerticalUnit() / kTwipsPerPixel};
}

SvgCanvas::~SvgCanvas() {
    Finish();
}

QPainter& SvgCanvas::Painter() {
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>();
        if (!m_finished) m_painter->begin(m_generator.get());
    }
    return *m_painter;
}

void SvgCanvas::Clear() {
    DropPending();
    QPainter& p = Painter();
    if (!p.isActive()) return;
    p.fillRect(QRect(QPoint(0, 0), LogicalSize()), Background());
}

bool SvgCanvas::Finish() {
    if (m_finished) return m_written;
    Flush();
    QPainter& p = Painter();
    m_written = p.isActive() && p.end();
    m_finished = true;
    m_painter.reset();
    return m_written;
}

QByteArray SvgBytes(QSize logicalSize, double twipsPerVerticalUnit, double detail,
                    const std::function<void(SvgCanvas&)>& draw) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    SvgCanvas canvas(&buffer, logicalSize, twipsPerVerticalUnit, detail);
    draw(canvas);
    return canvas.Finish() ? bytes : QByteArray();
}

}  // namespace cbeam
