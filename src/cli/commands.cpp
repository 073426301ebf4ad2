#include "cli/commands.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <system_error>

#include "cli/command_args.h"
#include "cli/general.h"
#include "cli/json_out.h"
#include "files/beam_json.h"
#include "files/bmf.h"
#include "files/report.h"
#include "files/safe_write.h"
#include "files/table.h"
#include "model/design.h"
#include "model/driver.h"
#include "text/status.h"

namespace cbeam::cli {
namespace {

void AppendArray(std::string& out, const char* name, const RealArray& values, int count) {
    AppendValues(out, name, static_cast<std::size_t>(count),
                 [&](std::size_t k) { return values(static_cast<int>(k) + 1); });
}

// The file arguments of a command, exactly `count` of them (or `count` - 1
// where `optionalLast`); --json and --force are taken only where asked for.
// Anything else prints its error line and gives nothing. "-" is a file
// argument: standard output where a command writes.
struct Flags {
    bool* json = nullptr;
    bool* force = nullptr;
    bool optionalLast = false;
};

std::optional<std::vector<std::string>> FileArgs(const std::vector<std::string>& args,
                                                 std::size_t count, const char* need,
                                                 std::ostream& err, Flags flags = {}) {
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (flags.json != nullptr && a == "--json") {
            *flags.json = true;
        } else if (flags.force != nullptr && a == "--force") {
            *flags.force = true;
        } else if (a.size() > 1 && a[0] == '-') {
            err << "未知的选项：" << a << kSeeHelp << '\n';
            return std::nullopt;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != count && !(flags.optionalLast && files.size() + 1 == count)) {
        err << need << kSeeHelp << '\n';
        return std::nullopt;
    }
    return files;
}

// An output name without the extension its command writes is refused
// before anything is read: "report a.bmf a.bmf" must not pass for a report.
bool NamedAs(const std::string& name, std::initializer_list<const char*> extensions, Code refusal,
             std::ostream& err) {
    if (name == kStandardOutput) return true;
    for (const char* extension : extensions) {
        if (EndsWithIgnoringCase(name, extension)) return true;
    }
    err << MessageText(Status{refusal}) << name << kSeeHelp << '\n';
    return false;
}

}  // namespace

int LoadAny(const std::string& path, LoadedBeam& loaded, std::ostream& err) {
    if (const Status r = LoadBeam(path, loaded); !r) {
        err << LeadIn(Command::Load) << MessageText(r) << '\n';
        return kExitFile;
    }
    return kExitOk;
}

int GeneralBeam(const std::string& path, Beam& beam, std::ostream& err) {
    LoadedBeam loaded;
    if (const int rc = LoadAny(path, loaded, err); rc != kExitOk) return rc;
    if (!loaded.general) {
        if (const Status r = FromDesignBeam(loaded.state, loaded.beam); !r) {
            err << MessageText(r) << '\n';
            return kExitFile;
        }
    }
    beam = std::move(loaded.beam);
    return kExitOk;
}

int Analyse(DesignState& state, std::ostream& err) {
    if (const Analysis a = RunAnalysis(state); !a.status) {
        err << MessageText(a.status) << '\n';
        return kExitAnalysis;
    }
    // The bounds keep every value finite; should one still not be, no
    // command prints it (inf is not JSON, and no result).
    const DesignValues d = ComputeDesignValues(state);
    bool finite = std::ranges::all_of(d.R, [](double v) { return std::isfinite(v); });
    for (const SpanValues& v : d.spans) {
        for (double x : {v.Vl, v.Vr, v.Msag, v.xMsag, v.w, v.xw})
            finite = finite && std::isfinite(x);
    }
    if (!finite) {
        err << MessageText(Status{Code::NotSolvable}) << '\n';
        return kExitAnalysis;
    }
    return kExitOk;
}

int Analyse(const Beam& beam, SolvedBeam& solved, std::ostream& err) {
    if (const Status r = SolveGeneral(beam, solved); !r) {
        err << MessageText(r) << '\n';
        return kExitAnalysis;
    }
    return kExitOk;
}

std::optional<std::string> TakeOption(std::vector<std::string>& args, const char* name,
                                      std::ostream& err) {
    std::string value;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name) continue;
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            err << name << " 需要一个值" << kSeeHelp << '\n';
            return std::nullopt;
        }
        value = args[i + 1];
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        --i;
    }
    return value;
}

