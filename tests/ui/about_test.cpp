// The About box, the system-information launcher and the dialog filters.
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

// A byte below 0x10 keeps its leading zero in the hex text: 00 01 00 is 256.
TEST(RegDwordText, ReadsTheBytesLowFirstAsAnUnsignedNumber) {
    const struct {
        std::vector<std::uint8_t> bytes;
        const char* text;
    } cases[] = {{{}, "0"},
                 {{0x01}, "1"},
                 {{0x01, 0x00, 0x00}, "1"},
                 {{0x00, 0x01, 0x00}, "256"},
                 {{0x0A, 0x01}, "266"},
                 {{0x78, 0x56, 0x34, 0x12}, "305419896"},
                 {{0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"}};
    for (const auto& c : cases) {
        EXPECT_EQ(RegDwordText(c.bytes), QString::fromLatin1(c.text)) << c.text;
    }
}

TEST(QtFilter, MapsAlternatingDescriptionsAndPatterns) {
    EXPECT_EQ(QtFilter(QStringLiteral("连续梁bmf文档(*.bmf)|*.bmf|All Files(*.*)|*.*")),
              QStringLiteral("连续梁bmf文档(*.bmf);;All Files(*.*)"));
    EXPECT_EQ(QtFilter(QStringLiteral(" Text 文档(*.txt)|*.txt|All Files(*.*)|*.*")),
              QStringLiteral("Text 文档(*.txt);;All Files(*.*)"));
    EXPECT_EQ(QtFilter(QStringLiteral("Beams|*.bmf")), QStringLiteral("Beams (*.bmf)"));
}

using AboutTest = UiTest;

TEST_F(AboutTest, ShowsTitleAndTheBuildsVersion) {
    QPointer<frmAbout> w(new frmAbout(services));
    w->show();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("关于 连续梁计算程序"));
    EXPECT_EQ(w->lblTitle->text(), QStringLiteral("连续梁计算程序"));
    EXPECT_EQ(w->size(), QSize(382, 196));
    const QRegularExpressionMatch version =
        QRegularExpression(QStringLiteral(R"(project\(cbeam VERSION (\d+\.\d+\.\d+))"))
            .match(QString::fromStdString(
                testing::ReadAll(std::string(CBEAM_SOURCE_DIR) + "/CMakeLists.txt")));
    ASSERT_TRUE(version.hasMatch());
    EXPECT_EQ(w->lblVersion->text(), QStringLiteral("版本 ") + version.captured(1));
    EXPECT_TRUE(w->lblDescription->text().startsWith(QStringLiteral("   本软件用于快速计算")));
    EXPECT_EQ(w->cmdSysInfo->text(), QStringLiteral("系统信息(&S)..."));
    w->cmdOK->click();
    DeleteLater();
    EXPECT_TRUE(w.isNull());
}

TEST_F(AboutTest, SystemInformationStartsAViewerOrSaysItIsUnavailable) {
    const QString unavailable = QStringLiteral("此时系统信息不可用");
    const QString title = QStringLiteral("连续梁计算程序");
    const auto restore = qScopeGuard([path = qgetenv("PATH")] { qputenv("PATH", path); });
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    qputenv("PATH", bin.path().toLocal8Bit());
    auto* w = new frmAbout(services);
    w->cmdSysInfo->click();
    EXPECT_TRUE(services.started.empty());
    ExpectOnlyMessage(unavailable, title, MsgIcon::None);

    QFile viewer(bin.filePath(QStringLiteral("kinfocenter")));
    ASSERT_TRUE(viewer.open(QIODevice::WriteOnly));
    viewer.write("#!/bin/sh\n");
    viewer.close();
    viewer.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    w->cmdSysInfo->click();
    ASSERT_EQ(services.started.size(), 1u);
    EXPECT_EQ(services.started[0], viewer.fileName());
    ExpectNoMessage();

    services.startSucceeds = false;
    w->cmdSysInfo->click();
    ExpectOnlyMessage(unavailable, title, MsgIcon::None);
}

}  // namespace
}  // namespace cbeam::test
