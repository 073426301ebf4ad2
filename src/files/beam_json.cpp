#include "files/beam_json.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

#include "files/json_read.h"
#include "files/safe_write.h"
#include "model/bounds.h"

namespace cbeam {
namespace {

using json_read::Json;
using json_read::Member;
using json_read::Real;
using json_read::Refuse;

constexpr const char* kFormat = "cbeam-beam";
constexpr int kVersion = 1;
constexpr int kGeneralVersion = 2;

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

// A refusal of a value's check, with the value's path.
Status At(const std::string& path, Status why) {
    why.path = path;
    return why;
}

std::optional<std::int16_t> End(const Json& ends, const char* key, Status& error) {
    const Json* v = Member(ends, "ends", key, &Json::is_string, error);
    if (v == nullptr) return std::nullopt;
    if (*v == "fixed") return kTrue;
    if (*v == "pinned") return kFalse;
    error = Refuse(std::string("ends.") + key, Code::UnknownEnd);
    return std::nullopt;
}

Status ReadSpan(const Json& span, const std::string& path, DesignState& s, int k) {
    if (!span.is_object()) return Refuse(path, Code::WrongType);
    Status error;
    const auto L = Real(span, path, "L", error);
    if (!L) return error;
    if (Status r = CheckLength(*L, k); !r) return At(path + ".L", std::move(r));
    const auto EI = Real(span, path, "EI", error);
    if (!EI) return error;
    if (Status r = CheckRigidity(*EI, s.EIo, k); !r) return At(path + ".EI", std::move(r));
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
    if (Status r = CheckLoad(*q, k); !r) return At(loadPath + ".q", std::move(r));
    const auto a = Real(*load, loadPath, "a", error);
    if (!a) return error;
    if (Status r = CheckPosition(*a, k); !r) return At(loadPath + ".a", std::move(r));
    s.SetKind(k, *kind == "uniform" ? LoadKind::Uniform : LoadKind::Point);
    s.Q(k) = *q;
    s.A(k) = *a;
    return {};
}

// Deeper than any beam's structure ({"spans": [{"load": {}}]} is 4 deep),
// with room for keys a script adds; a deeper text is not a beam, and
// building it would take far more memory than its bytes.
constexpr std::size_t kMaxDepth = 32;

// A key of a path as a message shows it: on one line and not endless.
std::string PathKey(const std::string& key) {
    constexpr std::size_t kMaxKey = 60;
    std::string out;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const auto c = static_cast<unsigned char>(key[i]);
        // Cut only before a character's first byte.
        if (out.size() >= kMaxKey && (c & 0xC0) != 0x80) return out + "…";
        out += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
    }
    return out;
}

// Builds the document as the library's own parser does, and stops at what
// that parser lets through or throws without a place: a key given twice in
// one object (it kept the last value), nesting beyond kMaxDepth, and a
// number beyond the range of a double, each refused with its path.
class Builder final : public nlohmann::json_sax<Json> {
  public:
    explicit Builder(Json& root) : m_root(root) {}

    Status refusal;                       // set when the builder stopped the parse
    std::optional<std::size_t> syntaxAt;  // set when the text is not JSON

    bool null() override { return Put(nullptr); }
    bool boolean(bool v) override { return Put(v); }
    bool number_integer(number_integer_t v) override { return Put(v); }
    bool number_unsigned(number_unsigned_t v) override { return Put(v); }
    bool number_float(number_float_t v, const string_t&) override {
        if (!std::isfinite(v)) return Stop(Code::NumberOutOfRange, Path(true));
        return Put(v);
    }
    bool string(string_t& v) override { return Put(std::move(v)); }
    bool binary(binary_t& v) override { return Put(Json::binary(std::move(v))); }
    bool start_object(std::size_t) override { return Open(Json::object()); }
    bool start_array(std::size_t) override { return Open(Json::array()); }
    bool key(string_t& k) override {
        Frame& top = m_stack.back();
        const bool twice = top.value->contains(k);
        top.key = std::move(k);
        return twice ? Stop(Code::DuplicateKey, Path(true)) : true;
    }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& e) override {
        // The parser gives a number beyond a double's range as an error of
        // its own (406), not as an infinite value.
        if (e.id == 406) return Stop(Code::NumberOutOfRange, Path(true));
        syntaxAt = position;
        return false;
    }

