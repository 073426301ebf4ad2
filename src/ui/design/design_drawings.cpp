#include "ui/design/design_drawings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "drawing/beam_schematic.h"
#include "drawing/envelope_drawing.h"
#include "drawing/influence_drawing.h"
#include "ui/common/picture_actions.h"
#include "ui/results/diagramview.h"

namespace cbeam {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// More spans than this in one drawing are a band no one reads, and cost
// more than a keystroke may: a longer beam is seen a stretch at a time.
constexpr int kMostSpansDrawn = 120;
// A long beam opens showing this many spans.
constexpr int kSpansAtFirst = 12;

// A case alone: a permanent one as it stands, a variable one where it
// makes things worse.
Combination CaseAlone(const LoadCase& c) {
    const double favourable = c.kind == CaseKind::Permanent ? 1 : 0;
    return Combination{"工况 " + c.name, {CaseFactors{c.name, 1, favourable}}};
}

// A band of a taller canvas, for the drawings stacked into one picture.
class BandCanvas : public Canvas {
  public:
    BandCanvas(Canvas& inner, double top, double height)
        : m_inner(inner), m_top(static_cast<float>(top)), m_height(height) {}
    double ScaleWidth() const override { return m_inner.ScaleWidth(); }
    double ScaleHeight() const override { return m_height; }
    void Clear() override {}
    void Line(float x1, float y1, float x2, float y2) override {
        m_inner.Line(x1, y1 + m_top, x2, y2 + m_top);
    }
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override {
        m_inner.Line(x1, y1 + m_top, x2, y2 + m_top, colour);
    }
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override {
        m_inner.Box(x1, y1 + m_top, x2, y2 + m_top, colour);
    }
    void Circle(float x, float y, float r) override { m_inner.Circle(x, y + m_top, r); }
    void Print(float x, float y, std::string_view text) override {
        m_inner.Print(x, y + m_top, text);
    }
    DeviceScale Resolution() const override { return m_inner.Resolution(); }
    DeviceScale LabelScale() const override { return m_inner.LabelScale(); }
    XRange Visible() const override { return m_inner.Visible(); }
    double TextWidth(std::string_view text) const override { return m_inner.TextWidth(text); }

  private:
    Canvas& m_inner;
    float m_top;
    double m_height;
};

}  // namespace

