#include "ui/results/envelope_results.h"

#include <algorithm>

#include "ui/common/controls.h"
#include "ui/results/results_models.h"

namespace cbeam {

using analysis::Quantity;

namespace {

const char* const kCharacteristic = "标准组合";
const char* const kQuasiPermanent = "准永久组合";

// The code's combinations, which read only the cases' names and kinds.
std::vector<Combination> DefaultCombinations(const Beam& beam) {
    Beam bare;
    for (const LoadCase& c : beam.cases) {
        bare.cases.push_back({c.name, c.kind, c.pattern, c.psiQ, {}});
    }
    const bool live = std::any_of(bare.cases.begin(), bare.cases.end(),
                                  [](const LoadCase& c) { return c.kind == CaseKind::Variable; });
    // Without a variable case the code gives none; its permanent factors
    // still apply, so a variable case stands in and is dropped again.
    if (!live) bare.cases.push_back({"", CaseKind::Variable, {}, {}, {}});
    std::vector<Combination> out = CombinationsOf(bare);
    for (Combination& c : out) {
        if (!live) c.factors.pop_back();
    }
    return out;
}

// The beam's own combination of that name, else the code's.
Combination Named(const Beam& beam, const std::string& name) {
    for (const std::vector<Combination>& list : {beam.combinations, DefaultCombinations(beam)}) {
        const auto found = std::find_if(list.begin(), list.end(),
                                        [&](const Combination& c) { return c.name == name; });
        if (found != list.end()) return *found;
    }
    return {};
}

}  // namespace

std::vector<Combination> ShownCombinations(const Beam& beam) {
    return beam.combinations.empty() ? DefaultCombinations(beam) : beam.combinations;
}

Status EnvelopeResults::SetBeam(const Beam& beam) {
    m_beam = nullptr;
    if (Status r = analysis::CheckEnvelopeSize(beam); !r) return r;
    if (Status r = m_engine.Build(beam); !r) return r;
    m_beam = &beam;
    m_serviceBuilt = false;
    m_chosenBuilt = false;
    m_deflections.assign(static_cast<std::size_t>(beam.N()), std::nullopt);
    return {};
}

void EnvelopeResults::SetCombination(const Combination& combination) {
    if (m_beam == nullptr) return;
    // Another combination of the same beam takes the groups already solved.
    if (m_chosenBuilt) {
        m_chosen.Rebuild(m_chosen, *m_beam, combination);
    } else {
        m_chosen.Build(m_engine, *m_beam, combination);
        m_chosenBuilt = true;
    }
    m_spans.assign(static_cast<std::size_t>(m_beam->N()), std::nullopt);
    m_supports.assign(static_cast<std::size_t>(m_beam->N() + 1), std::nullopt);
}

QStringList EnvelopeResults::SpanHeaders() {
    return {QStringLiteral("跨"),
            QStringLiteral("Mmax (kN·m)"),
            QStringLiteral("x (m)"),
            QStringLiteral("Mmax 加载跨"),
            QStringLiteral("Mmin (kN·m)"),
            QStringLiteral("x (m)"),
            QStringLiteral("Mmin 加载跨"),
            QStringLiteral("左端 Vmax (kN)"),
            QStringLiteral("左端 Vmin (kN)"),
            QStringLiteral("右端 Vmax (kN)"),
            QStringLiteral("右端 Vmin (kN)"),
            QStringLiteral("wmax 标准组合 (mm)"),
            QStringLiteral("wmax 准永久组合 (mm)")};
}

QStringList EnvelopeResults::SupportHeaders() {
    return {QStringLiteral("支座"), QStringLiteral("Rmax (kN)"), QStringLiteral("Rmax 加载跨"),
            QStringLiteral("Rmin (kN)"), QStringLiteral("Rmin 加载跨")};
}

QString EnvelopeResults::Loaded(const std::vector<std::string>& loaded) const {
    QStringList parts;
    std::vector<std::size_t> patterned;
    for (std::size_t c = 0; c < m_beam->cases.size(); ++c) {
        if (m_beam->cases[c].Patterned()) patterned.push_back(c);
    }
    for (const std::size_t c : patterned) {
        const std::string& spans = loaded[c];
        const QString shown = spans.empty() ? QStringLiteral("无") : Q(spans);
        // Named only where there is more than one case to tell apart.
        parts << (patterned.size() > 1 ? Q(m_beam->cases[c].name) + u' ' + shown : shown);
    }
    return parts.join(QStringLiteral("；"));
}

const EnvelopeResults::SpanRow& EnvelopeResults::Span(int row) const {
    std::optional<SpanRow>& cached = m_spans[static_cast<std::size_t>(row)];
    if (!cached) {
        const int k = row + 1;
        SpanRow r;
        r.design = m_chosen.Design(k);
        const auto loaded = [&](const analysis::EnvelopeAt& at, bool max) {
            return Loaded(m_chosen.LoadedAt(k, Quantity::Moment, at.x, at.side, max));
        };
        r.hogging = loaded(r.design.Mmax, true);
        r.sagging = loaded(r.design.Mmin, false);
        cached = std::move(r);
    }
    return *cached;
}

const EnvelopeResults::SupportRow& EnvelopeResults::Support(int row) const {
    std::optional<SupportRow>& cached = m_supports[static_cast<std::size_t>(row)];
    if (!cached) {
        const int node = row + 1;
        cached = SupportRow{m_chosen.Reaction(node), Loaded(m_chosen.LoadedForReaction(node, true)),
                            Loaded(m_chosen.LoadedForReaction(node, false))};
    }
    return *cached;
}

QString EnvelopeResults::SpanCell(int row, int column) const {
    if (column == 0) return QString::number(row + 1);
    if (column >= 11) return Deflection(Deflections(row)[static_cast<std::size_t>(column - 11)]);
    const SpanRow& r = Span(row);
    const analysis::SpanEnvelope& d = r.design;
    switch (column) {
        case 1:
            return F3(d.Mmax.value);
        case 2:
            return F3(d.Mmax.x);
        case 3:
            return r.hogging;
        case 4:
            return F3(d.Mmin.value);
        case 5:
            return F3(d.Mmin.x);
        case 6:
            return r.sagging;
        case 7:
            return F3(d.Vl.max);
        case 8:
            return F3(d.Vl.min);
        case 9:
            return F3(d.Vr.max);
        default:
            return F3(d.Vr.min);
    }
}

const std::array<double, 2>& EnvelopeResults::Deflections(int row) const {
    // Made when first shown (the columns are the table's last, often
    // scrolled off), from the chosen envelope's groups: only the factors
    // differ.
    if (!m_serviceBuilt) {
        m_characteristic.Rebuild(m_chosen, *m_beam, Named(*m_beam, kCharacteristic));
        m_quasiPermanent.Rebuild(m_chosen, *m_beam, Named(*m_beam, kQuasiPermanent));
        m_serviceBuilt = true;
    }
    std::optional<std::array<double, 2>>& cached = m_deflections[static_cast<std::size_t>(row)];
    if (!cached) {
        cached = {m_characteristic.Design(row + 1).wmax.value,
                  m_quasiPermanent.Design(row + 1).wmax.value};
    }
    return *cached;
}

QString EnvelopeResults::SupportCell(int row, int column) const {
    if (column == 0) return QString::number(row + 1);
    const SupportRow& r = Support(row);
    switch (column) {
        case 1:
            return Reaction(r.R.max);
        case 2:
            return r.most;
        case 3:
            return Reaction(r.R.min);
        default:
            return r.least;
    }
}

}  // namespace cbeam