  private:
    struct Frame {
        Json* value;
        std::string key;  // of the member being read, in an object
    };

    // Where the next value goes.
    Json* Slot() {
        if (m_stack.empty()) return &m_root;
        Json& parent = *m_stack.back().value;
        if (parent.is_object()) return &parent[m_stack.back().key];
        parent.push_back(nullptr);
        return &parent.back();
    }
    bool Put(Json v) {
        *Slot() = std::move(v);
        return true;
    }
    bool Open(Json empty) {
        if (m_stack.size() >= kMaxDepth) return Stop(Code::TooDeep, Path(true));
        Json* slot = Slot();
        *slot = std::move(empty);
        m_stack.push_back(Frame{slot, {}});
        return true;
    }
    bool Close() {
        m_stack.pop_back();
        return true;
    }
    bool Stop(Code code, std::string path) {
        refusal = Status{.code = code, .path = std::move(path)};
        return false;
    }
    // The path of the value being read; `pending`: not yet in its parent.
    std::string Path(bool pending) const {
        std::string path;
        for (std::size_t i = 0; i < m_stack.size(); ++i) {
            const Json& v = *m_stack[i].value;
            if (v.is_object()) {
                path += (path.empty() ? "" : ".") + PathKey(m_stack[i].key);
            } else {
                const bool last = i + 1 == m_stack.size();
                const std::size_t index = v.size() - (last && pending ? 0 : 1);
                path += "[" + std::to_string(index) + "]";
            }
        }
        return path;
    }

    Json& m_root;
    std::vector<Frame> m_stack;
};

// The largest beam (32,766 spans, every number with 17 digits) is 4.5 MB
// as cbeam writes it and 8.3 MB indented by 4; 16 MB leaves room for beams
// with several loads per span and load cases. A larger file is not a beam
// and is not read into memory, which a parsed text takes about eight times.
constexpr std::size_t kMaxJsonBytes = 16u << 20;

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

Status EncodeBeamJson(const DesignState& s, std::string& text) {
    if (!HasCompleteBeam(s)) return Status{Code::NoBeam};
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
    text = std::move(out);
    return {};
}

namespace {

// Parses the text and checks its format; `version` is 1 or 2 on success.
Status ParseBeamJson(std::string_view text, Json& doc, int& versionOut) {
    Builder builder(doc);
    if (!Json::sax_parse(text.begin(), text.end(), &builder)) {
        if (!builder.syntaxAt) return builder.refusal;
        // Where the text stops being JSON, as an editor counts it.
        const std::size_t byte = *builder.syntaxAt;
        const std::size_t at = std::min<std::size_t>(byte > 0 ? byte - 1 : 0, text.size());
        const auto line =
            std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
        const std::size_t lineStart = text.rfind('\n', at == 0 ? 0 : at - 1);
        const std::size_t column =
            lineStart == std::string_view::npos || at == 0 ? at + 1 : at - lineStart;
        return Status{.code = Code::NotJson,
                      .have = static_cast<int>(line),
                      .need = static_cast<int>(column)};
    }
    if (!doc.is_object()) return Status{.code = Code::NotAnObject};
    Status error;
    const Json* format = Member(doc, "", "format", &Json::is_string, error);
    if (format == nullptr) return error;
    if (*format != kFormat) return Refuse("format", Code::UnknownFormat);
    const Json* version = Member(doc, "", "version", &Json::is_number, error);
    if (version == nullptr) return error;
    if (*version != kVersion && *version != kGeneralVersion)
        return Refuse("version", Code::UnknownVersion);
    versionOut = *version == kVersion ? kVersion : kGeneralVersion;
    return {};
}

// Version 1: the design's beam.
Status ReadDesignBeam(const Json& doc, DesignState& state) {
    Status error;
    const auto EIo = Real(doc, "", "EIo", error);
    if (!EIo) return error;
    if (Status r = CheckBaseRigidity(*EIo); !r) return At("EIo", std::move(r));
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

    DesignState fresh;
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
    state = std::move(fresh);
    return {};
}

}  // namespace

