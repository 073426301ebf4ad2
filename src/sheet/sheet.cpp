#include "sheet/sheet.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "analysis/envelope.h"
#include "analysis/influence.h"
#include "drawing/drawings.h"
#include "drawing/envelope_drawing.h"
#include "drawing/influence_drawing.h"
#include "drawing/layout.h"
#include "files/safe_write.h"
#include "model/design.h"
#include "sheet/pdf_canvas.h"
#include "text/format.h"

namespace cbeam {
namespace {

// One device unit is one logical pixel of the drawings, so that they come
// out at the size the window shows them.
constexpr int kDpi = 96;
constexpr double kHeaderHeight = 30;
// A second header line carries the title fields.
constexpr double kTitleFieldsHeight = 22;
constexpr double kFooterHeight = 28;
constexpr double kLine = 20;
constexpr double kRowLine = 18;
constexpr double kCaption = 18;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
QString F3(double v) {
    return Q(Format(v, "0.000"));
}
QString Fe(double v) {
    return Q(Format(v, "0.000E+00"));
}
// Stiffness-like numbers can be of any size: three decimals where that keeps
// their digits, the exponent form otherwise.
QString Fs(double v) {
    const double a = std::fabs(v);
    return v == 0 || (a >= 0.01 && a < 1e9) ? F3(v) : Fe(v);
}
QString Int(int v) {
    return QString::number(v);
}

QFont SheetFont(int pixels, bool bold = false) {
    QFont f;
    f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

enum class Kind : std::uint8_t { Title, Heading, Text, TableHeader, TableRow, Figure, Drawing };
enum Figure { kSchematic, kMoment, kShear, kDeflection };

struct Block {
    Kind kind;
    int a = 0;  // text, table or figure
    int b = 0;  // row
    double h = 0;
    bool keep = false;  // stays on the page of the block after it
};

struct Table {
    QStringList head;
    std::vector<double> widths;  // fractions of the text width
    int rows = 0;
    std::function<QStringList(int)> cells;
};

// A row of a general beam's drawings: its spans and how it is drawn.
struct Drawing {
    int first = 1, last = 1;
    std::function<void(Canvas&)> draw;
};

// A general beam with the envelopes of its combinations, each built on one
// engine; the drawings read them while the pages are painted.
struct General {
    const Beam& beam;
    analysis::Engine engine;
    std::vector<Combination> combinations;
    std::vector<analysis::Envelope> envelopes;  // of combinations, in order
};

struct Placed {
    int block;
    float top;
};

int RowCount(int spans) {
    return (spans + kSheetSpansPerRow - 1) / kSheetSpansPerRow;
}

// The rows of a long beam's drawings share the whole beam's scales: per
// figure, kN·m, kN, mm.
struct Largest {
    double of[4] = {};
};

Largest LargestValues(const DesignState& s, const DesignValues& design) {
    Largest l;
    // M is convex along a span under downward loads: its extremes are the
    // node moments and the sagging one.
    for (int k = 1; k <= s.N + 1; ++k) l.of[kMoment] = std::max(l.of[kMoment], std::fabs(s.M(k)));
    for (const SpanValues& v : design.spans) {
        l.of[kMoment] = std::max(l.of[kMoment], std::fabs(v.Msag));
        l.of[kShear] = std::max({l.of[kShear], std::fabs(v.Vl), std::fabs(v.Vr)});
        l.of[kDeflection] = std::max(l.of[kDeflection], std::fabs(v.w));
    }
    return l;
}

// First and last span of a drawing row.
std::pair<int, int> RowSpans(int spans, int rowCount, int row) {
    return {1 + static_cast<int>(static_cast<long long>(row) * spans / rowCount),
            static_cast<int>(static_cast<long long>(row + 1) * spans / rowCount)};
}

void DrawRow(const DesignState& s, const DesignValues& design, const Largest& largest, int figure,
             int first, int last, Canvas& canvas) {
    const int n = last - first + 1;
    // The row as a beam of its own: the drawings stay functions of a beam and
    // a canvas, and a row costs the same however long the whole beam is.
    DesignState r;
    r.SizeAll(n);
    r.EIo = s.EIo;
    r.Flag0 = first == 1 ? s.Flag0 : kFalse;
    r.FlagN = last == s.N ? s.FlagN : kFalse;
    DesignValues d;
    for (int k = 1; k <= n; ++k) {
        const int o = first + k - 1;
        r.L(k) = s.L(o);
        r.EI(k) = s.EI(o);
        r.LoadType(k) = s.LoadType(o);
        r.Q(k) = s.Q(o);
        r.A(k) = s.A(o);
        d.spans.push_back(design.spans[static_cast<size_t>(o - 1)]);
    }
    for (int k = 1; k <= n + 1; ++k) {
        r.M(k) = s.M(first + k - 1);
        r.Theta(k) = s.Theta(first + k - 1);
    }
    r.Results = Status{};
    const DiagramStyle style{
        .threeDecimals = true, .largest = largest.of[figure], .labelsOffCurves = true};
    switch (figure) {
        case kSchematic:
            ReDrawAll(r, canvas, Continues{first > 1, last < s.N});
            break;
        case kMoment:
            DrawM(r, canvas, style);
            break;
        case kShear:
            DrawV(r, d, canvas, style);
            break;
        default:
            DrawW(r, d, canvas, style);
            break;
    }
}

class Sheet {
  public:
    Sheet(const DesignState& s, const SheetInfo& info, QSizeF page)
        : m_s(s),
          m_info(info),
          m_design(ComputeDesignValues(s)),
          m_width(page.width()),
          m_bodyTop(kHeaderHeight + (info.HasTitleFields() ? kTitleFieldsHeight : 0)),
          m_bodyBottom(page.height() - kFooterHeight),
          m_body(SheetFont(13)),
          m_bodyMetrics(m_body) {
        const int n = s.N;
        m_rowCount = RowCount(n);
        if (m_rowCount > 1) m_largest = LargestValues(s, m_design);
        Build();
        Paginate();
    }
    Sheet(const General& g, const SheetInfo& info, QSizeF page)
        : m_s(m_none),
          m_info(info),
          m_width(page.width()),
          m_bodyTop(kHeaderHeight + (info.HasTitleFields() ? kTitleFieldsHeight : 0)),
          m_bodyBottom(page.height() - kFooterHeight),
          m_body(SheetFont(13)),
          m_bodyMetrics(m_body),
          m_g(&g) {
        Title();
        BuildGeneralInput();
        BuildCombinations();
        if (!g.beam.moving.empty()) BuildMoving();
        Paginate();
    }

    int Pages() const { return static_cast<int>(m_pages.size()); }
    void Paint(QPainter& p, int page) const;

  private:
    void Build();
    void BuildInput();
    void BuildResults();
    void BuildFigures();
    void BuildMethod();
    void BuildGeneralInput();
    void BuildCombinations();
    void BuildEnvelope(std::size_t c, int& figure);
    void BuildDeflections(const std::vector<std::size_t>& serviceability);
    void BuildMoving();
    void BuildTrain(const MovingLoad& m, int& figure);
    // The spans each variable case covers in an arrangement: "1,3-5", or,
    // with several, "Q: 1,3；W: 2".
    QString Covered(const std::vector<std::string>& loaded) const;
    void Paginate();
    void Title() { m_blocks.push_back({Kind::Title, 0, 0, 120}); }
    void Heading(const QString& text) {
        m_texts.push_back(text);
        m_blocks.push_back({Kind::Heading, static_cast<int>(m_texts.size()) - 1, 0, 34});
    }
    // A paragraph, broken into lines of the text width at any character.
    void Text(const QString& text);
    void AddTable(Table t) {
        m_tables.push_back(std::move(t));
        const int id = static_cast<int>(m_tables.size()) - 1;
        m_blocks.push_back({Kind::TableHeader, id, 0, kRowLine + 6});
        for (int r = 0; r < m_tables.back().rows; ++r)
            m_blocks.push_back({Kind::TableRow, id, r, kRowLine});
    }
    void PaintBlock(QPainter& p, const Block& b, double top) const;
    void PaintTableRow(QPainter& p, const Table& t, const QStringList& cells, double top,
                       bool header) const;
    void PaintFigure(QPainter& p, int figure, int row, double top) const;
    void PaintDrawing(QPainter& p, const Drawing& d, double top) const;
    static double FigureHeight(int figure) {
        return figure == kSchematic ? kSchematicPixels.height : kDiagramPixels.height;
    }

    const DesignState m_none;  // a general sheet's, which has no design state
    const DesignState& m_s;
    const SheetInfo& m_info;
    DesignValues m_design;
    double m_width, m_bodyTop, m_bodyBottom;
    QFont m_body;
    QFontMetricsF m_bodyMetrics;
    int m_rowCount = 0;
    Largest m_largest;  // 0 for one row
    std::vector<QString> m_texts;
    std::vector<Table> m_tables;
    std::vector<Block> m_blocks;
    std::vector<std::vector<Placed>> m_pages;
    const General* m_g = nullptr;
    std::vector<Drawing> m_drawings;
    int m_figure = 1;  // the general sheet's figures are numbered through
    // The influence lines drawn, read while the pages are painted.
    std::vector<std::unique_ptr<analysis::InfluenceLine>> m_lines;
};

void Sheet::Text(const QString& text) {
    QString line;
    double used = 0;
    const auto flush = [&] {
        m_texts.push_back(line);
        m_blocks.push_back({Kind::Text, static_cast<int>(m_texts.size()) - 1, 0, kLine});
        line.clear();
        used = 0;
    };
    for (const QChar c : text) {
        const double w = m_bodyMetrics.horizontalAdvance(c);
        if (used + w > m_width && !line.isEmpty()) flush();
        line += c;
        used += w;
    }
    flush();
}

void Sheet::Build() {
    Title();
    BuildInput();
    BuildResults();
    BuildFigures();
    BuildMethod();
}

QString LoadName(LoadKind k) {
    switch (k) {
        case LoadKind::Uniform:
            return QStringLiteral("均布荷载");
        case LoadKind::Point:
            return QStringLiteral("集中荷载");
        default:
            return QStringLiteral("无");
    }
}

QString EndName(std::int16_t flag) {
    return flag != kFalse ? QStringLiteral("固结") : QStringLiteral("铰接");
}

void Sheet::BuildInput() {
    const DesignState& s = m_s;
    Heading(QStringLiteral("一、计算数据"));
    Text(QStringLiteral("跨数 N = %1，EIo = %2 × 10⁶ kN·m²，左端%3，右端%4。")
             .arg(Int(s.N), Fs(s.EIo), EndName(s.Flag0), EndName(s.FlagN)));
    Text(QStringLiteral("a：均布荷载自跨左端起的分布长度、集中荷载至跨左端的距离，与跨长之比。"));
    AddTable({{QStringLiteral("跨"), QStringLiteral("L (m)"), QStringLiteral("EI (EIo)"),
               QStringLiteral("EI (10⁶ kN·m²)"), QStringLiteral("荷载类型"),
               QStringLiteral("q (kN/m) 或 P (kN)"), QStringLiteral("a")},
              {0.07, 0.13, 0.13, 0.17, 0.14, 0.24, 0.12},
              s.N,
              [&s](int r) {
                  const int k = r + 1;
                  const LoadKind kind = s.Kind(k);
                  const bool loaded = kind == LoadKind::Uniform || kind == LoadKind::Point;
                  const QString load =
                      kind == LoadKind::Uniform ? QStringLiteral("q = ") + F3(s.Q(k))
                      : kind == LoadKind::Point ? QStringLiteral("P = ") + F3(s.Q(k))
                                                : QString();
                  return QStringList{Int(k),
                                     F3(s.L(k)),
                                     Fs(s.EI(k)),
                                     Fs(s.EI(k) * s.EIo),
                                     LoadName(kind),
                                     load,
                                     loaded ? F3(s.A(k)) : QString()};
              }});
    Text(
        QStringLiteral("符号规定：弯矩以使梁上侧受拉（负弯矩）为正，弯矩图画在受拉一侧；"
                       "剪力以使隔离体顺时针转动为正；挠度以向下为正；转角以顺时针为正。"));
}

void Sheet::BuildResults() {
    const DesignState& s = m_s;
    const DesignValues& d = m_design;
    Heading(QStringLiteral("二、计算结果"));
    Text(QStringLiteral("结点弯矩、支座反力与结点转角："));
    AddTable({{QStringLiteral("结点"), QStringLiteral("M (kN·m)"), QStringLiteral("R (kN)"),
               QStringLiteral("θ (rad)")},
              {0.1, 0.3, 0.3, 0.3},
              s.N + 1,
              [&s, &d](int r) {
                  return QStringList{Int(r + 1), F3(s.M(r + 1)), F3(d.R[static_cast<size_t>(r)]),
                                     Fe(d.theta[static_cast<size_t>(r)])};
              }});
    Text(QStringLiteral(
        "各跨杆端剪力、最大正弯矩（下侧受拉，取其绝对值）与最大挠度，x 自跨左端量起："));
    AddTable({{QStringLiteral("跨"), QStringLiteral("Vl (kN)"), QStringLiteral("Vr (kN)"),
               QStringLiteral("Mmax (kN·m)"), QStringLiteral("x (m)"), QStringLiteral("wmax (mm)"),
               QStringLiteral("x (m)")},
              {0.07, 0.155, 0.155, 0.175, 0.13, 0.175, 0.14},
              s.N,
              [&d](int r) {
                  const auto& v = d.spans[static_cast<size_t>(r)];
                  // Msag is the smallest moment: a sagging one only when negative.
                  const bool sags = v.Msag < 0;
                  return QStringList{Int(r + 1),
                                     F3(v.Vl),
                                     F3(v.Vr),
                                     sags ? F3(-v.Msag) : QStringLiteral("无正弯矩"),
                                     sags ? F3(v.xMsag) : QString(),
                                     F3(v.w),
                                     F3(v.xw)};
              }});
    double reactions = 0, load = 0;
    for (double r : d.R) reactions += r;
    for (int k = 1; k <= s.N; ++k) {
        if (s.Kind(k) == LoadKind::Uniform) load += s.Q(k) * s.A(k) * s.L(k);
        if (s.Kind(k) == LoadKind::Point) load += s.Q(k);
    }
    Text(QStringLiteral("校核：ΣR = %1 kN，荷载总和 = %2 kN，相差 %3 kN。")
             .arg(F3(reactions), F3(load), F3(reactions - load)));
}

void Sheet::BuildFigures() {
    Heading(QStringLiteral("三、图"));
    if (m_rowCount > 1) {
        Text(QStringLiteral("每行画出至多 %1 跨，各行纵向比例相同。").arg(kSheetSpansPerRow));
    }
    const QString names[] = {
        QStringLiteral("图 1  计算简图"), QStringLiteral("图 2  弯矩图 (kN·m)"),
        QStringLiteral("图 3  剪力图 (kN)"), QStringLiteral("图 4  挠度曲线 (mm)")};
    for (int f = kSchematic; f <= kDeflection; ++f) {
        Text(names[f]);
        m_blocks.back().keep = true;
        for (int r = 0; r < m_rowCount; ++r)
            m_blocks.push_back({Kind::Figure, f, r, kCaption + FigureHeight(f) + 6});
    }
}

void Sheet::BuildMethod() {
    const DesignState& s = m_s;
    const int n = s.N;
    Heading(QStringLiteral("四、计算过程"));
    if (n > kSheetMethodSpans) {
        Text(QStringLiteral("本梁共 %1 跨，计算方法与不多于 %2 跨的梁相同（线刚度、固端弯矩、"
                            "结点平衡方程、结点转角、杆端弯矩），计算过程从略。")
                 .arg(Int(n), Int(kSheetMethodSpans)));
        return;
    }
    Text(QStringLiteral("用位移法（转角位移方程）计算，结点转角为未知量；杆端弯矩以顺时针为正。"));
    Text(QStringLiteral("1. 各跨线刚度 i = EI/L（EI 以 10⁶ kN·m² 计，i 以 10⁶ kN·m 计）："));
    for (int k = 1; k <= n; ++k) {
        Text(QStringLiteral("    i%1 = EI/L = %2 / %3 = %4")
                 .arg(Int(k), Fs(s.EI(k) * s.EIo), F3(s.L(k)), Fs(s.LineStiff(k))));
    }
    Text(QStringLiteral("2. 固端弯矩 MF（a 为荷载位置与跨长之比）："));
    for (int k = 1; k <= n; ++k) {
        const QString ij = QStringLiteral("MF(%1,%2)").arg(Int(k), Int(k + 1));
        const QString ji = QStringLiteral("MF(%1,%2)").arg(Int(k + 1), Int(k));
        QString left, right, what;
        switch (s.Kind(k)) {
            case LoadKind::Uniform:
                what = QStringLiteral("均布荷载 q = %1 kN/m，a = %2").arg(F3(s.Q(k)), F3(s.A(k)));
                left = QStringLiteral("−q a²L²(6 − 8a + 3a²)/12");
                right = QStringLiteral("q a³L²(4 − 3a)/12");
                break;
            case LoadKind::Point:
                what = QStringLiteral("集中荷载 P = %1 kN，a = %2").arg(F3(s.Q(k)), F3(s.A(k)));
                left = QStringLiteral("−P L a(1 − a)²");
                right = QStringLiteral("P L a²(1 − a)");
                break;
            default:
                what = QStringLiteral("无荷载");
                left = right = QStringLiteral("0");
                break;
        }
        Text(QStringLiteral("    跨 %1：%2").arg(Int(k), what));
        Text(QStringLiteral("        %1 = %2 = %3，%4 = %5 = %6")
                 .arg(ij, left, F3(s.FemL(k)), ji, right, F3(s.FemR(k))));
    }
    const int f = s.Flag0 != kFalse ? 2 : 1;
    const int g = s.FlagN != kFalse ? n : n + 1;
    Text(QStringLiteral(
        "3. 结点平衡方程：结点 k 处 Σ 4i·θk + 2i·θ相邻 = −Σ MF（右端为结点荷载）。"));
    if (s.Flag0 != kFalse) Text(QStringLiteral("    左端固结，θ1 = 0，不列方程。"));
    if (s.FlagN != kFalse)
        Text(QStringLiteral("    右端固结，θ%1 = 0，不列方程。").arg(Int(n + 1)));
    for (int k = f; k <= g; ++k) {
        QString eq;
        const auto term = [&](double c, int node) {
            if (!eq.isEmpty()) eq += QStringLiteral(" + ");
            eq += Fs(c) + QStringLiteral("θ") + Int(node);
        };
        // The clamped ends' rows were overwritten by the solver: the
        // coefficients come from the line stiffnesses, as the equations do.
        const double left = k > 1 ? s.LineStiff(k - 1) : 0;
        const double right = k <= n ? s.LineStiff(k) : 0;
        if (k > f) term(2 * left, k - 1);
        term(4 * (left + right), k);
        if (k < g) term(2 * right, k + 1);
        Text(QStringLiteral("    结点 %1：%2 = %3").arg(Int(k), eq, F3(s.NodeLoad(k))));
    }
    Text(QStringLiteral("4. 解得结点转角（以 10⁻⁶ rad 计）："));
    for (int k = 1; k <= n + 1; ++k)
        Text(QStringLiteral("    θ%1 = %2").arg(Int(k), Fe(s.Theta(k))));
    Text(
        QStringLiteral("5. 杆端弯矩 M(i,j) = MF(i,j) + 4iθi + 2iθj，M(j,i) = MF(j,i) + 2iθi + "
                       "4iθj；结点弯矩（上侧受拉为正）Mk = −M(k,k+1) = M(k,k−1)："));
    for (int k = 1; k <= n; ++k) {
        const double i = s.LineStiff(k);
        const double mij = s.FemL(k) + 4 * i * s.Theta(k) + 2 * i * s.Theta(k + 1);
        const double mji = s.FemR(k) + 2 * i * s.Theta(k) + 4 * i * s.Theta(k + 1);
        Text(QStringLiteral("    跨 %1：M(%1,%2) = %3 kN·m，M(%2,%1) = %4 kN·m")
                 .arg(Int(k), Int(k + 1), F3(mij), F3(mji)));
    }
}

QString SupportName(const Support& s) {
    switch (s.kind) {
        case SupportKind::Fixed:
            return QStringLiteral("固定");
        case SupportKind::Spring:
            return QStringLiteral("弹性");
        case SupportKind::Free:
            return QStringLiteral("自由");
        default:
            return QStringLiteral("铰支");
    }
}

// A load's kind, where it acts, and its value, as the loads table shows them.
QStringList LoadCells(const Load& l) {
    const QString span = QStringLiteral("跨 ") + Int(l.span);
    const QString x = F3(l.x1), range = F3(l.x1) + QStringLiteral(" – ") + F3(l.x2);
    switch (l.kind) {
        case Load::Kind::Uniform:
            return {QStringLiteral("均布"), span, QStringLiteral("q = %1 kN/m").arg(F3(l.q1)),
                    range};
        case Load::Kind::Linear:
            return {QStringLiteral("线性分布"), span,
                    QStringLiteral("q = %1 → %2 kN/m").arg(F3(l.q1), F3(l.q2)), range};
        case Load::Kind::Point:
            return {QStringLiteral("集中力"), span, QStringLiteral("P = %1 kN").arg(F3(l.q1)), x};
        case Load::Kind::Moment:
            return {QStringLiteral("集中力偶"), span, QStringLiteral("M = %1 kN·m").arg(F3(l.q1)),
                    x};
        default:
            return {QStringLiteral("支座沉降"), QStringLiteral("结点 ") + Int(l.node),
                    QStringLiteral("Δ = %1 mm").arg(F3(l.q1)), QString()};
    }
}

// The serviceability combinations, which the sheet reads for deflections
// only; the others give the design values of M, V and R.
bool Serviceability(const Combination& c) {
    return c.name == "标准组合" || c.name == "准永久组合";
}

void Sheet::BuildGeneralInput() {
    const Beam& b = m_g->beam;
    Heading(QStringLiteral("一、计算数据"));
    Text(QStringLiteral("跨数 N = %1，EIo = %2 × 10⁶ kN·m²。").arg(Int(b.N()), Fs(b.EIo)));
    AddTable({{QStringLiteral("跨"), QStringLiteral("L (m)"), QStringLiteral("EI (EIo)"),
               QStringLiteral("EI (10⁶ kN·m²)")},
              {0.1, 0.3, 0.3, 0.3},
              b.N(),
              [&b](int r) {
                  const Span& s = b.spans[static_cast<size_t>(r)];
                  return QStringList{Int(r + 1), F3(s.L), Fs(s.EI), Fs(s.EI * b.EIo)};
              }});
    AddTable({{QStringLiteral("结点"), QStringLiteral("支座"), QStringLiteral("k (kN/m)"),
               QStringLiteral("kr (kN·m/rad)")},
              {0.1, 0.3, 0.3, 0.3},
              b.N() + 1,
              [&b](int r) {
                  const Support& s = b.supports[static_cast<size_t>(r)];
                  const bool spring = s.kind == SupportKind::Spring;
                  return QStringList{Int(r + 1), SupportName(s), spring ? Fs(s.k) : QString(),
                                     spring ? Fs(s.kr) : QString()};
              }});
    // One row a load, the case named on its first.
    std::vector<std::pair<std::size_t, std::size_t>> loads;
    for (std::size_t c = 0; c < b.cases.size(); ++c) {
        for (std::size_t l = 0; l < b.cases[c].loads.size(); ++l) loads.emplace_back(c, l);
    }
    Text(QStringLiteral("荷载工况及其荷载（x 自跨左端量起，左悬臂自其自由端量起）："));
    AddTable({{QStringLiteral("工况"), QStringLiteral("类别"), QStringLiteral("荷载"),
               QStringLiteral("位置"), QStringLiteral("值"), QStringLiteral("x (m)")},
              {0.12, 0.14, 0.14, 0.1, 0.28, 0.22},
              static_cast<int>(loads.size()),
              [&b, loads](int r) {
                  const auto [c, l] = loads[static_cast<size_t>(r)];
                  const LoadCase& lc = b.cases[c];
                  QStringList cells{QString(), QString()};
                  if (l == 0) {
                      cells = {Q(lc.name), lc.kind == CaseKind::Variable ? QStringLiteral("可变")
                                                                         : QStringLiteral("永久")};
                      if (lc.Patterned()) cells[1] += QStringLiteral("，逐跨");
                  }
                  return cells + LoadCells(lc.loads[l]);
              }});
    Text(
        QStringLiteral("符号规定：弯矩以使梁上侧受拉为正，剪力 V = −dM/dx，挠度以向下为正，"
                       "支座反力以向上为正。"));
}

void Sheet::BuildCombinations() {
    const Beam& b = m_g->beam;
    const std::vector<Combination>& all = m_g->combinations;
    Heading(QStringLiteral("二、荷载组合与最不利布置"));
    Text(QStringLiteral("各组合下每一截面的最大值与最小值，是对可变荷载在 %1 跨上全部 2^%1 种布置"
                        "精确求得的：每一荷载组（逐跨布置的工况的一跨，或不逐跨布置的一个工况）"
                        "的效应按 γ 与 γf 中不利者取用，各组效应相加。")
             .arg(Int(b.N())));
    std::vector<std::pair<std::size_t, std::size_t>> rows;
    for (std::size_t c = 0; c < all.size(); ++c) {
        for (std::size_t f = 0; f < all[c].factors.size(); ++f) rows.emplace_back(c, f);
    }
    Text(QStringLiteral("荷载组合及其分项系数（γ：效应不利时，γf：效应有利时）："));
    AddTable({{QStringLiteral("组合"), QStringLiteral("工况"), QStringLiteral("γ"),
               QStringLiteral("γf")},
              {0.25, 0.25, 0.25, 0.25},
              static_cast<int>(rows.size()),
              [&all, rows](int r) {
                  const auto [c, f] = rows[static_cast<size_t>(r)];
                  const CaseFactors& x = all[c].factors[f];
                  return QStringList{f == 0 ? Q(all[c].name) : QString(), Q(x.caseName),
                                     F3(x.gamma), F3(x.gammaF)};
              }});
    std::vector<std::size_t> design, serviceability;
    for (std::size_t c = 0; c < all.size(); ++c)
        (Serviceability(all[c]) ? serviceability : design).push_back(c);
    // Combinations that are all of the serviceability kind still get their
    // envelopes.
    if (design.empty()) design.swap(serviceability);
    if (RowCount(b.N()) > 1) {
        Text(QStringLiteral("包络图每行画出至多 %1 跨，各行纵向比例相同。").arg(kSheetSpansPerRow));
    }
    for (const std::size_t c : design) BuildEnvelope(c, m_figure);
    if (!serviceability.empty()) BuildDeflections(serviceability);
}

QString Sheet::Covered(const std::vector<std::string>& loaded) const {
    const Beam& b = m_g->beam;
    QStringList parts;
    int variable = 0;
    for (const LoadCase& c : b.cases) variable += c.kind == CaseKind::Variable;
    for (std::size_t c = 0; c < b.cases.size(); ++c) {
        if (b.cases[c].kind != CaseKind::Variable) continue;
        const std::string& spans = loaded[c];
        const QString text = spans.empty() ? QStringLiteral("无") : Q(spans);
        parts.push_back(variable > 1 ? Q(b.cases[c].name) + QStringLiteral(": ") + text : text);
    }
    return parts.join(QStringLiteral("；"));
}

void Sheet::BuildEnvelope(std::size_t c, int& figure) {
    using analysis::Quantity;
    const Beam& b = m_g->beam;
    const int n = b.N();
    const Combination& co = m_g->combinations[c];
    const analysis::Envelope& env = m_g->envelopes[c];
    std::vector<analysis::SpanEnvelope> spans;
    double largestM = 0, largestV = 0;
    for (int k = 1; k <= n; ++k) {
        spans.push_back(env.Design(k));
        const analysis::SpanEnvelope& e = spans.back();
        largestM = std::max({largestM, std::fabs(e.Mmax.value), std::fabs(e.Mmin.value)});
        largestV = std::max({largestV, std::fabs(e.Vl.max), std::fabs(e.Vl.min),
                             std::fabs(e.Vr.max), std::fabs(e.Vr.min)});
    }
    Text(QStringLiteral("%1：").arg(Q(co.name)));
    const int rows = RowCount(n);
    const std::pair<Quantity, QString> drawn[] = {
        {Quantity::Moment, QStringLiteral("弯矩包络图 (kN·m)")},
        {Quantity::Shear, QStringLiteral("剪力包络图 (kN)")}};
    for (const auto& [q, name] : drawn) {
        Text(QStringLiteral("图 %1  %2 %3").arg(Int(figure++), Q(co.name), name));
        m_blocks.back().keep = true;
        const DiagramStyle style{.threeDecimals = true,
                                 .largest = q == Quantity::Moment ? largestM : largestV,
                                 .labelsOffCurves = true};
        for (int r = 0; r < rows; ++r) {
            const auto [first, last] = RowSpans(n, rows, r);
            m_drawings.push_back({first, last, [&b, &env, q, style, first, last](Canvas& canvas) {
                                      DrawEnvelope(b, env, q, canvas, style, first, last);
                                  }});
            m_blocks.push_back({Kind::Drawing, static_cast<int>(m_drawings.size()) - 1, 0,
                                kCaption + kDiagramPixels.height + 6});
        }
    }
    // The arrangements are worked out now, while the table is made: the
    // pages are laid out before they are painted, and each row only once.
    const bool arranged = n <= kSheetArrangementSpans;
    std::vector<QStringList> moments;
    for (int k = 1; k <= n; ++k) {
        const analysis::SpanEnvelope& e = spans[static_cast<size_t>(k - 1)];
        const auto cover = [&](const analysis::EnvelopeAt& at, bool max) {
            return arranged ? Covered(env.LoadedAt(k, Quantity::Moment, at.x, at.side, max))
                            : QString();
        };
        moments.push_back({Int(k), F3(e.Mmax.value), F3(e.Mmax.x), cover(e.Mmax, true),
                           F3(e.Mmin.value), F3(e.Mmin.x), cover(e.Mmin, false)});
    }
    Text(arranged ? QStringLiteral(
                        "各跨弯矩设计值（x 自跨左端量起；布置：该值出现时可变荷载所布之跨）：")
                  : QStringLiteral("各跨弯矩设计值（x 自跨左端量起；本梁超过 %1 跨，各值的可变荷载"
                                   "布置从略，可由 cbeam-cli envelope 求得）：")
                        .arg(Int(kSheetArrangementSpans)));
    AddTable({{QStringLiteral("跨"), QStringLiteral("Mmax (kN·m)"), QStringLiteral("x (m)"),
               QStringLiteral("布置"), QStringLiteral("Mmin (kN·m)"), QStringLiteral("x (m)"),
               QStringLiteral("布置")},
              {0.07, 0.15, 0.1, 0.18, 0.15, 0.1, 0.25},
              n,
              [moments](int r) { return moments[static_cast<size_t>(r)]; }});
    Text(QStringLiteral("各跨杆端剪力设计值："));
    AddTable(
        {{QStringLiteral("跨"), QStringLiteral("Vl max (kN)"), QStringLiteral("Vl min (kN)"),
          QStringLiteral("Vr max (kN)"), QStringLiteral("Vr min (kN)")},
         {0.12, 0.22, 0.22, 0.22, 0.22},
         n,
         [spans](int r) {
             const analysis::SpanEnvelope& e = spans[static_cast<size_t>(r)];
             return QStringList{Int(r + 1), F3(e.Vl.max), F3(e.Vl.min), F3(e.Vr.max), F3(e.Vr.min)};
         }});
    std::vector<QStringList> reactions;
    for (int j = 1; j <= n + 1; ++j) {
        const analysis::Extremes r = env.Reaction(j);
        const auto cover = [&](bool max) {
            return arranged ? Covered(env.LoadedForReaction(j, max)) : QString();
        };
        const bool free = b.SupportAt(j).kind == SupportKind::Free;
        reactions.push_back({Int(j), F3(r.max), cover(true), F3(r.min), cover(false),
                             free        ? QStringLiteral("自由端")
                             : r.min < 0 ? QStringLiteral("上拔")
                                         : QString()});
    }
    Text(QStringLiteral("各支座反力设计值（向上为正，Rmin < 0 即上拔）："));
    AddTable({{QStringLiteral("结点"), QStringLiteral("Rmax (kN)"), QStringLiteral("布置"),
               QStringLiteral("Rmin (kN)"), QStringLiteral("布置"), QStringLiteral("")},
              {0.1, 0.17, 0.22, 0.17, 0.22, 0.12},
              n + 1,
              [reactions](int r) { return reactions[static_cast<size_t>(r)]; }});
}

void Sheet::BuildDeflections(const std::vector<std::size_t>& serviceability) {
    const int n = m_g->beam.N();
    QStringList head{QStringLiteral("跨")};
    std::vector<double> widths{0.1};
    const double each = 0.9 / (2.0 * static_cast<double>(serviceability.size()));
    for (const std::size_t c : serviceability) {
        head << Q(m_g->combinations[c].name) + QStringLiteral(" wmax (mm)")
             << QStringLiteral("x (m)");
        widths.insert(widths.end(), {each, each});
    }
    std::vector<QStringList> rows;
    for (int k = 1; k <= n; ++k) {
        QStringList cells{Int(k)};
        for (const std::size_t c : serviceability) {
            const analysis::EnvelopeAt w = m_g->envelopes[c].Design(k).wmax;
            cells << F3(w.value) << F3(w.x);
        }
        rows.push_back(cells);
    }
    Text(QStringLiteral("各跨最大挠度（向下为正，x 自跨左端量起）："));
    AddTable({head, widths, n, [rows](int r) { return rows[static_cast<size_t>(r)]; }});
}

// The sections the moving loads are worked for, with the kind each is of:
// M at the interior supports and mid-spans, V at the span ends, R at the
// supports.
enum MovingKind { kSupportMoment, kSpanMoment, kEndShear, kReaction, kMovingKinds };

struct MovingSection {
    MovingKind kind;
    QString name;
    analysis::InfluenceAt at;
};

std::vector<MovingSection> MovingSections(const Beam& b) {
    using analysis::InfluenceOf;
    using analysis::Side;
    std::vector<MovingSection> out;
    const int n = b.N();
    const auto worked = [n](int k) {
        return n <= kSheetMovingWorkedSpans || k <= kSheetMovingEndSpans ||
               k > n - kSheetMovingEndSpans;
    };
    for (int j = 2; j <= n; ++j) {
        if (!worked(j - 1) && !worked(j)) continue;
        out.push_back({kSupportMoment,
                       QStringLiteral("M 结点 %1").arg(j),
                       {InfluenceOf::Moment, j, 0, Side::Right, 1}});
    }
    for (int k = 1; k <= n; ++k) {
        if (!worked(k)) continue;
        out.push_back({kSpanMoment,
                       QStringLiteral("M 跨 %1 中").arg(k),
                       {InfluenceOf::Moment, k, b.SpanAt(k).L / 2, Side::Right, 1}});
    }
    for (int k = 1; k <= n; ++k) {
        if (!worked(k)) continue;
        out.push_back({kEndShear,
                       QStringLiteral("Vl 跨 %1").arg(k),
                       {InfluenceOf::Shear, k, 0, Side::Right, 1}});
        out.push_back({kEndShear,
                       QStringLiteral("Vr 跨 %1").arg(k),
                       {InfluenceOf::Shear, k, b.SpanAt(k).L, Side::Left, 1}});
    }
    for (int j = 1; j <= n + 1; ++j) {
        if (b.SupportAt(j).kind == SupportKind::Free || (!worked(j - 1) && !worked(j))) continue;
        out.push_back({kReaction,
                       QStringLiteral("R 结点 %1").arg(j),
                       {InfluenceOf::Reaction, 1, 0, Side::Right, j}});
    }
    return out;
}

QString Listed(const std::vector<double>& values) {
    QStringList parts;
    for (const double v : values) parts.push_back(F3(v));
    return parts.join(QStringLiteral(", "));
}

void Sheet::BuildMoving() {
    Heading(QStringLiteral("三、移动荷载"));
    Text(QStringLiteral(
        "各截面的最不利位置与效应由其影响线精确求得：影响线逐段为三次式，列车在任一轴经过其分段点"
        "之间的效应也是一个三次式，极值在这些位置或其导数的根处，不是逐步试算；车道均布荷载布于"
        "影响线同号的部分。位置为第一轴至梁左端的距离（m）；向右行驶时其余各轴在第一轴之后（左侧）"
        "，"
        "向左行驶时在其右侧。"));
    if (m_g->beam.N() > kSheetMovingSpans) {
        Text(QStringLiteral("本梁超过 %1 跨，每类截面（支座弯矩、跨中弯矩、杆端剪力、支座反力）"
                            "只列出出现最大值与最小值的截面；影响线只画出截面所在的一行及其"
                            "相邻两行。")
                 .arg(Int(kSheetMovingSpans)));
    }
    if (m_g->beam.N() > kSheetMovingWorkedSpans) {
        Text(QStringLiteral("本梁超过 %1 跨，只计算两端各 %2 跨内的截面；其余截面可由 cbeam-cli "
                            "moving 求得。")
                 .arg(Int(kSheetMovingWorkedSpans), Int(kSheetMovingEndSpans)));
    }
    for (const MovingLoad& m : m_g->beam.moving) BuildTrain(m, m_figure);
}

void Sheet::BuildTrain(const MovingLoad& m, int& figure) {
    const Beam& b = m_g->beam;
    Text(QStringLiteral("%1：轴荷载 %2 kN，轴距 %3 m，车道均布荷载 %4 kN/m。")
             .arg(Q(m.name), Listed(m.loads),
                  m.spacing.empty() ? QStringLiteral("无") : Listed(m.spacing), F3(m.lane)));
    analysis::Train train{m.loads, {0}, m.lane};
    for (const double s : m.spacing) train.offsets.push_back(train.offsets.back() + s);
    const std::vector<MovingSection> sections = MovingSections(b);
    struct Worked {
        analysis::TrainExtremes right, left;
        double Max() const { return std::max(right.max.value, left.max.value); }
        double Min() const { return std::min(right.min.value, left.min.value); }
        double Size() const { return std::max(std::fabs(Max()), std::fabs(Min())); }
    };
    std::vector<Worked> worked(sections.size());
    // Per kind, the sections of the largest and of the smallest effect, and
    // of the largest either way.
    std::size_t most[kMovingKinds], least[kMovingKinds], governs[kMovingKinds];
    bool any[kMovingKinds] = {};
    for (std::size_t i = 0; i < sections.size(); ++i) {
        analysis::InfluenceLine line;
        if (!line.Build(m_g->engine, b, sections[i].at)) continue;
        worked[i] = {analysis::WorstPositions(line, train, true),
                     analysis::WorstPositions(line, train, false)};
        const int k = sections[i].kind;
        if (!any[k] || worked[i].Max() > worked[most[k]].Max()) most[k] = i;
        if (!any[k] || worked[i].Min() < worked[least[k]].Min()) least[k] = i;
        if (!any[k] || worked[i].Size() > worked[governs[k]].Size()) governs[k] = i;
        any[k] = true;
    }
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const int k = sections[i].kind;
        if (b.N() <= kSheetMovingSpans || (any[k] && (i == most[k] || i == least[k])))
            shown.push_back(i);
    }
    std::vector<QStringList> rows;
    for (const std::size_t i : shown) {
        const Worked& w = worked[i];
        rows.push_back({sections[i].name, F3(w.right.max.value), F3(w.right.max.position),
                        F3(w.right.min.value), F3(w.right.min.position), F3(w.left.max.value),
                        F3(w.left.max.position), F3(w.left.min.value), F3(w.left.min.position)});
    }
    Text(QStringLiteral("%1 各截面的最不利效应（M kN·m，V、R kN）与第一轴的位置（m）：")
             .arg(Q(m.name)));
    AddTable({{QStringLiteral("截面"), QStringLiteral("向右 max"), QStringLiteral("位置"),
               QStringLiteral("向右 min"), QStringLiteral("位置"), QStringLiteral("向左 max"),
               QStringLiteral("位置"), QStringLiteral("向左 min"), QStringLiteral("位置")},
              {0.16, 0.115, 0.095, 0.115, 0.095, 0.115, 0.095, 0.115, 0.095},
              static_cast<int>(rows.size()),
              [rows](int r) { return rows[static_cast<size_t>(r)]; }});
    // The lines of the sections that govern: the mid-span and the support of
    // the largest moments, and the support of the largest reaction.
    const int n = b.N();
    const int rowCount = RowCount(n);
    for (const MovingKind k : {kSpanMoment, kSupportMoment, kReaction}) {
        if (!any[k]) continue;
        const MovingSection& at = sections[governs[k]];
        auto line = std::make_unique<analysis::InfluenceLine>();
        if (!line->Build(m_g->engine, b, at.at)) continue;
        Text(QStringLiteral("图 %1  %2 影响线").arg(Int(figure++), at.name));
        m_blocks.back().keep = true;
        const analysis::InfluenceLine* drawn = line.get();
        m_lines.push_back(std::move(line));
        // A line lies mostly near its section: the row of the section and
        // its neighbours show it.
        const int span = k == kReaction ? std::min(at.at.node, n) : at.at.span;
        int row = 0;
        while (RowSpans(n, rowCount, row).second < span) ++row;
        for (int r = std::max(row - 1, 0); r <= std::min(row + 1, rowCount - 1); ++r) {
            const auto [first, last] = RowSpans(n, rowCount, r);
            const DiagramStyle style{.threeDecimals = true, .labelsOffCurves = true};
            const analysis::InfluenceAt place = at.at;
            m_drawings.push_back(
                {first, last, [&b, drawn, place, style, first, last](Canvas& canvas) {
                     DrawInfluence(b, *drawn, place, canvas, style, first, last);
                 }});
            m_blocks.push_back({Kind::Drawing, static_cast<int>(m_drawings.size()) - 1, 0,
                                kCaption + kDiagramPixels.height + 6});
        }
    }
}

void Sheet::PaintDrawing(QPainter& p, const Drawing& d, double top) const {
    p.setFont(m_body);
    p.drawText(QPointF(0, top + 14), QStringLiteral("跨 %1 – %2").arg(Int(d.first), Int(d.last)));
    const double h = kDiagramPixels.height;
    p.save();
    p.translate(0, top + kCaption);
    p.setClipRect(QRectF(0, 0, m_width, h));
    {
        PdfCanvas canvas(p, QSize(static_cast<int>(m_width), static_cast<int>(h)),
                         kDiagramTwipsPerUnit);
        d.draw(canvas);
    }
    p.restore();
}

void Sheet::Paginate() {
    std::vector<Placed> page;
    double y = m_bodyTop;
    const auto newPage = [&] {
        m_pages.push_back(std::move(page));
        page.clear();
        y = m_bodyTop;
    };
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
        const Block& b = m_blocks[i];
        // A heading or a table's header goes with what follows it.
        double need = b.h;
        if ((b.keep || b.kind == Kind::Heading || b.kind == Kind::TableHeader) &&
            i + 1 < m_blocks.size())
            need += m_blocks[i + 1].h;
        if (y + need > m_bodyBottom && !page.empty()) {
            newPage();
            if (b.kind == Kind::TableRow) {
                // The table goes on under its header repeated.
                for (std::size_t h = i; h-- > 0;) {
                    if (m_blocks[h].kind == Kind::TableHeader && m_blocks[h].a == b.a) {
                        page.push_back({static_cast<int>(h), static_cast<float>(y)});
                        y += m_blocks[h].h;
                        break;
                    }
                }
            }
        }
        page.push_back({static_cast<int>(i), static_cast<float>(y)});
        y += b.h;
    }
    if (!page.empty()) newPage();
}

void Sheet::PaintTableRow(QPainter& p, const Table& t, const QStringList& cells, double top,
                          bool header) const {
    double x = 0;
    for (int c = 0; c < cells.size() && c < static_cast<int>(t.widths.size()); ++c) {
        const double w = t.widths[static_cast<size_t>(c)] * m_width;
        p.drawText(QRectF(x + 2, top, w - 8, kRowLine), Qt::AlignVCenter | Qt::AlignRight,
                   cells[c]);
        x += w;
    }
    if (header) p.drawLine(QPointF(0, top + kRowLine + 2), QPointF(m_width, top + kRowLine + 2));
}

void Sheet::PaintFigure(QPainter& p, int figure, int row, double top) const {
    const auto [first, last] = RowSpans(m_s.N, m_rowCount, row);
    p.setFont(m_body);
    p.drawText(QPointF(0, top + 14), QStringLiteral("跨 %1 – %2").arg(Int(first), Int(last)));
    const double h = FigureHeight(figure);
    p.save();
    p.translate(0, top + kCaption);
    p.setClipRect(QRectF(0, 0, m_width, h));
    {
        PdfCanvas canvas(p, QSize(static_cast<int>(m_width), static_cast<int>(h)),
                         figure == kSchematic ? 1.0 : kDiagramTwipsPerUnit);
        DrawRow(m_s, m_design, m_largest, figure, first, last, canvas);
    }
    p.restore();
}

void Sheet::PaintBlock(QPainter& p, const Block& b, double top) const {
    switch (b.kind) {
        case Kind::Title: {
            p.setFont(SheetFont(24, true));
            p.drawText(QRectF(0, top, m_width, 40), Qt::AlignCenter,
                       QStringLiteral("连续梁计算书"));
            p.setFont(m_body);
            const QString lines[] = {
                QStringLiteral("文件：") + Q(m_info.fileName),
                QStringLiteral("日期：") + Q(m_info.dateTime),
                QStringLiteral("程序：") + Q(m_info.program) + u' ' + Q(m_info.version)};
            for (int i = 0; i < 3; ++i) p.drawText(QPointF(0, top + 62 + i * kLine), lines[i]);
            break;
        }
        case Kind::Heading:
            p.setFont(SheetFont(16, true));
            p.drawText(QPointF(0, top + 26), m_texts[static_cast<size_t>(b.a)]);
            break;
        case Kind::Text:
            p.setFont(m_body);
            p.drawText(QPointF(0, top + 15), m_texts[static_cast<size_t>(b.a)]);
            break;
        case Kind::TableHeader:
        case Kind::TableRow: {
            const Table& t = m_tables[static_cast<size_t>(b.a)];
            p.setFont(m_body);
            const bool header = b.kind == Kind::TableHeader;
            PaintTableRow(p, t, header ? t.head : t.cells(b.b), top, header);
            break;
        }
        case Kind::Figure:
            PaintFigure(p, b.a, b.b, top);
            break;
        case Kind::Drawing:
            PaintDrawing(p, m_drawings[static_cast<size_t>(b.a)], top);
            break;
    }
}

void Sheet::Paint(QPainter& p, int page) const {
    const int count = Pages();
    p.setPen(Qt::black);
    p.setFont(SheetFont(11));
    p.drawText(QRectF(0, 0, m_width, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("连续梁计算书  ") + Q(m_info.fileName));
    p.drawText(QRectF(0, 0, m_width, 18), Qt::AlignRight | Qt::AlignVCenter,
               Q(m_info.program) + u' ' + Q(m_info.version));
    double rule = 21;
    if (m_info.HasTitleFields()) {
        // Long names are cut short rather than printed over one another:
        // each half of the line keeps to its half of the width.
        const QFontMetricsF metrics(p.font());
        const auto field = [](const char* name, const std::string& value) {
            return QString::fromUtf8(name) + u'：' + Q(value);
        };
        const QString left = field("工程名称", m_info.project) + QStringLiteral("    ") +
                             field("构件编号", m_info.member);
        const QString right = field("设计", m_info.designer) + QStringLiteral("  ") +
                              field("校对", m_info.checker) + QStringLiteral("  ") +
                              field("审核", m_info.approver) + QStringLiteral("  ") +
                              field("日期", m_info.date);
        const double half = m_width / 2 - 6;
        const QRectF line(0, 22, m_width, 18);
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(left, Qt::ElideRight, half));
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                   metrics.elidedText(right, Qt::ElideRight, half));
        rule += kTitleFieldsHeight;
    }
    p.drawLine(QPointF(0, rule), QPointF(m_width, rule));
    p.drawText(QRectF(0, m_bodyBottom + 8, m_width, 18), Qt::AlignCenter,
               QStringLiteral("第 %1 页 共 %2 页").arg(page + 1).arg(count));
    for (const Placed& at : m_pages[static_cast<size_t>(page)]) {
        PaintBlock(p, m_blocks[static_cast<size_t>(at.block)], at.top);
    }
}

}  // namespace

