#include "ui/common/services.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStringList>
#include <algorithm>

#include "files/safe_write.h"
#include "text/number.h"

namespace cbeam {

void Refuse(UiServices& services, const QString& text) {
    services.Message(kErrorTitle, text, MsgIcon::Warning);
}

void RefuseTyped(UiServices& services, const QString& text) {
    services.Notice(kErrorTitle, text, MsgIcon::Warning);
}

void RefuseCommand(UiServices& services, Command command, const Status& why) {
    Refuse(services, QString::fromStdString(LeadIn(command) + "\n" + MessageText(why)));
}

Status ReadTypedNumber(UiServices& services, const QString& text, double& value) {
    const NumberReading reading = ReadNumber(text.toStdString());
    if (reading.overflow) {
        const Status why{Code::ValueOutOfRange};
        RefuseTyped(services, QString::fromStdString(MessageText(why)));
        return why;
    }
    value = reading.value;
    return {};
}

std::string LocalPath(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QString ShownPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString QtFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& desc = parts[i];
        const QString pattern = parts[i + 1].trimmed();
        // Our descriptions already end in "(pattern)"; Qt takes the patterns
        // from the last parentheses, so such a description is used as it is.
        if (desc.trimmed().endsWith(u'(' + pattern + u')')) {
            entries << desc.trimmed();
        } else {
            entries << desc.trimmed() + QStringLiteral(" (") + pattern + u')';
        }
    }
    return entries.join(QStringLiteral(";;"));
}

namespace {

QWidget* DialogParent() {
    return QApplication::activeWindow();
}

std::optional<QString> RunFileDialog(QFileDialog::AcceptMode mode, const QString& preset,
                                     const QString& filter, int* chosenFilter = nullptr) {
    QFileDialog dialog(DialogParent());
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // Saving over another beam file without a word lost it: Qt asks first,
    // also for a name typed without the extension that the file gets. A
    // preset is a pattern ("*.bmf") or the name of the file to write.
    const QString suffix =
        preset.startsWith(QStringLiteral("*.")) ? preset.mid(2) : QFileInfo(preset).suffix();
    if (mode == QFileDialog::AcceptSave && !suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    const QStringList filters = QtFilter(filter).split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    // The type of the preset's extension is the one offered first.
    for (const QString& f : filters) {
        if (!suffix.isEmpty() &&
            f.section(u'(', -1).split(u' ').contains(QStringLiteral("*.") + suffix + u')')) {
            dialog.selectNameFilter(f);
            break;
        }
    }
    // A name typed without an extension gets the one of the type chosen
    // (PNG or SVG), not always the first type's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        const QString pattern = f.section(u'(', -1).chopped(1).trimmed();
        if (!dialog.defaultSuffix().isEmpty() && pattern.startsWith(QStringLiteral("*.")) &&
            pattern.indexOf(u'*', 1) < 0) {
            dialog.setDefaultSuffix(pattern.mid(2));
        }
    });
    if (!preset.contains(u'*')) dialog.selectFile(preset);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    if (chosenFilter != nullptr) {
        *chosenFilter =
            static_cast<int>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())));
    }
    return files.first();
}

// 确定 and 取消 under a dialog's fields.
void AddOkCancel(QDialog& dialog, QFormLayout* form) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
}

}  // namespace

