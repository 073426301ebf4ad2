#include "analysis/band.h"

#include <algorithm>
#include <cmath>

namespace cbeam::analysis {

namespace {
// A pivot below this fraction of its diagonal leaves fewer than about four
// significant digits in the solution.
constexpr double kPivotFloor = 1e-12;
}  // namespace

void BandLdl::Reset(int order, int width) {
    m_order = std::max(order, 0);
    m_width = std::max(width, 0);
    m_a.assign(static_cast<std::size_t>(m_order) * static_cast<std::size_t>(m_width + 1), 0.0);
}

Status BandLdl::Factor() {
    std::vector<double> t(static_cast<std::size_t>(m_width) + 1);
    for (int i = 0; i < m_order; ++i) {
        const int j0 = std::max(0, i - m_width);
        // t[j - j0] = L(i,j)·D(j), built row by row from the entries left of it.
        for (int j = j0; j < i; ++j) {
            double s = At(i, j);
            for (int k = std::max(j0, j - m_width); k < j; ++k) s -= t[k - j0] * At(j, k);
            t[j - j0] = s;
        }
        const double diag = At(i, i);
        double d = diag;
        for (int j = j0; j < i; ++j) {
            const double l = t[j - j0] / At(j, j);
            d -= t[j - j0] * l;
            At(i, j) = l;
        }
        if (!(d > kPivotFloor * diag) || !std::isfinite(d))
            return Status{.code = Code::NearlyMechanism};
        At(i, i) = d;
    }
    return {};
}

void BandLdl::Solve(std::span<double> b) const {
    for (int i = 0; i < m_order; ++i) {
        double s = b[i];
        for (int j = std::max(0, i - m_width); j < i; ++j) s -= At(i, j) * b[j];
        b[i] = s;
    }
    for (int i = 0; i < m_order; ++i) b[i] /= At(i, i);
    for (int i = m_order - 1; i >= 0; --i) {
        double s = b[i];
        for (int k = i + 1; k <= std::min(m_order - 1, i + m_width); ++k) s -= At(k, i) * b[k];
        b[i] = s;
    }
}

}  // namespace cbeam::analysis
