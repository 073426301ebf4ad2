#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "common/beam_helpers.h"

namespace cbeam {
namespace {

using namespace testing;

struct OutputRow {
    const char* name;
    std::string args;  // after the program; A is the beam, D the folder
    int exit;
    const char* errHas;
};

// Outputs that must never be replaced or written: each row a reproducer.
TEST(CliOutput, RefusedOutputsKeepWhatWasThere) {
    // A device node can only be made by root.
    if (::geteuid() != 0) GTEST_SKIP() << "not root: no device node to refuse";
    TempDir dir;
    const std::string a = dir.File("a.bmf");
    std::filesystem::copy_file(CBEAM_SOURCE_DIR "/examples/three-span.bmf", a);
    ASSERT_EQ(::mknod(dir.File("dev.txt").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ASSERT_EQ(::mkfifo(dir.File("fifo.bmf").c_str(), 0600), 0);
    const std::string before = ReadAll(a);
    const OutputRow rows[] = {
        {"device_node_output", "report " + a + " " + dir.File("dev.txt"), 2, "不是普通文件"},
        {"own_input_by_extension", "report " + a + " " + a, 1, ".txt"},
        {"own_input_by_inode", "convert " + a + " " + a, 2, "输出文件就是"},
        {"fifo_input_does_not_block", "solve " + dir.File("fifo.bmf"), 2, "不是普通文件"},
        {"points_bound", "table " + a + " --points 10001", 1, "10000"},
        {"list_to_full_disk", "draw " + a + " --list schematic >/dev/full", 2, "无法写出"},
        {"report_to_full_stdout", "report " + a + " - >/dev/full", 2, "无法写出"},
    };
    for (const OutputRow& r : rows) {
        SCOPED_TRACE(r.name);
#ifndef CBEAM_CLI_DRAW
        if (r.args.rfind("draw ", 0) == 0) continue;  // the core alone has no drawings
#endif
        const std::string command = "timeout 10 '" CBEAM_CLI "' " + r.args + " 2>" +
                                    dir.File("err") +
                                    (r.args.find('>') == std::string::npos ? " >/dev/null" : "");
        const int status = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, r.exit);
        EXPECT_NE(ReadAll(dir.File("err")).find(r.errHas), std::string::npos)
            << ReadAll(dir.File("err"));
        EXPECT_EQ(ReadAll(a), before);
        struct stat st {};
        ASSERT_EQ(::stat(dir.File("dev.txt").c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_NE(e.path().filename().string().rfind(".cbeam-", 0), 0u) << e.path();
    }
}

}  // namespace
}  // namespace cbeam
