#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "model/structure.h"

// What one edit changed in a beam, kept small enough that an undo history
// of a 32,766-span beam is not a copy of the beam per step: for each list
// only the stretch between the common head and the common tail of before
// and after. Values compare bit for bit (a NaN equals itself), so nothing
// that round-trips through a file is mistaken for a change.
namespace cbeam {

template <class T>
struct ListChange {
    std::size_t at = 0;
    std::vector<T> before, after;  // what stands at `at` before and after
};

struct CaseHeader {
    std::string name;
    CaseKind kind = CaseKind::Permanent;
    std::optional<bool> pattern;
    std::optional<double> psiQ;
};

struct BeamDiff {
    std::optional<std::pair<double, double>> EIo;  // before, after
    std::optional<ListChange<Span>> spans;
    std::optional<ListChange<Support>> supports;
    // When the number of cases stays, each changed case by index: its
    // header and the stretch of its loads; otherwise the whole list.
    struct CaseChange {
        std::size_t index = 0;
        std::optional<std::pair<CaseHeader, CaseHeader>> header;
        std::optional<ListChange<Load>> loads;
    };
    std::vector<CaseChange> caseChanges;
    std::optional<ListChange<LoadCase>> cases;
    std::optional<ListChange<Combination>> combinations;
    std::optional<ListChange<MovingLoad>> moving;

    bool Empty() const;
};

BeamDiff Diff(const Beam& before, const Beam& after);
// `beam` must be the diff's before (Redo) or after (Undo).
void Redo(Beam& beam, const BeamDiff& diff);
void Undo(Beam& beam, const BeamDiff& diff);

// Bit for bit, NaN equal to NaN.
bool SameBeam(const Beam& a, const Beam& b);

}  // namespace cbeam
