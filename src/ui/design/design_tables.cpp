#include "ui/design/design_tables.h"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <algorithm>

namespace cbeam {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const QColor kRefusedText{200, 0, 0};
const QColor kRefusedBack{255, 228, 228};

}  // namespace

BeamTableModel::BeamTableModel(BeamDocument& doc, tables::TableId id, QObject* parent)
    : QAbstractTableModel(parent), m_doc(doc), m_id(id) {
    const Beam& beam = m_doc.Current();
    m_columns = tables::Columns(beam, m_id);
    m_rows = tables::Rows(beam, m_id) + (HasBlankRow() ? 1 : 0);
}

bool BeamTableModel::HasBlankRow() const {
    return m_id.table != tables::Table::Supports;
}

void BeamTableModel::SetCase(int caseIndex) {
    if (m_id.caseIndex == caseIndex) return;
    beginResetModel();
    m_id.caseIndex = caseIndex;
    m_refused.clear();
    const Beam& beam = m_doc.Current();
    m_columns = tables::Columns(beam, m_id);
    m_rows = tables::Rows(beam, m_id) + (HasBlankRow() ? 1 : 0);
    endResetModel();
}

void BeamTableModel::Follow() {
    const Beam& beam = m_doc.Current();
    if (m_id.table == tables::Table::Loads &&
        m_id.caseIndex >= static_cast<int>(beam.cases.size())) {
        m_id.caseIndex = std::max(0, static_cast<int>(beam.cases.size()) - 1);
    }
    auto columns = tables::Columns(beam, m_id);
    const int rows = tables::Rows(beam, m_id) + (HasBlankRow() ? 1 : 0);
    const bool sameColumns = columns.size() == m_columns.size() &&
                             std::equal(columns.begin(), columns.end(), m_columns.begin(),
                                        [](const tables::Column& a, const tables::Column& b) {
                                            return a.header == b.header;
                                        });
    if (!sameColumns) {
        // A case added, removed or renamed: the settlement and factor
        // columns are others now.
        beginResetModel();
        m_columns = std::move(columns);
        m_rows = rows;
        m_refused.clear();
        endResetModel();
        return;
    }
    // Rows added or removed at the end keep an open editor open: the
    // typing in the blank row goes on in the row it made.
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    if (m_rows > 0) emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
}

tables::Outcome BeamTableModel::Apply(const std::function<tables::Outcome(Beam&)>& edit) {
    Beam beam = m_doc.Current();
    tables::Outcome outcome = edit(beam);
    if (outcome.ok) m_doc.Change(Q(outcome.name), beam);
    return outcome;
}

tables::Outcome BeamTableModel::Type(int row, int column, const QString& text, int session) {
    Beam beam = m_doc.Current();
    const std::string typed = text.toStdString();
    tables::Outcome outcome = tables::SetCell(beam, m_id, row, column, typed);
    const auto key = std::make_pair(row, column);
    if (outcome.ok) {
        m_refused.erase(key);
        m_doc.Change(Q(outcome.name), beam, session);
    } else if (session < 0) {
        // Only a finished entry is marked: a number half typed is not a
        // mistake yet.
        m_refused[key] = {text, Q(outcome.reason)};
        emit dataChanged(index(row, column), index(row, column));
    }
    if (tell) tell(outcome.ok ? QString() : Q(outcome.reason));
    return outcome;
}

QString BeamTableModel::Refusal(int row, int column) const {
    const auto found = m_refused.find({row, column});
    return found == m_refused.end() ? QString() : found->second.reason;
}

bool BeamTableModel::Restore(int row, int column) {
    if (m_refused.erase({row, column}) == 0) return false;
    emit dataChanged(index(row, column), index(row, column));
    if (tell) tell({});
    return true;
}

int BeamTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int BeamTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant BeamTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const auto refused = m_refused.find({index.row(), index.column()});
    const bool marked = refused != m_refused.end();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            if (marked) return refused->second.text;
            const Beam& beam = m_doc.Current();
            if (index.row() >= tables::Rows(beam, m_id)) return QString();
            return Q(tables::Cell(beam, m_id, index.row(), index.column()));
        }
        case Qt::ToolTipRole:
            return marked ? QVariant(refused->second.reason) : QVariant();
        case Qt::ForegroundRole:
            return marked ? QVariant(kRefusedText) : QVariant();
        case Qt::BackgroundRole:
            return marked ? QVariant(kRefusedBack) : QVariant();
        case Qt::TextAlignmentRole: {
            const auto kind = m_columns[static_cast<std::size_t>(index.column())].kind;
            return kind == tables::CellKind::Number ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                    : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        }
        default:
            return {};
    }
}

bool BeamTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    return Type(index.row(), index.column(), value.toString()).ok;
}

Qt::ItemFlags BeamTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (tables::Editable(m_doc.Current(), m_id, index.row(), index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant BeamTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) {
        return section < columnCount() ? Q(m_columns[static_cast<std::size_t>(section)].header)
                                       : QVariant();
    }
    // The blank row is where a new one is typed.
    if (HasBlankRow() && section == m_rows - 1) return QStringLiteral("*");
    return section + 1;
}

