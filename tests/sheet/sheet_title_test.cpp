// The calculation sheet's title fields, given on the command line: printed
// in every page's header, or refused as a usage error.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/beam_helpers.h"
#include "files/beam_json.h"

namespace cbeam {
namespace {

using namespace testing;

struct CliRun {
    int exit = -1;
    std::string text, err;  // the sheet as pdftotext gives it; standard error
};

CliRun Sheet(const TempDir& dir, const BeamState& beam, const std::string& options, bool first) {
    EXPECT_TRUE(SaveBeam(dir.File("b.json"), beam));
    const std::string pdf = dir.File("b.pdf"), err = dir.File("err.txt");
    std::remove(pdf.c_str());
    CliRun r;
    const std::string files = dir.File("b.json") + " " + pdf;
    const std::string args = first ? options + " " + files : files + " " + options;
    const int status = std::system(("'" CBEAM_CLI "' sheet " + args + " 2>" + err).c_str());
    r.exit = WEXITSTATUS(status);
    r.err = ReadAll(err);
    if (r.exit != 0) return r;
    FILE* p = popen(("pdftotext -layout " + pdf + " -").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;) r.text.append(buffer, n);
    pclose(p);
    return r;
}

std::vector<std::string> Pages(const std::string& text) {  // pdftotext ends each with \f
    std::vector<std::string> pages;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find('\f', from)) != std::string::npos; from = at + 1)
        pages.push_back(text.substr(from, at - from));
    return pages;
}

struct TitleRow {
    const char* name;
    int spans;
    std::string options;
    int exit;
    std::vector<std::string> onEveryPage;  // texts in each page's first lines
    std::vector<std::string> nowhere;
    bool optionsFirst = false;
};

class SheetTitle : public ::testing::TestWithParam<TitleRow> {};

TEST_P(SheetTitle, FieldsInEveryPageHeader) {
    const TitleRow& row = GetParam();
    TempDir dir;
    std::vector<SpanInput> spans(static_cast<std::size_t>(row.spans), SpanInput{6, 1, 1, 10, 1});
    const CliRun r = Sheet(dir, MakeBeam(spans, kTrue, kFalse), row.options, row.optionsFirst);
    ASSERT_EQ(r.exit, row.exit) << r.err;
    if (r.exit != 0) {
        EXPECT_NE(r.err.find("cbeam-cli --help"), std::string::npos) << r.err;
        EXPECT_NE(access(dir.File("b.pdf").c_str(), F_OK), 0) << "no sheet written";
        return;
    }
    const std::vector<std::string> pages = Pages(r.text);
    ASSERT_GE(pages.size(), row.spans > 12 ? 2u : 1u);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        // The header: the lines before the first heading or table.
        const std::string head = pages[i].substr(0, 400);
        for (const std::string& t : row.onEveryPage)
            EXPECT_NE(head.find(t), std::string::npos) << t << " not in\n" << head;
        for (const std::string& t : row.nowhere)
            EXPECT_EQ(pages[i].find(t), std::string::npos) << t;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, SheetTitle,
    ::testing::Values(
        TitleRow{"all_six_fields",
                 40,
                 "--project 某办公楼 --member KL-1 --designer 张三 --checker 李四 "
                 "--approver 王五 --date 2026-12-07",
                 0,
                 {"工程名称：某办公楼", "构件编号：KL-1", "设计：张三", "校对：李四", "审核：王五",
                  "日期：2026-12-07"},
                 {}},
        TitleRow{"one_field_prints_the_row",
                 2,
                 "--member L3",
                 0,
                 {"构件编号：L3", "工程名称：", "审核："},
                 {}},
        TitleRow{"options_before_the_files", 2, "--checker 赵六", 0, {"校对：赵六"}, {}, true},
        TitleRow{"none_given_no_row", 2, "", 0, {"连续梁计算书"}, {"工程名称", "审核："}},
        TitleRow{"a_long_name_leaves_the_signatures",
                 2,
                 "--project " + std::string(60, 'X') + " --designer 张三",
                 0,
                 {"设计：张三", "XXXXXXXX"},
                 {std::string(60, 'X')}},
        TitleRow{"value_missing", 2, "--date", 1, {}, {}},
        TitleRow{"unknown_field", 2, "--drafter 某", 1, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cbeam
