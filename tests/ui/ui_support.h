#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <sstream>

#include "common/beam_helpers.h"
#include "files/bmf.h"
#include "ui/common/services.h"
#include "ui/input/frminput.h"
#include "ui/start/frmstart.h"
#include "ui/windows.h"

inline void PrintTo(const QString& s, std::ostream* os) {  // readable failure reports
    *os << '"' << s.toStdString() << '"';
}

namespace cbeam::test {

// Answers the dialogs from a script and records every question.
class ScriptedServices : public UiServices {
  public:
    using Answer = std::optional<QString>;
    void Message(const QString& title, const QString& text, MsgIcon icon) override {
        messages << title + u'|' + text + (icon == MsgIcon::Warning ? u'!' : u'.');
        if (whileModal) whileModal();  // what a real box does while it is up
    }
    void Notice(const QString& title, const QString& text, MsgIcon icon) override {
        messages << title + u'|' + text + (icon == MsgIcon::Warning ? u'!' : u'.');
    }
    SaveChoice AskToSave(const QString& text) override {
        questions << text;
        return saveAnswers.isEmpty() ? SaveChoice::Cancel : saveAnswers.takeFirst();
    }
    Answer OpenFile(const QString& p, const QString& f, int* chosen = nullptr) override {
        if (chosen != nullptr) *chosen = filterAnswer;
        return Ask(p, f);
    }
    Answer SaveFile(const QString& p, const QString& f, int* chosen = nullptr) override {
        if (chosen != nullptr) *chosen = filterAnswer;  // as QFileDialog confirms
        const Answer name = Ask(p, f);
        const QString file = name && !name->contains(u'.') ? *name + u'.' + QFileInfo(p).suffix()
                                                           : name.value_or("");
        if (!name || !QFileInfo::exists(file)) return name;
        questions << "replace " + QFileInfo(file).fileName();
        return !replaceAnswers.isEmpty() && replaceAnswers.takeFirst() ? name : std::nullopt;
    }
    std::optional<SheetTitle> AskSheetTitle(const SheetTitle& preset) override {
        titlesAsked << preset;
        return titleAnswers.isEmpty() ? std::optional(preset) : titleAnswers.takeFirst();
    }
    bool StartProcess(const QString& p) override { return started << p, startSucceeds; }
    void EndProgram() override { ++endings; }

    QStringList messages, asked, started;  // asked: "preset|filter"
    QStringList fileAnswers;               // an empty name, or none left: cancelled
    QStringList questions;                 // save first? replace a file?
    QList<SaveChoice> saveAnswers;         // none left: 取消
    QList<bool> replaceAnswers;            // none left: no
    int filterAnswer = 0;                  // the file type picked in a file dialog
    std::function<void()> whileModal;      // runs while a modal message is up
    bool startSucceeds = true;
    int endings = 0;

    // The sheet's title fields offered, and the answers (none left: confirmed).
    QList<SheetTitle> titlesAsked;
    QList<std::optional<SheetTitle>> titleAnswers;

  private:
    Answer Ask(const QString& preset, const QString& filter) {
        asked << preset + u'|' + filter;
        const QString answer = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
        return answer.isEmpty() ? std::nullopt : Answer(answer);
    }
};

// The user's edits, as Qt delivers them.
inline void Type(QLineEdit* edit, const QString& ascii) {  // keystrokes, appended
    edit->end(false);
    QTest::keyClicks(edit, ascii);
}
inline void Replace(QLineEdit* edit, const QString& text) {  // select all, paste
    edit->selectAll();
    text.isEmpty() ? edit->del() : edit->insert(text);
}
// As a person types: each key to whatever widget has the focus by then.
inline void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no widget has the focus";
    QTest::keyClick(focus, key, modifiers);
}
// Any text, '\b' as Backspace, '\n' as Enter, '\t' as Tab; what is not
// ASCII as an input method hands it over.
inline void Keys(const QString& text) {
    for (const QChar c : text) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << "no widget has the focus";
        if (c == u'\b') {
            QTest::keyClick(focus, Qt::Key_Backspace);
        } else if (c == u'\n') {
            QTest::keyClick(focus, Qt::Key_Return);
        } else if (c == u'\t') {
            QTest::keyClick(focus, Qt::Key_Tab);
        } else if (c.unicode() < 128) {
            QTest::keyClick(focus, char(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, QString(c), {});
        }
        // What a key posts (an item editor's close on Enter) is done
        // before the next key, as between a person's keystrokes.
        QCoreApplication::processEvents();
    }
}
inline void Activate(QWidget* window) {  // where the keys go
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}
inline void Choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}
inline void DeleteLater() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
template <class W>
W* Window() {  // the visible top-level window of that class
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* found = dynamic_cast<W*>(w); found && found->isVisible()) return found;
    }
    return nullptr;
}
inline QStringList Refusal(const QString& text) {  // as recorded
    return {"错误|" + text + u'!'};
}

