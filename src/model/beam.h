#pragma once

#include <cassert>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text/status.h"

namespace cbeam {

// A 1-based array: valid indices 1..Count(); sizing discards the contents and
// fills with zeros.
template <class T>
class Array1 {
  public:
    void Size(int count) {
        m_data.assign(static_cast<std::size_t>(count > 0 ? count : 0) + 1, T{});
    }
    void Fill(T value) {
        for (std::size_t i = 1; i < m_data.size(); ++i) m_data[i] = value;
    }
    void Clear() { m_data.clear(); }
    int Count() const { return m_data.empty() ? 0 : static_cast<int>(m_data.size()) - 1; }
    T& operator()(int i) {
        assert(i >= 1 && i <= Count());
        return m_data[static_cast<std::size_t>(i)];
    }
    const T& operator()(int i) const {
        assert(i >= 1 && i <= Count());
        return m_data[static_cast<std::size_t>(i)];
    }
    bool operator==(const Array1&) const = default;

  private:
    std::vector<T> m_data;
};

using RealArray = Array1<double>;
using IntArray = Array1<std::int16_t>;

// The stiffness matrix of the node rotations. Only the main diagonal and the
// two adjacent ones can be non-zero, so only those are stored (the full
// matrix of a 32,766-span beam would take 8.6 GB). Reading off the band
// gives 0; the two off-diagonals are kept apart so that symmetry remains a
// property to check, not an assumption.
class BandMatrix {
  public:
    void Size(int order) {
        m_order = order > 0 ? order : 0;
        m_diag.assign(static_cast<std::size_t>(m_order) + 1, 0.0);
        m_upper.assign(static_cast<std::size_t>(m_order) + 1, 0.0);
        m_lower.assign(static_cast<std::size_t>(m_order) + 1, 0.0);
    }
    void Clear() { Size(0); }
    int Order() const { return m_order; }

    double operator()(int i, int j) const {
        assert(i >= 1 && i <= m_order && j >= 1 && j <= m_order);
        if (i == j) return m_diag[static_cast<std::size_t>(i)];
        if (j == i + 1) return m_upper[static_cast<std::size_t>(i)];
        if (j == i - 1) return m_lower[static_cast<std::size_t>(i)];
        return 0.0;
    }
    // Band entries by row, for the solver's sweeps: K(i,i), K(i,i+1), K(i,i-1).
    double Diagonal(int i) const { return m_diag[static_cast<std::size_t>(i)]; }
    double Upper(int i) const { return m_upper[static_cast<std::size_t>(i)]; }
    double Lower(int i) const { return m_lower[static_cast<std::size_t>(i)]; }

    // Writable element on the band; anything else is a programming error.
    double& At(int i, int j) {
        assert(i >= 1 && i <= m_order && j >= 1 && j <= m_order && j >= i - 1 && j <= i + 1);
        if (i == j) return m_diag[static_cast<std::size_t>(i)];
        if (j == i + 1) return m_upper[static_cast<std::size_t>(i)];
        return m_lower[static_cast<std::size_t>(i)];
    }
    bool operator==(const BandMatrix&) const = default;

  private:
    int m_order = 0;
    std::vector<double> m_diag;   // K(i,i)
    std::vector<double> m_upper;  // K(i,i+1)
    std::vector<double> m_lower;  // K(i,i-1)
};

// The load of a span as LoadType stores it (and the file holds it): the
// values are the stored codes.
enum class LoadKind : std::int16_t { None = 0, Uniform = 1, Point = 2 };

constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;
// The node count N+1 must still fit the 16-bit count.
constexpr int kMaxSpans = 32766;

// The beam as the design's windows, its data file and its report see it:
// N spans with one load each, the two end conditions.
struct DesignBeam {
    std::int16_t N = 0;
    double EIo = 0.0;
    std::int16_t Flag0 = kFalse;
    std::int16_t FlagN = kFalse;
    RealArray L;
    RealArray EI;
    IntArray LoadType;
    RealArray Q;
    RealArray A;

    LoadKind Kind(int k) const { return static_cast<LoadKind>(LoadType(k)); }
    void SetKind(int k, LoadKind kind) { LoadType(k) = static_cast<std::int16_t>(kind); }
    // N, EIo, the end flags, then per span L, EI, load kind, magnitude and
    // a; a span without load has kind and magnitude 0, as a file keeps it.
    std::vector<double> InputValues() const;
    bool operator==(const DesignBeam&) const = default;
};

// What the design's procedures work out, in their order, and whether it
// belongs to the beam: the quantities the calculation sheet shows.
struct DesignWorking {
    RealArray LineStiff;
    RealArray FemL;
    RealArray FemR;
    BandMatrix K;
    RealArray Theta;
    RealArray NodeLoad;
    RealArray M;
    // The outcome of the last analysis of the beam as it stands: anything but
    // Ok means that M and Theta are not its results (the beam changed since,
    // or its analysis was refused), so they must not be saved or reported.
    Status Results{Code::NotAnalysed};

    // A new or resized beam: its results are not current until analysed.
    void Changed() { Results = Status{Code::NotAnalysed}; }
};

// A design beam with its analysis: what the drawings, the report, the
// sheet and the data file read.
struct DesignState : DesignBeam, DesignWorking {
    // The start dialog's sizing for a new count: L and EI 1..n, every element 1.
    void SizeTyped(int n);
    // The input window's sizing of a typed beam: loads and analysis arrays for N, all zero.
    void SizeLoadsAndResults();
    // The file loader's sizing: every array for n, all zero.
    void SizeAll(int n);
};

// What the windows keep between steps: where the user is, and which file
// the beam came from.
struct Session {
    std::int16_t CurSpan = 0;
    std::int16_t InputMode = 0;
    // The file the beam was last loaded from; empty for a beam never loaded.
    std::string FileName;
    // The input values (InputValues) as last saved or loaded; kept with the
    // beam, not a window, so that going back and confirming the beam again
    // still tells a changed beam from the one on disk.
    std::optional<std::vector<double>> SavedInputs;
};

// The one beam of the windows: the beam, its analysis and the session.
struct BeamState : DesignState, Session {
    // The beam is what the file at `path` holds now (just loaded or saved).
    void MarkSaved(const std::string& path) {
        FileName = path;
        SavedInputs = InputValues();
    }
    // A loaded beam replaces the beam and its analysis; the session keeps
    // the window's place and starts editing the loaded values.
    void Loaded(DesignState&& fresh) {
        static_cast<DesignState&>(*this) = std::move(fresh);
        InputMode = 2;
    }
};

}  // namespace cbeam
