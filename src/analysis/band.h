#pragma once

#include <span>
#include <vector>

#include "text/status.h"

namespace cbeam::analysis {

// A symmetric positive definite band matrix, factored once as L·D·Lᵀ and
// then solved for any number of right-hand sides. Only the lower band is
// stored: row i holds K(i, i - width) .. K(i, i).
class BandLdl {
  public:
    void Reset(int order, int width);
    int Order() const { return m_order; }
    int Width() const { return m_width; }
    // An entry of the lower band, j in [i - width, i], 0-based; before Factor.
    double& At(int i, int j) { return m_a[Index(i, j)]; }
    double At(int i, int j) const { return m_a[Index(i, j)]; }

    // Ok, or NearlyMechanism when a pivot is not positive or has lost all
    // but a few digits of its row's diagonal to rounding: the supports are
    // too weak for the beam to be solved to any useful accuracy.
    Status Factor();
    // b := K⁻¹ b, after a successful Factor.
    void Solve(std::span<double> b) const;

  private:
    std::size_t Index(int i, int j) const {
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(m_width + 1) +
               static_cast<std::size_t>(m_width - (i - j));
    }
    int m_order = 0;
    int m_width = 0;
    std::vector<double> m_a;  // L below the diagonal, D on it, after Factor
};

}  // namespace cbeam::analysis
