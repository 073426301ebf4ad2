// The load fields' marks and the keys a field must leave to the window: a
// line edit takes Ctrl+E as "end of line" on X11 and would keep "存为txt"
// from every user who has the cursor in a field.
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "ui/common/fieldmarks.h"
#include "ui/input/frminput.h"
#include "ui/input/picturebox.h"

namespace cbeam {

namespace {

class WindowKeys : public QObject {
  public:
    WindowKeys(QList<QKeySequence> keys, QObject* parent)
        : QObject(parent), m_keys(std::move(keys)) {}
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        if (!m_keys.contains(pressed)) return false;
        // Not taken by the field: the window's shortcut runs.
        event->ignore();
        return true;
    }

  private:
    QList<QKeySequence> m_keys;
};

}  // namespace

void frmInput::SetUpFields(const QList<QKeySequence>& windowKeys) {
    // Over the schematic's top edge, where the beam is not drawn.
    m_problemLine = new QLabel(this);
    m_problemLine->setAutoFillBackground(true);
    m_marks = new FieldMarks(m_services, m_problemLine, this);
    auto* keys = new WindowKeys(windowKeys, this);
    for (QLineEdit* field : {txtQ, txtPosA}) {
        m_marks->Watch(field);
        field->installEventFilter(keys);
    }
}

void frmInput::PlaceProblemLine() {
    const QRect picture = Picture1->geometry();
    m_problemLine->setGeometry(picture.left() + 2, picture.top() + 2, picture.width() - 4,
                               m_problemLine->sizeHint().height());
}

}  // namespace cbeam
