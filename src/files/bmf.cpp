#include "files/bmf.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "files/safe_write.h"
#include "model/bounds.h"

namespace cbeam {
namespace {

// Field offsets inside one 64-byte record.
constexpr int kOffCount = 0;
constexpr int kOffM = 2;
constexpr int kOffEI = 10;
constexpr int kOffEIo = 18;
constexpr int kOffL = 26;
constexpr int kOffA = 34;
constexpr int kOffQ = 42;
constexpr int kOffKind = 50;
constexpr int kOffTheta = 52;
constexpr int kOffFlag0 = 60;
constexpr int kOffFlagN = 62;

// Little-endian on every host, byte by byte.
std::int16_t GetInt16(const char* rec, int off) {
    const auto* p = reinterpret_cast<const unsigned char*>(rec + off);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

double GetReal(const char* rec, int off) {
    const auto* p = reinterpret_cast<const unsigned char*>(rec + off);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
    return std::bit_cast<double>(bits);
}

void PutInt16(char* rec, int off, std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    rec[off] = static_cast<char>(u & 0xFF);
    rec[off + 1] = static_cast<char>(u >> 8);
}

void PutReal(char* rec, int off, double v) {
    auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) {
        rec[off + i] = static_cast<char>(bits & 0xFF);
        bits >>= 8;
    }
}

bool IsLoaded(std::int16_t kind) {
    return kind == 1 || kind == 2;
}

Status NotANumber(Field field, int k = 0) {
    return Status{.code = Code::NotANumber, .span = k, .field = field};
}
// A field of record k that holds none of the values it may hold.
Status BadField(Code code, int k, std::int16_t value) {
    return Status{.code = code, .span = k, .have = value};
}

bool IsFlag(std::int16_t flag) {
    return flag == kTrue || flag == kFalse;
}

// Reads the first `limit` bytes of the file (fewer when it is shorter).
Status ReadPrefix(int fd, std::size_t limit, std::string& out) {
    const std::size_t start = out.size();
    out.resize(limit);
    std::size_t done = start;
    while (done < limit) {
        const ssize_t n = ::read(fd, out.data() + done, limit - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            out.resize(done);
            return SystemFailure(error);
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    out.resize(done);
    return {};
}

}  // namespace

bool HasCompleteBeam(const DesignState& s) {
    const int n = s.N;
    return n >= 1 && n <= kMaxSpans && s.L.Count() == n && s.EI.Count() == n &&
           s.LoadType.Count() == n && s.Q.Count() == n && s.A.Count() == n &&
           s.M.Count() == n + 1 && s.Theta.Count() == n + 1;
}

Status CheckBeamData(const DesignState& s) {
    if (!HasCompleteBeam(s)) return Status{Code::NoBeam};
    if (Status why = CheckBeamValues(s); !why) return why;
    for (int k = 1; k <= s.N + 1; ++k) {
        if (!std::isfinite(s.M(k))) return NotANumber(Field::M, k);
        if (!std::isfinite(s.Theta(k))) return NotANumber(Field::Theta, k);
    }
    return {};
}

Status DecodeBeamFile(std::string_view bytes, DesignState& state) {
    if (bytes.empty()) return Status{Code::FileEmpty};
    if (bytes.size() < static_cast<std::size_t>(kRecordSize)) return Status{Code::NoFirstRecord};
    const int n = GetInt16(bytes.data(), kOffCount);
    if (n < 1 || n > kMaxSpans) {
        return Status{.code = Code::SpanCountOutside, .have = n, .need = kMaxSpans};
    }
    const std::size_t records = bytes.size() / kRecordSize;
    if (records < static_cast<std::size_t>(n)) {
        return Status{.code = Code::FileIncomplete, .have = static_cast<int>(records), .need = n};
    }

    DesignState fresh;
    fresh.SizeAll(n);
    for (int k = 1; k <= n; ++k) {
        const char* rec = bytes.data() + static_cast<std::size_t>(k - 1) * kRecordSize;
        fresh.M(k) = GetReal(rec, kOffM);
        fresh.Theta(k) = GetReal(rec, kOffTheta);
        fresh.EIo = GetReal(rec, kOffEIo);
        fresh.EI(k) = GetReal(rec, kOffEI);
        fresh.Flag0 = GetInt16(rec, kOffFlag0);
        fresh.FlagN = GetInt16(rec, kOffFlagN);
        const std::int16_t kind = GetInt16(rec, kOffKind);
        // A kind the format does not know was read as no load, and a flag
        // other than 0 as fixed: a damaged record, refused rather than mended.
        if (kind != 0 && !IsLoaded(kind)) return BadField(Code::BadLoadKind, k, kind);
        fresh.A(k) = GetReal(rec, kOffA);
        // A span without load keeps its position for a later load, but one
        // outside 0..1 means nothing and would break the bounds the windows,
        // the drawings and the report rely on; it goes the way of the magnitude.
        const double a = fresh.A(k);
        if (!IsLoaded(kind) && std::isfinite(a) && !(a >= 0 && a <= 1)) fresh.A(k) = 0;
        fresh.L(k) = GetReal(rec, kOffL);
        if (IsLoaded(kind)) {
            fresh.Q(k) = GetReal(rec, kOffQ);
            fresh.LoadType(k) = kind;
        }
    }
    // Only record N's flags count, so only they must be flags.
    if (!IsFlag(fresh.Flag0)) return BadField(Code::BadLeftEnd, n, fresh.Flag0);
    if (!IsFlag(fresh.FlagN)) return BadField(Code::BadRightEnd, n, fresh.FlagN);
    // The last node's record may be missing; its moment is recomputed anyway.
    if (records > static_cast<std::size_t>(n)) {
        fresh.M(n + 1) = GetReal(bytes.data() + static_cast<std::size_t>(n) * kRecordSize, kOffM);
    }
    if (Status why = CheckBeamData(fresh); !why) return why;

    state = std::move(fresh);
    return {};
}

namespace {

std::string Encode(const DesignState& s, bool withResults) {
    const int n = s.N;
    std::string out(static_cast<std::size_t>(n + 1) * kRecordSize, '\0');
    for (int k = 1; k <= n + 1; ++k) {
        char* rec = out.data() + static_cast<std::size_t>(k - 1) * kRecordSize;
        PutInt16(rec, kOffCount, s.N);
        PutReal(rec, kOffM, withResults ? s.M(k) : 0.0);
        PutReal(rec, kOffEIo, s.EIo);
        PutReal(rec, kOffTheta, withResults ? s.Theta(k) : 0.0);
        PutInt16(rec, kOffFlag0, s.Flag0);
        PutInt16(rec, kOffFlagN, s.FlagN);
        // The last node starts no span: its span fields stay zero.
        if (k <= n) {
            PutReal(rec, kOffEI, s.EI(k));
            PutReal(rec, kOffL, s.L(k));
            PutReal(rec, kOffA, s.A(k));
            const std::int16_t kind = s.LoadType(k);
            if (IsLoaded(kind)) {
                PutReal(rec, kOffQ, s.Q(k));
                PutInt16(rec, kOffKind, kind);
            }
        }
    }
    return out;
}

}  // namespace

Status EncodeBeamFile(const DesignState& s, std::string& bytes) {
    if (!HasCompleteBeam(s)) return Status{Code::NoBeam};
    bytes = Encode(s, true);
    return {};
}

Status ReadBeamFile(const std::string& path, DesignState& state) {
    int fd = -1;
    if (Status opened = OpenRegularFile(path, fd); !opened) return opened;
    // Only the records the count names are read, however long the file is.
    std::string bytes;
    Status read = ReadPrefix(fd, kRecordSize, bytes);
    if (read && bytes.size() == static_cast<std::size_t>(kRecordSize)) {
        const int n = GetInt16(bytes.data(), kOffCount);
        if (n >= 1 && n <= kMaxSpans) {
            read = ReadPrefix(fd, static_cast<std::size_t>(n + 1) * kRecordSize, bytes);
        }
    }
    ::close(fd);
    if (!read) return read;
    return DecodeBeamFile(bytes, state);
}

Status LoadBeamFile(const std::string& path, BeamState& state) {
    DesignState fresh;
    if (Status r = ReadBeamFile(path, fresh); !r) return r;
    state.Loaded(std::move(fresh));
    state.MarkSaved(path);
    return {};
}

Status SaveBeamFile(const std::string& path, const DesignState& state) {
    if (Status why = CheckBeamData(state); !why) return why;
    return WriteFileSafely(path, Encode(state, static_cast<bool>(state.Results)));
}

}  // namespace cbeam
