#pragma once

#include "model/beam.h"
#include "text/status.h"

// ModuleCompute: the steps of the stiffness-method analysis of a design beam. Only the analysis
// driver (model/driver.h) runs them in order. The procedures take the arrays they work on by
// reference in a fixed order; the state parameter supplies the scalars they read (N, Flag0, FlagN)
// and, for CalcLoads, the fixed-end moments it writes.
namespace cbeam {

void CalcStiffness(const DesignBeam& s, BandMatrix& K, RealArray& LineStiff, const double& EIo,
                   const RealArray& EI, const RealArray& L);

void CalcLoads(DesignState& s, RealArray& NodeLoad, const RealArray& L, const IntArray& LoadType,
               const RealArray& Q, const RealArray& A);

// Checks the symmetry of K, then solves: Ok; NotSymmetric (K(i,j) != K(j,i)
// somewhere), with Theta as it was; NotSolvable (a zero pivot or a rotation
// that is not finite), with Theta partial.
Status SolveEquations(const DesignBeam& s, RealArray& Theta, BandMatrix& K,
                      const RealArray& NodeLoad);

// Imposes the clamped ends on K (identity row and column, zero rotation) and
// solves the remaining tridiagonal system by LDL^T elimination.
Status SolveTridiagonal(const DesignBeam& s, RealArray& Theta, BandMatrix& K,
                        const RealArray& NodeLoad);

void CalcMoments(const DesignState& s, RealArray& M, const RealArray& LineStiff,
                 const RealArray& Theta, const RealArray& NodeLoad);

// The first span whose EI is exactly 0 (an undefined span), or 0 when none.
int FirstUndefinedSpan(const DesignBeam& s);

}  // namespace cbeam