// Span 1 uniform 10 over the whole span, span 2 a point load of 20 at 0.25,
// span 3 uniform 5 over half: every kind of load.
inline BeamState SampleBeam() {
    return testing::MakeBeam({{4, 2, 1, 10, 1}, {6, 1.5, 2, 20, 0.25}, {5, 1, 1, 5, 0.5}}, kTrue,
                             kFalse, 2);
}

// The beam as the user sees it, and so what a saved file must bring back: the
// magnitude of a span without load is not part of it (the file drops it).
inline std::string Dump(const BeamState& s) {
    std::ostringstream out;
    out.precision(17);
    out << "N=" << s.N << " EIo=" << s.EIo << " ends " << s.Flag0 << s.FlagN;
    for (int k = 1; k <= s.N; ++k) {
        out << "\n span " << k << ": L=" << s.L(k) << " EI=" << s.EI(k) << " kind " << s.LoadType(k)
            << " Q=" << (s.LoadType(k) ? s.Q(k) : 0.0) << " A=" << s.A(k);
    }
    for (int k = 1; k <= s.N + 1; ++k) out << "\n M(" << k << ")=" << s.M(k);
    return out.str() + '\n';
}

// One QApplication for the program, no window left over between tests.
class UiTest : public ::testing::Test {
  protected:
    UiTest() { ConnectWindows(doc, services); }
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_ui", *argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    }
    // Windows hidden while whole, then deleted: one deleted visible is hidden
    // by ~QWidget when its own part is gone, and a combo box then reads freed
    // memory (a crash now and then, every time under MALLOC_PERTURB_).
    void TearDown() override {
        DeleteLater();
        const QWidgetList tops = QApplication::topLevelWidgets();
        const std::vector<QPointer<QWidget>> windows(tops.begin(), tops.end());
        for (const QPointer<QWidget>& w : windows)
            if (w) w->hide();
        for (const QPointer<QWidget>& w : windows) delete w.data();
        DeleteLater();
    }
    QStringList Took() { return std::exchange(services.messages, {}); }  // shown since last call
    void ExpectOnlyMessage(const QString& refusal) { EXPECT_EQ(Took(), Refusal(refusal)); }
    void ExpectNoMessage() { EXPECT_EQ(Took(), QStringList()); }
    frmStart* NewStart() {
        auto* w = new frmStart(doc, services);
        w->show();
        return w;
    }
    frmStart* Start() { return Window<frmStart>() ? Window<frmStart>() : NewStart(); }
    frmInput* Open(QPushButton* button) {  // the input window a button opens
        button->click();
        DeleteLater();
        return Window<frmInput>();
    }
    frmInput* TypeBeam(int spans, const std::vector<double>& ei = {}) {  // spans of 4 m
        frmStart* start = Start();
        Replace(start->txtN, QString::number(spans));
        for (int k = 0; k < spans; ++k) {
            Choose(start->Combo1, k);
            Replace(start->Text1, "4");
            if (k < static_cast<int>(ei.size())) Replace(start->Text2, QString::number(ei[k]));
        }
        return Open(start->btnConfirm);
    }
    frmInput* LoadBeam(const BeamState& beam) {  // with the start dialog's file command
        const std::string path = dir.File("loaded.bmf");
        EXPECT_TRUE(SaveBeamFile(path, beam));
        services.fileAnswers = {QString::fromStdString(path)};
        return Open(Start()->Command1);
    }

    BeamDocument doc;
    BeamState& state = doc.Edit();
    ScriptedServices services;
    testing::TempDir dir;
};

}  // namespace cbeam::test
