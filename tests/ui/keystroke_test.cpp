// The windows as a person types into them: refusals that keep no key, marks
// on texts read only in part, the window's keys inside a field, the span
// table's rows, the results' wording and the beam files' kinds.
#include <QDialog>
#include <QLabel>
#include <QRadioButton>
#include <QTableView>

#include "files/beam_json.h"
#include "model/driver.h"
#include "ui/common/listbox.h"
#include "ui/input/picturebox.h"
#include "ui/results/frmresults.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

class KeystrokeTest : public UiTest {
  protected:
    KeystrokeTest() {
        // A real box takes the keyboard while it is up: what is typed next
        // goes to it, not to the field.
        services.whileModal = [this] {
            delete m_box;  // the windows left over are deleted after each test
            m_box = new QDialog;
            m_box->show();
            Activate(m_box.get());
            m_box->setFocus();
        };
    }
    void Focus(QLineEdit* field) {
        Activate(field->window());
        field->setFocus();
        field->selectAll();
    }
    QPointer<QDialog> m_box;
};

// Rows: keys typed into a field holding its first text, then Tab.
struct KeyRow {
    const char* name;
    const char* field;  // txtN, txtQ or txtPosA
    QString keys;       // '\b' is Backspace
    QString text;       // the field's text after the keys
    QStringList atOnce, whenLeft;
    bool marked;    // red frame and tooltip after the keys
    double stored;  // N, Q or a
};

TEST_F(KeystrokeTest, NoKeyTypedAfterARefusalIsLost) {
    const QString count = "跨数必须大于零！", load = "荷载必须大于零!", a = "a必须在0-1之间!";
    const KeyRow rows[] = {
        {"count emptied, then 7", "txtN", "\b7", "7", {}, {}, false, 7},
        {"count emptied and left", "txtN", "\b", "", {}, Refusal(count), true, 3},
        {"count 0, then 5", "txtN", "05", "05", Refusal(count), {}, false, 5},
        {"load minus, then 5 and 0",
         "txtQ",
         "-50",
         "-50",
         Refusal(load) + Refusal(load),
         {},
         true,
         0},
        {"load minus left", "txtQ", "-", "-", {}, {}, true, 0},
        {"a 1.5, then back to 1.", "txtPosA", "1.5\b", "1.", Refusal(a), {}, false, 1},
        {"a minus 0.5e left", "txtPosA", "-.5e", "-.5e", Refusal(a), Refusal(a), true, 0},
    };
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(row.name);
        frmInput* w = TypeBeam(3);
        ASSERT_TRUE(w);
        w->optQ->click();
        Took();
        QLineEdit* field = w->txtQ;
        if (QString(row.field) == "txtPosA") field = w->txtPosA;
        if (QString(row.field) == "txtN") {
            w = nullptr;
            Open(Window<frmInput>()->Command3);
            field = Window<frmStart>()->txtN;
        }
        Focus(field);
        Keys(row.keys);
        EXPECT_EQ(field->text(), row.text);
        EXPECT_EQ(Took(), row.atOnce);
        EXPECT_EQ(!field->toolTip().isEmpty(), row.marked);
        Key(Qt::Key_Tab);
        EXPECT_EQ(Took(), row.whenLeft);
        const double stored = w == nullptr ? state.N : field == w->txtQ ? state.Q(1) : state.A(1);
        EXPECT_EQ(stored, row.stored);
        TearDown();
    }
}

