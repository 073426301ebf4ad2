#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <deque>
#include <optional>
#include <vector>

#include "model/beam.h"
#include "ui/common/services.h"

namespace cbeam::test {

struct Shown {
    QString title;
    QString text;
    MsgIcon icon;
};

// Answers the dialogs from a script and records every question.
class ScriptedServices : public UiServices {
  public:
    void Message(const QString& title, const QString& text, MsgIcon icon) override {
        messages.push_back({title, text, icon});
    }
    std::optional<QString> OpenFile(const QString& preset, const QString& filter) override {
        return Answer(preset, filter);
    }
    std::optional<QString> SaveFile(const QString& preset, const QString& filter) override {
        return Answer(preset, filter);
    }
    bool StartProcess(const QString& program) override {
        started.push_back(program);
        return startSucceeds;
    }
    void EndProgram() override { ++endings; }

    std::vector<Shown> messages;
    std::deque<QString> fileAnswers;  // an empty name: the user cancels
    std::vector<QString> dialogPresets, dialogFilters;
    std::vector<QString> started;
    bool startSucceeds = true;
    int endings = 0;

  private:
    std::optional<QString> Answer(const QString& preset, const QString& filter) {
        dialogPresets.push_back(preset);
        dialogFilters.push_back(filter);
        if (fileAnswers.empty()) return std::nullopt;
        const QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
};

// A QApplication for the whole test program, and clean windows per test.
class UiTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void TearDown() override;

    // The one message shown since the last call, checked and forgotten.
    void ExpectOnlyMessage(const QString& text, const QString& title = QStringLiteral("错误"),
                           MsgIcon icon = MsgIcon::Warning);
    void ExpectNoMessage();

    BeamState state;
    ScriptedServices services;
};

// The user's edits, as Qt delivers them.
void Type(QLineEdit* edit, const QString& ascii);    // keystroke by keystroke, appended
void Replace(QLineEdit* edit, const QString& text);  // select all, paste the text
void Choose(QComboBox* combo, int index);            // pick an item from the list
void DeleteLater();                                  // run pending deferred deletions

// The visible top-level window of that class, or nullptr.
template <class W>
W* Window() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* found = dynamic_cast<W*>(w); found && found->isVisible()) return found;
    }
    return nullptr;
}

// A beam with every kind of load: span 1 uniform q = 10 over the whole
// span, span 2 a point load of 20 at 0.25, span 3 uniform 5 over half.
BeamState SampleBeam();
std::string TempPath(const std::string& name);
std::string ReadAll(const std::string& path);

}  // namespace cbeam::test
