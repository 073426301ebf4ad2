#pragma once

#include <QString>
#include <functional>

class QComboBox;
class QLineEdit;

// Keyboard and size aids for the entry controls, so that the windows work at
// real beam sizes (thousands of spans) and at the speed of a typing user.
namespace cbeam {

// Entering the field by Tab or by a click selects its text, so that what is
// typed next replaces the value shown instead of being appended to it.
void SelectAllOnEntry(QLineEdit* edit);

// Digits typed in quick succession on a span selector pick the span of that
// number ("12" picks span 12); the items read " 1", " 2", ... so Qt's own
// search by prefix finds nothing. `picked` runs after each change made.
void PickSpanByNumber(QComboBox* combo, std::function<void()> picked);

// The least widths at which the control shows `text` whole in its font and
// style; a design width is in twips, the result in pixels.
int FitWidth(const QLineEdit* edit, const QString& text, int designTwips);
int FitWidth(const QComboBox* combo, const QString& text, int designTwips);

}  // namespace cbeam
