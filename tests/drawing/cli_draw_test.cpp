// cbeam-cli draw through the real program: listings, picture files, refusals.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>

#include "common/beam_helpers.h"

namespace cbeam::test {
namespace {

struct Outcome {
    int code = -1;
    std::string out, err;
};

class DrawCommand : public ::testing::Test {
  protected:
    // No argument here holds a single quote, so plain quoting will do.
    Outcome Draw(const std::vector<std::string>& args) {
        std::string cmd = "'" CBEAM_CLI "' draw";
        for (const std::string& a : args) cmd += " '" + a + "'";
        cmd += " >'" + dir.File("out") + "' 2>'" + dir.File("err") + "'";
        const int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadAll(dir.File("out")),
                testing::ReadAll(dir.File("err"))};
    }
    const std::string beam = CBEAM_TEST_DATA "/draw_three_span.bmf";
    testing::TempDir dir;
};

TEST_F(DrawCommand, ListsOnTheWindowsCanvasOrAGivenOne) {
    const Outcome d = Draw({beam, "--list", "diagram"});
    ASSERT_EQ(d.code, 0) << d.err;
    EXPECT_EQ(d.out, testing::ReadAll(CBEAM_TEST_DATA "/drawing/three_span_diagram.txt"));
    const Outcome s = Draw({beam, "--list", "schematic", "--canvas", "8600x2080"});
    ASSERT_EQ(s.code, 0) << s.err;
    EXPECT_EQ(s.out.rfind("box 600 840 8000 855 0 0 225\n", 0), 0u);
}

TEST_F(DrawCommand, WritesPngAndSvg) {
    const std::string png = dir.File("schematic.png"), svg = dir.File("diagram.SVG");
    const Outcome r = Draw({beam, "--schematic", png, "--diagram", svg});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(573, 109));
    EXPECT_NE(testing::ReadAll(svg).find("70.17339kNm"), std::string::npos);
    const std::string big = dir.File("big.png");
    ASSERT_EQ(Draw({beam, "--diagram", big, "--size", "400x100", "--scale", "2"}).code, 0);
    EXPECT_EQ(QImage(QString::fromStdString(big)).size(), QSize(800, 200));
}

TEST_F(DrawCommand, RefusesWithTheSolveMessages) {
    std::string bytes = testing::ReadAll(beam);  // span 2 undefined: its EI (offset 10) zero
    ASSERT_GE(bytes.size(), 128u);
    testing::WriteAll(dir.File("undefined.bmf"), bytes.replace(64 + 10, 8, 8, '\0'));
    const struct {
        std::vector<std::string> args;
        int code;
        std::string err;
    } rows[] = {{{dir.File("missing.bmf"), "--list", "diagram"}, 2, "无法读取数据文件！"},
                {{dir.File("undefined.bmf"), "--list", "diagram"}, 3, "第 2跨未定义!"},
                {{beam}, 1, ""},
                {{beam, "--schematic", dir.File("x.bmp")}, 1, ""},
                {{beam, "--schematic", dir.File("x.png"), "--size", "0x5"}, 1, ""},
                {{beam, "--diagram", "/nonexistent-folder/x.svg"}, 2, ""}};
    for (const auto& k : rows) {
        SCOPED_TRACE(k.args.back());
        const Outcome r = Draw(k.args);
        EXPECT_EQ(r.code, k.code) << r.err;
        EXPECT_EQ(r.err.rfind(k.err, 0), 0u) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

}  // namespace
}  // namespace cbeam::test