void DrawSheetFigure(const DesignState& solved, SheetFigure figure, int row, Canvas& canvas) {
    const int rows = RowCount(solved.N);
    if (!solved.Results || row < 0 || row >= rows) return;
    const DesignValues design = ComputeDesignValues(solved);
    const auto [first, last] = RowSpans(solved.N, rows, row);
    DrawRow(solved, design, rows > 1 ? LargestValues(solved, design) : Largest{},
            static_cast<int>(figure), first, last, canvas);
}

// The pages of the sheet `make` lays out for the page size it is given.
Status RenderPages(const SheetInfo& info, std::string& bytes,
                   const std::function<std::unique_ptr<Sheet>(QSizeF)>& make) {
    QByteArray out;
    {
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(18, 14, 18, 12), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("连续梁计算书"));
        writer.setCreator(Q(info.program) + u' ' + Q(info.version));
        const std::unique_ptr<Sheet> sheet = make(QSizeF(writer.width(), writer.height()));
        QPainter p;
        if (!p.begin(&writer)) return SystemFailure(EIO);
        for (int page = 0; page < sheet->Pages(); ++page) {
            if (page > 0) writer.newPage();
            sheet->Paint(p, page);
        }
        if (!p.end()) return SystemFailure(EIO);
    }
    bytes.assign(out.constData(), static_cast<std::size_t>(out.size()));
    return {};
}

