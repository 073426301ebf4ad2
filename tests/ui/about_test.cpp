// The About box, its system-information launcher, and the dialog filters.
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

#include "ui/about/frmabout.h"
#include "ui/about/sysinfo.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

// Bytes low first; a byte below 0x10 keeps its leading zero: 00 01 00 is 256.
TEST(RegDwordText, ReadsTheBytesLowFirst) {
    const std::pair<std::vector<std::uint8_t>, const char*> rows[] = {
        {{}, "0"},
        {{0x01, 0x00, 0x00}, "1"},
        {{0x00, 0x01, 0x00}, "256"},
        {{0x0A, 0x01}, "266"},
        {{0x78, 0x56, 0x34, 0x12}, "305419896"},
        {{0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"}};
    for (const auto& [bytes, text] : rows) EXPECT_EQ(RegDwordText(bytes), text) << text;
}

TEST(QtFilter, PairsDescriptionsWithPatterns) {
    const std::pair<const char*, const char*> rows[] = {
        {"连续梁bmf文档(*.bmf)|*.bmf|All Files(*.*)|*.*", "连续梁bmf文档(*.bmf);;All Files(*.*)"},
        {" Text 文档(*.txt)|*.txt|All Files(*.*)|*.*", "Text 文档(*.txt);;All Files(*.*)"},
        {"Beams|*.bmf|Text|*.txt", "Beams (*.bmf);;Text (*.txt)"}};
    for (const auto& [in, out] : rows) EXPECT_EQ(QtFilter(QString::fromUtf8(in)), out) << in;
}

using AboutTest = UiTest;

TEST_F(AboutTest, ShowsTheTitleAndTheBuildsVersionAndCloses) {
    QPointer<frmAbout> w(new frmAbout(services));
    w->show();
    const QString cmake =
        QString::fromStdString(testing::ReadAll(CBEAM_SOURCE_DIR "/CMakeLists.txt"));
    const QString version =
        QRegularExpression(R"(project\(cbeam VERSION (\d+\.\d+\.\d+))").match(cmake).captured(1);
    ASSERT_FALSE(version.isEmpty());
    EXPECT_EQ(QStringList({w->windowTitle(), w->lblTitle->text(), w->lblVersion->text()}),
              QStringList({"关于 连续梁计算程序", "连续梁计算程序", "版本 " + version}));
    Activate(w);
    Key(Qt::Key_Escape);  // as a dialog's
    DeleteLater();
    EXPECT_TRUE(w.isNull());
}

// No viewer on the path, a viewer, a viewer that fails to start.
TEST_F(AboutTest, SystemInformationStartsAViewerOrSaysItIsUnavailable) {
    const auto restore = qScopeGuard([path = qgetenv("PATH")] { qputenv("PATH", path); });
    QTemporaryDir bin;
    qputenv("PATH", bin.path().toLocal8Bit());
    frmAbout w(services);
    const QStringList unavailable = {"连续梁计算程序|此时系统信息不可用."};
    w.cmdSysInfo->click();
    EXPECT_EQ(Took(), unavailable);
    EXPECT_EQ(services.started, QStringList());
    QFile viewer(bin.filePath("kinfocenter"));
    ASSERT_TRUE(viewer.open(QIODevice::WriteOnly));
    viewer.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    w.cmdSysInfo->click();
    EXPECT_EQ(Took(), QStringList());
    EXPECT_EQ(services.started, QStringList({viewer.fileName()}));
    services.startSucceeds = false;
    w.cmdSysInfo->click();
    EXPECT_EQ(Took(), unavailable);
}

}  // namespace
}  // namespace cbeam::test