DesignDrawings::DesignDrawings(BeamDocument& doc, UiServices& services, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_services(services) {
    cboShow = new QComboBox(this);
    cboShow->setObjectName(QStringLiteral("cboShow"));
    cboShow->setMinimumContentsLength(14);
    lblStretch = new QLabel(this);
    lblProblem = new QLabel(this);
    lblProblem->setStyleSheet(QStringLiteral("color: #c00000"));
    scrStretch = new QScrollBar(Qt::Horizontal, this);
    Schematic = new DiagramView(this);
    Moment = new DiagramView(this);
    Shear = new DiagramView(this);
    Deflection = new DiagramView(this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("显示:"), this));
    bar->addWidget(cboShow);
    bar->addWidget(lblStretch, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(lblProblem);
    layout->addWidget(Schematic, 3);
    layout->addWidget(Moment, 4);
    layout->addWidget(Shear, 4);
    layout->addWidget(Deflection, 3);
    layout->addWidget(scrStretch);

    Schematic->SetDraw([this](Canvas& c) {
        if (m_shown.N() == 0) return;
        DrawSchematic(m_shown, c, {m_case, m_markSpan, m_markNode}, m_first, LastSpan());
    });
    Moment->SetDraw([this](Canvas& c) { DrawDiagram(c, 0); });
    Shear->SetDraw([this](Canvas& c) { DrawDiagram(c, 1); });
    Deflection->SetDraw([this](Canvas& c) { DrawDiagram(c, 2); });
    for (DiagramView* d : {Schematic, Moment, Shear, Deflection}) {
        AddPictureActions(d, m_services, [d] { return d->Shown(); });
        d->installEventFilter(this);
        d->SetClick([this](double x, double width) {
            const auto place = PlaceUnder(m_shown, x, width, m_first, LastSpan());
            if (place) Mark(place->span, 0);
        });
    }
    connect(cboShow, &QComboBox::currentIndexChanged, this, [this] { Choose(); });
    connect(scrStretch, &QScrollBar::valueChanged, this, [this](int first) {
        if (first == m_first) return;
        m_first = first;
        Redraw();
    });
    Refresh();
}

DesignDrawings::~DesignDrawings() = default;

void DesignDrawings::Refresh() {
    const Beam& beam = m_doc.Current();
    const int oldN = m_shown.N();
    m_shown = beam;
    const int n = m_shown.N();
    if (n != oldN && (m_whole || oldN == 0)) {
        m_whole = n <= kMostSpansDrawn;
        m_first = 1;
        m_count = m_whole ? std::max(n, 1) : kSpansAtFirst;
    }
    ClampStretch();
    // The engine is built once an edit, and checks the beam as it is built:
    // the beam is read through once, not once a check.
    if (n == 0) {
        m_built = m_valid = Status{Code::NoBeam};
    } else {
        if (!m_results) m_results = std::make_unique<EnvelopeResults>();
        m_built = m_valid = m_results->SetBeam(m_shown);
        // Too long to envelope says nothing about the beam itself.
        if (m_built.code == Code::EnvelopeTooLarge) m_valid = Validate(m_shown);
    }
    FillChoices();
    Choose();
}

void DesignDrawings::FillChoices() {
    std::vector<Combination> choices;
    for (const LoadCase& c : m_shown.cases) choices.push_back(CaseAlone(c));
    if (m_valid && ValidateCombinations(m_shown)) {
        for (Combination& c : ShownCombinations(m_shown)) choices.push_back(std::move(c));
    }
    const QString was = cboShow->currentText();
    const bool same =
        choices.size() == m_choices.size() &&
        std::equal(choices.begin(), choices.end(), m_choices.begin(),
                   [](const Combination& a, const Combination& b) { return a.name == b.name; });
    m_choices = std::move(choices);
    if (same) return;
    const QSignalBlocker quiet(cboShow);
    cboShow->clear();
    for (const Combination& c : m_choices) cboShow->addItem(Q(c.name));
    // The combination the engineer designs for is what opens.
    int chosen = cboShow->findText(was);
    if (chosen < 0) chosen = cboShow->findText(QStringLiteral("基本组合"));
    cboShow->setCurrentIndex(std::max(chosen, 0));
}

void DesignDrawings::Choose() {
    m_ok = false;
    const int index = cboShow->currentIndex();
    if (m_built && index >= 0 && index < static_cast<int>(m_choices.size())) {
        m_results->SetCombination(m_choices[static_cast<std::size_t>(index)]);
        m_ok = true;
        lblProblem->clear();
    } else {
        lblProblem->setText(m_shown.N() == 0 ? QStringLiteral("在“跨”表中输入跨长")
                                             : Q(MessageText(m_valid ? m_built : m_valid)));
    }
    lblProblem->setVisible(!lblProblem->text().isEmpty());
    Redraw();
    if (resultsChanged) resultsChanged();
}

void DesignDrawings::DrawDiagram(Canvas& canvas, int quantity) const {
    if (!m_ok) return;
    const auto q = static_cast<analysis::Quantity>(quantity);
    DiagramStyle style;
    style.threeDecimals = true;
    DrawEnvelope(m_shown, m_results->Envelope(), q, canvas, style, m_first, LastSpan());
    if (m_markSpan > 0 || m_markNode > 0) {
        MarkPlace(m_shown, canvas, m_markSpan, m_markNode, m_first, LastSpan());
    }
}

void DesignDrawings::Redraw() {
    const int n = m_shown.N();
    {
        const QSignalBlocker quiet(scrStretch);
        scrStretch->setRange(1, std::max(1, n - m_count + 1));
        scrStretch->setPageStep(std::max(1, m_count));
        scrStretch->setValue(m_first);
    }
    scrStretch->setVisible(n > m_count);
    lblStretch->setText(
        n == 0 ? QString()
               : QStringLiteral("第 %1–%2 跨,共 %3 跨").arg(m_first).arg(LastSpan()).arg(n));
    for (DiagramView* d : {Schematic, Moment, Shear, Deflection}) d->Redraw();
}

void DesignDrawings::ClampStretch() {
    const int n = std::max(m_shown.N(), 1);
    m_count = std::clamp(m_count, 1, std::min(n, kMostSpansDrawn));
    m_first = std::clamp(m_first, 1, n - m_count + 1);
}

QString DesignDrawings::ShownName() const {
    return cboShow->currentText();
}

void DesignDrawings::SetCase(int caseIndex) {
    if (caseIndex == m_case) return;
    m_case = caseIndex;
    Schematic->Redraw();
}

void DesignDrawings::Mark(int span, int node) {
    m_markSpan = span;
    m_markNode = node;
    const int at = span > 0 ? span : std::max(node - 1, 1);
    if (at > 0 && (at < m_first || at > LastSpan())) {
        m_first = at - m_count / 2;
        ClampStretch();
    }
    Redraw();
}

void DesignDrawings::Zoom(int steps) {
    const int centre = m_first + m_count / 2;
    for (int i = 0; i < std::abs(steps); ++i) {
        m_count = steps > 0 ? std::max(1, m_count * 2 / 3) : m_count * 3 / 2 + 1;
    }
    m_whole = false;
    m_first = centre - m_count / 2;
    ClampStretch();
    m_whole = m_count >= m_shown.N();
    Redraw();
}

void DesignDrawings::Pan(int spans) {
    m_first += spans;
    ClampStretch();
    Redraw();
}

void DesignDrawings::ShowAll() {
    m_first = 1;
    m_count = m_shown.N();
    ClampStretch();
    m_whole = m_count >= m_shown.N();
    Redraw();
}

bool DesignDrawings::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = wheel->angleDelta().y() / 120;
        if (wheel->modifiers() & Qt::ShiftModifier || wheel->angleDelta().x() != 0) {
            Pan(-(wheel->angleDelta().x() + wheel->angleDelta().y()) / 120 *
                std::max(1, m_count / 4));
        } else if (notches != 0) {
            Zoom(notches);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

std::optional<Picture> DesignDrawings::WholePicture() const {
    auto top = Schematic->Shown();
    if (!top) return std::nullopt;
    std::vector<std::pair<int, std::function<void(Canvas&)>>> parts;
    int height = 0;
    for (const DiagramView* d : {Schematic, Moment, Shear, Deflection}) {
        if (auto p = d->Shown()) {
            parts.emplace_back(p->size.height(), p->draw);
            height += p->size.height();
        }
    }
    Picture whole = *top;
    whole.size.setHeight(height);
    // One canvas unit is a twip down as across in every drawing.
    whole.draw = [parts](Canvas& canvas) {
        double y = 0;
        for (const auto& [h, draw] : parts) {
            BandCanvas part(canvas, y * 15, h * 15.0);
            draw(part);
            y += h;
        }
    };
    return whole;
}

}  // namespace cbeam