int Solve(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    const auto files = FileArgs(args, 1, "solve 需要一个数据文件", err, {.json = &json});
    if (!files) return kExitUsage;
    LoadedBeam loaded;
    if (const int rc = LoadAny((*files)[0], loaded, err); rc != kExitOk) return rc;
    if (loaded.general) {
        SolvedBeam solved;
        if (const int rc = Analyse(loaded.beam, solved, err); rc != kExitOk) return rc;
        if (json) {
            out << GeneralResultJson(loaded.beam, solved);
        } else {
            for (const std::string& line : GeneralResultLines(loaded.beam, solved))
                out << line << '\n';
        }
        return Finish(out, err);
    }
    DesignState& state = loaded.state;
    if (const int rc = Analyse(state, err); rc != kExitOk) return rc;
    if (json) {
        out << NodeResultJson(state);
    } else {
        for (const std::string& line : ResultLines(state)) out << line << '\n';
    }
    return Finish(out, err);
}

std::optional<int> PointsOption(std::vector<std::string>& args, std::ostream& err) {
    int points = kDefaultTablePoints;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--points") continue;
        const std::string value = i + 1 < args.size() ? args[i + 1] : std::string();
        const char* end = value.data() + value.size();
        const auto [stop, ec] = std::from_chars(value.data(), end, points);
        if (value.empty() || ec != std::errc() || stop != end || points < kMinTablePoints ||
            points > kMaxTablePoints) {
            err << "--points 需要 " << kMinTablePoints << " 到 " << kMaxTablePoints << " 之间的整数"
                << kSeeHelp << '\n';
            return std::nullopt;
        }
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        --i;
    }
    return points;
}

std::optional<CsvFiles> CsvCommandFiles(const std::vector<std::string>& args, const char* need,
                                        std::ostream& err, int& rc, bool json) {
    bool force = false;
    rc = kExitUsage;
    const auto files = FileArgs(args, 2, need, err, {.force = &force, .optionalLast = true});
    if (!files) return std::nullopt;
    const std::string target = files->size() == 2 ? (*files)[1] : kStandardOutput;
    if (!NamedAs(target, {json ? ".json" : ".csv"}, json ? Code::NotJsonName : Code::NotCsvName,
                 err))
        return std::nullopt;
    rc = kExitFile;
    if (CheckOutput(target, (*files)[0], force, Command::Table, err) != kExitOk)
        return std::nullopt;
    return CsvFiles{(*files)[0], target};
}

int WriteCsv(const std::string& target, const std::function<Status(const ByteWriter&)>& stream,
             std::ostream& out, std::ostream& err) {
    if (target == kStandardOutput) {
        stream([&out](std::string_view piece) {
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
            return out ? Status{} : Status{Code::ResultsNotOut};
        });
        return Finish(out, err);
    }
    if (const Status r = WriteFileSafelyFrom(target, stream); !r) {
        err << LeadIn(Command::Table) << MessageText(r) << '\n';
        return kExitFile;
    }
    return kExitOk;
}

int Table(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    const std::optional<int> points = PointsOption(args, err);
    if (!points) return kExitUsage;
    const std::optional<std::string> only = TakeOption(args, "--case", err);
    if (!only) return kExitUsage;
    int refused = 0;
    const auto files = CsvCommandFiles(args, "table 需要一个数据文件", err, refused);
    if (!files) return refused;
    LoadedBeam loaded;
    if (const int rc = LoadAny(files->input, loaded, err); rc != kExitOk) return rc;
    DesignState& state = loaded.state;
    SolvedBeam solved;
    if (loaded.general) {
        if (const int rc = Analyse(loaded.beam, solved, err); rc != kExitOk) return rc;
        bool found = only->empty();
        for (const LoadCase& c : loaded.beam.cases) found = found || c.name == *only;
        if (!found) {
            err << MessageText(Status{.code = Code::CaseNotFound, .path = *only}) << kSeeHelp
                << '\n';
            return kExitUsage;
        }
    } else {
        if (!only->empty()) {
            err << "--case 只用于有荷载工况的 JSON 连续梁（版本 2）" << kSeeHelp << '\n';
            return kExitUsage;
        }
        if (const int rc = Analyse(state, err); rc != kExitOk) return rc;
    }
    const DesignValues design = loaded.general ? DesignValues{} : ComputeDesignValues(state);
    const auto stream = [&](const ByteWriter& write) {
        return loaded.general ? StreamGeneralTable(loaded.beam, solved, *only, *points, write)
                              : StreamTableCsv(state, design, *points, write);
    };
    return WriteCsv(files->target, stream, out, err);
}

