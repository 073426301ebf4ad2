#include "model/structure.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "model/bounds.h"

namespace cbeam {
namespace {

std::string LoadPath(std::size_t c, std::size_t l) {
    return "cases[" + std::to_string(c) + "].loads[" + std::to_string(l) + "]";
}

bool Finite(double v) {
    return std::isfinite(v);
}

Status CheckLoadAt(const Beam& beam, const Load& load) {
    const int n = beam.N();
    if (!Finite(load.q1) || !Finite(load.q2) || !Finite(load.x1) || !Finite(load.x2)) {
        return Status{.code = Code::ValueNotFinite};
    }
    if (load.kind == Load::Kind::Settlement) {
        if (load.node < 1 || load.node > n + 1) {
            return Status{.code = Code::LoadSpanOutside, .have = load.node, .need = 1};
        }
        if (!beam.SupportAt(load.node).HoldsDeflection()) {
            return Status{.code = Code::SettlementNotHeld, .span = load.node};
        }
        return {};
    }
    if (load.span < 1 || load.span > n) {
        return Status{.code = Code::LoadSpanOutside, .have = load.span};
    }
    const double l = beam.SpanAt(load.span).L;
    const bool ranged = load.Distributed();
    const double x2 = ranged ? load.x2 : load.x1;
    if (!(load.x1 >= 0 && load.x1 <= x2 && x2 <= l)) {
        return Status{.code = Code::LoadOutsideSpan, .span = load.span};
    }
    return {};
}

// The common case, a span load inside its span, without building a Status.
bool PlainLoadOk(const Beam& beam, const Load& load) {
    if (load.kind == Load::Kind::Settlement || load.span < 1 || load.span > beam.N()) return false;
    if (!Finite(load.q1) || !Finite(load.q2) || !Finite(load.x1) || !Finite(load.x2)) return false;
    const double x2 = load.Distributed() ? load.x2 : load.x1;
    return load.x1 >= 0 && load.x1 <= x2 && x2 <= beam.SpanAt(load.span).L;
}

// The path is made only for a refusal: a long beam has a third of a million loads.
Status CheckLoad(const Beam& beam, const Load& load, std::size_t c, std::size_t l) {
    if (PlainLoadOk(beam, load)) return {};
    Status r = CheckLoadAt(beam, load);
    if (!r) r.path = LoadPath(c, l);
    return r;
}

// Whether a case's name repeats one before it: pairwise for the few cases a
// beam has, with no allocation.
bool NameRepeats(const std::vector<LoadCase>& cases, std::size_t c, std::set<std::string>& seen) {
    constexpr std::size_t kFew = 32;
    if (cases.size() <= kFew) {
        for (std::size_t i = 0; i < c; ++i) {
            if (cases[i].name == cases[c].name) return true;
        }
        return false;
    }
    return !seen.insert(cases[c].name).second;
}

}  // namespace

bool IsMechanism(const Beam& beam) {
    // A rigid motion w = a + b x must vanish at every support that holds the
    // deflection and have b = 0 where one holds the rotation: it is ruled out
    // by two deflection supports (distinct x) or by one of each.
    int deflection = 0, rotation = 0;
    for (const Support& s : beam.supports) {
        if (s.kind != SupportKind::Free) ++deflection;
        if (s.kind == SupportKind::Fixed || (s.kind == SupportKind::Spring && s.kr > 0)) ++rotation;
    }
    return deflection == 0 || (deflection == 1 && rotation == 0);
}

Status ValidateCombinations(const Beam& beam) {
    std::set<std::string> names;
    for (const LoadCase& c : beam.cases) names.insert(c.name);
    std::set<std::string> combinations;
    for (std::size_t i = 0; i < beam.combinations.size(); ++i) {
        const Combination& co = beam.combinations[i];
        const std::string path = "combinations[" + std::to_string(i) + "]";
        if (co.name.empty())
            return Status{.code = Code::CombinationNameEmpty, .path = path + ".name"};
        if (!combinations.insert(co.name).second) {
            return Status{.code = Code::CombinationNameRepeated, .path = path + ".name"};
        }
        std::set<std::string> named;
        for (const CaseFactors& f : co.factors) {
            const std::string at = path + ".factors." + f.caseName;
            if (!names.contains(f.caseName) || !named.insert(f.caseName).second) {
                return Status{.code = Code::CombinationCaseUnknown, .path = at};
            }
            if (!(Finite(f.gamma) && Finite(f.gammaF) && f.gamma >= 0 && f.gammaF >= 0 &&
                  f.gamma <= 100 && f.gammaF <= 100)) {
                return Status{.code = Code::FactorOutside, .path = at};
            }
        }
    }
    return {};
}

Status ValidateMoving(const Beam& beam) {
    std::set<std::string> names;
    // Within the load bound an effect of a hundred axles stays finite.
    const auto within = [](double v, double lo) { return Finite(v) && v >= lo && v <= kMaxLoad; };
    for (std::size_t i = 0; i < beam.moving.size(); ++i) {
        const MovingLoad& m = beam.moving[i];
        const std::string path = "moving[" + std::to_string(i) + "]";
        if (m.name.empty()) return Status{.code = Code::MovingNameEmpty, .path = path + ".name"};
        if (!names.insert(m.name).second)
            return Status{.code = Code::MovingNameRepeated, .path = path + ".name"};
        if (m.loads.empty() || m.loads.size() > 100)
            return Status{.code = Code::AxlesOutside, .path = path + ".axles"};
        for (std::size_t a = 0; a < m.loads.size(); ++a) {
            if (!within(m.loads[a], -kMaxLoad)) {
                return Status{.code = Code::AxlesOutside,
                              .path = path + ".axles[" + std::to_string(a) + "]"};
            }
        }
        if (m.spacing.size() + 1 != m.loads.size())
            return Status{.code = Code::SpacingWrong, .path = path + ".spacing"};
        for (std::size_t a = 0; a < m.spacing.size(); ++a) {
            if (!within(m.spacing[a], 0)) {
                return Status{.code = Code::SpacingWrong,
                              .path = path + ".spacing[" + std::to_string(a) + "]"};
            }
        }
        if (!within(m.lane, 0)) return Status{.code = Code::LaneOutside, .path = path + ".lane"};
    }
    return {};
}

Status Validate(const Beam& beam) {
    const int n = beam.N();
    if (n < 1 || n > kMaxSpans) {
        return Status{.code = Code::SpanCountOutsideBeam, .have = n, .need = kMaxSpans};
    }
    if (!(Finite(beam.EIo) && beam.EIo > 0)) return Status{.code = Code::RigidityNotPositive};
    for (int k = 1; k <= n; ++k) {
        const Span& s = beam.SpanAt(k);
        if (!(Finite(s.L) && s.L > 0)) return Status{.code = Code::LengthNotPositive, .span = k};
        if (!(Finite(s.EI) && s.EI > 0))
            return Status{.code = Code::RigidityNotPositive, .span = k};
    }
    if (static_cast<int>(beam.supports.size()) != n + 1) {
        return Status{.code = Code::SupportCountWrong,
                      .have = static_cast<int>(beam.supports.size()),
                      .need = n + 1};
    }
    for (int j = 1; j <= n + 1; ++j) {
        const Support& s = beam.SupportAt(j);
        if (s.kind == SupportKind::Free && j != 1 && j != n + 1) {
            return Status{.code = Code::FreeInside, .span = j};
        }
        if (s.kind == SupportKind::Spring &&
            !(Finite(s.k) && s.k > 0 && Finite(s.kr) && s.kr >= 0)) {
            return Status{.code = Code::SpringNotPositive, .span = j};
        }
    }
    std::set<std::string> names;
    for (std::size_t c = 0; c < beam.cases.size(); ++c) {
        const LoadCase& lc = beam.cases[c];
        if (NameRepeats(beam.cases, c, names)) {
            return Status{.code = Code::CaseNameRepeated,
                          .path = "cases[" + std::to_string(c) + "]"};
        }
        for (std::size_t l = 0; l < lc.loads.size(); ++l) {
            if (Status r = CheckLoad(beam, lc.loads[l], c, l); !r) return r;
        }
        if (lc.psiQ && !(*lc.psiQ >= 0 && *lc.psiQ <= 1)) {
            return Status{.code = Code::PsiOutside,
                          .path = "cases[" + std::to_string(c) + "].psi_q"};
        }
    }
    if (Status r = ValidateCombinations(beam); !r) return r;
    if (Status r = ValidateMoving(beam); !r) return r;
    if (IsMechanism(beam)) return Status{.code = Code::Mechanism};
    return {};
}

std::vector<Combination> CombinationsOf(const Beam& beam) {
    if (!beam.combinations.empty()) return beam.combinations;
    const bool live = std::any_of(beam.cases.begin(), beam.cases.end(),
                                  [](const LoadCase& c) { return c.kind == CaseKind::Variable; });
    if (!live) return {};
    // Each factor pair: for a permanent case, then for a variable one (of ψq
    // where it is NaN).
    struct Default {
        const char* name;
        double g, gf, q;
    };
    const double psi = std::numeric_limits<double>::quiet_NaN();
    std::vector<Combination> out;
    for (const Default& d : {Default{"基本组合", 1.3, 1.0, 1.5}, Default{"标准组合", 1.0, 1.0, 1.0},
                             Default{"准永久组合", 1.0, 1.0, psi}}) {
        Combination co{d.name, {}};
        for (const LoadCase& c : beam.cases) {
            const bool variable = c.kind == CaseKind::Variable;
            co.factors.push_back({c.name, variable ? (std::isnan(d.q) ? c.PsiQ() : d.q) : d.g,
                                  variable ? 0.0 : d.gf});
        }
        out.push_back(std::move(co));
    }
    return out;
}

Status FromDesignBeam(const DesignBeam& s, Beam& out) {
    Beam b;
    const int n = s.N;
    if (n < 1 || n > kMaxSpans || s.L.Count() < n || s.EI.Count() < n || s.LoadType.Count() < n ||
        s.Q.Count() < n || s.A.Count() < n) {
        return Status{.code = Code::NoBeam};
    }
    if (!(s.EIo > 0)) return Status{.code = Code::RigidityNotPositive};
    b.EIo = s.EIo;
    LoadCase g;
    g.name = "G";
    for (int k = 1; k <= n; ++k) {
        if (!(s.EI(k) > 0)) return Status{.code = Code::RigidityNotPositive, .span = k};
        b.spans.push_back(Span{s.L(k), s.EI(k)});
        const double a = s.A(k), l = s.L(k);
        Load load;
        switch (s.Kind(k)) {
            case LoadKind::Uniform:
                load = Load::Uniform(k, s.Q(k), 0, a * l);
                break;
            case LoadKind::Point:
                load = Load::Point(k, s.Q(k), a * l);
                break;
            default:
                continue;
        }
        load.a = a;
        g.loads.push_back(load);
    }
    const auto end = [](std::int16_t flag) {
        return Support{flag != kFalse ? SupportKind::Fixed : SupportKind::Pinned};
    };
    b.supports.assign(static_cast<std::size_t>(n) + 1, Support{});
    b.supports.front() = end(s.Flag0);
    b.supports.back() = end(s.FlagN);
    b.cases.push_back(std::move(g));
    out = std::move(b);
    return {};
}

namespace {

// The fraction that gives back x as L·a: the one the load came with if it
// still does, else x / L moved by an ulp when that is what it takes.
double Fraction(const Load& load, double x, double l) {
    if (std::isfinite(load.a) && load.a * l == x) return load.a;
    double a = x / l;
    for (const double t : {std::nextafter(a, 0.0), std::nextafter(a, 2.0)}) {
        if (a * l != x && t * l == x && t >= 0 && t <= 1) a = t;
    }
    return a;
}

}  // namespace

Status ToDesignState(const Beam& beam, DesignState& out) {
    if (Status r = Validate(beam); !r) return r;
    const int n = beam.N();
    if (beam.cases.size() != 1 || beam.cases[0].kind != CaseKind::Permanent) {
        return Status{.code = Code::NotDesignCases};
    }
    if (!beam.moving.empty()) return Status{.code = Code::NotDesignMoving};
    for (int j = 1; j <= n + 1; ++j) {
        const SupportKind kind = beam.SupportAt(j).kind;
        const bool end = j == 1 || j == n + 1;
        if (kind != SupportKind::Pinned && !(end && kind == SupportKind::Fixed)) {
            return Status{.code = Code::NotDesignSupport, .span = j};
        }
    }
    DesignState s;
    s.SizeAll(n);
    s.EIo = beam.EIo;
    s.Flag0 = beam.supports.front().kind == SupportKind::Fixed ? kTrue : kFalse;
    s.FlagN = beam.supports.back().kind == SupportKind::Fixed ? kTrue : kFalse;
    for (int k = 1; k <= n; ++k) {
        s.L(k) = beam.SpanAt(k).L;
        s.EI(k) = beam.SpanAt(k).EI;
    }
    const std::vector<Load>& loads = beam.cases[0].loads;
    for (std::size_t i = 0; i < loads.size(); ++i) {
        const Load& load = loads[i];
        const int k = load.span;
        const double l = k >= 1 ? beam.SpanAt(k).L : 0;
        const bool uniform = load.kind == Load::Kind::Uniform && load.x1 == 0;
        const bool point = load.kind == Load::Kind::Point;
        if (k >= 1 && s.Kind(k) != LoadKind::None) {
            return Status{.code = Code::NotDesignLoadCount, .span = k, .path = LoadPath(0, i)};
        }
        if (k < 1 || !(uniform || point) || load.q1 < 0) {
            return Status{
                .code = Code::NotDesignLoad, .span = std::max(k, 0), .path = LoadPath(0, i)};
        }
        s.SetKind(k, uniform ? LoadKind::Uniform : LoadKind::Point);
        s.Q(k) = load.q1;
        s.A(k) = Fraction(load, uniform ? load.x2 : load.x1, l);
    }
    out = std::move(s);
    return {};
}

}  // namespace cbeam
