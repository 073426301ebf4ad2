#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <optional>
#include <vector>

#include "common/beam_helpers.h"
#include "files/bmf.h"
#include "model/beam.h"
#include "ui/common/services.h"
#include "ui/input/frminput.h"
#include "ui/start/frmstart.h"

namespace cbeam::test {

struct Shown {
    QString title, text;
    MsgIcon icon;
};

// Answers the dialogs from a script and records every question.
class ScriptedServices : public UiServices {
  public:
    using Answer = std::optional<QString>;
    void Message(const QString& title, const QString& text, MsgIcon icon) override {
        messages.push_back({title, text, icon});
    }
    Answer OpenFile(const QString& p, const QString& f) override { return Ask(p, f); }
    Answer SaveFile(const QString& p, const QString& f) override { return Ask(p, f); }
    bool StartProcess(const QString& program) override {
        started.push_back(program);
        return startSucceeds;
    }
    void EndProgram() override { ++endings; }

    std::vector<Shown> messages;
    std::deque<QString> fileAnswers;  // an empty name: the user cancels
    std::vector<QString> dialogPresets, dialogFilters, started;
    bool startSucceeds = true;
    int endings = 0;

  private:
    Answer Ask(const QString& preset, const QString& filter) {
        dialogPresets.push_back(preset);
        dialogFilters.push_back(filter);
        if (fileAnswers.empty()) return std::nullopt;
        const QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer.isEmpty() ? std::nullopt : std::optional(answer);
    }
};

// The user's edits, as Qt delivers them.
inline void Type(QLineEdit* edit, const QString& ascii) {  // keystroke by keystroke, appended
    edit->end(false);
    QTest::keyClicks(edit, ascii);
}
inline void Replace(QLineEdit* edit, const QString& text) {  // select all, paste
    edit->selectAll();
    text.isEmpty() ? edit->del() : edit->insert(text);
}
inline void Choose(QComboBox* combo, int index) {  // pick an item from the list
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}
inline void DeleteLater() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The visible top-level window of that class, or nullptr.
template <class W>
W* Window() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* found = dynamic_cast<W*>(w); found && found->isVisible()) return found;
    }
    return nullptr;
}

// Span 1 uniform q = 10 over the whole span, span 2 a point load of 20 at
// 0.25, span 3 uniform 5 over half: every kind of load.
inline BeamState SampleBeam() {
    return testing::MakeBeam({{4, 2, 1, 10, 1}, {6, 1.5, 2, 20, 0.25}, {5, 1, 1, 5, 0.5}}, kTrue,
                             kFalse, 2);
}

// A QApplication for the whole test program, and clean windows per test.
class UiTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (QApplication::instance() != nullptr) return;
        static int argc = 1;
        static char name[] = "test_ui";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // lives until the test program ends
    }
    void TearDown() override {
        DeleteLater();
        std::vector<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets()) windows.emplace_back(w);
        for (const QPointer<QWidget>& w : windows) delete w.data();
        DeleteLater();
    }

    // The one message shown since the last call, checked and forgotten.
    void ExpectOnlyMessage(const QString& text, const QString& title = QStringLiteral("错误"),
                           MsgIcon icon = MsgIcon::Warning) {
        ASSERT_EQ(services.messages.size(), 1u)
            << (services.messages.empty() ? std::string("no message")
                                          : services.messages.back().text.toStdString());
        EXPECT_EQ(services.messages[0].text, text);
        EXPECT_EQ(services.messages[0].title, title);
        EXPECT_EQ(services.messages[0].icon, icon);
        services.messages.clear();
    }
    void ExpectNoMessage() {
        EXPECT_TRUE(services.messages.empty()) << services.messages.front().text.toStdString();
        services.messages.clear();
    }

    frmStart* NewStart() {
        auto* w = new frmStart(state, services);
        w->show();
        return w;
    }
    // Spans of 4 m typed in the start dialog; `ei` gives the first rigidities.
    frmInput* TypeBeam(int spans, const std::vector<double>& ei = {}) {
        frmStart* start = NewStart();
        Type(start->txtN, QString::number(spans));
        for (int k = 0; k < spans; ++k) {
            Choose(start->Combo1, k);
            Replace(start->Text1, QStringLiteral("4"));
            if (k < static_cast<int>(ei.size())) Replace(start->Text2, QString::number(ei[k]));
        }
        start->btnConfirm->click();
        DeleteLater();
        return Window<frmInput>();
    }
    // A beam loaded from a file through the start dialog.
    frmInput* LoadBeam(const BeamState& beam) {
        const std::string path = dir.File("loaded.bmf");
        EXPECT_TRUE(SaveBeamFile(path, beam));
        frmStart* start = NewStart();
        services.fileAnswers = {QString::fromStdString(path)};
        start->Command1->click();
        DeleteLater();
        return Window<frmInput>();
    }

    BeamState state;
    ScriptedServices services;
    testing::TempDir dir;
};

}  // namespace cbeam::test
