// The start dialog: counts, span values, checks on confirm, file load.
#include <QGroupBox>

#include "ui_support.h"

namespace cbeam::test {
namespace {

using StartTest = UiTest;

TEST_F(StartTest, OpensEmptyAndRefusesAConfirmBeforeAnyCount) {
    state.SizeTyped(4);
    state.InputMode = 2;
    frmStart* w = NewStart();
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

// Halves round to even; a refused count keeps the beam of 2 spans and is
// refused again on confirm.
TEST_F(StartTest, CountField) {
    const QString messages[] = {QString(), QStringLiteral("跨数必须大于零！"),
                                QStringLiteral("跨数不能超过32766！"),
                                QStringLiteral("数值超出范围！")};
    const struct {
        const char* text;
        int message;  // 0: accepted
        int spans;    // after typing, or after the refused confirm
    } cases[] = {{"2.5", 0, 2},       {"3.5", 0, 4}, {"1.49", 0, 1},  {" 7abc", 0, 7},
                 {"32766", 0, 32766}, {"0", 1, 0},   {"-2", 1, 0},    {"", 1, 0},
                 {"abc", 1, 0},       {"0.3", 1, 0}, {"32767", 2, 2}, {"1e9", 2, 2},
                 {"1e999", 3, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        frmStart* w = NewStart();
        Replace(w->txtN, QStringLiteral("2"));
        Replace(w->Text1, QStringLiteral("5"));
        Replace(w->txtN, QString::fromLatin1(c.text));
        if (c.message == 0) {
            ExpectNoMessage();
            EXPECT_TRUE(state.N == c.spans && state.L.Count() == c.spans);
            EXPECT_EQ(w->Combo1->count(), c.spans);
            delete w;
            continue;
        }
        ExpectOnlyMessage(messages[c.message]);
        ASSERT_TRUE(state.N == 2 && state.L.Count() == 2);
        EXPECT_EQ(w->Combo1->count(), 0);
        EXPECT_TRUE(w->Combo1->isEnabled());
        // No span is selected, so span edits have nowhere to go.
        Replace(w->Text1, QStringLiteral("9"));
        EXPECT_EQ(state.L(1), 5.0);
        ExpectNoMessage();
        w->btnConfirm->click();
        ExpectOnlyMessage(messages[c.message]);
        EXPECT_EQ(state.N, c.spans);
        EXPECT_EQ(Window<frmInput>(), nullptr);
        delete w;
    }
}

TEST_F(StartTest, TypedCountListsTheSpansWhoseValuesFollowTheSelection) {
    frmStart* w = NewStart();
    Type(w->txtN, QStringLiteral("3"));
    ExpectNoMessage();
    ASSERT_EQ(w->Combo1->count(), 3);
    EXPECT_EQ(QStringList({w->Combo1->itemText(0), w->Combo1->itemText(2), w->Text1->text(),
                           w->Text2->text()}),
              QStringList({" 1", " 3", " 1", " 1"}));
    EXPECT_EQ(w->Combo1->currentIndex(), 0);
    EXPECT_EQ(w->focusWidget(), w->Text1);
    EXPECT_TRUE(w->Combo1->isEnabled());
    EXPECT_TRUE(state.N == 3 && state.L.Count() == 3);

    Choose(w->Combo1, 1);
    Replace(w->Text1, QStringLiteral("6"));
    Replace(w->Text2, QStringLiteral("0.5"));
    Choose(w->Combo1, 0);
    EXPECT_EQ(w->Text1->text(), QStringLiteral(" 1"));
    Choose(w->Combo1, 1);
    EXPECT_EQ(w->Text1->text(), QStringLiteral(" 6"));
    EXPECT_EQ(w->Text2->text(), QStringLiteral(" .5"));
    EXPECT_TRUE(state.L(2) == 6.0 && state.EI(2) == 0.5);
    Replace(w->Text1, QStringLiteral("1e999"));
    ExpectOnlyMessage(QStringLiteral("数值超出范围！"));
    EXPECT_EQ(state.L(2), 6.0);

    // A new count, even the same one, starts every span afresh.
    Replace(w->txtN, QStringLiteral("3"));
    for (int k = 1; k <= 3; ++k) EXPECT_TRUE(state.L(k) == 1.0 && state.EI(k) == 1.0) << k;
}

TEST_F(StartTest, ConfirmStopsAtTheFirstSpanWithoutLength) {
    for (const char* length : {"0", "abc", "-1"}) {
        frmStart* w = NewStart();
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
    QPointer<frmStart> w(NewStart());
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
    const std::string good = dir.File("good.bmf"), garbage = dir.File("garbage.bmf");
    ASSERT_TRUE(SaveBeamFile(good, SampleBeam()));
    testing::WriteAll(garbage, "not a beam");

    QPointer<frmStart> w(NewStart());
    Type(w->txtN, QStringLiteral("2"));
    services.fileAnswers = {QString(), QString::fromStdString(garbage),
                            QString::fromStdString(dir.File("missing.bmf"))};
    for (int i = 0; i < 3; ++i) {
        w->Command1->click();
        if (i == 0) {
            ExpectNoMessage();  // cancelled
        } else {
            ASSERT_EQ(services.messages.size(), 1u);
            const Shown m = services.messages[0];
            EXPECT_TRUE(m.text.startsWith(QStringLiteral("无法读取数据文件！\n")));
            EXPECT_GT(m.text.size(), 10);  // the reason follows
            EXPECT_TRUE(m.title == QStringLiteral("错误") && m.icon == MsgIcon::Warning);
            services.messages.clear();
        }
        EXPECT_TRUE(state.N == 2 && state.InputMode == 1 && w->isVisible()) << i;
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