int Envelope(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    const std::optional<int> points = PointsOption(args, err);
    if (!points) return kExitUsage;
    const std::optional<std::string> only = TakeOption(args, "--combination", err);
    if (!only) return kExitUsage;
    const auto flag = [&](const char* name) {
        const auto at = std::find(args.begin(), args.end(), name);
        if (at == args.end()) return false;
        args.erase(at);
        return true;
    };
    const bool reactions = flag("--reactions"), json = flag("--json");
    if (reactions && json) {
        err << "--reactions 和 --json 不能同时使用" << kSeeHelp << '\n';
        return kExitUsage;
    }
    int refused = 0;
    const auto files = CsvCommandFiles(args, "envelope 需要一个数据文件", err, refused, json);
    if (!files) return refused;
    LoadedBeam loaded;
    if (const int rc = GeneralBeam(files->input, loaded.beam, err); rc != kExitOk) return rc;
    std::vector<Combination> combinations = CombinationsOf(loaded.beam);
    std::erase_if(combinations,
                  [&](const Combination& c) { return !only->empty() && c.name != *only; });
    if (combinations.empty()) {
        const Status why = only->empty() ? Status{Code::NoCombination}
                                         : Status{.code = Code::CombinationNotFound, .text = *only};
        err << MessageText(why) << kSeeHelp << '\n';
        return kExitUsage;
    }
    SolvedBeam solved;
    if (const int rc = Analyse(loaded.beam, solved, err); rc != kExitOk) return rc;
    const auto stream = [&](const ByteWriter& write) {
        return json ? StreamEnvelopeJson(loaded.beam, solved, combinations, write)
                    : StreamEnvelope(loaded.beam, solved, combinations, *points, reactions, write);
    };
    return WriteCsv(files->target, stream, out, err);
}

int Report(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // --encoding takes a value, so it is taken out before the file arguments.
    std::vector<std::string> rest;
    ReportEncoding encoding = ReportEncoding::Gbk;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--encoding") {
            rest.push_back(args[i]);
            continue;
        }
        const std::string value = i + 1 < args.size() ? args[++i] : std::string();
        if (value == "utf-8" || value == "UTF-8") {
            encoding = ReportEncoding::Utf8;
        } else if (value != "gbk" && value != "GBK") {
            err << "--encoding 须为 gbk 或 utf-8" << kSeeHelp << '\n';
            return kExitUsage;
        }
    }
    bool force = false;
    const auto files =
        FileArgs(rest, 2, "report 需要一个数据文件和一个报告文件", err, {.force = &force});
    if (!files) return kExitUsage;
    const std::string& target = (*files)[1];
    if (!NamedAs(target, {".txt"}, Code::NotTxtName, err)) return kExitUsage;
    if (CheckOutput(target, (*files)[0], force, Command::Report, err) != kExitOk) return kExitFile;
    DesignState state;
    if (const int rc = LoadAndAnalyse((*files)[0], state, err); rc != kExitOk) return rc;
    if (target == kStandardOutput) {
        std::string bytes;
        if (const Status r = EncodeReport(state, bytes, encoding); !r) {
            err << LeadIn(Command::Report) << MessageText(r) << '\n';
            return kExitFile;
        }
        out << bytes;
        return Finish(out, err);
    }
    if (const Status r = SaveReport(target, state, encoding); !r) {
        err << LeadIn(Command::Report) << MessageText(r) << '\n';
        return kExitFile;
    }
    return kExitOk;
}

