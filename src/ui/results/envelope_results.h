#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "analysis/engine.h"
#include "analysis/envelope.h"
#include "model/structure.h"
#include "text/status.h"

namespace cbeam {

// The combinations a general beam is shown under: its own, else the code's
// three; a beam of permanent cases only gets the three as well, so that its
// loads are factored as any other's.
std::vector<Combination> ShownCombinations(const Beam& beam);

// The envelopes of a general beam and the design values the results window
// tables, per span and per support. Each envelope is built once for a
// beam or a combination (those of the deflections when first shown); a
// row's values, its arrangements above all, are worked out when a view
// first asks for the row, so that a beam of tens of thousands of spans
// costs only the rows scrolled to.
class EnvelopeResults {
  public:
    // The beam must outlive this; NearlyMechanism when it cannot be solved.
    Status SetBeam(const Beam& beam);
    // The combination of the moments, shears and reactions (one of
    // ShownCombinations); deflections are always those of 标准组合 and
    // 准永久组合.
    void SetCombination(const Combination& combination);

    const analysis::Envelope& Envelope() const { return m_chosen; }
    int Spans() const { return m_beam ? m_beam->N() : 0; }

    static QStringList SpanHeaders();
    static QStringList SupportHeaders();
    QString SpanCell(int row, int column) const;
    QString SupportCell(int row, int column) const;

  private:
    struct SpanRow {
        analysis::SpanEnvelope design;
        QString hogging, sagging;  // the loaded spans of Mmax and Mmin
    };
    struct SupportRow {
        analysis::Extremes R;
        QString most, least;
    };
    const SpanRow& Span(int row) const;
    const SupportRow& Support(int row) const;
    // wmax under 标准组合 and 准永久组合.
    const std::array<double, 2>& Deflections(int row) const;
    // The spans each patterned case loads in an arrangement.
    QString Loaded(const std::vector<std::string>& loaded) const;

    const Beam* m_beam = nullptr;
    analysis::Engine m_engine;
    analysis::Envelope m_chosen;
    mutable analysis::Envelope m_characteristic, m_quasiPermanent;
    mutable bool m_serviceBuilt = false;
    bool m_chosenBuilt = false;  // m_chosen's groups are the beam's
    mutable std::vector<std::optional<std::array<double, 2>>> m_deflections;
    mutable std::vector<std::optional<SpanRow>> m_spans;
    mutable std::vector<std::optional<SupportRow>> m_supports;
};

}  // namespace cbeam