// Rows: a start dialog field, its text, what the field then says and what
// the confirm says. A text read as 0 is taken exactly as "0".
TEST_F(KeystrokeTest, StartDialogMarksAndRefusesWhatItReads) {
    const struct {
        const char *name, *field, *text, *mark, *refusal;
    } rows[] = {
        {"count 3.5", "txtN", "3.5", "跨数不是整数，按 4 跨计算", ""},
        {"EIo 1,5", "txtEI0", "1,5", "“1,5”不是完整的数值，按 1 计算", ""},
        {"EIo -5", "txtEI0", "-5", "基本抗弯刚度EIo为负数", "基本抗弯刚度EIo为负数"},
        {"length 6m", "Text1", "6m", "“6m”不是完整的数值，按 6 计算", ""},
        {"length 20 km", "Text1", "20000", "第1跨的长度数值超出范围！",
         "第1跨的长度数值超出范围！"},
        {"EI abc", "Text2", "abc", "“abc”不是完整的数值，按 0 计算", ""},
        {"EI 0", "Text2", "0", "", ""},
        {"EI -2", "Text2", "-2", "第1跨的抗弯刚度为负数", "第1跨的抗弯刚度为负数"},
        {"EI 1e13", "Text2", "1e13", "第1跨的抗弯刚度数值超出范围！",
         "第1跨的抗弯刚度数值超出范围！"},
    };
    QStringList openedWith;  // what the input window says of EI "abc" and "0"
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        frmStart* start = NewStart();
        Replace(start->txtN, "4");
        const QString name = row.field;
        QLineEdit* field = name == "txtN"     ? start->txtN
                           : name == "txtEI0" ? start->txtEI0
                           : name == "Text1"  ? start->Text1
                                              : start->Text2;
        Replace(field, row.text);
        EXPECT_EQ(field->toolTip(), row.mark);
        EXPECT_EQ(start->lblProblem->text(), row.mark);
        EXPECT_EQ(Took(), QStringList());
        QPointer<frmStart> alive(start);
        start->btnConfirm->click();
        DeleteLater();
        const QStringList shown = Took();
        if (*row.refusal != 0) {
            EXPECT_EQ(shown, Refusal(row.refusal));
            EXPECT_TRUE(alive && !Window<frmInput>());
        } else {
            EXPECT_TRUE(Window<frmInput>());
        }
        if (QString(row.field) == "Text2" && *row.refusal == 0) openedWith << shown.join(u'#');
        TearDown();
    }
    ASSERT_EQ(openedWith.size(), 2);
    EXPECT_EQ(openedWith[0], openedWith[1]);
}

// Ctrl+E and Ctrl+S with the cursor in a load field; presets from the name.
TEST_F(KeystrokeTest, WindowKeysWorkInAFieldAndDialogsStartFromTheBeamsName) {
    frmInput* w = LoadBeam(SampleBeam());
    ASSERT_TRUE(w);
    const QString beam = QString::fromStdString(dir.File("loaded.bmf"));
    const QString base = beam.chopped(4);
    Focus(w->txtQ);
    services.asked.clear();
    Key(Qt::Key_E, Qt::ControlModifier);  // cancelled
    ASSERT_EQ(services.asked.size(), 1);
    EXPECT_TRUE(services.asked[0].startsWith(base + ".txt|")) << services.asked[0].toStdString();
    Key(Qt::Key_A, Qt::ControlModifier);
    Keys("9");
    Key(Qt::Key_S, Qt::ControlModifier);  // to its file, no dialog
    EXPECT_EQ(services.asked.size(), 1);
    EXPECT_FALSE(w->windowTitle().endsWith(u'*'));
    BeamState again;
    ASSERT_TRUE(LoadBeamFile(beam.toStdString(), again));
    EXPECT_EQ(again.Q(1), 9);
    w->CmdSave->click();  // the button asks, from the beam's name
    EXPECT_TRUE(services.asked.last().startsWith(beam + u'|'));
    w->cmdResults->click();
    w->ResultsWindow()->cmdSheet->click();
    EXPECT_TRUE(services.asked.last().startsWith(base + ".pdf|"));
    EXPECT_EQ(Took(), QStringList());
}

