// The start dialog: counts, span values, checks on confirm, file load.
#include <QGroupBox>
#include <QPushButton>

#include "files/bmf.h"
#include "ui/input/frminput.h"
#include "ui/start/frmstart.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

class StartTest : public UiTest {
  protected:
    frmStart* Open() {
        auto* w = new frmStart(state, services);
        w->show();
        return w;
    }
};

TEST_F(StartTest, OpensEmptyAndRefusesAConfirmBeforeAnyCount) {
    state.SizeTyped(4);
    state.InputMode = 2;
    frmStart* w = Open();
    EXPECT_EQ(w->size(), QSize(424, 275));
    EXPECT_EQ(w->Frame1->geometry(), QRect(32, 120, 369, 97));
    EXPECT_EQ(state.InputMode, 1);
    EXPECT_EQ(w->txtEI0->text(), QStringLiteral("1"));
    EXPECT_FALSE(w->Combo1->isEnabled() || w->Text1->isEnabled() || w->Text2->isEnabled());
    w->btnConfirm->click();
    ExpectOnlyMessage(QStringLiteral("跨数必须大于零！"));
    EXPECT_EQ(state.N, 0);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(Window<frmInput>(), nullptr);
    w->Command2->click();
    EXPECT_EQ(services.endings, 1);
}

TEST_F(StartTest, TypingACountListsTheSpansAndSelectsTheFirst) {
    frmStart* w = Open();
    Type(w->txtN, QStringLiteral("3"));
    ExpectNoMessage();
    ASSERT_EQ(w->Combo1->count(), 3);
    EXPECT_EQ(w->Combo1->itemText(0), QStringLiteral(" 1"));
    EXPECT_EQ(w->Combo1->itemText(2), QStringLiteral(" 3"));
    EXPECT_EQ(w->Combo1->currentIndex(), 0);
    EXPECT_EQ(w->Text1->text(), QStringLiteral(" 1"));
    EXPECT_EQ(w->Text2->text(), QStringLiteral(" 1"));
    EXPECT_EQ(w->focusWidget(), w->Text1);
    EXPECT_TRUE(w->Combo1->isEnabled());
    EXPECT_EQ(state.N, 3);
    EXPECT_EQ(state.L.Count(), 3);
}

TEST_F(StartTest, CountsRoundHalvesToEven) {
    const struct {
        const char* text;
        int spans;
    } cases[] = {{"2.5", 2}, {"3.5", 4}, {"1.49", 1}, {" 7abc", 7}, {"32766", 32766}};
    for (const auto& c : cases) {
        frmStart* w = Open();
        Replace(w->txtN, QString::fromLatin1(c.text));
        ExpectNoMessage();
        EXPECT_EQ(state.N, c.spans) << c.text;
        EXPECT_EQ(w->Combo1->count(), c.spans) << c.text;
        EXPECT_EQ(state.L.Count(), c.spans) << c.text;
        delete w;
    }
}

TEST_F(StartTest, RefusedCountsKeepTheBeamAndAreRefusedAgainOnConfirm) {
    const struct {
        const char* text;
        const char* message;
        int countAfterConfirm;
    } cases[] = {
        {"0", "跨数必须大于零！", 0},      {"-2", "跨数必须大于零！", 0},
        {"", "跨数必须大于零！", 0},       {"abc", "跨数必须大于零！", 0},
        {"0.3", "跨数必须大于零！", 0},    {"32767", "跨数不能超过32766！", 2},
        {"1e9", "跨数不能超过32766！", 2}, {"1e999", "数值超出范围！", 2},
    };
    for (const auto& c : cases) {
        frmStart* w = Open();
        Replace(w->txtN, QStringLiteral("2"));
        Replace(w->Text1, QStringLiteral("5"));
        Replace(w->txtN, QString::fromLatin1(c.text));
        ExpectOnlyMessage(QString::fromUtf8(c.message));
        EXPECT_EQ(state.N, 2) << c.text;
        ASSERT_EQ(state.L.Count(), 2) << c.text;
        EXPECT_EQ(state.L(1), 5.0) << c.text;
        EXPECT_EQ(w->Combo1->count(), 0) << c.text;
        EXPECT_TRUE(w->Combo1->isEnabled()) << c.text;
        // No span is selected, so span edits have nowhere to go.
        Replace(w->Text1, QStringLiteral("9"));
        EXPECT_EQ(state.L(1), 5.0) << c.text;
        ExpectNoMessage();
        w->btnConfirm->click();
        ExpectOnlyMessage(QString::fromUtf8(c.message));
        EXPECT_EQ(state.N, c.countAfterConfirm) << c.text;
        EXPECT_EQ(Window<frmInput>(), nullptr) << c.text;
        delete w;
    }
}

