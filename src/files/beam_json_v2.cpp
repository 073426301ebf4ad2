// JSON beams of version 2: the general beam (spans, supports, load cases).
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>

#include "files/beam_json.h"
#include "files/json_read.h"
#include "model/bounds.h"

namespace cbeam {
namespace json_read {
namespace {

constexpr std::array<std::pair<SupportKind, std::string_view>, 4> kSupportNames{{
    {SupportKind::Pinned, "pinned"},
    {SupportKind::Fixed, "fixed"},
    {SupportKind::Spring, "spring"},
    {SupportKind::Free, "free"},
}};
constexpr std::array<std::pair<Load::Kind, std::string_view>, 5> kLoadNames{{
    {Load::Kind::Uniform, "uniform"},
    {Load::Kind::Linear, "linear"},
    {Load::Kind::Point, "point"},
    {Load::Kind::Moment, "moment"},
    {Load::Kind::Settlement, "settlement"},
}};

template <class K, std::size_t n>
std::string_view NameOf(const std::array<std::pair<K, std::string_view>, n>& names, K kind) {
    for (const auto& [k, name] : names) {
        if (k == kind) return name;
    }
    return {};
}

template <class K, std::size_t n>
bool KindOf(const std::array<std::pair<K, std::string_view>, n>& names, const Json& text, K& kind) {
    for (const auto& [k, name] : names) {
        if (text.get_ref<const std::string&>() == name) {
            kind = k;
            return true;
        }
    }
    return false;
}

Status At(std::string path, Status why) {
    why.path = std::move(path);
    return why;
}

std::string Index(const char* array, std::size_t i) {
    return std::string(array) + "[" + std::to_string(i) + "]";
}

// The reader of one object: each value looked up, typed and range-checked
// under the object's path; the first refusal sticks and ends the reading.
class Reader {
  public:
    Reader(const Json& object, std::string path) : m_object(object), m_path(std::move(path)) {
        if (!object.is_object()) m_error = Refuse(m_path, Code::WrongType);
    }
    bool Ok() const { return static_cast<bool>(m_error); }
    const Status& Error() const { return m_error; }
    const std::string& Path() const { return m_path; }
    std::string PathOf(const char* key) const { return Join(m_path, key); }
    void Fail(Status why) {
        if (Ok()) m_error = std::move(why);
    }

    // A number within [lo, hi] (lo excluded where `above`).
    double Number(const char* key, double lo, double hi, Code below, bool above = false) {
        if (!Ok()) return 0;
        const auto v = Real(m_object, m_path, key, m_error);
        if (!v) return 0;
        Check(key, *v, lo, hi, below, above);
        return *v;
    }
    // An optional number: `fallback` when the key is missing.
    double NumberOr(const char* key, double fallback, double lo, double hi, Code below) {
        if (!Ok() || !m_object.contains(key)) return fallback;
        return Number(key, lo, hi, below);
    }
    // A whole number within [lo, hi]; a count from 1 such as a span or node.
    int Whole(const char* key, int lo, int hi, Code outside) {
        if (!Ok()) return 0;
        const Json* v = Member(m_object, m_path, key, &Json::is_number_integer, m_error);
        if (v == nullptr) return 0;
        const std::int64_t i = v->is_number_unsigned() && v->get<std::uint64_t>() > INT64_MAX
                                   ? INT64_MAX
                                   : v->get<std::int64_t>();
        if (i < lo || i > hi) {
            Fail(Status{
                .code = outside,
                .have = static_cast<int>(std::clamp<std::int64_t>(i, INT32_MIN, INT32_MAX)),
                .need = outside == Code::LoadSpanOutside && key == std::string_view("node") ? 1 : 0,
                .path = PathOf(key)});
            return 0;
        }
        return static_cast<int>(i);
    }
    const Json* Value(const char* key, bool (Json::*isType)() const noexcept) {
        if (!Ok()) return nullptr;
        return Member(m_object, m_path, key, isType, m_error);
    }
    template <class K, std::size_t n>
    K Kind(const std::array<std::pair<K, std::string_view>, n>& names, Code unknown) {
        K kind = names[0].first;
        const Json* v = Value("kind", &Json::is_string);
        if (v != nullptr && !KindOf(names, *v, kind)) Fail(Refuse(PathOf("kind"), unknown));
        return kind;
    }

