#pragma once

#include "model/beam.h"
#include "text/status.h"

// What a beam can be. Beyond these bounds the analysis and the design values
// leave the range of a double (a 1e200 m span's deflection, a subnormal
// rigidity's rotations), so every way in (the beam files, the windows, the
// analysis) refuses such a value with the field it belongs to. Within them
// every result is finite: q L^4 / EI stays below about 1e28 mm.
namespace cbeam {

constexpr double kMinLength = 1e-3;  // m
constexpr double kMaxLength = 1e4;   // m
// EI * EIo, and EIo itself, in 10^6 kN·m².
constexpr double kMinRigidity = 1e-6;
constexpr double kMaxRigidity = 1e12;
// |q| in kN/m for a uniform load, kN for a point load.
constexpr double kMaxLoad = 1e9;

// One value as a field holds it; `span` goes into the refusal so that it
// names the field. Ok, or NotANumber, LengthNotPositive, ValueOutOfRange.
Status CheckLength(double L, int span);
// EIo: NotANumber, EIoTooSmall (|EIo| < 1e-6), EIoNotPositive, ValueOutOfRange.
Status CheckBaseRigidity(double EIo);
// A span's EI, with an EIo that passed CheckBaseRigidity. EI = 0 passes: it
// marks a span not yet defined, which the analysis refuses on its own.
// NotANumber, NegativeRigidity, ValueOutOfRange (EI * EIo outside the bounds).
Status CheckRigidity(double EI, double EIo, int span);
// A load's magnitude: NotANumber, NegativeLoad, ValueOutOfRange.
Status CheckLoad(double q, int span);
// A loaded span's position a: NotANumber, PositionOutside.
Status CheckPosition(double a, int span);

// Every value of the beam's description that the analysis reads, in the order
// the loaders have always checked them: EIo, then span by span EI, L, a and,
// for a loaded span, a and q. NoBeam when an array is not sized for N.
Status CheckBeamValues(const DesignBeam& s);

}  // namespace cbeam
