// cbeam-cli draw through the real program: listings, picture files, refusals.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <algorithm>
#include <filesystem>

#include "common/beam_helpers.h"

namespace cbeam::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int code = -1;
    std::string out, err;
};

class DrawCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(m_exe)) GTEST_SKIP() << "cbeam-cli not built";
    }
    // No argument here holds a single quote, so plain quoting will do.
    Outcome Draw(const std::vector<std::string>& args) {
        std::string cmd = "'" + m_exe.string() + "' draw";
        for (const std::string& a : args) cmd += " '" + a + "'";
        cmd += " >'" + dir.File("out") + "' 2>'" + dir.File("err") + "'";
        const int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadAll(dir.File("out")),
                testing::ReadAll(dir.File("err"))};
    }
    static std::size_t Lines(const std::string& text) {
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }

    const fs::path m_exe =
        fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src/cli/cbeam-cli";
    const std::string beam = CBEAM_TEST_DATA "/draw_three_span.bmf";
    testing::TempDir dir;
};

TEST_F(DrawCommand, ListsThePrimitivesOfEitherDrawing) {
    const Outcome s = Draw({beam, "--list", "schematic", "--canvas", "8600x2080"});
    ASSERT_EQ(s.code, 0) << s.err;
    EXPECT_GT(Lines(s.out), 50u);
    EXPECT_EQ(s.out.rfind("box 600 840 8000 855 0 0 225\n", 0), 0u);
    for (const char* label : {"\"6.00M\"\n", "\"1.5EI\"\n", "\"20.00kN/m\"\n"}) {
        EXPECT_NE(s.out.find(label), std::string::npos) << label;
    }
    // the window's own picture box by default
    const Outcome d = Draw({beam, "--list", "diagram"});
    ASSERT_EQ(d.code, 0) << d.err;
    EXPECT_GT(Lines(d.out), 100u);
    EXPECT_EQ(d.out.rfind("box 600 940 7995 955 0 0 0\n", 0), 0u);
    EXPECT_NE(d.out.find("\"70.17339kNm\"\n"), std::string::npos);
}

TEST_F(DrawCommand, WritesPngAndSvg) {
    const std::string png = dir.File("schematic.png"), svg = dir.File("diagram.SVG");
    const Outcome r = Draw({beam, "--schematic", png, "--diagram", svg});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(573, 109));
    const std::string vector = testing::ReadAll(svg);
    EXPECT_NE(vector.find("<svg"), std::string::npos);
    EXPECT_NE(vector.find("70.17339kNm"), std::string::npos);
    const std::string big = dir.File("big.png");
    ASSERT_EQ(Draw({beam, "--diagram", big, "--size", "400x100", "--scale", "2"}).code, 0);
    EXPECT_EQ(QImage(QString::fromStdString(big)).size(), QSize(800, 200));
}

TEST_F(DrawCommand, RefusesWithTheSolveMessages) {
    // span 2 undefined: EI of record 2 (offset 10) set to 0
    std::string bytes = testing::ReadAll(beam);
    ASSERT_GE(bytes.size(), 128u);
    bytes.replace(64 + 10, 8, 8, '\0');
    const std::string undefined = dir.File("undefined.bmf");
    testing::WriteAll(undefined, bytes);
    const struct {
        std::vector<std::string> args;
        int code;
        std::string err;
    } cases[] = {
        {{dir.File("missing.bmf"), "--list", "diagram"}, 2, "无法读取数据文件！"},
        {{undefined, "--list", "diagram"}, 3, "第 2跨未定义!"},
        {{beam}, 1, ""},
        {{beam, "--schematic", dir.File("x.bmp")}, 1, ""},
        {{beam, "--schematic", dir.File("x.png"), "--size", "0x5"}, 1, ""},
        {{beam, "--list", "both"}, 1, ""},
        {{beam, "--schematic", "/nonexistent-folder/x.png"}, 2, ""},
        {{beam, "--diagram", "/nonexistent-folder/x.svg"}, 2, ""},
    };
    for (const auto& k : cases) {
        const Outcome r = Draw(k.args);
        EXPECT_EQ(r.code, k.code) << k.args.back() << ": " << r.err;
        EXPECT_EQ(r.err.rfind(k.err, 0), 0u) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

}  // namespace
}  // namespace cbeam::test
