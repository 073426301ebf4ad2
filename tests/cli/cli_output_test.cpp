#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include "common/beam_helpers.h"

namespace cbeam {
namespace {

using namespace testing;

struct OutputRow {
    const char* name;
    std::string args;  // after the program
    int exit;
    const char* errHas;  // "" for a success
    bool root = false;   // needs root: device nodes, other users, tmpfs
};

int RunCliAs(const std::string& args, const std::string& err, const std::string& as = "") {
    const std::string command = as + "timeout 10 '" CBEAM_CLI "' " + args + " 2>" + err +
                                (args.find('>') == std::string::npos ? " >/dev/null" : "");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Outputs that must never be replaced or written wrongly: each row a
// reproducer. The beam file and what was there before stay.
TEST(CliOutput, RefusedOutputsKeepWhatWasThere) {
    const bool root = ::geteuid() == 0;
    TempDir dir;
    const std::string a = dir.File("a.bmf"), full = dir.File("full");
    std::filesystem::copy_file(CBEAM_SOURCE_DIR "/examples/three-span.bmf", a);
    ASSERT_EQ(::mkfifo(dir.File("fifo.bmf").c_str(), 0600), 0);
    // A full disk: a tmpfs of 64 kB with a file that fills it, where root may mount.
    const bool tmpfs = root && std::filesystem::create_directory(full) &&
                       std::system(("mount -t tmpfs -o size=64k tmpfs " + full).c_str()) == 0;
    if (tmpfs) {
        WriteAll(full + "/r.txt", "the old report");
        std::system(("dd if=/dev/zero of=" + full + "/fill bs=4k 2>/dev/null").c_str());
    }
    if (root) {
        ASSERT_EQ(::mknod(dir.File("dev.txt").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
        WriteAll(dir.File("other.txt"), "another user's");
        ASSERT_EQ(::chown(dir.File("other.txt").c_str(), 4321, 4321), 0);
        ASSERT_EQ(::chmod(dir.File("other.txt").c_str(), 0666), 0);
        ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
    }
    const std::string before = ReadAll(a);
    const std::string user = "setpriv --reuid=1234 --regid=1234 --clear-groups ";
    const OutputRow rows[] = {
        {"device_node_output", "report " + a + " " + dir.File("dev.txt"), 2, "不是普通文件", true},
        {"own_input_by_extension", "report " + a + " " + a, 1, ".txt"},
        {"own_input_by_inode", "convert " + a + " " + a, 2, "输出文件就是"},
        {"fifo_input_does_not_block", "solve " + dir.File("fifo.bmf"), 2, "不是普通文件"},
        {"points_bound", "table " + a + " --points 10001", 1, "10000"},
        {"list_to_full_disk", "draw " + a + " --list schematic >/dev/full", 2, "无法写出"},
        {"report_to_full_stdout", "report " + a + " - >/dev/full", 2, "无法写出"},
        {"report_to_full_disk", "report " + a + " " + full + "/r.txt", 2, "保存txt文件失败", true},
        {"picture_to_full_disk", "draw " + a + " --schematic " + full + "/s.png", 2, "", true},
        {"another_users_file", "report " + a + " " + dir.File("other.txt"), 2, "--force", true},
    };
    for (const OutputRow& r : rows) {
        SCOPED_TRACE(r.name);
#ifndef CBEAM_CLI_DRAW
        if (r.args.rfind("draw ", 0) == 0) continue;  // the core alone has no drawings
#endif
        if (r.root && !root) continue;
        if (r.args.find(full) != std::string::npos && !tmpfs) continue;
        const bool asUser = r.args.find("other.txt") != std::string::npos;
        EXPECT_EQ(RunCliAs(r.args, dir.File("err"), asUser ? user : ""), r.exit);
        EXPECT_NE(ReadAll(dir.File("err")).find(r.errHas), std::string::npos)
            << ReadAll(dir.File("err"));
        EXPECT_EQ(ReadAll(a), before);
    }
    if (root) {
        struct stat st {};
        ASSERT_EQ(::stat(dir.File("dev.txt").c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
        EXPECT_EQ(ReadAll(dir.File("other.txt")), "another user's");
        // --force replaces it; root keeps its owner, group and mode.
        EXPECT_EQ(
            RunCliAs("report --force " + a + " " + dir.File("other.txt"), dir.File("err"), user),
            0);
        ASSERT_EQ(::chmod(dir.File("other.txt").c_str(), 0640), 0);
        ASSERT_EQ(::chown(dir.File("other.txt").c_str(), 4321, 4321), 0);
        EXPECT_EQ(RunCliAs("report " + a + " " + dir.File("other.txt"), dir.File("err")), 0);
        ASSERT_EQ(::stat(dir.File("other.txt").c_str(), &st), 0);
        EXPECT_EQ(std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777),
                  std::tuple(4321u, 4321u, 0640u));
    }
    if (tmpfs) {
        EXPECT_EQ(ReadAll(full + "/r.txt"), "the old report");
        EXPECT_FALSE(std::filesystem::exists(full + "/s.png"));
        EXPECT_EQ(std::system(("umount " + full).c_str()), 0);
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_NE(e.path().filename().string().rfind(".cbeam-", 0), 0u) << e.path();
    }
}

// Names are bytes: two names that differ in a byte that is not UTF-8 are two
// files. And a write stopped by SIGTERM leaves no temporary file behind.
TEST(CliOutput, NamesAsBytesAndInterruptedWrites) {
    TempDir dir;
    const std::string a = dir.File("a.bmf");
    std::filesystem::copy_file(CBEAM_SOURCE_DIR "/examples/three-span.bmf", a);
#ifdef CBEAM_CLI_DRAW
    for (const char* name : {"\\377.svg", "\\376.svg"}) {
        EXPECT_EQ(
            RunCliAs("draw " + a + " --schematic \"" + dir.Path() + "/$(printf '" + name + "')\"",
                     dir.File("err")),
            0);
    }
    EXPECT_EQ(std::tuple(std::filesystem::exists(dir.File("\xff.svg")),
                         std::filesystem::exists(dir.File("\xfe.svg"))),
              std::tuple(true, true));
#endif
    // 32,766 spans at 10,000 points each: gigabytes, stopped after a moment.
    std::string json = R"({"format": "cbeam-beam", "version": 1, "EIo": 1,
        "ends": {"left": "fixed", "right": "fixed"}, "spans": [)";
    for (int k = 0; k < 32766; ++k) {
        json += std::string(k ? "," : "") +
                R"({"L": 5, "EI": 1, "load": {"kind": "uniform", "q": 1, "a": 1}})";
    }
    WriteAll(dir.File("long.json"), json + "]}");
    const std::string command = "'" CBEAM_CLI "' table " + dir.File("long.json") +
                                " --points 10000 " + dir.File("t.csv") +
                                " & sleep 0.5; kill $!; wait $!";
    EXPECT_NE(std::system(command.c_str()), 0);
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_NE(e.path().filename().string().rfind(".cbeam-", 0), 0u) << e.path();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.csv")));
}

}  // namespace
}  // namespace cbeam