// Reads a beam of either kind and writes it in the kind the output's
// extension names ("-": JSON text on standard output). A beam that can be
// analysed is written to a .bmf with its results, as the program would save
// it. JSON keeps the input's version unless --version names the other.
int Convert(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> version = TakeOption(args, "--version", err);
    if (!version) return kExitUsage;
    if (!version->empty() && *version != "1" && *version != "2") {
        err << "--version 须为 1 或 2" << kSeeHelp << '\n';
        return kExitUsage;
    }
    bool force = false;
    const auto files =
        FileArgs(args, 2, "convert 需要一个输入文件和一个输出文件", err, {.force = &force});
    if (!files) return kExitUsage;
    const std::string& target = (*files)[1];
    if (!NamedAs(target, {".bmf", ".json"}, Code::NotBeamName, err)) return kExitUsage;
    const bool json = target == kStandardOutput || IsJsonPath(target);
    if (!json && !version->empty()) {
        err << "--version 只用于 JSON 输出" << kSeeHelp << '\n';
        return kExitUsage;
    }
    if (CheckOutput(target, (*files)[0], force, Command::Save, err) != kExitOk) return kExitFile;
    LoadedBeam loaded;
    if (const int rc = LoadAny((*files)[0], loaded, err); rc != kExitOk) return rc;
    const bool general = json && (version->empty() ? loaded.general : *version == "2");
    Status r;
    if (general && !loaded.general) r = FromDesignBeam(loaded.state, loaded.beam);
    if (!general && loaded.general)
        r = json ? ToDesignState(loaded.beam, loaded.state) : ToBmfState(loaded.beam, loaded.state);
    if (!r) {
        err << LeadIn(Command::Save) << MessageText(r) << '\n';
        return kExitFile;
    }
    if (!general) RunAnalysis(loaded.state);
    if (target == kStandardOutput) {
        std::string text;
        r = general ? EncodeBeamJson(loaded.beam, text) : EncodeBeamJson(loaded.state, text);
        if (!r) {
            err << LeadIn(Command::Save) << MessageText(r) << '\n';
            return kExitFile;
        }
        out << text;
        return Finish(out, err);
    }
    r = general ? SaveBeam(target, loaded.beam) : SaveBeam(target, loaded.state);
    if (!r) {
        err << LeadIn(Command::Save) << MessageText(r) << '\n';
        return kExitFile;
    }
    return kExitOk;
}

