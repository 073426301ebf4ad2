#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "text/status.h"

namespace cbeam {

enum class MsgIcon { None, Warning };

// What a start dialog opens with: nothing, as at program start, or the beam
// of the input window it was opened from, to be changed and confirmed again
// without typing it anew or losing its loads.
enum class StartWith { Nothing, CurrentBeam };

// The answers to "save the changes first?".
enum class SaveChoice { Save, Discard, Cancel };

// The title fields of a calculation sheet, as typed.
struct SheetTitle {
    QString project, member, designer, checker, approver, date;
};

// The two-way slab beside a span, as 双向板荷载… asks for it: the span, the
// slab's short side lx (m), its load p (kN/m²) and on how many sides of
// the beam it lies (1 or 2).
struct SlabShare {
    int span = 1;
    double lx = 0, p = 0;
    int sides = 2;
};

// Everything a window asks of the desktop around it: modal messages, file
// dialogs, starting other programs and ending this one. Windows get it by
// reference so that tests can script the answers and record the questions.
class UiServices {
  public:
    virtual ~UiServices() = default;
    // Modal message box with an OK button.
    virtual void Message(const QString& title, const QString& text, MsgIcon icon) = 0;
    // The same message without taking the keyboard: the user goes on typing
    // in the field that caused it while it is shown. One at a time; a new
    // one, or a modal message, replaces it.
    virtual void Notice(const QString& title, const QString& text, MsgIcon icon) {
        Message(title, text, icon);
    }
    // Takes the notice away: what it said was mended.
    virtual void EndNotice() {}
    // Modal question with the buttons 保存, 不保存 and 取消; Escape is 取消.
    virtual SaveChoice AskToSave(const QString& text) = 0;
    // `filter` in the "description|pattern|..." form; nullopt when cancelled.
    // `chosenFilter` as for SaveFile.
    virtual std::optional<QString> OpenFile(const QString& preset, const QString& filter,
                                            int* chosenFilter = nullptr) = 0;
    // A name that exists already is handed back only when the user agreed to
    // replace that file, and agreed again where the replacement could not
    // keep its owner or group (see ReplacingChangesOwner).
    // `chosenFilter`, when given, receives the index of the filter the user
    // picked (0 for the first), so that a filter can choose an encoding.
    virtual std::optional<QString> SaveFile(const QString& preset, const QString& filter,
                                            int* chosenFilter = nullptr) = 0;
    // The sheet's title fields, `preset` filled in; nullopt when cancelled.
    virtual std::optional<SheetTitle> AskSheetTitle(const SheetTitle& preset) { return preset; }
    // The slab of 双向板荷载… for a beam of `spans` spans; nullopt when cancelled.
    virtual std::optional<SlabShare> AskSlab(int spans) {
        (void)spans;
        return std::nullopt;
    }
    // Starts a program without waiting for it; false when it cannot be started.
    virtual bool StartProcess(const QString& program) = 0;
    // Closes every window and ends the program; a window that refuses to
    // close (its user kept unsaved changes) keeps the program running.
    virtual void EndProgram() = 0;

    // The start dialog and the input window open each other through these,
    // so that neither needs the other; whoever makes the windows (the
    // program, a test) connects them, see ConnectWindows.
    std::function<void()> openInputWindow = [] {};
    std::function<void(StartWith)> openStartDialog = [](StartWith) {};
    // The window for a general beam the input window cannot show.
    std::function<void()> openResultsWindow = [] {};
    // The design window, on the document's beam.
    std::function<void()> openDesignWindow = [] {};

    // The sheet's title fields last confirmed, offered again for the next
    // sheet of the session.
    SheetTitle sheetTitle;
};

// The title every refusal carries.
inline const QString kErrorTitle = QStringLiteral("错误");

// A refused input or command: title "错误", warning icon, OK.
void Refuse(UiServices& services, const QString& text);
// The same, for a refusal raised while the user types: it keeps no key.
void RefuseTyped(UiServices& services, const QString& text);

// A failed file command: its lead-in, and the reason on a line of its own.
void RefuseCommand(UiServices& services, Command command, const Status& why);
// The question before a window with unsaved changes closes: true when it
// may close (saved by `save`, or the changes given up).
bool AskToClose(UiServices& services, const std::function<bool()>& save);

// The numeric reading of a typed text; a number too large for a double is
// refused, shown to the user and returned, with `value` untouched, so that
// nothing is stored.
Status ReadTypedNumber(UiServices& services, const QString& text, double& value);

// A file name as the system takes it and back: the bytes of the local
// encoding (QFile::encodeName/decodeName), so that a name that is not valid
// UTF-8 reaches the file it names instead of one with U+FFFD in its place.
std::string LocalPath(const QString& name);
QString ShownPath(const std::string& path);

// "desc|pattern|desc|pattern" to Qt's "desc (pattern);;desc (pattern)".
QString QtFilter(const QString& filter);

// The real desktop: QMessageBox, QFileDialog, QProcess.
class QtUiServices : public UiServices {
  public:
    void Message(const QString& title, const QString& text, MsgIcon icon) override;
    void Notice(const QString& title, const QString& text, MsgIcon icon) override;
    void EndNotice() override;
    SaveChoice AskToSave(const QString& text) override;
    std::optional<QString> OpenFile(const QString& preset, const QString& filter,
                                    int* chosenFilter = nullptr) override;
    std::optional<QString> SaveFile(const QString& preset, const QString& filter,
                                    int* chosenFilter = nullptr) override;
    std::optional<SheetTitle> AskSheetTitle(const SheetTitle& preset) override;
    std::optional<SlabShare> AskSlab(int spans) override;
    bool StartProcess(const QString& program) override;
    void EndProgram() override;

  private:
    QPointer<QWidget> m_notice;
};

}  // namespace cbeam
