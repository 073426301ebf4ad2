#include "files/beam_json.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

#include "files/safe_write.h"

namespace cbeam {
namespace {

using Json = nlohmann::json;

constexpr const char* kFormat = "cbeam-beam";
constexpr int kVersion = 1;

// The shortest text that reads back as the same double.
std::string Number(double v) {
    return Json(v).dump();
}

const char* KindName(LoadKind kind) {
    switch (kind) {
        case LoadKind::Uniform:
            return "uniform";
        case LoadKind::Point:
            return "point";
        case LoadKind::None:
            break;
    }
    return "none";
}

// A refusal of the value at `path`.
Status Refuse(const std::string& path, Code code, int span = 0) {
    return Status{.code = code, .span = span, .path = path};
}

// Looks up a member of an object; `error` is set when it is missing or of
// another type than `isType` accepts.
const Json* Member(const Json& object, const std::string& parent, const char* key,
                   bool (Json::*isType)() const noexcept, Status& error) {
    const std::string path = parent.empty() ? key : parent + "." + key;
    const auto it = object.find(key);
    if (it == object.end()) {
        error = Refuse(path, Code::MissingField);
        return nullptr;
    }
    if (!((*it).*isType)()) {
        error = Refuse(path, Code::WrongType);
        return nullptr;
    }
    return &*it;
}

std::optional<double> Real(const Json& object, const std::string& parent, const char* key,
                           Status& error) {
    const Json* v = Member(object, parent, key, &Json::is_number, error);
    if (v == nullptr) return std::nullopt;
    const double d = v->get<double>();
    if (!std::isfinite(d)) {
        error = Refuse(parent.empty() ? key : parent + "." + key, Code::NumberOutOfRange);
        return std::nullopt;
    }
    return d;
}

std::optional<std::int16_t> End(const Json& ends, const char* key, Status& error) {
    const Json* v = Member(ends, "ends", key, &Json::is_string, error);
    if (v == nullptr) return std::nullopt;
    if (*v == "fixed") return kTrue;
    if (*v == "pinned") return kFalse;
    error = Refuse(std::string("ends.") + key, Code::UnknownEnd);
    return std::nullopt;
}

Status ReadSpan(const Json& span, const std::string& path, BeamState& s, int k) {
    if (!span.is_object()) return Refuse(path, Code::WrongType);
    Status error;
    const auto L = Real(span, path, "L", error);
    if (!L) return error;
    if (!(*L > 0)) return Refuse(path + ".L", Code::LengthNotPositive, k);
    const auto EI = Real(span, path, "EI", error);
    if (!EI) return error;
    const Json* load = Member(span, path, "load", &Json::is_object, error);
    if (load == nullptr) return error;
    const std::string loadPath = path + ".load";
    const Json* kind = Member(*load, loadPath, "kind", &Json::is_string, error);
    if (kind == nullptr) return error;
    s.L(k) = *L;
    s.EI(k) = *EI;
    if (*kind == "none") return {};
    if (*kind != "uniform" && *kind != "point") {
        return Refuse(loadPath + ".kind", Code::UnknownLoadKind);
    }
    const auto q = Real(*load, loadPath, "q", error);
    if (!q) return error;
    if (*q < 0) return Refuse(loadPath + ".q", Code::NegativeLoad, k);
    const auto a = Real(*load, loadPath, "a", error);
    if (!a) return error;
    if (!(*a >= 0 && *a <= 1)) return Refuse(loadPath + ".a", Code::PositionOutside, k);
    s.SetKind(k, *kind == "uniform" ? LoadKind::Uniform : LoadKind::Point);
    s.Q(k) = *q;
    s.A(k) = *a;
    return {};
}

// A JSON beam of the largest size is a few megabytes; a file far beyond that
// is not a beam and is not read into memory.
constexpr std::size_t kMaxJsonBytes = 64u << 20;

Status ReadWholeFile(const std::string& path, std::string& out) {
    int fd = -1;
    if (Status opened = OpenRegularFile(path, fd); !opened) return opened;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return SystemFailure(error);
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
        if (out.size() > kMaxJsonBytes) {
            ::close(fd);
            return Status{.code = Code::FileTooLarge};
        }
    }
    ::close(fd);
    return {};
}

}  // namespace