  private:
    void Check(const char* key, double v, double lo, double hi, Code below, bool above) {
        if (above ? v <= lo : v < lo) {
            Fail(Refuse(PathOf(key), below));
        } else if (v > hi) {
            Fail(Refuse(PathOf(key), Code::ValueOutOfRange));
        }
    }

    const Json& m_object;
    std::string m_path;
    Status m_error;
};

// Loads of either sign, settlements (mm) and springs within the load bound.
constexpr double kHuge = 1e300;

Status ReadSupport(const Json& item, const std::string& path, int node, int nodes, Support& out) {
    Reader r(item, path);
    out.kind = r.Kind(kSupportNames, Code::UnknownSupportKind);
    if (out.kind == SupportKind::Spring) {
        out.k = r.Number("k", 0, kMaxLoad, Code::SpringNotPositive, true);
        out.kr = r.NumberOr("kr", 0, 0, kMaxLoad, Code::SpringNotPositive);
    }
    if (r.Ok() && out.kind == SupportKind::Free && node != 1 && node != nodes) {
        r.Fail(Refuse(r.PathOf("kind"), Code::FreeInside, node));
    }
    if (!r.Ok()) {
        Status why = r.Error();
        if (why.code == Code::SpringNotPositive) why.span = node;
        return why;
    }
    return {};
}

Status ReadLoad(const Json& item, const std::string& path, const Beam& beam, Load& out) {
    Reader r(item, path);
    const Load::Kind kind = r.Kind(kLoadNames, Code::UnknownGeneralLoadKind);
    if (!r.Ok()) return r.Error();
    const int n = beam.N();
    if (kind == Load::Kind::Settlement) {
        const int node = r.Whole("node", 1, n + 1, Code::LoadSpanOutside);
        const double d = r.Number("d", -kMaxLoad, kMaxLoad, Code::ValueOutOfRange);
        if (r.Ok() && !beam.SupportAt(node).HoldsDeflection()) {
            return Refuse(r.PathOf("node"), Code::SettlementNotHeld, node);
        }
        out = Load::Settlement(node, d);
        return r.Error();
    }
    const int span = r.Whole("span", 1, n, Code::LoadSpanOutside);
    if (!r.Ok()) return r.Error();
    const double l = beam.SpanAt(span).L;
    // A position outside the span is refused as such, not as a range.
    const auto x = [&](const char* key, std::optional<double> fallback, double from) {
        const double v = fallback ? r.NumberOr(key, *fallback, -kHuge, kHuge, Code::LoadOutsideSpan)
                                  : r.Number(key, -kHuge, kHuge, Code::LoadOutsideSpan);
        if (r.Ok() && !(v >= from && v <= l))
            r.Fail(Refuse(r.PathOf(key), Code::LoadOutsideSpan, span));
        return v;
    };
    const auto value = [&](const char* key) {
        return r.Number(key, -kMaxLoad, kMaxLoad, Code::ValueOutOfRange);
    };
    switch (kind) {
        case Load::Kind::Uniform: {
            const double q = value("q"), x1 = x("x1", 0, 0);
            out = Load::Uniform(span, q, x1, x("x2", l, x1));
            break;
        }
        case Load::Kind::Linear: {
            const double q1 = value("q1"), q2 = value("q2"), x1 = x("x1", 0, 0);
            out = Load::Linear(span, q1, q2, x1, x("x2", l, x1));
            break;
        }
        case Load::Kind::Point: {
            const double p = value("P");
            out = Load::Point(span, p, x("x", std::nullopt, 0));
            break;
        }
        default: {
            const double m = value("M");
            out = Load::Moment(span, m, x("x", std::nullopt, 0));
            break;
        }
    }
    return r.Error();
}

Status ReadCase(const Json& item, const std::string& path, const Beam& beam, LoadCase& out) {
    Reader r(item, path);
    const Json* name = r.Value("name", &Json::is_string);
    if (name != nullptr && name->get_ref<const std::string&>().empty()) {
        r.Fail(Refuse(r.PathOf("name"), Code::CaseNameEmpty));
    }
    out.kind = r.Kind(
        std::array<std::pair<CaseKind, std::string_view>, 2>{
            {{CaseKind::Permanent, "permanent"}, {CaseKind::Variable, "variable"}}},
        Code::UnknownCaseKind);
    const Json* loads = r.Value("loads", &Json::is_array);
    if (r.Ok() && item.contains("pattern")) {
        const Json* p = r.Value("pattern", &Json::is_boolean);
        if (p != nullptr) out.pattern = p->get<bool>();
    }
    if (r.Ok() && item.contains("psi_q")) {
        out.psiQ = r.Number("psi_q", 0, kHuge, Code::PsiOutside);
        if (r.Ok() && *out.psiQ > 1) r.Fail(Refuse(r.PathOf("psi_q"), Code::PsiOutside));
    }
    if (!r.Ok()) return r.Error();
    out.name = name->get<std::string>();
    out.loads.resize(loads->size());
    for (std::size_t i = 0; i < loads->size(); ++i) {
        if (Status why =
                ReadLoad((*loads)[i], r.PathOf(Index("loads", i).c_str()), beam, out.loads[i]);
            !why) {
            return why;
        }
    }
    return {};
}

// {"name": …, "factors": {"G": [1.3, 1.0], …}}, the factors kept in the
// beam's case order so that writing them again gives the same text.
Status ReadCombination(const Json& item, const std::string& path, const Beam& beam,
                       Combination& out) {
    Reader r(item, path);
    const Json* name = r.Value("name", &Json::is_string);
    const Json* factors = r.Value("factors", &Json::is_object);
    if (!r.Ok()) return r.Error();
    out.name = name->get<std::string>();
    for (const auto& [key, value] : factors->items()) {
        const std::string at = Join(r.PathOf("factors"), key.c_str());
        const bool known = std::any_of(beam.cases.begin(), beam.cases.end(),
                                       [&](const LoadCase& c) { return c.name == key; });
        if (!known) return Refuse(at, Code::CombinationCaseUnknown);
        if (!value.is_array() || value.size() != 2 || !value[0].is_number() ||
            !value[1].is_number()) {
            return Refuse(at, Code::FactorOutside);
        }
        out.factors.push_back({key, value[0].get<double>(), value[1].get<double>()});
    }
    const auto order = [&](const CaseFactors& f) {
        return std::find_if(beam.cases.begin(), beam.cases.end(),
                            [&](const LoadCase& c) { return c.name == f.caseName; }) -
               beam.cases.begin();
    };
    std::sort(out.factors.begin(), out.factors.end(),
              [&](const CaseFactors& a, const CaseFactors& b) { return order(a) < order(b); });
    return {};
}

// {"name": …, "axles": […], "spacing": […], "lane": …}; the values' rules
// are ValidateMoving's, which names the same paths.
Status ReadMoving(const Json& item, const std::string& path, MovingLoad& out) {
    Reader r(item, path);
    const Json* name = r.Value("name", &Json::is_string);
    const Json* axles = r.Value("axles", &Json::is_array);
    const Json* spacing = item.contains("spacing") ? r.Value("spacing", &Json::is_array) : nullptr;
    out.lane = r.NumberOr("lane", 0, -kHuge, kHuge, Code::LaneOutside);
    if (!r.Ok()) return r.Error();
    out.name = name->get<std::string>();
    for (const auto& [key, from, to] :
         {std::tuple{"axles", axles, &out.loads}, std::tuple{"spacing", spacing, &out.spacing}}) {
        if (from == nullptr) continue;
        for (std::size_t i = 0; i < from->size(); ++i) {
            if (!(*from)[i].is_number())
                return Refuse(r.PathOf(Index(key, i).c_str()), Code::WrongType);
            to->push_back((*from)[i].get<double>());
        }
    }
    return {};
}

}  // namespace

Status ReadGeneralBeam(const Json& doc, Beam& out) {
    Beam b;
    Reader top(doc, "");
    b.EIo = top.Number("EIo", -kHuge, kHuge, Code::ValueOutOfRange);
    if (Status why = CheckBaseRigidity(b.EIo); top.Ok() && !why)
        top.Fail(At("EIo", std::move(why)));
    const Json* spans = top.Value("spans", &Json::is_array);
    const Json* supports = top.Value("supports", &Json::is_array);
    const Json* cases = top.Value("cases", &Json::is_array);
    if (!top.Ok()) return top.Error();
    if (spans->empty() || spans->size() > static_cast<std::size_t>(kMaxSpans)) {
        return Status{.code = Code::SpanCountOutside,
                      .have = static_cast<int>(std::min<std::size_t>(spans->size(), 1u << 30)),
                      .need = kMaxSpans,
                      .path = "spans"};
    }
    const int n = static_cast<int>(spans->size());
    b.spans.resize(spans->size());
    for (std::size_t k = 0; k < spans->size(); ++k) {
        Reader r((*spans)[k], Index("spans", k));
        const int span = static_cast<int>(k) + 1;
        b.spans[k].L = r.Number("L", -kHuge, kHuge, Code::ValueOutOfRange);
        if (Status why = CheckLength(b.spans[k].L, span); r.Ok() && !why)
            r.Fail(At(r.PathOf("L"), std::move(why)));
        // EI 0 marks a span not yet defined in the design's beam; here every span is.
        b.spans[k].EI = r.Number("EI", 0, kHuge, Code::RigidityNotPositive, true);
        if (Status why = CheckRigidity(b.spans[k].EI, b.EIo, span); r.Ok() && !why) {
            r.Fail(At(r.PathOf("EI"), std::move(why)));
        }
        if (!r.Ok()) {
            Status why = r.Error();
            why.span = span;
            return why;
        }
    }
    if (supports->size() != spans->size() + 1) {
        return Status{.code = Code::SupportCountWrong,
                      .have = static_cast<int>(std::min<std::size_t>(supports->size(), 1u << 30)),
                      .need = n + 1,
                      .path = "supports"};
    }
    b.supports.resize(supports->size());
    for (std::size_t j = 0; j < supports->size(); ++j) {
        if (Status why = ReadSupport((*supports)[j], Index("supports", j), static_cast<int>(j) + 1,
                                     n + 1, b.supports[j]);
            !why) {
            return why;
        }
    }
    b.cases.resize(cases->size());
    for (std::size_t c = 0; c < cases->size(); ++c) {
        if (Status why = ReadCase((*cases)[c], Index("cases", c), b, b.cases[c]); !why) return why;
    }
    // Repeated case names before the combinations that name them.
    if (Status why = Validate(b); !why && why.code != Code::Mechanism) return why;
    if (doc.contains("combinations")) {
        const Json* combinations = top.Value("combinations", &Json::is_array);
        if (!top.Ok()) return top.Error();
        b.combinations.resize(combinations->size());
        for (std::size_t i = 0; i < combinations->size(); ++i) {
            if (Status why = ReadCombination((*combinations)[i], Index("combinations", i), b,
                                             b.combinations[i]);
                !why) {
                return why;
            }
        }
    }
    if (doc.contains("moving")) {
        const Json* moving = top.Value("moving", &Json::is_array);
        if (!top.Ok()) return top.Error();
        b.moving.resize(moving->size());
        for (std::size_t i = 0; i < moving->size(); ++i) {
            if (Status why = ReadMoving((*moving)[i], Index("moving", i), b.moving[i]); !why)
                return why;
        }
    }
    // A mechanism is a beam all the same; the analysis refuses it.
    if (Status why = ValidateCombinations(b); !why) return why;
    if (Status why = ValidateMoving(b); !why) return why;
    out = std::move(b);
    return {};
}

}  // namespace json_read

namespace {

// The shortest text that reads back as the same double ("6", not "6.0"); a zero is 0.
std::string Num(double v) {
    char buf[40];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v == 0 ? 0.0 : v);
    return std::string(buf, ec == std::errc() ? end : buf);
}

void Key(std::string& out, const char* key, double v) {
    out += ", \"";
    out += key;
    out += "\": " + Num(v);
}

}  // namespace

