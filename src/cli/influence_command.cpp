// cbeam-cli influence and moving: influence lines and the worst place of a
// train of loads on them.
#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/influence.h"
#include "cli/command_args.h"
#include "cli/commands.h"
#include "cli/json_out.h"
#include "files/table.h"

namespace cbeam::cli {
namespace {

using analysis::InfluenceAt;
using analysis::InfluenceOf;
using analysis::Side;

bool Number(const std::string& text, double& v) {
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, v);
    return !text.empty() && ec == std::errc() && stop == end && std::isfinite(v);
}

// "1,2.5,…": nullopt unless every item is a finite number.
std::optional<std::vector<double>> Numbers(const std::string& text) {
    std::vector<double> out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        double v = 0;
        if (!Number(text.substr(from, comma - from), v)) return std::nullopt;
        out.push_back(v);
        if (comma == std::string::npos) return out;
        from = comma + 1;
    }
}

// --quantity, --at SPAN:X or --node J, --side: the place asked for, or
// nullopt with the error line.
std::optional<InfluenceAt> Place(std::vector<std::string>& args, std::ostream& err) {
    const auto quantity = TakeOption(args, "--quantity", err);
    const auto at = TakeOption(args, "--at", err);
    const auto node = TakeOption(args, "--node", err);
    const auto side = TakeOption(args, "--side", err);
    if (!quantity || !at || !node || !side) return std::nullopt;
    InfluenceAt place;
    const std::string& q = *quantity;
    place.what = q == "M"   ? InfluenceOf::Moment
                 : q == "V" ? InfluenceOf::Shear
                 : q == "R" ? InfluenceOf::Reaction
                            : InfluenceOf::Deflection;
    if (q != "M" && q != "V" && q != "R" && q != "w") {
        err << "--quantity 需要 M、V、R 或 w" << kSeeHelp << '\n';
        return std::nullopt;
    }
    const bool reaction = place.what == InfluenceOf::Reaction;
    double span = 0, node1 = 0;
    const std::size_t colon = at->find(':');
    if (reaction ? !Number(*node, node1) || node1 != std::floor(node1) || !at->empty()
                 : colon == std::string::npos || !Number(at->substr(0, colon), span) ||
                       span != std::floor(span) || !Number(at->substr(colon + 1), place.x) ||
                       !node->empty()) {
        err << (reaction ? "R 需要 --node J（结点号）"
                         : "M、V、w 需要 --at 跨号:x（x 距该跨左支座，m）")
            << kSeeHelp << '\n';
        return std::nullopt;
    }
    if (!side->empty() && *side != "left" && *side != "right") {
        err << "--side 需要 left 或 right" << kSeeHelp << '\n';
        return std::nullopt;
    }
    place.span = static_cast<int>(std::clamp(span, -1.0, 1e6));
    place.node = static_cast<int>(std::clamp(node1, -1.0, 1e6));
    place.side = *side == "left" ? Side::Left : Side::Right;
    return place;
}

// The beam's line at the place; kExitOk or the error line and its code.
int Line(const Beam& beam, const InfluenceAt& at, analysis::InfluenceLine& line,
         std::ostream& err) {
    analysis::Engine engine;
    if (const Status r = engine.Build(beam); !r) {
        err << MessageText(r) << '\n';
        return kExitAnalysis;
    }
    if (const Status r = line.Build(engine, beam, at); !r) {
        err << MessageText(r) << kSeeHelp << '\n';
        return kExitUsage;
    }
    return kExitOk;
}

void AppendExtreme(std::string& out, const char* key, const analysis::InfluenceExtreme& e,
                   const analysis::InfluenceLine& line) {
    out += std::string(",\"") + key + "\":{\"value\":";
    Append17(out, e.value);
    out += ",\"span\":" + std::to_string(e.span) + ",\"x\":";
    Append17(out, e.x);
    out += ",\"position\":";
    Append17(out, line.Start(e.span) + e.x);
    out += '}';
}

std::string LineJson(const analysis::InfluenceLine& line) {
    std::string out = "{\"positive_area\":";
    Append17(out, line.PositiveArea());
    out += ",\"negative_area\":";
    Append17(out, line.NegativeArea());
    AppendExtreme(out, "max", line.Max(), line);
    AppendExtreme(out, "min", line.Min(), line);
    out += ",\"pieces\":[";
    for (const analysis::InfluencePiece& p : line.Pieces()) {
        out += out.back() == '[' ? "{\"span\":" : ",{\"span\":";
        out += std::to_string(p.span) + ",\"x0\":";
        Append17(out, p.x0);
        out += ",\"x1\":";
        Append17(out, p.x1);
        AppendValues(out, "c", 4, [&](std::size_t k) { return p.c[k]; });
        const auto [hi, lo] = analysis::ExtremesOf(p);
        AppendExtreme(out, "max", hi, line);
        AppendExtreme(out, "min", lo, line);
        out += '}';
    }
    return out + "]}\n";
}

