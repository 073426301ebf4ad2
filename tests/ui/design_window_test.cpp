// The design window driven as a person drives it: keys to whatever has the
// focus, the menus' shortcuts, the clipboard.
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <random>

#include "files/beam_json.h"
#include "model/beam_diff.h"
#include "model/beam_tables.h"
#include "ui/design/design_drawings.h"
#include "ui/design/frmdesign.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

class DesignWindowTest : public UiTest {
  protected:
    void SetUp() override {
        // Recent files of the test only, never the user's.
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
        QSettings().clear();
        doc.NewGeneral(tables::NewBeam());
        services.openDesignWindow();
        window = Window<frmDesign>();
        ASSERT_NE(window, nullptr);
        Activate(window);
    }
    // Keys into the table `view` from its cell (row, column).
    void At(SheetView* view, int row, int column) {
        // As a person clicks the tab first: keys never reach a hidden table.
        for (QWidget* w = view; w->parentWidget(); w = w->parentWidget()) {
            if (auto* pages = qobject_cast<QStackedWidget*>(w->parentWidget()))
                pages->setCurrentWidget(w);
        }
        view->setFocus();
        ASSERT_TRUE(view->hasFocus());
        view->setCurrentIndex(view->model()->index(row, column));
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    const Beam& Current() { return doc.Current(); }

    QTemporaryDir m_dir;
    frmDesign* window = nullptr;
};

// Builds, by typing: three 6 m spans and a 2 m right cantilever, a spring
// under node 3, a dead uniform load on every span, a live case with its
// uniform load and a point load on span 2.
void TypeFloorBeam(frmDesign* w, const std::function<void(SheetView*, int, int)>& at) {
    at(w->tblSpans, 0, 0);
    Keys("6\n6\n6\n2\n");
    at(w->tblSupports, 4, 0);
    Keys(QStringLiteral("自由\n"));
    at(w->tblSupports, 2, 0);
    Keys(QStringLiteral("弹簧\t50000\n"));
    at(w->tblCases, 1, 0);
    Keys(QStringLiteral("活载\t可变\n"));
    w->cboLoadCase->setCurrentIndex(0);
    at(w->tblLoads, 0, 0);
    Keys("1\n2\n3\n4\n");
    at(w->tblLoads, 0, 2);
    Keys("10\n10\n10\n10\n");
    w->cboLoadCase->setCurrentIndex(1);
    at(w->tblLoads, 0, 0);
    Keys("1\n2\n3\n");
    at(w->tblLoads, 0, 2);
    Keys("5\n5\n5\n");
    at(w->tblLoads, 3, 0);
    Keys(QStringLiteral("2\t集中力\t20\t\t3\n"));
}

TEST_F(DesignWindowTest, TypedBeamUndoneRedoneSavedAndReopened) {
    TypeFloorBeam(window, [this](SheetView* v, int r, int c) { At(v, r, c); });
    const Beam typed = Current();
    ASSERT_EQ(typed.N(), 4);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(typed.SpanAt(k).L, 6);
    EXPECT_EQ(typed.SpanAt(4).L, 2);
    EXPECT_EQ(typed.SupportAt(5).kind, SupportKind::Free);
    EXPECT_EQ(typed.SupportAt(3).kind, SupportKind::Spring);
    EXPECT_EQ(typed.SupportAt(3).k, 50000);
    ASSERT_EQ(typed.cases.size(), 2u);
    EXPECT_EQ(typed.cases[1].kind, CaseKind::Variable);
    ASSERT_EQ(typed.cases[0].loads.size(), 4u);
    for (const Load& l : typed.cases[0].loads) {
        EXPECT_EQ(l.kind, Load::Kind::Uniform);
        EXPECT_EQ(l.q1, 10);
        EXPECT_EQ(l.x2 - l.x1, typed.SpanAt(l.span).L) << "span " << l.span;
    }
    ASSERT_EQ(typed.cases[1].loads.size(), 4u);
    const Load& point = typed.cases[1].loads[3];
    EXPECT_EQ(point.kind, Load::Kind::Point);
    EXPECT_EQ(point.span, 2);
    EXPECT_EQ(point.q1, 20);
    EXPECT_EQ(point.x1, 3);
    EXPECT_TRUE(Validate(typed));
    ASSERT_NE(window->Drawings->Results(), nullptr) << "the typed beam is analysed";
    EXPECT_GT(window->tblSpanResults->model()->rowCount(), 0);

    // Back to the empty window one step at a time, and forward again.
    QUndoStack& undo = doc.UndoStack();
    int steps = 0;
    EXPECT_TRUE(window->actUndo->text().startsWith(QStringLiteral("撤销 ")));
    while (undo.canUndo() && steps < 200) {
        Key(Qt::Key_Z, Qt::ControlModifier);
        ++steps;
    }
    EXPECT_TRUE(SameBeam(Current(), tables::NewBeam()));
    EXPECT_GE(steps, 20) << "every entry is a step of its own";
    while (undo.canRedo()) Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(SameBeam(Current(), typed));
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // redo's other key: nothing left
    EXPECT_TRUE(SameBeam(Current(), typed));

    // The first Ctrl+S asks for a name, the next one does not.
    services.fileAnswers << Path("floor.json");
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(services.asked.size(), 1);
    EXPECT_FALSE(window->windowTitle().endsWith(u'*'));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(services.asked.size(), 1) << "Ctrl+S saves to the beam's file";

    Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Current().N(), 0);
    ASSERT_FALSE(window->mnuRecent->actions().isEmpty());
    window->mnuRecent->actions().front()->trigger();
    EXPECT_TRUE(SameBeam(Current(), typed));
    LoadedBeam file;
    ASSERT_TRUE(cbeam::LoadBeam(LocalPath(Path("floor.json")), file));
    EXPECT_TRUE(SameBeam(file.beam, typed));
    ExpectNoMessage();
}

