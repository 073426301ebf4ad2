#include "model/beam_diff.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace cbeam {
namespace {

// Bits, not values: a NaN read from a file is the same NaN after an undo,
// and -0 is not 0 for a beam that must come back exactly.
bool Same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool Same(const std::optional<double>& a, const std::optional<double>& b) {
    return a.has_value() == b.has_value() && (!a || Same(*a, *b));
}

bool Same(const Span& a, const Span& b) {
    return Same(a.L, b.L) && Same(a.EI, b.EI);
}

bool Same(const Support& a, const Support& b) {
    return a.kind == b.kind && Same(a.k, b.k) && Same(a.kr, b.kr);
}

bool Same(const Load& a, const Load& b) {
    return a.kind == b.kind && a.span == b.span && a.node == b.node && Same(a.q1, b.q1) &&
           Same(a.q2, b.q2) && Same(a.x1, b.x1) && Same(a.x2, b.x2) && Same(a.a, b.a);
}

bool Same(const CaseHeader& a, const CaseHeader& b) {
    return a.name == b.name && a.kind == b.kind && a.pattern == b.pattern && Same(a.psiQ, b.psiQ);
}

bool Same(const CaseFactors& a, const CaseFactors& b) {
    return a.caseName == b.caseName && Same(a.gamma, b.gamma) && Same(a.gammaF, b.gammaF);
}

bool Same(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](double x, double y) { return Same(x, y); });
}

template <class T>
bool SameList(const std::vector<T>& a, const std::vector<T>& b);

bool Same(const Combination& a, const Combination& b) {
    return a.name == b.name && SameList(a.factors, b.factors);
}

bool Same(const MovingLoad& a, const MovingLoad& b) {
    return a.name == b.name && Same(a.loads, b.loads) && Same(a.spacing, b.spacing) &&
           Same(a.lane, b.lane);
}

CaseHeader HeaderOf(const LoadCase& c) {
    return CaseHeader{c.name, c.kind, c.pattern, c.psiQ};
}

bool Same(const LoadCase& a, const LoadCase& b) {
    return Same(HeaderOf(a), HeaderOf(b)) && SameList(a.loads, b.loads);
}

template <class T>
bool SameList(const std::vector<T>& a, const std::vector<T>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!Same(a[i], b[i])) return false;
    }
    return true;
}

// The stretch between the common head and the common tail; nothing when
// the lists are the same.
template <class T>
std::optional<ListChange<T>> Change(const std::vector<T>& before, const std::vector<T>& after) {
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t head = 0;
    while (head < shorter && Same(before[head], after[head])) ++head;
    if (head == before.size() && head == after.size()) return std::nullopt;
    std::size_t tail = 0;
    while (tail < shorter - head &&
           Same(before[before.size() - 1 - tail], after[after.size() - 1 - tail])) {
        ++tail;
    }
    ListChange<T> out;
    out.at = head;
    out.before.assign(before.begin() + static_cast<std::ptrdiff_t>(head),
                      before.end() - static_cast<std::ptrdiff_t>(tail));
    out.after.assign(after.begin() + static_cast<std::ptrdiff_t>(head),
                     after.end() - static_cast<std::ptrdiff_t>(tail));
    return out;
}

// Replaces `from` at `at` with `to`, overwriting in place what both share so
// that a one-item edit of a long list moves nothing.
template <class T>
void Replace(std::vector<T>& list, std::size_t at, const std::vector<T>& from,
             const std::vector<T>& to) {
    const std::size_t common = std::min(from.size(), to.size());
    const auto start = list.begin() + static_cast<std::ptrdiff_t>(at);
    std::copy(to.begin(), to.begin() + static_cast<std::ptrdiff_t>(common), start);
    const auto rest = start + static_cast<std::ptrdiff_t>(common);
    if (from.size() > common) {
        list.erase(rest, rest + static_cast<std::ptrdiff_t>(from.size() - common));
    } else {
        list.insert(rest, to.begin() + static_cast<std::ptrdiff_t>(common), to.end());
    }
}

template <class T>
void Apply(std::vector<T>& list, const std::optional<ListChange<T>>& change, bool forward) {
    if (!change) return;
    if (forward) {
        Replace(list, change->at, change->before, change->after);
    } else {
        Replace(list, change->at, change->after, change->before);
    }
}

void SetHeader(LoadCase& c, const CaseHeader& h) {
    c.name = h.name;
    c.kind = h.kind;
    c.pattern = h.pattern;
    c.psiQ = h.psiQ;
}

void Apply(Beam& beam, const BeamDiff& diff, bool forward) {
    if (diff.EIo) beam.EIo = forward ? diff.EIo->second : diff.EIo->first;
    Apply(beam.spans, diff.spans, forward);
    Apply(beam.supports, diff.supports, forward);
    for (const BeamDiff::CaseChange& c : diff.caseChanges) {
        LoadCase& lc = beam.cases[c.index];
        if (c.header) SetHeader(lc, forward ? c.header->second : c.header->first);
        Apply(lc.loads, c.loads, forward);
    }
    Apply(beam.cases, diff.cases, forward);
    Apply(beam.combinations, diff.combinations, forward);
    Apply(beam.moving, diff.moving, forward);
}

}  // namespace

bool BeamDiff::Empty() const {
    return !EIo && !spans && !supports && caseChanges.empty() && !cases && !combinations && !moving;
}

BeamDiff Diff(const Beam& before, const Beam& after) {
    BeamDiff d;
    if (!Same(before.EIo, after.EIo)) d.EIo = std::make_pair(before.EIo, after.EIo);
    d.spans = Change(before.spans, after.spans);
    d.supports = Change(before.supports, after.supports);
    if (before.cases.size() == after.cases.size()) {
        for (std::size_t i = 0; i < before.cases.size(); ++i) {
            BeamDiff::CaseChange c;
            c.index = i;
            const CaseHeader hb = HeaderOf(before.cases[i]), ha = HeaderOf(after.cases[i]);
            if (!Same(hb, ha)) c.header = std::make_pair(hb, ha);
            c.loads = Change(before.cases[i].loads, after.cases[i].loads);
            if (c.header || c.loads) d.caseChanges.push_back(std::move(c));
        }
    } else {
        d.cases = Change(before.cases, after.cases);
    }
    d.combinations = Change(before.combinations, after.combinations);
    d.moving = Change(before.moving, after.moving);
    return d;
}

void Redo(Beam& beam, const BeamDiff& diff) {
    Apply(beam, diff, true);
}

void Undo(Beam& beam, const BeamDiff& diff) {
    Apply(beam, diff, false);
}

bool SameBeam(const Beam& a, const Beam& b) {
    return Same(a.EIo, b.EIo) && SameList(a.spans, b.spans) && SameList(a.supports, b.supports) &&
           SameList(a.cases, b.cases) && SameList(a.combinations, b.combinations) &&
           SameList(a.moving, b.moving);
}

}  // namespace cbeam