bool AskToClose(UiServices& services, const std::function<bool()>& save) {
    switch (services.AskToSave(QString::fromStdString(MessageText(Status{Code::BeamNotSaved})))) {
        case SaveChoice::Save:
            return save();
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

void QtUiServices::Message(const QString& title, const QString& text, MsgIcon icon) {
    if (m_notice) m_notice->close();
    QMessageBox box(icon == MsgIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title,
                    text, QMessageBox::Ok, DialogParent());
    box.exec();
}

void QtUiServices::Notice(const QString& title, const QString& text, MsgIcon icon) {
    if (m_notice) m_notice->close();
    auto* box =
        new QMessageBox(icon == MsgIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                        title, text, QMessageBox::Ok, DialogParent());
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Shown beside the window, not over the field, and without the focus:
    // a box that took it would swallow the keys typed next.
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowModality(Qt::NonModal);
    box->setFocusPolicy(Qt::NoFocus);
    for (QAbstractButton* button : box->buttons()) button->setFocusPolicy(Qt::NoFocus);
    box->show();
    // Beside the window, where it hides none of the fields; in the window's
    // top right corner when the screen has no room beside it.
    if (const QWidget* window = box->parentWidget(); window != nullptr) {
        const QRect frame = window->frameGeometry();
        QPoint at = frame.topRight() + QPoint(8, 0);
        const QScreen* screen = window->screen();
        if (screen != nullptr &&
            !screen->availableGeometry().contains(QRect(at, box->frameGeometry().size()))) {
            at = frame.topRight() - QPoint(box->frameGeometry().width(), 0);
        }
        box->move(at);
    }
    m_notice = box;
}

void QtUiServices::EndNotice() {
    if (m_notice) m_notice->close();
}

SaveChoice QtUiServices::AskToSave(const QString& text) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::NoButton, DialogParent());
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveChoice::Save;
    if (box.clickedButton() == discard) return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

std::optional<QString> QtUiServices::OpenFile(const QString& preset, const QString& filter,
                                              int* chosenFilter) {
    return RunFileDialog(QFileDialog::AcceptOpen, preset, filter, chosenFilter);
}

std::optional<QString> QtUiServices::SaveFile(const QString& preset, const QString& filter,
                                              int* chosenFilter) {
    std::optional<QString> name =
        RunFileDialog(QFileDialog::AcceptSave, preset, filter, chosenFilter);
    // The dialog asked whether to replace the file; a shared file of someone
    // else would also lose its owner, which the user must hear first.
    if (name && ReplacingChangesOwner(LocalPath(*name))) {
        const QMessageBox::StandardButton answer = QMessageBox::question(
            DialogParent(), QApplication::applicationName(),
            QString::fromStdString(MessageText(Status{Code::OwnerWouldChange})),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) return std::nullopt;
    }
    return name;
}

std::optional<SheetTitle> QtUiServices::AskSheetTitle(const SheetTitle& preset) {
    QDialog dialog(DialogParent());
    dialog.setWindowTitle(QStringLiteral("计算书"));
    auto* form = new QFormLayout(&dialog);
    SheetTitle title = preset;
    QString* const fields[] = {&title.project, &title.member,   &title.designer,
                               &title.checker, &title.approver, &title.date};
    const char* const names[] = {"工程名称", "构件编号", "设计", "校对", "审核", "日期"};
    QLineEdit* edits[6];
    for (int i = 0; i < 6; ++i) {
        edits[i] = new QLineEdit(*fields[i], &dialog);
        form->addRow(QString::fromUtf8(names[i]) + u'：', edits[i]);
    }
    AddOkCancel(dialog, form);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    for (int i = 0; i < 6; ++i) *fields[i] = edits[i]->text();
    return title;
}

std::optional<SlabShare> QtUiServices::AskSlab(int spans) {
    QDialog dialog(DialogParent());
    dialog.setWindowTitle(QStringLiteral("双向板荷载"));
    auto* form = new QFormLayout(&dialog);
    auto* span = new QSpinBox(&dialog);
    span->setRange(1, std::max(spans, 1));
    auto* lx = new QDoubleSpinBox(&dialog);
    lx->setRange(0.001, 1e4);
    lx->setDecimals(3);
    lx->setValue(3);
    auto* p = new QDoubleSpinBox(&dialog);
    p->setRange(0, 1e6);
    p->setDecimals(3);
    p->setValue(5);
    auto* sides = new QSpinBox(&dialog);
    sides->setRange(1, 2);
    sides->setValue(2);
    form->addRow(QStringLiteral("第 … 跨："), span);
    form->addRow(QStringLiteral("板短边 lx (m)："), lx);
    form->addRow(QStringLiteral("板面荷载 p (kN/m²)："), p);
    form->addRow(QStringLiteral("梁两侧的板数："), sides);
    AddOkCancel(dialog, form);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return SlabShare{span->value(), lx->value(), p->value(), sides->value()};
}

bool QtUiServices::StartProcess(const QString& program) {
    return QProcess::startDetached(program, {});
}

void QtUiServices::EndProgram() {
    QApplication::closeAllWindows();
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) return;
    }
    QApplication::quit();
}

}  // namespace cbeam