std::string HelpText() {
    return std::string(R"(cbeam-cli — 连续梁计算的命令行工具

用法：
  cbeam-cli solve FILE.bmf [--json]
      读入连续梁数据文件，按文件中保存的两端约束计算，
      每个结点输出一行弯矩（kN*m），与计算结果列表相同，例如：
        结点 1:0.000
      --json  改为输出一个 JSON 对象：N、Flag0、FlagN（true 为固定端）
              以及数组 M 和 Theta（结点 1..N+1，17 位有效数字；
              Theta 为转角 rad × 10^6，与数据文件相同），
              其后为设计值（同样 17 位有效数字）：
                R      支座反力，结点 1..N+1，kN，向上为正
                V      每跨两端剪力 [左端, 右端]，kN
                Msag   每跨最小弯矩（负值为正弯矩，即下部受拉），kN*m
                xMsag  其位置，距该跨左支座，m
                w      每跨绝对值最大的挠度，mm，向下为正
                xw     其位置，距该跨左支座，m
      版本 2 的 JSON 连续梁（荷载工况、弹簧支座、悬臂、支座沉降）逐个工况
      输出：先一行工况名称，再是各结点弯矩；--json 输出 {"N": …, "cases": […]}，
      每个工况一项：name、M、theta（rad，顺时针为正）、wnode（结点挠度，mm）、
      R、V、Msag、xMsag、Mhog、xMhog（最大负弯矩及其位置）、w、xw。
  cbeam-cli table FILE.bmf [OUT.csv|-] [--points K] [--case NAME]
      计算后以 CSV（UTF-8）输出沿梁的内力和挠度，表头 span,x,M,V,w，
      写到标准输出，给出 OUT.csv 时写入该文件：
      每跨 K 个等距点（默认 20，x = 0 到 L，K 在 2 到 10000 之间），
      另加集中荷载作用点或均布荷载的终点、最大正弯矩位置和最大挠度位置，
      按 x 排序，重复的点只出一行。x 为距该跨左支座的距离（m），
      M 弯矩（kN*m，负弯矩为正），V 剪力（kN），w 挠度（mm，向下为正）。
      集中荷载作用点只出一行，其 V 为荷载右侧的剪力；左侧的剪力即前一行
      的值（该段剪力不变）。x = 0 的行为左端剪力 Vl，x = L 的行为右端剪力
      Vr；作用在支座上的集中荷载（a = 0 或 a = 1）计入该跨的端剪力
      （a = 0 计入 Vl，a = 1 计入 Vr），与 solve --json 的 V 相同。
      版本 2 的 JSON 连续梁：表头 case,span,x,M,V,w，逐个工况（--case 只出
      该工况），另加每个荷载的作用点和起止点、最大正负弯矩和最大挠度的位置。
  cbeam-cli envelope FILE [OUT.csv|OUT.json|-] [--combination NAME] [--points K] [--reactions|--json]
      荷载组合下活荷载最不利布置的包络（逐跨荷载组各取 γ 或 γf，精确为所有
      布置中的最大和最小值），CSV 表头
      combination,span,x,Mmax,Mmin,Vmax,Vmin,wmax,wmin：每跨 K 个等距点
      （同 table）另加各荷载的作用点和起止点，集中荷载和集中力偶处出两行
      （左侧、右侧）；--reactions 改为 combination,node,Rmax,Rmin。没有
      --combination 时逐个输出全部组合；文件未给出组合时用基本组合、标准组合
      和准永久组合（需有可变荷载工况）。另加的点为各荷载组效应的极值位置。
      --json 改为输出设计值：{"combinations": [{name, factors, spans,
      reactions}]}。factors 为各工况的 [γ, γf]；spans 每跨一项：span、
      Mmax 和 Mmin（该跨包络的最大、最小弯矩，精确由根求得）、Vl 和 Vr
      （左端右侧、右端左侧剪力的 {max, min}）、wmax 和 wmin（最大向下、
      向上挠度，mm）；每个极值为 {value, x, loaded}，x 距该跨左支座（m，
      剪力无 x），loaded 给出各工况取 γ 的跨，如 {"G": "1-3", "Q": "1,3"}
      （"2-10/2" 为 2、4、…、10 跨；空为全取 γf）。reactions 每结点一项：
      node、Rmax、Rmin（{value, loaded}）和 uplift（Rmin < 0 即可能上拔）。
  cbeam-cli influence FILE [OUT.csv|OUT.json|-] --quantity M|V|R|w (--at SPAN:X [--side left|right] | --node J) [--points K] [--json]
      影响线：1 kN 向下的单位荷载走遍全梁（含悬臂）时，第 SPAN 跨距左支座
      X m 处截面的弯矩 M（负弯矩为正）、剪力 V（--side 取截面左侧或右侧，
      默认右侧）、挠度 w（mm/kN，向下为正），或结点 J 的支座反力 R（向上为
      正）。一次求解得到每跨的精确三次多项式。CSV 表头 span,x,value：每跨
      K 个等距点（同 table）另加分段点和极值点，x 为荷载距该跨左支座的距离；
      截面处（剪力的跳跃）出两行（左侧、右侧）。--json 输出
      {positive_area, negative_area, max, min, pieces}：正、负面积（1 kN/m
      均布荷载在各自区段上的效应），最大、最小纵标 {value, span, x,
      position}（position 从梁左端起，m），pieces 每段 {span, x0, x1, c, max,
      min}，c 为 c0 + c1 u + c2 u² + c3 u³ 的系数，u = x - x0。
  cbeam-cli moving FILE [OUT.csv|-] (--axles "P1,P2,…" [--spacing "s1,…"] [--lane q] | --train NAME) --quantity M|V|R|w (--at SPAN:X [--side left|right] | --node J)
      移动荷载：一列集中荷载（kN，向下为正）以相邻轴距 s（m，比轴数少一个）
      在梁上向右和向左行驶，另可加 q（kN/m）的均布车道荷载，布置在使效应
      更不利的区段（影响线的正面积或负面积）。精确求出各方向效应的最大值和
      最小值及其位置（由影响线的分段和根求得，不逐步试算）；梁端以外的轮子
      不计。CSV 表头 direction,extreme,value,position：direction 为
      rightward（其余轴在第一轴左侧）或 leftward，position 为第一轴距梁左端
      的距离（m，左悬臂时从悬臂端起）。--train 改用数据文件 "moving" 中名为
      NAME 的移动荷载（轴荷载、轴距和车道荷载）。
  cbeam-cli report FILE.bmf OUT.txt|- [--encoding gbk|utf-8]
      计算后写出与“存为txt”相同的文本报告（CR LF 换行），默认 GBK 编码，
      --encoding utf-8 改为 UTF-8 编码（不带 BOM）；OUT 为 - 时写到标准输出。
      报告先写入同一文件夹中的临时文件，全部写完后才替换 OUT.txt。
  cbeam-cli draw FILE.bmf [--schematic OUT] [--diagram OUT] [--size WxH] [--scale S] [--list schematic|diagram] [--canvas WxH] [--force]
      画出连续梁简图（--schematic）和弯矩图（--diagram）。
  cbeam-cli sheet FILE.bmf OUT.pdf [--project 工程名称] [--member 构件编号] [--designer 设计] [--checker 校对] [--approver 审核] [--date 日期] [--force]
      计算后写出 PDF 计算书（A4）：计算数据、计算结果、计算简图、弯矩图、
      剪力图、挠度曲线和计算过程。无法计算的连续梁不写计算书。.bmf 不能保存的
      版本 2 连续梁写出简短的计算数据（跨、支座、工况和荷载）和“荷载组合与
      最不利布置”：各组合的系数、弯矩和剪力包络图、各跨弯矩和杆端剪力设计值
      及其可变荷载布置（超过 30 跨时布置从略）、支座反力（上拔注明）、标准组合
      和准永久组合下的最大挠度。
      给出任一栏目时，每页页眉印出工程名称、构件编号、设计、校对、审核和日期。
  cbeam-cli convert IN OUT.bmf|OUT.json|- [--version 1|2]
      在 .bmf 数据文件和 JSON 连续梁文件（.json）之间转换，按扩展名决定格式；
      能计算的连续梁连同计算结果写入 .bmf；OUT 为 - 时把 JSON 写到标准输出。
      JSON 保持读入的版本；--version 2 把 .bmf 或版本 1 写成版本 2，
      --version 1 把 .bmf 能保存的版本 2 写成版本 1。.bmf 不能保存的连续梁
      （多个工况、一跨多个荷载、弹簧、自由端、支座沉降）被拒绝并说明原因。
  cbeam-cli --help
      显示本说明。
  cbeam-cli --version
      显示版本。

凡读入连续梁的命令都接受 .bmf 数据文件或 .json 连续梁文件（按扩展名，
版本 1 或 2），只读普通文件（不读设备、管道或套接字）。report 和 draw
只接受 .bmf 能保存的版本 2 连续梁。

写文件的命令（report、table、convert、draw、sheet）先写入同一文件夹中的
临时文件，写完后才替换输出文件，并保留原文件的权限、所有者和组。下列输出
被拒绝：不是普通文件（设备、管道、套接字或文件夹）；就是读入的数据文件；
扩展名不对（.txt、.csv、.pdf、.bmf 或 .json、.png 或 .svg）。替换其他用户的
文件而无法保留其所有者时须加 --force。

数据文件有下列情况之一时被拒绝：无法打开；没有第一条记录；跨数不在 1 到 32766
之间；不足 N 条记录；有不是有效数值的实数；跨长不大于零；EIo 的绝对值小于 1e-6；
有荷载的跨荷载位置不在 0 到 1 之间或荷载大小为负数。

错误信息以一行中文写到标准错误输出。退出码：
  0  成功
  1  命令行用法错误
  2  数据文件无法打开或被拒绝（“)") +
           LeadIn(Command::Load) + R"(”加原因），
     或报告无法写出（“)" +
           LeadIn(Command::Report) +
           R"(”加原因），或计算结果无法写到标准输出
  3  连续梁无法计算（“第 k跨未定义!”，或“)" +
           MessageText(Status{Code::NotSolvable}) + R"(”）
     版本 2 的连续梁支座不足时为“)" +
           MessageText(Status{Code::Mechanism}) + R"(”
  4  )" + MessageText(Status{Code::OutOfMemory}) +
           R"(
)";
}