TEST_F(StartTest, SpanValuesFollowTheSelectionAndResetWithTheCount) {
    frmStart* w = Open();
    Type(w->txtN, QStringLiteral("3"));
    Choose(w->Combo1, 1);
    Replace(w->Text1, QStringLiteral("6"));
    Replace(w->Text2, QStringLiteral("0.5"));
    Choose(w->Combo1, 0);
    EXPECT_EQ(w->Text1->text(), QStringLiteral(" 1"));
    Choose(w->Combo1, 1);
    EXPECT_EQ(w->Text1->text(), QStringLiteral(" 6"));
    EXPECT_EQ(w->Text2->text(), QStringLiteral(" .5"));
    EXPECT_EQ(state.L(2), 6.0);
    EXPECT_EQ(state.EI(2), 0.5);
    Replace(w->Text1, QStringLiteral("1e999"));
    ExpectOnlyMessage(QStringLiteral("数值超出范围！"));
    EXPECT_EQ(state.L(2), 6.0);

    Replace(w->txtN, QStringLiteral("3"));
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(state.L(k), 1.0);
        EXPECT_EQ(state.EI(k), 1.0);
    }
}

TEST_F(StartTest, ConfirmStopsAtTheFirstSpanWithoutLength) {
    for (const char* length : {"0", "abc", "-1"}) {
        frmStart* w = Open();
        Type(w->txtN, QStringLiteral("3"));
        Choose(w->Combo1, 1);
        Replace(w->Text1, QString::fromLatin1(length));
        Choose(w->Combo1, 2);
        Replace(w->Text1, QStringLiteral("0"));
        w->btnConfirm->click();
        ExpectOnlyMessage(QStringLiteral("请输入第 2跨的值"));
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(Window<frmInput>(), nullptr);
        delete w;
    }
}

TEST_F(StartTest, BaseRigidityCheck) {
    QPointer<frmStart> w(Open());
    Type(w->txtN, QStringLiteral("2"));
    Replace(w->txtEI0, QStringLiteral("0.0000001"));
    w->btnConfirm->click();
    ExpectOnlyMessage(QStringLiteral("EI不能等于零！"));
    EXPECT_EQ(state.EIo, 1e-7);  // stored although refused
    Replace(w->txtEI0, QStringLiteral("1e999"));
    w->btnConfirm->click();
    ExpectOnlyMessage(QStringLiteral("数值超出范围！"));
    EXPECT_EQ(state.EIo, 1e-7);

    Replace(w->txtEI0, QStringLiteral("-5"));
    w->btnConfirm->click();
    ExpectNoMessage();
    EXPECT_EQ(state.EIo, -5.0);
    EXPECT_NE(Window<frmInput>(), nullptr);
    DeleteLater();
    EXPECT_TRUE(w.isNull());
}

TEST_F(StartTest, FileLoadOpensTheInputWindowOrSaysWhyNot) {
    const std::string good = TempPath("start_load.bmf");
    const std::string garbage = TempPath("start_garbage.bmf");
    ASSERT_TRUE(SaveBeamFile(good, SampleBeam()).ok);
    std::FILE* f = std::fopen(garbage.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a beam", f);
    std::fclose(f);

    QPointer<frmStart> w(Open());
    Type(w->txtN, QStringLiteral("2"));
    services.fileAnswers = {QString(), QString::fromStdString(garbage),
                            QString::fromStdString(TempPath("start_missing.bmf"))};
    for (int i = 0; i < 3; ++i) {
        w->Command1->click();
        if (i == 0) {
            ExpectNoMessage();  // cancelled
        } else {
            ASSERT_EQ(services.messages.size(), 1u);
            EXPECT_TRUE(
                services.messages[0].text.startsWith(QStringLiteral("无法读取数据文件！\n")));
            EXPECT_GT(services.messages[0].text.size(), 10);
            EXPECT_EQ(services.messages[0].title, QStringLiteral("错误"));
            EXPECT_EQ(services.messages[0].icon, MsgIcon::Warning);
            services.messages.clear();
        }
        EXPECT_EQ(state.N, 2);
        EXPECT_EQ(state.InputMode, 1);
        EXPECT_TRUE(w->isVisible());
    }
    EXPECT_EQ(services.dialogPresets.back(), QStringLiteral("*.bmf"));
    EXPECT_EQ(services.dialogFilters.back(),
              QStringLiteral("连续梁bmf文档(*.bmf)|*.bmf|All Files(*.*)|*.*"));

    services.fileAnswers = {QString::fromStdString(good)};
    w->Command1->click();
    ExpectNoMessage();
    EXPECT_EQ(state.InputMode, 2);
    EXPECT_EQ(state.N, 3);
    ASSERT_NE(Window<frmInput>(), nullptr);
    DeleteLater();
    EXPECT_TRUE(w.isNull());
}

}  // namespace
}  // namespace cbeam::test
