#pragma once

#include <string>

#include "canvas/canvas.h"
#include "model/beam.h"
#include "model/structure.h"
#include "text/status.h"

namespace cbeam {

// What the sheet says about where it comes from, as shown on its first page.
struct SheetInfo {
    std::string fileName;  // the beam file's name
    std::string dateTime;  // when the sheet was made
    std::string program = "连续梁计算程序";
    std::string version;
    // The title fields of a signed sheet, printed in every page's header
    // when any of them is given.
    std::string project;   // 工程名称
    std::string member;    // 构件编号
    std::string designer;  // 设计
    std::string checker;   // 校对
    std::string approver;  // 审核
    std::string date;      // 日期
    bool HasTitleFields() const {
        return !(project.empty() && member.empty() && designer.empty() && checker.empty() &&
                 approver.empty() && date.empty());
    }
};

// The drawings show a long beam in rows of at most this many spans, so that
// their labels stay readable.
constexpr int kSheetSpansPerRow = 12;
// Beyond this many spans the working is left out: it would be the same steps
// over hundreds of pages.
constexpr int kSheetMethodSpans = 30;

// The calculation sheet (计算书) as PDF bytes: A4 pages of input, results,
// drawings and working. Refuses, with the analysis' own status, a beam whose
// results are not current. Needs a QGuiApplication for its fonts.
Status RenderSheet(const DesignState& solved, const SheetInfo& info, std::string& bytes);

// Row `row` (from 0) of one of the sheet's drawings of a solved beam, as the
// sheet draws it onto its page, onto any canvas of the row's size.
enum class SheetFigure { Schematic, Moment, Shear, Deflection };
void DrawSheetFigure(const DesignState& solved, SheetFigure figure, int row, Canvas& canvas);

// Renders the sheet and writes it atomically, like the text report.
Status WriteSheet(const std::string& path, const DesignState& solved, const SheetInfo& info);

// Beyond this many spans the envelope tables leave out which spans the live
// load covers for each extreme: a column of long span lists on every row.
constexpr int kSheetArrangementSpans = 30;
// Beyond this many spans the moving loads' table keeps, of each kind of
// section, only the two where the largest and the smallest effect occur.
constexpr int kSheetMovingSpans = 30;
// Each section's line costs the whole beam: beyond this many spans only the
// sections of the end spans, as many as kSheetMovingEndSpans at either end,
// are worked.
constexpr int kSheetMovingWorkedSpans = 300;
constexpr int kSheetMovingEndSpans = 15;

// The sheet of a general beam, one the design's state cannot hold: a short
// input (spans, supports, load cases and their loads), then the chapter on
// the combinations and the worst arrangement of the live load: their factors,
// the envelopes of M and V drawn, the design values per span and support,
// and the largest deflections under 标准组合 and 准永久组合; with moving
// loads, the chapter on their worst places and the governing influence
// lines. Refuses, with the
// engine's status, a beam that cannot be analysed.
Status RenderSheet(const Beam& beam, const SheetInfo& info, std::string& bytes);
Status WriteSheet(const std::string& path, const Beam& beam, const SheetInfo& info);

}  // namespace cbeam
