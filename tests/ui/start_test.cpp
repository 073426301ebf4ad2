// The start dialog: the count, the span values, the checks on confirm, file load.
#include <QRegularExpression>

#include "ui_support.h"

namespace cbeam::test {
namespace {

using StartTest = UiTest;

TEST_F(StartTest, OpensEmptyRefusesAConfirmWithoutCountAndEnds) {
    state.SizeTyped(4);
    state.InputMode = 2;
    frmStart* w = NewStart();
    EXPECT_EQ(state.InputMode, 1);
    EXPECT_EQ(QStringList({w->txtN->text(), w->txtEI0->text()}), QStringList({"", "1"}));
    EXPECT_FALSE(w->Combo1->isEnabled() || w->Text1->isEnabled() || w->Text2->isEnabled());
    w->btnConfirm->click();
    EXPECT_EQ(Took(), Refusal("跨数必须大于零！"));
    EXPECT_EQ(std::tuple(state.N, w->isVisible(), Window<frmInput>()),
              std::tuple(0, true, nullptr));
    w->Command2->click();
    EXPECT_EQ(services.endings, 1);
}

// Rows "count typed|refusal|spans after it, or after the refused confirm".
// Halves round to even. A refused count keeps the beam of 2 spans, lists no
// span (span edits go nowhere) and is refused again on confirm.
TEST_F(StartTest, CountField) {
    for (const char* row :
         {"2.5||2", "3.5||4", "1.49||1", " 7abc||7", "32766||32766", "0|跨数必须大于零！|0",
          "-2|跨数必须大于零！|0", "|跨数必须大于零！|0", "abc|跨数必须大于零！|0",
          "0.3|跨数必须大于零！|0", "32767|跨数不能超过32766！|2", "1e9|跨数不能超过32766！|2",
          "1e999|数值超出范围！|2"}) {
        SCOPED_TRACE(row);
        const QStringList f = QString(row).split(u'|');
        const QStringList refusal = f[1].isEmpty() ? QStringList() : Refusal(f[1]);
        frmStart* w = NewStart();
        Replace(w->txtN, "2");
        Replace(w->Text1, "5");
        Replace(w->txtN, f[0]);
        EXPECT_EQ(Took(), refusal);
        EXPECT_EQ(w->Combo1->count(), refusal.isEmpty() ? f[2].toInt() : 0);
        EXPECT_EQ(state.L.Count(), refusal.isEmpty() ? f[2].toInt() : 2);
        if (!refusal.isEmpty()) {
            Replace(w->Text1, "9");
            EXPECT_EQ(state.L(1), 5.0);
            ExpectNoMessage();
            w->btnConfirm->click();
            EXPECT_EQ(Took(), refusal);
            EXPECT_EQ(Window<frmInput>(), nullptr);
        }
        EXPECT_EQ(state.N, f[2].toInt());
        delete w;
    }
}

TEST_F(StartTest, SpanFieldsFollowTheSelectedSpan) {
    frmStart* w = NewStart();
    Type(w->txtN, "3");
    const auto shown = [w] { return QStringList({w->Text1->text(), w->Text2->text()}).join(u'|'); };
    EXPECT_EQ(w->Combo1->itemText(0) + w->Combo1->itemText(2) + u'|' + shown(), " 1 3| 1| 1");
    EXPECT_EQ(w->Combo1->currentIndex(), 0);
    EXPECT_NE(w->focusWidget(), w->Text1);
    Choose(w->Combo1, 1);
    Replace(w->Text1, "6");
    Replace(w->Text2, "0.5");
    Choose(w->Combo1, 0);
    EXPECT_EQ(shown(), " 1| 1");
    Choose(w->Combo1, 1);
    EXPECT_EQ(shown(), " 6| .5");
    EXPECT_EQ(std::tuple(state.L(2), state.EI(2)), std::tuple(6.0, 0.5));
    Replace(w->Text1, "1e999");
    ExpectOnlyMessage("数值超出范围！");
    EXPECT_EQ(state.L(2), 6.0);
    Replace(w->txtN, "3");  // a new count, even the same, keeps what was typed
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(state.L(k), k == 2 ? 6.0 : 1.0) << k;
}

// Keys go where the focus is, as for a person: the count keeps the focus
// while it is typed, a span is picked by its number, a field entered by Tab
// or a click is typed over, Enter confirms and Ctrl+O loads.
TEST_F(StartTest, TypedAtTheKeyboard) {
    frmStart* w = NewStart();
    Activate(w);
    Keys("12");
    EXPECT_EQ(QApplication::focusWidget(), w->txtN);
    EXPECT_EQ(w->Combo1->count(), 12);
    Key(Qt::Key_Tab);
    Keys("3");  // EIo, " 1" selected
    Key(Qt::Key_Tab);
    Keys("11");
    EXPECT_EQ(w->Combo1->currentIndex(), 10);
    EXPECT_EQ(QApplication::focusWidget(), w->Combo1);
    Key(Qt::Key_Tab);
    Keys("6");
    QTest::mouseClick(w->Text2, Qt::LeftButton);
    Keys("2");
    Replace(w->txtN, "1");  // on the way to 13: spans 2 to 12 keep their values
    Replace(w->txtN, "13");
    EXPECT_EQ(std::tuple(state.L(11), state.EI(11), state.L(13), state.N),
              std::tuple(6.0, 2.0, 1.0, 13));
    Key(Qt::Key_O, Qt::ControlModifier);  // the file dialog, cancelled
    Key(Qt::Key_Return);
    DeleteLater();
    EXPECT_NE(Window<frmInput>(), nullptr);
    EXPECT_EQ(services.asked.size(), 1);
    EXPECT_EQ(state.EIo, 3);
}

// The count field and both span selectors show the largest count whole,
// where they were designed to be.
TEST_F(StartTest, TheLargestCountFits) {
    frmStart* start = NewStart();
    QLineEdit* txtN = start->txtN;
    const auto cursorX = [txtN] {  // a line edit scrolls its text when painted
        (void)txtN->grab();
        return txtN->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    };
    txtN->setText("32766");
    const int end = cursorX();
    txtN->home(false);
    EXPECT_GE(end - cursorX() + 1, txtN->fontMetrics().horizontalAdvance("32766"));
    EXPECT_EQ(txtN->pos(), QPoint(248, 48));
    const auto fits = [](QComboBox* combo, QPoint at) {
        QComboBox probe;
        probe.setFont(combo->font());
        probe.addItem(" 32766");
        EXPECT_GE(combo->width(), probe.sizeHint().width());
        EXPECT_EQ(combo->pos(), at);
    };
    fits(start->Combo1, QPoint(64, 24));
    fits(TypeBeam(1)->cmbN, QPoint(32, 12));
}

// Rows "length of spans 2 and 3|EIo|refusal|EIo stored". The lengths are
// checked first, then the base rigidity, stored even when refused.
TEST_F(StartTest, ConfirmChecks) {
    for (const char* row :
         {"0|1|请输入第 2跨的值|0", "abc|1|请输入第 2跨的值|0", "-1|1|请输入第 2跨的值|0",
          "4|0.0000001|EI不能等于零！|1e-7", "4|1e999|数值超出范围！|0",
          "4|-5|基本抗弯刚度EIo为负数|-5", "4|1e13|基本抗弯刚度EIo数值超出范围！|1e13",
          "1e5|1|第2跨的长度数值超出范围！|1"}) {
        SCOPED_TRACE(row);
        const QStringList f = QString(row).split(u'|');
        state = BeamState();
        QPointer<frmStart> w(NewStart());
        Type(w->txtN, "3");
        for (int k : {1, 2}) {
            Choose(w->Combo1, k);
            Replace(w->Text1, f[0]);
        }
        Replace(w->txtEI0, f[1]);
        w->btnConfirm->click();
        EXPECT_EQ(Took(), f[2].isEmpty() ? QStringList() : Refusal(f[2]));
        EXPECT_EQ(state.EIo, f[3].toDouble());
        DeleteLater();
        EXPECT_EQ(!Window<frmInput>() && w, !f[2].isEmpty());  // else the input window instead
        TearDown();
    }
}

TEST_F(StartTest, FileLoadOpensTheInputWindowOrSaysWhyNot) {
    const std::string good = dir.File("good.bmf"), garbage = dir.File("garbage.bmf");
    ASSERT_TRUE(SaveBeamFile(good, SampleBeam()));
    testing::WriteAll(garbage, "not a beam");
    QPointer<frmStart> w(NewStart());
    Type(w->txtN, "2");
    for (const std::string& path : {std::string(), garbage, dir.File("missing.bmf")}) {
        SCOPED_TRACE(path);
        services.fileAnswers = {QString::fromStdString(path)};
        w->Command1->click();
        const QString shown = Took().join(u'#');
        // Cancelled: nothing; else one refusal, the reason after the lead-in.
        static const QRegularExpression refusal(
            QStringLiteral("^错误\\|无法读取数据文件！\n[^#]{2,}!$"));
        EXPECT_TRUE(path.empty() ? shown.isEmpty() : refusal.match(shown).hasMatch())
            << shown.toStdString();
        EXPECT_EQ(std::tuple(state.N, state.InputMode, w->isVisible()), std::tuple(2, 1, true));
    }
    EXPECT_EQ(services.asked.back(),
              "*.bmf|连续梁数据文件(*.bmf *.json)|*.bmf *.json|连续梁bmf文档(*.bmf)|*.bmf|"
              "连续梁JSON文档(*.json)|*.json|All Files(*.*)|*.*");
    services.fileAnswers = {QString::fromStdString(good)};
    w->Command1->click();
    DeleteLater();
    ExpectNoMessage();
    EXPECT_TRUE(w.isNull());
    EXPECT_NE(Window<frmInput>(), nullptr);
    EXPECT_EQ(std::tuple(state.InputMode, state.N), std::tuple(2, 3));
}

}  // namespace
}  // namespace cbeam::test