QWidget* LiveDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    auto* model = const_cast<BeamTableModel*>(dynamic_cast<const BeamTableModel*>(index.model()));
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !model) return editor;
    const int session = ++m_session;
    const int row = index.row(), column = index.column();
    connect(line, &QLineEdit::textEdited, line, [model, row, column, session](const QString& text) {
        model->Type(row, column, text, session);
    });
    return editor;
}

void LiveDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, line->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

SheetView::SheetView(BeamTableModel* model, QWidget* parent) : QTableView(parent), m_model(model) {
    setModel(model);
    setItemDelegate(new LiveDelegate(this));
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Rows are all one height: no per-row measuring of 32,766 rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(96);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* insert = new QAction(QStringLiteral("插入行"), this);
    insert->setShortcut(QKeySequence(Qt::Key_Insert));
    insert->setShortcutContext(Qt::WidgetShortcut);
    connect(insert, &QAction::triggered, this, &SheetView::InsertRows);
    auto* remove = new QAction(QStringLiteral("删除行"), this);
    remove->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    remove->setShortcutContext(Qt::WidgetShortcut);
    connect(remove, &QAction::triggered, this, &SheetView::DeleteRows);
    addActions({insert, remove});
    connect(model, &QAbstractItemModel::modelReset, this, &SheetView::FitHeaders);
    FitHeaders();
}

// Every header readable, with its unit: measuring the headers costs nothing,
// measuring the cells of 32,766 rows would.
void SheetView::FitHeaders() {
    const QFontMetrics metrics(horizontalHeader()->font());
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const QString text = m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        setColumnWidth(c, std::max(80, metrics.horizontalAdvance(text) + 24));
    }
}

std::array<int, 4> SheetView::Block() const {
    const QModelIndexList chosen = selectionModel()->selectedIndexes();
    QModelIndex at = currentIndex();
    if (chosen.isEmpty()) {
        return at.isValid() ? std::array<int, 4>{at.row(), 1, at.column(), 1}
                            : std::array<int, 4>{0, 0, 0, 0};
    }
    int top = chosen[0].row(), bottom = top, left = chosen[0].column(), right = left;
    for (const QModelIndex& i : chosen) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    return {top, bottom - top + 1, left, right - left + 1};
}

void SheetView::Show(const tables::Outcome& outcome) {
    if (m_model->tell) m_model->tell(outcome.ok ? QString() : Q(outcome.reason));
}

void SheetView::CopySelection() {
    const auto [row, rows, column, columns] = Block();
    const Beam& beam = m_model->Current();
    const int real = std::min(rows, tables::Rows(beam, m_model->Id()) - row);
    if (real <= 0 || columns <= 0) return;
    QApplication::clipboard()->setText(
        Q(tables::Copy(beam, m_model->Id(), row, real, column, columns)));
}

void SheetView::PasteText(const QString& text) {
    const QModelIndex at = currentIndex();
    const int row = at.isValid() ? at.row() : 0, column = at.isValid() ? at.column() : 0;
    const std::string tsv = text.toStdString();
    Show(m_model->Apply(
        [&](Beam& beam) { return tables::Paste(beam, m_model->Id(), row, column, tsv); }));
}

void SheetView::ClearSelection() {
    const auto [row, rows, column, columns] = Block();
    const int real = std::min(rows, tables::Rows(m_model->Current(), m_model->Id()) - row);
    if (real <= 0) return;
    Show(m_model->Apply([&](Beam& beam) {
        return tables::ClearCells(beam, m_model->Id(), row, real, column, columns);
    }));
}

void SheetView::InsertRows() {
    const auto [row, rows, column, columns] = Block();
    (void)column;
    (void)columns;
    Show(m_model->Apply([&](Beam& beam) {
        return tables::InsertRows(beam, m_model->Id(), row, std::max(rows, 1));
    }));
}

void SheetView::DeleteRows() {
    const auto [row, rows, column, columns] = Block();
    (void)column;
    (void)columns;
    const int real = std::min(rows, tables::Rows(m_model->Current(), m_model->Id()) - row);
    if (real <= 0) return;
    Show(m_model->Apply(
        [&](Beam& beam) { return tables::RemoveRows(beam, m_model->Id(), row, real); }));
}

void SheetView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex at = currentIndex();
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (event->matches(QKeySequence::Paste)) {
        PasteText(QApplication::clipboard()->text());
    } else if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        ClearSelection();
    } else if (event->key() == Qt::Key_Escape && at.isValid() &&
               m_model->Restore(at.row(), at.column())) {
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
               event->modifiers() == Qt::NoModifier && at.isValid()) {
        // An editor's Enter comes here too, before its queued close moves
        // down: only an Enter on a cell not being edited moves from here.
        if (state() != EditingState) MoveDown();
    } else {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void SheetView::MoveDown() {
    const QModelIndex at = currentIndex();
    if (!at.isValid()) return;
    const int row = std::min(at.row() + 1, m_model->rowCount() - 1);
    setCurrentIndex(m_model->index(row, at.column()));
}

void SheetView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Enter ends the entry and goes on down the column, as in a spreadsheet.
    const bool down = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, down ? QAbstractItemDelegate::NoHint : hint);
    if (down) MoveDown();
}

void SheetView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (m_model->tell)
        m_model->tell(current.isValid() ? m_model->Refusal(current.row(), current.column())
                                        : QString());
    if (chosen && current.isValid()) chosen(current.row());
}

}  // namespace cbeam