// Rows: a name and the type chosen in the save dialog; the file written,
// its kind, and the start dialog opening it again with that type chosen.
TEST_F(KeystrokeTest, TheBeamsKindFollowsTheNameOrTheTypeChosen) {
    const struct {
        const char *name, *typed;
        int filter;
        const char* file;
        bool json;
    } rows[] = {
        {"name ends .json", "a.json", 0, "a.json", true},
        {"JSON type, no extension", "b", 1, "b.json", true},
        {"bmf type, no extension", "c", 0, "c.bmf", false},
        {"extension wins over type", "d.bmf", 1, "d.bmf", false},
        {"other extension, JSON type", "e.dat", 1, "e.dat", true},
    };
    const BeamState sample = SampleBeam();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        frmInput* w = LoadBeam(sample);
        ASSERT_TRUE(w);
        services.fileAnswers = {QString::fromStdString(dir.File(row.typed))};
        services.filterAnswer = row.filter;
        w->CmdSave->click();
        const std::string written = testing::ReadAll(dir.File(row.file));
        EXPECT_EQ(!written.empty() && written.front() == '{', row.json);
        EXPECT_EQ(w->windowTitle(), "输入参数 - " + QString(row.file));
        Open(w->Command3);
        services.fileAnswers = {QString::fromStdString(dir.File(row.file))};
        services.filterAnswer = row.json ? 2 : 0;
        w = Open(Window<frmStart>()->Command1);
        EXPECT_EQ(Took(), QStringList());
        ASSERT_TRUE(w);
        BeamState expected = sample;
        ASSERT_TRUE(RunAnalysis(expected).status);
        EXPECT_EQ(Dump(state), Dump(expected));
        TearDown();
    }
}

TEST_F(KeystrokeTest, EverySpanHasItsRowAndALargerWindowShowsMoreOfThem) {
    frmInput* w = TypeBeam(30);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->ListC->Items(), QStringList(30, " 无荷载 "));
    EXPECT_EQ(w->ListI->Item(29) + w->ListL->Item(29), "第30跨4.00");
    const auto shown = [w] {  // whole rows in sight
        int rows = 0;
        while (rows < w->ListI->Count() &&
               w->ListI->viewport()->rect().contains(
                   w->ListI->visualRect(w->ListI->model()->index(rows, 0))))
            ++rows;
        return rows;
    };
    const int before = shown();
    w->resize(w->width() + 400, w->height() + 600);
    QTest::qWait(20);
    EXPECT_GE(shown(), before + 8) << before;
    EXPECT_GE(w->Picture1->geometry().top(), w->ListI->geometry().bottom());
}

// Rows: the results window's node and span cells of a beam loaded on its
// first span only, which lifts its far end.
TEST_F(KeystrokeTest, ResultsMarkUpliftAndShowSmallDeflections) {
    for (const double ei : {1.0, 1e5}) {
        SCOPED_TRACE(ei);
        state = testing::MakeBeam({{6, ei, 1, 10, 1}, {6, ei, 0, 0, 0}}, kFalse, kFalse, 1);
        frmInput* w = LoadBeam(state);
        ASSERT_TRUE(w);
        w->cmdResults->click();
        frmResults* r = w->ResultsWindow();
        const DesignValues d = ComputeDesignValues(state);
        const auto cell = [](QTableView* t, int row, int col) {
            return t->model()->index(row, col).data().toString();
        };
        ASSERT_LT(d.R[2], 0);
        EXPECT_TRUE(cell(r->NodeTable, 2, 2).endsWith(" (上拔)"));
        EXPECT_FALSE(cell(r->NodeTable, 1, 2).contains("上拔"));
        const QString w1 = cell(r->SpanTable, 0, 5);
        QString digits = w1;
        digits.remove(u'-').remove(u'.');
        while (digits.startsWith(u'0')) digits.remove(0, 1);
        EXPECT_EQ(digits.size(), 3) << w1.toStdString();
        EXPECT_NEAR(w1.toDouble(), d.spans[0].w, std::fabs(d.spans[0].w) * 5e-3);
        TearDown();
    }
}

}  // namespace
}  // namespace cbeam::test
