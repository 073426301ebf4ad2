// Pictures of the three windows for the documentation. Runs only when
// CBEAM_SCREENSHOT_DIR names the folder to write them to, best under a real
// X server: xvfb-run -a env QT_QPA_PLATFORM=xcb CBEAM_SCREENSHOT_DIR=docs/screenshots test_ui
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "ui/about/frmabout.h"
#include "ui/input/frminput.h"
#include "ui/start/frmstart.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

class Screenshot : public UiTest {
  protected:
    void SetUp() override {
        m_dir = qEnvironmentVariable("CBEAM_SCREENSHOT_DIR");
        if (m_dir.isEmpty()) GTEST_SKIP() << "CBEAM_SCREENSHOT_DIR not set";
        QDir().mkpath(m_dir);
    }
    void Save(QWidget* w, const char* name) {
        w->show();
        w->activateWindow();
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        ASSERT_TRUE(w->grab().save(m_dir + u'/' + QString::fromLatin1(name)));
    }
    QString m_dir;
};

TEST_F(Screenshot, Windows) {
    auto* start = new frmStart(state, services);
    start->show();
    Type(start->txtN, QStringLiteral("3"));
    Choose(start->Combo1, 1);
    Replace(start->Text1, QStringLiteral("6"));
    Save(start, "start.png");
    delete start;

    state = SampleBeam();
    state.InputMode = 2;
    auto* input = new frmInput(state, services);
    Choose(input->cmbN, 1);
    Save(input, "input.png");

    auto* about = new frmAbout(services);
    Save(about, "about.png");
    EXPECT_TRUE(services.messages.empty());
}

}  // namespace
}  // namespace cbeam::test