Status DecodeBeamJson(std::string_view text, LoadedBeam& out) {
    Json doc;
    int version = 0;
    if (Status r = ParseBeamJson(text, doc, version); !r) return r;
    LoadedBeam fresh;
    fresh.general = version == kGeneralVersion;
    if (Status r = fresh.general ? json_read::ReadGeneralBeam(doc, fresh.beam)
                                 : ReadDesignBeam(doc, fresh.state);
        !r) {
        return r;
    }
    out = std::move(fresh);
    return {};
}

Status DecodeBeamJson(std::string_view text, BeamState& state) {
    LoadedBeam loaded;
    if (Status r = DecodeBeamJson(text, loaded); !r) return r;
    // The design's windows hold a general beam only when it converts exactly.
    if (loaded.general) {
        if (Status r = ToDesignState(loaded.beam, loaded.state); !r) return r;
    }
    state.Loaded(std::move(loaded.state));
    return {};
}

bool IsJsonPath(const std::string& path) {
    if (path.size() < 5) return false;
    std::string ext = path.substr(path.size() - 5);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".json";
}

BeamKind KindOfPath(const std::string& path) {
    return IsJsonPath(path) ? BeamKind::Json : BeamKind::Bmf;
}

Status LoadBeam(const std::string& path, BeamState& state) {
    return LoadBeam(path, KindOfPath(path), state);
}

Status SaveBeam(const std::string& path, const DesignState& state) {
    return SaveBeam(path, KindOfPath(path), state);
}

Status LoadBeam(const std::string& path, BeamKind kind, BeamState& state) {
    if (kind == BeamKind::Bmf) return LoadBeamFile(path, state);
    std::string text;
    if (Status r = ReadWholeFile(path, text); !r) return r;
    const Status decoded = DecodeBeamJson(text, state);
    if (decoded) state.MarkSaved(path);
    return decoded;
}

Status LoadBeam(const std::string& path, LoadedBeam& out) {
    return LoadBeam(path, KindOfPath(path), out);
}

Status LoadBeam(const std::string& path, BeamKind kind, LoadedBeam& out) {
    if (kind == BeamKind::Bmf) {
        LoadedBeam fresh;
        if (Status r = ReadBeamFile(path, fresh.state); !r) return r;
        out = std::move(fresh);
        return {};
    }
    std::string text;
    if (Status r = ReadWholeFile(path, text); !r) return r;
    LoadedBeam fresh;
    if (Status r = DecodeBeamJson(text, fresh); !r) return r;
    out = std::move(fresh);
    return {};
}

Status SaveBeam(const std::string& path, BeamKind kind, const DesignState& state) {
    if (kind == BeamKind::Bmf) return SaveBeamFile(path, state);
    if (Status why = CheckBeamData(state); !why) return why;
    std::string text;
    if (Status r = EncodeBeamJson(state, text); !r) return r;
    return WriteFileSafely(path, text);
}

}  // namespace cbeam

namespace cbeam {

Status ToBmfState(const Beam& beam, DesignState& out) {
    Status why = ToDesignState(beam, out);
    if (!why) {
        // A .bmf names no JSON path; the refusal says what the file cannot hold.
        why.path.clear();
        if (why.code == Code::NotDesignCases || why.code == Code::NotDesignSupport ||
            why.code == Code::NotDesignLoad || why.code == Code::NotDesignLoadCount ||
            why.code == Code::NotDesignMoving) {
            why.need = kForBmfSave;
        }
    }
    return why;
}

Status SaveBeam(const std::string& path, const Beam& beam) {
    if (IsJsonPath(path)) {
        if (Status why = Validate(beam); !why && why.code != Code::Mechanism) return why;
        std::string text;
        (void)EncodeBeamJson(beam, text);
        return WriteFileSafely(path, text);
    }
    DesignState state;
    if (Status why = ToBmfState(beam, state); !why) return why;
    return SaveBeamFile(path, state);
}

}  // namespace cbeam
