// Feedback on the load fields: the reading rules take any text, so a field
// whose text was refused, or read only in part, says so until it is mended.
#include <QLineEdit>
#include <QRegularExpression>

#include "ui/input/frminput.h"

namespace cbeam {

QString frmInput::TextProblem(const QString& text, double value) {
    // The whole of a decimal number, as the reading rules take it.
    static const QRegularExpression whole(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    if (whole.match(text).hasMatch()) return {};
    return QStringLiteral("“%1”不是完整的数值，按 %2 计算")
        .arg(text, QString::number(value, 'g', 15));
}

void frmInput::MarkField(QLineEdit* field, const QString& problem) {
    if (field->toolTip() == problem) return;
    field->setToolTip(problem);
    field->setStyleSheet(
        problem.isEmpty() ? QString() : QStringLiteral("QLineEdit { border: 2px solid red; }"));
}

}  // namespace cbeam
