// Pictures of the three windows for the documentation. Runs only when
// CBEAM_SCREENSHOT_DIR names the folder to write them to, best under a real
// X server: xvfb-run -a env QT_QPA_PLATFORM=xcb CBEAM_SCREENSHOT_DIR=docs/screenshots test_ui
#include <QDir>
#include <QPixmap>

#include "ui/about/frmabout.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using Screenshot = UiTest;

TEST_F(Screenshot, Windows) {
    const QString folder = qEnvironmentVariable("CBEAM_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "CBEAM_SCREENSHOT_DIR not set";
    QDir().mkpath(folder);
    const auto save = [&](QWidget* w, const char* name) {
        w->show();
        w->activateWindow();
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        EXPECT_TRUE(w->grab().save(folder + u'/' + QString::fromLatin1(name))) << name;
    };
    frmStart* start = NewStart();
    Type(start->txtN, QStringLiteral("3"));
    Choose(start->Combo1, 1);
    Replace(start->Text1, QStringLiteral("6"));
    save(start, "start.png");
    delete start;

    state = SampleBeam();
    state.InputMode = 2;
    auto* input = new frmInput(state, services);
    Choose(input->cmbN, 1);
    save(input, "input.png");
    save(new frmAbout(services), "about.png");
    EXPECT_TRUE(services.messages.empty());
}

}  // namespace
}  // namespace cbeam::test