Status EncodeBeamJson(const Beam& beam, std::string& text) {
    using json_read::Json;
    std::string out =
        "{\n  \"format\": \"cbeam-beam\",\n  \"version\": 2,\n  \"EIo\": " + Num(beam.EIo);
    out += ",\n  \"spans\": [";
    for (std::size_t k = 0; k < beam.spans.size(); ++k) {
        out += k > 0 ? ",\n    " : "\n    ";
        out += "{\"L\": " + Num(beam.spans[k].L) + ", \"EI\": " + Num(beam.spans[k].EI) + "}";
    }
    out += "\n  ],\n  \"supports\": [";
    for (std::size_t j = 0; j < beam.supports.size(); ++j) {
        const Support& s = beam.supports[j];
        out += j > 0 ? ",\n    " : "\n    ";
        out += "{\"kind\": \"";
        out += json_read::NameOf(json_read::kSupportNames, s.kind);
        out += '"';
        if (s.kind == SupportKind::Spring) {
            Key(out, "k", s.k);
            if (s.kr != 0) Key(out, "kr", s.kr);
        }
        out += '}';
    }
    out += "\n  ],\n  \"cases\": [";
    for (std::size_t c = 0; c < beam.cases.size(); ++c) {
        const LoadCase& lc = beam.cases[c];
        out += c > 0 ? ",\n    " : "\n    ";
        out += "{\"name\": " + Json(lc.name).dump() + ", \"kind\": \"";
        out += lc.kind == CaseKind::Permanent ? "permanent" : "variable";
        out += '"';
        if (lc.pattern) out += *lc.pattern ? ", \"pattern\": true" : ", \"pattern\": false";
        if (lc.psiQ) Key(out, "psi_q", *lc.psiQ);
        out += ", \"loads\": [";
        for (std::size_t i = 0; i < lc.loads.size(); ++i) {
            const Load& l = lc.loads[i];
            out += i > 0 ? ",\n      " : "\n      ";
            out += l.kind == Load::Kind::Settlement ? "{\"node\": " + std::to_string(l.node)
                                                    : "{\"span\": " + std::to_string(l.span);
            out += ", \"kind\": \"";
            out += json_read::NameOf(json_read::kLoadNames, l.kind);
            out += '"';
            switch (l.kind) {
                case Load::Kind::Uniform:
                    Key(out, "q", l.q1);
                    Key(out, "x1", l.x1);
                    Key(out, "x2", l.x2);
                    break;
                case Load::Kind::Linear:
                    Key(out, "q1", l.q1);
                    Key(out, "q2", l.q2);
                    Key(out, "x1", l.x1);
                    Key(out, "x2", l.x2);
                    break;
                case Load::Kind::Point:
                    Key(out, "P", l.q1);
                    Key(out, "x", l.x1);
                    break;
                case Load::Kind::Moment:
                    Key(out, "M", l.q1);
                    Key(out, "x", l.x1);
                    break;
                case Load::Kind::Settlement:
                    Key(out, "d", l.q1);
                    break;
            }
            out += '}';
        }
        out += lc.loads.empty() ? "]}" : "\n    ]}";
    }
    out += "\n  ]";
    for (std::size_t i = 0; i < beam.combinations.size(); ++i) {
        const Combination& co = beam.combinations[i];
        out += i > 0 ? ",\n    " : ",\n  \"combinations\": [\n    ";
        out += "{\"name\": " + Json(co.name).dump() + ", \"factors\": {";
        for (std::size_t f = 0; f < co.factors.size(); ++f) {
            out += f > 0 ? ", " : "";
            out += Json(co.factors[f].caseName).dump() + ": [" + Num(co.factors[f].gamma) + ", " +
                   Num(co.factors[f].gammaF) + "]";
        }
        out += "}}";
    }
    if (!beam.combinations.empty()) out += "\n  ]";
    for (std::size_t i = 0; i < beam.moving.size(); ++i) {
        const MovingLoad& m = beam.moving[i];
        out += i > 0 ? ",\n    " : ",\n  \"moving\": [\n    ";
        const auto list = [&](const std::vector<double>& values) {
            std::string text = "[";
            for (std::size_t v = 0; v < values.size(); ++v)
                text += (v > 0 ? ", " : "") + Num(values[v]);
            return text + "]";
        };
        out += "{\"name\": " + Json(m.name).dump() + ", \"axles\": " + list(m.loads) +
               ", \"spacing\": " + list(m.spacing) + ", \"lane\": " + Num(m.lane) + "}";
    }
    if (!beam.moving.empty()) out += "\n  ]";
    out += "\n}\n";
    text = std::move(out);
    return {};
}

}  // namespace cbeam
