#include "files/report.h"

#include "files/gbk.h"
#include "files/safe_write.h"
#include "text/format.h"
#include "text/number.h"

namespace cbeam {
namespace {

// Sequential text output with column tabulation. Columns count characters
// (a Chinese character is one column), from 1.
class ReportWriter {
  public:
    explicit ReportWriter(std::vector<std::string>& lines) : m_lines(lines) {}

    void Print(std::string_view text) {
        m_line += text;
        for (const char c : text) {
            // Every byte that does not continue a UTF-8 sequence starts a character.
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++m_column;
        }
    }
    void Tab(int column) {
        if (m_column > column) EndLine();
        m_line.append(static_cast<std::size_t>(column - m_column), ' ');
        m_column = column;
    }
    void Spc(int count) {
        m_line.append(static_cast<std::size_t>(count), ' ');
        m_column += count;
    }
    void EndLine() {
        m_lines.push_back(std::move(m_line));
        m_line.clear();
        m_column = 1;
    }

  private:
    std::vector<std::string>& m_lines;
    std::string m_line;
    int m_column = 1;
};

const char* LoadKindName(std::int16_t kind) {
    switch (kind) {
        case 1:
            return "均布荷载Q";
        case 2:
            return "集中荷载P";
        default:
            return "无荷载";
    }
}

void NodePart(ReportWriter& w, const DesignState& s, int k) {
    w.Tab(55);
    w.Print("节点" + SignNumberText(k) + ":" + Format(s.M(k), "##0.00#"));
    w.Spc(2);
    w.Print(FormatText(Format(s.Theta(k), "0.00E+00"), "@@@@@@@@@"));
}

}  // namespace

std::vector<std::string> ReportLines(const DesignState& s) {
    std::vector<std::string> lines;
    if (!HasCompleteBeam(s)) return lines;
    lines.reserve(static_cast<std::size_t>(s.N) + 8);
    ReportWriter w(lines);
    w.Print("                              连续梁计算结果");
    w.EndLine();
    w.Print("连续梁的基本参数:");
    w.EndLine();
    w.Print("    基本抗弯刚度EIo:" + PrintNumber(s.EIo) + "(10e6 kNm^2)");
    w.EndLine();
    w.Print("    连续梁的段数: " + PrintNumber(s.N));
    w.EndLine();

    w.Spc(1);
    w.Print("跨编号  ");
    w.Spc(1);
    w.Print("抗弯刚度");
    w.Spc(1);
    w.Print("长度L(m)");
    w.Spc(2);
    w.Print("荷载类型");
    w.Spc(2);
    w.Print("荷载大小");
    w.Spc(1);
    w.Print("位置(/L)");
    w.Spc(2);
    w.Print("弯矩(KN*m)");
    w.Spc(6);
    w.Print("转角位移");
    w.EndLine();

    for (int k = 1; k <= s.N; ++k) {
        // A span switched to no load keeps its magnitude and a for a later
        // switch back, but has no load to report; a saved file drops them too.
        const bool loaded = s.LoadType(k) != 0;
        w.Tab(3);
        w.Print(PrintNumber(k));
        w.Tab(11);
        w.Print(PrintNumber(s.EI(k)) + "(EI0)");
        w.Tab(22);
        w.Print(PrintNumber(s.L(k)));
        w.Tab(29);
        w.Print(LoadKindName(s.LoadType(k)));
        w.Tab(38);
        w.Print(PrintNumber(loaded ? s.Q(k) : 0.0));
        w.Tab(46);
        w.Print(Format(loaded ? s.A(k) : 0.0, "0.0#"));
        NodePart(w, s, k);
        w.EndLine();
    }
    NodePart(w, s, s.N + 1);
    w.EndLine();
    return lines;
}

Status ReportText(const DesignState& state, std::string& text) {
    if (!HasCompleteBeam(state)) return Status{Code::NoBeam};
    std::string joined;
    bool first = true;
    for (const std::string& line : ReportLines(state)) {
        if (!first) joined += '\n';
        joined += line;
        first = false;
    }
    text = std::move(joined);
    return {};
}

Status EncodeReport(const DesignState& state, std::string& bytes, ReportEncoding encoding) {
    if (!HasCompleteBeam(state)) return Status{Code::NoBeam};
    std::string text;
    for (const std::string& line : ReportLines(state)) {
        text += line;
        text += "\r\n";
    }
    // The lines are UTF-8 already, and a desktop that reads UTF-8 wants no BOM.
    if (encoding == ReportEncoding::Utf8) {
        bytes = std::move(text);
        return {};
    }
    std::optional<std::string> gbk = Utf8ToGbk(text);
    if (!gbk) return Status{Code::NotGbk};
    bytes = std::move(*gbk);
    return {};
}

Status SaveReport(const std::string& path, const DesignState& state, ReportEncoding encoding) {
    // The old results beside the new input would be a report of no beam.
    if (!state.Results) return state.Results;
    std::string bytes;
    if (Status r = EncodeReport(state, bytes, encoding); !r) return r;
    return WriteFileSafely(path, bytes);
}

}  // namespace cbeam