std::string EncodeBeamJson(const BeamState& s) {
    if (!HasCompleteBeam(s)) return {};
    std::string out = "{\n  \"format\": \"";
    out += kFormat;
    out += "\",\n  \"version\": " + std::to_string(kVersion);
    out += ",\n  \"EIo\": " + Number(s.EIo);
    out += ",\n  \"ends\": {\"left\": \"";
    out += s.Flag0 != kFalse ? "fixed" : "pinned";
    out += "\", \"right\": \"";
    out += s.FlagN != kFalse ? "fixed" : "pinned";
    out += "\"},\n  \"spans\": [";
    for (int k = 1; k <= s.N; ++k) {
        out += k > 1 ? ",\n    " : "\n    ";
        out += "{\"L\": " + Number(s.L(k)) + ", \"EI\": " + Number(s.EI(k)) +
               ", \"load\": {\"kind\": \"" + KindName(s.Kind(k)) + '"';
        if (s.Kind(k) == LoadKind::Uniform || s.Kind(k) == LoadKind::Point) {
            out += ", \"q\": " + Number(s.Q(k)) + ", \"a\": " + Number(s.A(k));
        }
        out += "}}";
    }
    out += "\n  ]\n}\n";
    return out;
}

Status DecodeBeamJson(std::string_view text, BeamState& state) {
    Json doc;
    try {
        doc = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        // Where the text stops being JSON, as an editor counts it.
        const std::size_t at = std::min<std::size_t>(e.byte > 0 ? e.byte - 1 : 0, text.size());
        const auto line =
            std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
        const std::size_t lineStart = text.rfind('\n', at == 0 ? 0 : at - 1);
        const std::size_t column =
            lineStart == std::string_view::npos || at == 0 ? at + 1 : at - lineStart;
        return Status{.code = Code::NotJson,
                      .have = static_cast<int>(line),
                      .need = static_cast<int>(column)};
    } catch (const Json::exception&) {
        // The parser's other refusal: a number beyond the range of a double.
        return Status{.code = Code::NumberOutOfRange};
    }
    if (!doc.is_object()) return Status{.code = Code::NotAnObject};
    Status error;
    const Json* format = Member(doc, "", "format", &Json::is_string, error);
    if (format == nullptr) return error;
    if (*format != kFormat) return Refuse("format", Code::UnknownFormat);
    const Json* version = Member(doc, "", "version", &Json::is_number, error);
    if (version == nullptr) return error;
    if (*version != kVersion) return Refuse("version", Code::UnknownVersion);
    const auto EIo = Real(doc, "", "EIo", error);
    if (!EIo) return error;
    if (std::fabs(*EIo) < 1e-6) return Refuse("EIo", Code::EIoTooSmall);
    const Json* ends = Member(doc, "", "ends", &Json::is_object, error);
    if (ends == nullptr) return error;
    const auto left = End(*ends, "left", error);
    if (!left) return error;
    const auto right = End(*ends, "right", error);
    if (!right) return error;
    const Json* spans = Member(doc, "", "spans", &Json::is_array, error);
    if (spans == nullptr) return error;
    if (spans->empty() || spans->size() > static_cast<std::size_t>(kMaxSpans)) {
        Status outside = Refuse("spans", Code::SpanCountOutside);
        outside.have = static_cast<int>(std::min<std::size_t>(spans->size(), 1u << 30));
        outside.need = kMaxSpans;
        return outside;
    }

    BeamState fresh;
    fresh.SizeAll(static_cast<int>(spans->size()));
    fresh.EIo = *EIo;
    fresh.Flag0 = *left;
    fresh.FlagN = *right;
    for (int k = 1; k <= fresh.N; ++k) {
        const std::string path = "spans[" + std::to_string(k - 1) + "]";
        if (Status r = ReadSpan((*spans)[static_cast<std::size_t>(k - 1)], path, fresh, k); !r) {
            return r;
        }
    }
    if (Status why = CheckBeamData(fresh); !why) return why;
    fresh.CurSpan = state.CurSpan;
    fresh.HatchSpacing = state.HatchSpacing;
    fresh.InputMode = 2;
    state = std::move(fresh);
    return {};
}

bool IsJsonPath(const std::string& path) {
    if (path.size() < 5) return false;
    std::string ext = path.substr(path.size() - 5);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".json";
}

Status LoadBeam(const std::string& path, BeamState& state) {
    if (!IsJsonPath(path)) return LoadBeamFile(path, state);
    std::string text;
    if (Status r = ReadWholeFile(path, text); !r) return r;
    const Status decoded = DecodeBeamJson(text, state);
    if (decoded) state.MarkSaved(path);
    return decoded;
}

Status SaveBeam(const std::string& path, const BeamState& state) {
    if (!IsJsonPath(path)) return SaveBeamFile(path, state);
    if (Status why = CheckBeamData(state); !why) return why;
    return WriteFileSafely(path, EncodeBeamJson(state));
}

}  // namespace cbeam
