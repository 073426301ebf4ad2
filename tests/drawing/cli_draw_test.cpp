#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int code = -1;
    std::string out, err;
};

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class DrawCommand : public testing::Test {
  protected:
    void SetUp() override {
        m_exe =
            fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src/cli/cbeam-cli";
        if (!fs::exists(m_exe)) GTEST_SKIP() << "cbeam-cli not built";
        m_dir = fs::temp_directory_path() / ("cbeam_draw_" + std::to_string(getpid()));
        fs::create_directories(m_dir);
        m_beam = fs::path(CBEAM_TEST_DATA) / "draw_three_span.bmf";
    }
    void TearDown() override {
        std::error_code ec;
        if (!m_dir.empty()) fs::remove_all(m_dir, ec);
    }

    Outcome Draw(const std::vector<std::string>& args) {
        std::string cmd = "'" + m_exe.string() + "' draw";
        for (const std::string& a : args) cmd += " '" + a + "'";
        cmd += " >'" + (m_dir / "out").string() + "' 2>'" + (m_dir / "err").string() + "'";
        const int status = std::system(cmd.c_str());
        Outcome r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Slurp(m_dir / "out");
        r.err = Slurp(m_dir / "err");
        return r;
    }

    std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    fs::path m_exe, m_dir, m_beam;
};

TEST_F(DrawCommand, ListsThePrimitivesOfEitherDrawing) {
    const std::regex grammar(
        R"(line( -?[0-9.e+-]+){4}( \d+ \d+ \d+)?|box( -?[0-9.e+-]+){4} \d+ \d+ \d+|)"
        R"(circle( -?[0-9.e+-]+){3}|text( -?[0-9.e+-]+){2} ".*")");

    const Outcome s = Draw({m_beam.string(), "--list", "schematic", "--canvas", "8600x2080"});
    ASSERT_EQ(s.code, 0) << s.err;
    const auto lines = Lines(s.out);
    ASSERT_GT(lines.size(), 50u);
    EXPECT_EQ(lines.front(), "box 600 840 8000 855 0 0 225");
    for (const std::string& l : lines) EXPECT_TRUE(std::regex_match(l, grammar)) << l;
    EXPECT_NE(s.out.find("\"6.00M\"\n"), std::string::npos);
    EXPECT_NE(s.out.find("\"1.5EI\"\n"), std::string::npos);
    EXPECT_NE(s.out.find("\"20.00kN/m\"\n"), std::string::npos);

    // the window's own picture box by default
    const Outcome d = Draw({m_beam.string(), "--list", "diagram"});
    ASSERT_EQ(d.code, 0) << d.err;
    const auto dl = Lines(d.out);
    ASSERT_GT(dl.size(), 100u);
    EXPECT_EQ(dl.front(), "box 600 966 8055 981 0 0 0");
    EXPECT_NE(d.out.find("\"70.17339kNm\"\n"), std::string::npos);
    for (const std::string& l : dl) EXPECT_TRUE(std::regex_match(l, grammar)) << l;
}

TEST_F(DrawCommand, WritesPngAndSvg) {
    const fs::path png = m_dir / "schematic.png", svg = m_dir / "diagram.SVG";
    const Outcome r =
        Draw({m_beam.string(), "--schematic", png.string(), "--diagram", svg.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    const QImage image(QString::fromStdString(png.string()));
    EXPECT_EQ(image.size(), QSize(577, 113));
    const std::string vector = Slurp(svg);
    EXPECT_NE(vector.find("<svg"), std::string::npos);
    EXPECT_NE(vector.find("70.17339kNm"), std::string::npos);

    const fs::path big = m_dir / "big.png";
    ASSERT_EQ(
        Draw({m_beam.string(), "--diagram", big.string(), "--size", "400x100", "--scale", "2"})
            .code,
        0);
    EXPECT_EQ(QImage(QString::fromStdString(big.string())).size(), QSize(800, 200));
}

TEST_F(DrawCommand, RefusesWithTheSolveMessages) {
    // span 2 undefined: EI of record 2 (offset 10) set to 0
    std::string bytes = Slurp(m_beam);
    ASSERT_GE(bytes.size(), 128u);
    for (int i = 0; i < 8; ++i) bytes[64 + 10 + i] = 0;
    const fs::path undefined = m_dir / "undefined.bmf";
    std::ofstream(undefined, std::ios::binary) << bytes;

    const struct {
        std::vector<std::string> args;
        int code;
        std::string err;
    } cases[] = {
        {{(m_dir / "missing.bmf").string(), "--list", "diagram"}, 2, "无法读取数据文件！"},
        {{undefined.string(), "--list", "diagram"}, 3, "第 2跨未定义!"},
        {{m_beam.string()}, 1, ""},
        {{m_beam.string(), "--schematic", (m_dir / "x.bmp").string()}, 1, ""},
        {{m_beam.string(), "--schematic", (m_dir / "x.png").string(), "--size", "0x5"}, 1, ""},
        {{m_beam.string(), "--list", "both"}, 1, ""},
        {{m_beam.string(), "--schematic", "/nonexistent-folder/x.png"}, 2, ""},
        {{m_beam.string(), "--diagram", "/nonexistent-folder/x.svg"}, 2, ""},
    };
    for (const auto& k : cases) {
        const Outcome r = Draw(k.args);
        EXPECT_EQ(r.code, k.code) << k.args.back() << ": " << r.err;
        EXPECT_EQ(r.err.rfind(k.err, 0), 0u) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

}  // namespace
