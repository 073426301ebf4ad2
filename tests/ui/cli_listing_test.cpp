// What cbeam-cli draw lists is what the input window's canvases receive.
#include <sys/wait.h>

#include <cstdlib>

#include "canvas/recording_canvas.h"
#include "drawing/drawings.h"
#include "ui/input/picturebox.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using CliListing = UiTest;

TEST_F(CliListing, DrawListsWhatTheWindowDraws) {
    const std::string file = dir.File("loaded.bmf");
    frmInput* w = LoadBeam(SampleBeam());
    ASSERT_NE(w, nullptr);
    const struct {
        const char* which;
        PictureBox* box;
    } drawings[] = {{"schematic", w->Picture1}, {"diagram", w->Picture2}};
    for (const auto& d : drawings) {
        SCOPED_TRACE(d.which);
        RecordingCanvas window(d.box->Surface().ScaleWidth(), d.box->Surface().ScaleHeight());
        if (d.box == w->Picture1) {
            ReDrawAll(state, window);
        } else {
            DrawM(state, window);
        }
        ASSERT_GT(window.Items().size(), 20u);
        const std::string out = dir.File(std::string(d.which) + ".txt");
        const std::string cmd =
            "'" CBEAM_CLI "' draw '" + file + "' --list " + d.which + " >'" + out + "'";
        const int status = std::system(cmd.c_str());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(testing::ReadAll(out), ListPrimitives(window.Items()));
    }
}

}  // namespace
}  // namespace cbeam::test