Status RenderSheet(const DesignState& solved, const SheetInfo& info, std::string& bytes) {
    if (!solved.Results) return solved.Results;
    if (solved.N < 1) return Status{Code::NoBeam};
    return RenderPages(info, bytes,
                       [&](QSizeF page) { return std::make_unique<Sheet>(solved, info, page); });
}

Status RenderSheet(const Beam& beam, const SheetInfo& info, std::string& bytes) {
    General g{beam, {}, CombinationsOf(beam), {}};
    if (Status r = analysis::CheckEnvelopeSize(beam); !r) return r;
    if (Status r = g.engine.Build(beam); !r) return r;
    if (g.combinations.empty()) {
        // No variable case and no combination given: the cases as they act.
        Combination all{"各工况之和", {}};
        for (const LoadCase& c : beam.cases) all.factors.push_back({c.name, 1, 1});
        g.combinations.push_back(std::move(all));
    }
    g.envelopes.resize(g.combinations.size());
    g.envelopes[0].Build(g.engine, beam, g.combinations[0]);
    for (std::size_t c = 1; c < g.combinations.size(); ++c)
        g.envelopes[c].Rebuild(g.envelopes[0], beam, g.combinations[c]);
    return RenderPages(info, bytes,
                       [&](QSizeF page) { return std::make_unique<Sheet>(g, info, page); });
}

Status WriteSheet(const std::string& path, const DesignState& solved, const SheetInfo& info) {
    std::string bytes;
    if (Status r = RenderSheet(solved, info, bytes); !r) return r;
    return WriteFileSafely(path, bytes);
}

Status WriteSheet(const std::string& path, const Beam& beam, const SheetInfo& info) {
    std::string bytes;
    if (Status r = RenderSheet(beam, info, bytes); !r) return r;
    return WriteFileSafely(path, bytes);
}

}  // namespace cbeam