TEST_F(DesignWindowTest, HundredSpansPastedFromASpreadsheet) {
    QString rows;
    for (int k = 1; k <= 100; ++k) rows += QStringLiteral("%1\t%2\r\n").arg(4 + k % 3).arg(1.5);
    QApplication::clipboard()->setText(rows);
    At(window->tblSpans, 0, 0);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Current().N(), 100);
    EXPECT_EQ(Current().SpanAt(100).L, 5);
    EXPECT_EQ(Current().SpanAt(7).EI, 1.5);
    EXPECT_EQ(Current().supports.size(), 101u);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Current().N(), 0) << "a paste is one step";
}

// A refused entry is kept where it was typed, marked, never applied, and
// Escape gives the value back.
TEST_F(DesignWindowTest, RefusedEntryKeptUntilEscape) {
    At(window->tblSpans, 0, 0);
    Keys("6\n");
    At(window->tblSpans, 0, 0);
    Keys("6m\n");
    auto* model = window->tblSpans->Model();
    EXPECT_EQ(Current().SpanAt(1).L, 6);
    EXPECT_EQ(model->data(model->index(0, 0), Qt::DisplayRole).toString(), "6m");
    EXPECT_FALSE(model->Refusal(0, 0).isEmpty());
    ExpectNoMessage();
    At(window->tblSpans, 0, 0);
    Key(Qt::Key_Escape);
    EXPECT_EQ(model->data(model->index(0, 0), Qt::DisplayRole).toString(), "6");
    EXPECT_TRUE(model->Refusal(0, 0).isEmpty());
}