Status StreamLine(const analysis::InfluenceLine& line, int points, const ByteWriter& write) {
    if (Status r = write("span,x,value\n"); !r) return r;
    std::string chunk;
    const auto pieces = line.Pieces();
    for (std::size_t i = 0; i < pieces.size();) {
        const int k = pieces[i].span;
        std::vector<double> interest, breaks;
        std::size_t j = i;
        for (; j < pieces.size() && pieces[j].span == k; ++j) {
            const auto [hi, lo] = analysis::ExtremesOf(pieces[j]);
            interest.insert(interest.end(), {pieces[j].x0, hi.x, lo.x});
            if (j > i) breaks.push_back(pieces[j].x0);
        }
        const double l = pieces[j - 1].x1;
        for (const double x : MergeTableXs(l, interest, points)) {
            // Both sides of a break; the span's own ends from inside it.
            const bool both = std::find(breaks.begin(), breaks.end(), x) != breaks.end();
            for (const Side side : {Side::Left, Side::Right}) {
                if (side == Side::Left && !both) continue;
                chunk += std::to_string(k) + ',';
                AppendShortest(chunk, x);
                chunk += ',';
                AppendShortest(chunk, line.At(k, x, side));
                chunk += '\n';
            }
        }
        i = j;
        if (chunk.size() < 1 << 16) continue;
        if (Status r = write(chunk); !r) return r;
        chunk.clear();
    }
    return write(chunk);
}

}  // namespace

int Influence(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    const std::optional<int> points = PointsOption(args, err);
    if (!points) return kExitUsage;
    const std::optional<InfluenceAt> at = Place(args, err);
    if (!at) return kExitUsage;
    const auto flag = std::find(args.begin(), args.end(), "--json");
    const bool json = flag != args.end();
    if (json) args.erase(flag);
    int refused = 0;
    const auto files = CsvCommandFiles(args, "influence 需要一个数据文件", err, refused, json);
    if (!files) return refused;
    Beam beam;
    if (const int rc = GeneralBeam(files->input, beam, err); rc != kExitOk) return rc;
    analysis::InfluenceLine line;
    if (const int rc = Line(beam, *at, line, err); rc != kExitOk) return rc;
    return WriteCsv(
        files->target,
        [&](const ByteWriter& write) {
            return json ? write(LineJson(line)) : StreamLine(line, *points, write);
        },
        out, err);
}

int Moving(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    const std::optional<InfluenceAt> at = Place(args, err);
    if (!at) return kExitUsage;
    const auto axles = TakeOption(args, "--axles", err);
    const auto spacing = TakeOption(args, "--spacing", err);
    const auto lane = TakeOption(args, "--lane", err);
    const auto named = TakeOption(args, "--train", err);
    if (!axles || !spacing || !lane || !named) return kExitUsage;
    // A train of the file stands in for one given here, not beside it.
    const bool ofFile = !named->empty();
    if (ofFile && (!axles->empty() || !spacing->empty() || !lane->empty())) {
        err << "--train 与 --axles、--spacing、--lane 不能同时使用" << kSeeHelp << '\n';
        return kExitUsage;
    }
    analysis::Train train;
    const auto loads = ofFile ? std::vector<double>{0} : Numbers(*axles);
    auto gaps = spacing->empty() ? std::vector<double>{} : Numbers(*spacing);
    if (!ofFile && (!loads || loads->size() > 100 || !gaps || gaps->size() + 1 != loads->size() ||
                    std::any_of(gaps->begin(), gaps->end(), [](double s) { return s < 0; }) ||
                    (!lane->empty() && (!Number(*lane, train.lane) || train.lane < 0)))) {
        err << "--axles 需要各轴荷载（kN，逗号分隔，至多 100 个），--spacing 需要相邻轴距（m，"
               "比轴数少一个），--lane 需要一个不小于零的数（kN/m），或以 --train 取数据文件中的"
               "移动荷载"
            << kSeeHelp << '\n';
        return kExitUsage;
    }
    int refused = 0;
    const auto files = CsvCommandFiles(args, "moving 需要一个数据文件", err, refused);
    if (!files) return refused;
    Beam beam;
    if (const int rc = GeneralBeam(files->input, beam, err); rc != kExitOk) return rc;
    if (ofFile) {
        const auto m = std::find_if(beam.moving.begin(), beam.moving.end(),
                                    [&](const MovingLoad& t) { return t.name == *named; });
        if (m == beam.moving.end()) {
            err << MessageText(Status{.code = Code::TrainNotFound, .text = *named}) << kSeeHelp
                << '\n';
            return kExitUsage;
        }
        train.loads = m->loads;
        train.lane = m->lane;
        gaps = m->spacing;
    } else {
        train.loads = *loads;
    }
    train.offsets.push_back(0);
    for (const double s : *gaps) train.offsets.push_back(train.offsets.back() + s);
    analysis::InfluenceLine line;
    if (const int rc = Line(beam, *at, line, err); rc != kExitOk) return rc;
    std::string text = "direction,extreme,value,position\n";
    for (const bool rightward : {true, false}) {
        const analysis::TrainExtremes e = analysis::WorstPositions(line, train, rightward);
        for (const auto& [name, p] : {std::pair{"max", e.max}, std::pair{"min", e.min}}) {
            text += std::string(rightward ? "rightward," : "leftward,") + name + ',';
            AppendShortest(text, p.value);
            text += ',';
            AppendShortest(text, p.position);
            text += '\n';
        }
    }
    return WriteCsv(
        files->target, [&](const ByteWriter& write) { return write(text); }, out, err);
}

}  // namespace cbeam::cli
