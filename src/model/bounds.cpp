#include "model/bounds.h"

#include <cmath>

namespace cbeam {
namespace {

Status At(Code code, Field field, int span) {
    return Status{.code = code, .span = span, .field = field};
}

bool Loaded(std::int16_t kind) {
    return kind == static_cast<std::int16_t>(LoadKind::Uniform) ||
           kind == static_cast<std::int16_t>(LoadKind::Point);
}

}  // namespace

Status CheckLength(double L, int span) {
    if (!std::isfinite(L)) return At(Code::NotANumber, Field::L, span);
    if (!(L > 0)) return At(Code::LengthNotPositive, Field::None, span);
    if (L < kMinLength || L > kMaxLength) return At(Code::ValueOutOfRange, Field::L, span);
    return {};
}

Status CheckBaseRigidity(double EIo) {
    if (!std::isfinite(EIo)) return At(Code::NotANumber, Field::EIo, 0);
    if (std::fabs(EIo) < kMinRigidity) return Status{Code::EIoTooSmall};
    if (EIo < 0) return Status{Code::EIoNotPositive};
    if (EIo > kMaxRigidity) return At(Code::ValueOutOfRange, Field::EIo, 0);
    return {};
}

Status CheckRigidity(double EI, double EIo, int span) {
    if (!std::isfinite(EI)) return At(Code::NotANumber, Field::EI, span);
    if (EI < 0) return At(Code::NegativeRigidity, Field::None, span);
    const double product = EI * EIo;
    if (EI != 0 && !(product >= kMinRigidity && product <= kMaxRigidity)) {
        return At(Code::ValueOutOfRange, Field::EI, span);
    }
    return {};
}

Status CheckLoad(double q, int span) {
    if (!std::isfinite(q)) return At(Code::NotANumber, Field::Q, span);
    if (q < 0) return At(Code::NegativeLoad, Field::None, span);
    if (q > kMaxLoad) return At(Code::ValueOutOfRange, Field::Q, span);
    return {};
}

Status CheckPosition(double a, int span) {
    if (!std::isfinite(a)) return At(Code::NotANumber, Field::A, span);
    if (!(a >= 0 && a <= 1)) return At(Code::PositionOutside, Field::None, span);
    return {};
}

Status CheckBeamValues(const DesignBeam& s) {
    const int n = s.N;
    if (n < 1 || s.L.Count() != n || s.EI.Count() != n || s.LoadType.Count() != n ||
        s.Q.Count() != n || s.A.Count() != n) {
        return Status{Code::NoBeam};
    }
    if (Status r = CheckBaseRigidity(s.EIo); !r) return r;
    for (int k = 1; k <= n; ++k) {
        // The old checks of a span come first, so that a file refused before
        // gives the reason it always gave.
        if (!std::isfinite(s.EI(k))) return At(Code::NotANumber, Field::EI, k);
        if (Status r = CheckLength(s.L(k), k); !r && r.code != Code::ValueOutOfRange) return r;
        if (!std::isfinite(s.A(k))) return At(Code::NotANumber, Field::A, k);
        const bool loaded = Loaded(s.LoadType(k));
        if (loaded) {
            if (Status r = CheckPosition(s.A(k), k); !r) return r;
            if (Status r = CheckLoad(s.Q(k), k); !r && r.code != Code::ValueOutOfRange) return r;
        }
        if (Status r = CheckRigidity(s.EI(k), s.EIo, k); !r) return r;
        if (Status r = CheckLength(s.L(k), k); !r) return r;
        if (loaded) {
            if (Status r = CheckLoad(s.Q(k), k); !r) return r;
        }
    }
    return {};
}

}  // namespace cbeam