std::string NodeResultJson(const DesignState& s) {
    std::string out = "{\"N\":" + std::to_string(s.N);
    out += ",\"Flag0\":";
    out += s.Flag0 != kFalse ? "true" : "false";
    out += ",\"FlagN\":";
    out += s.FlagN != kFalse ? "true" : "false";
    AppendArray(out, "M", s.M, s.N + 1);
    AppendArray(out, "Theta", s.Theta, s.N + 1);
    const DesignValues d = ComputeDesignValues(s);
    const auto& sp = d.spans;
    AppendValues(out, "R", d.R.size(), [&](std::size_t k) { return d.R[k]; });
    AppendEndShears(out, sp);
    AppendValues(out, "Msag", sp.size(), [&](std::size_t k) { return sp[k].Msag; });
    AppendValues(out, "xMsag", sp.size(), [&](std::size_t k) { return sp[k].xMsag; });
    AppendValues(out, "w", sp.size(), [&](std::size_t k) { return sp[k].w; });
    AppendValues(out, "xw", sp.size(), [&](std::size_t k) { return sp[k].xw; });
    out += "}\n";
    return out;
}

int Finish(std::ostream& out, std::ostream& err) {
    out.flush();
    // A full disk or a closed pipe must not pass for a result.
    if (!out) {
        err << MessageText(Status{Code::ResultsNotOut}) << '\n';
        return kExitFile;
    }
    return kExitOk;
}