// Random edits through the tables, undo and redo, saves and reopening:
// after each step the beam is the one the history says, and a saved file
// gives it back.
TEST_F(DesignWindowTest, RandomEditsAgreeWithHistoryAndFiles) {
    std::mt19937 random(2026);
    const std::vector<SheetView*> views{window->tblSpans, window->tblSupports, window->tblCases,
                                        window->tblLoads, window->tblCombinations};
    const QStringList texts{"6",
                            "2.5",
                            "0",
                            "-3",
                            "abc",
                            "1e999",
                            "",
                            "7,5",
                            QStringLiteral("铰支"),
                            QStringLiteral("弹簧"),
                            QStringLiteral("集中力"),
                            "0.4",
                            "1",
                            "1e5",
                            QStringLiteral("可变")};
    QApplication::clipboard()->setText("6\n5\n4\n");
    At(window->tblSpans, 0, 0);
    Key(Qt::Key_V, Qt::ControlModifier);
    std::vector<Beam> history{Current()};
    std::size_t at = 0, accepted = 0;
    for (int step = 0; step < 300; ++step) {
        const int what = static_cast<int>(random() % 10);
        if (what < 6) {
            SheetView* v = views[random() % views.size()];
            const int rows = v->model()->rowCount(), columns = v->model()->columnCount();
            if (rows == 0 || columns == 0) continue;
            const int row = static_cast<int>(random() % rows);
            const int column = static_cast<int>(random() % columns);
            const QString text = texts[static_cast<int>(random() % texts.size())];
            const tables::Outcome r = v->Model()->Type(row, column, text);
            if (r.ok && !SameBeam(Current(), history[at])) {
                history.resize(at + 1);
                history.push_back(Current());
                ++at;
                ++accepted;
            } else if (!r.ok) {
                ASSERT_TRUE(SameBeam(Current(), history[at])) << "a refused entry changed the beam";
                EXPECT_EQ(v->Model()->data(v->model()->index(row, column), Qt::EditRole), text)
                    << "the text typed is kept";
            }
        } else if (what < 8 && at > 0) {
            doc.UndoStack().undo();
            --at;
        } else if (what < 9 && at + 1 < history.size()) {
            doc.UndoStack().redo();
            ++at;
        } else {
            const QString name = Path(QStringLiteral("random%1.json").arg(step % 3));
            // Only a beam whose file could be read back is written.
            if (!doc.SaveCurrent(LocalPath(name))) {
                EXPECT_FALSE(Validate(Current()) && ValidateCombinations(Current()));
                continue;
            }
            LoadedBeam file;
            ASSERT_TRUE(cbeam::LoadBeam(LocalPath(name), file));
            ASSERT_TRUE(SameBeam(file.beam, Current())) << "step " << step;
        }
        ASSERT_TRUE(SameBeam(Current(), history[at])) << "step " << step;
    }
    EXPECT_GT(accepted, 40u);
}

class BothWindows : public UiTest {};

// One beam in both windows: the input window follows the design window's
// edits while it can show the beam, and gives way, saying why once, to the
// first edit it cannot show; the design window carries on with it.
TEST_F(BothWindows, InputWindowFollowsThenGivesWayOnce) {
    frmInput* input = TypeBeam(3);
    ASSERT_NE(input, nullptr);
    input->cmdDesign->click();
    auto* design = Window<frmDesign>();
    ASSERT_NE(design, nullptr);
    EXPECT_EQ(design->tblSpans->Model()->Current().N(), 3);
    design->tblSpans->Model()->Type(1, 0, "5");
    EXPECT_EQ(input->ListL->Item(1).trimmed(), "5.0") << "the input window follows";
    ExpectNoMessage();
    design->tblCases->Model()->Type(1, 0, QStringLiteral("活载"));
    DeleteLater();
    EXPECT_EQ(Took().size(), 1) << "told once why the input window closed";
    EXPECT_EQ(Window<frmInput>(), nullptr);
    ASSERT_EQ(Window<frmDesign>(), design);
    design->tblCases->Model()->Type(1, 1, QStringLiteral("可变"));
    EXPECT_EQ(design->tblCases->Model()->Current().cases.size(), 2u);
    ExpectNoMessage();
    // The last window asks before the changes are lost.
    services.saveAnswers << SaveChoice::Cancel;
    EXPECT_FALSE(design->close());
    EXPECT_EQ(services.questions.size(), 1);
}

}  // namespace
}  // namespace cbeam::test