bool EndsWithIgnoringCase(const std::string& name, std::string_view tail) {
    if (name.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char c = name[name.size() - tail.size() + i];
        if (std::tolower(static_cast<unsigned char>(c)) != tail[i]) return false;
    }
    return true;
}

int CheckOutput(const std::string& output, const std::string& input, bool force, Command command,
                std::ostream& err) {
    if (output == kStandardOutput) return kExitOk;
    if (const Status r = CheckOutputFile(output, input, force); !r) {
        err << LeadIn(command) << MessageText(r) << '\n';
        return kExitFile;
    }
    return kExitOk;
}

int LoadAndAnalyse(const std::string& path, DesignState& state, std::ostream& err) {
    LoadedBeam loaded;
    if (const int rc = LoadAny(path, loaded, err); rc != kExitOk) return rc;
    // The design's report and drawings hold what a .bmf holds, nothing less.
    if (loaded.general) {
        if (const Status r = ToDesignState(loaded.beam, loaded.state); !r) {
            err << MessageText(Status{Code::DesignBeamOnly}) << MessageText(r) << '\n';
            return kExitFile;
        }
    }
    state = std::move(loaded.state);
    return Analyse(state, err);
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << "缺少命令" << kSeeHelp << '\n';
        return kExitUsage;
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << HelpText();
        return kExitOk;
    }
    for (const std::string& a : rest) {
        if (a == "--help" || a == "-h") {
            out << HelpText();
            return kExitOk;
        }
    }
    if (command == "solve") return Solve(rest, out, err);
    if (command == "report") return Report(rest, out, err);
    if (command == "convert") return Convert(rest, out, err);
    if (command == "table") return Table(rest, out, err);
    if (command == "envelope") return Envelope(rest, out, err);
    if (command == "influence") return Influence(rest, out, err);
    if (command == "moving") return Moving(rest, out, err);
    err << "未知的命令：" << command << kSeeHelp << '\n';
    return kExitUsage;
}

}  // namespace cbeam::cli
