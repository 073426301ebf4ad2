#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <array>
#include <functional>
#include <map>
#include <utility>

#include "document/beam_document.h"
#include "model/beam_tables.h"

namespace cbeam {

// One of the design window's tables over the document's beam: cells as the
// table core reads them, typing applied through it as one undoable change
// of the document. The row after the last is blank: typing there appends.
// A cell whose text is refused keeps that text, red, with the reason as its
// tooltip, until it is typed again or Escape restores the value.
class BeamTableModel : public QAbstractTableModel {
  public:
    BeamTableModel(BeamDocument& doc, tables::TableId id, QObject* parent = nullptr);

    tables::TableId Id() const { return m_id; }
    const Beam& Current() const { return m_doc.Current(); }
    void SetCase(int caseIndex);
    // The beam changed: rows and columns as it has them now.
    void Follow();

    // Applies a typed text; `session` joins the keystrokes of one editor
    // into one step of the history (-1: a step of its own).
    tables::Outcome Type(int row, int column, const QString& text, int session = -1);
    tables::Outcome Apply(const std::function<tables::Outcome(Beam&)>& edit);
    // The refusal shown in a cell, if any; Escape takes it away.
    QString Refusal(int row, int column) const;
    bool Restore(int row, int column);
    bool HasBlankRow() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The last refusal or mend, for the window's status bar.
    std::function<void(const QString&)> tell;

  private:
    struct Refused {
        QString text, reason;
    };
    BeamDocument& m_doc;
    tables::TableId m_id;
    std::vector<tables::Column> m_columns;
    int m_rows = 0;
    std::map<std::pair<int, int>, Refused> m_refused;
};

// Applies every keystroke of a cell's editor that reads as a value, so the
// drawings follow the typing; the editor's keystrokes are one undo step.
class LiveDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  private:
    mutable int m_session = 1000;
};

// A table view that behaves as a spreadsheet: typing replaces the cell,
// Enter moves down and Tab right, Delete clears the selection, Ctrl+C and
// Ctrl+V copy and paste tab-separated rows, Ctrl+Insert / Ctrl+Delete (and
// the context menu) insert and delete rows, Escape restores a refused cell.
class SheetView : public QTableView {
  public:
    explicit SheetView(BeamTableModel* model, QWidget* parent = nullptr);
    BeamTableModel* Model() const { return m_model; }
    void CopySelection();
    void PasteText(const QString& text);
    void ClearSelection();
    void InsertRows();
    void DeleteRows();

    // Called with the row of the cell that becomes current.
    std::function<void(int row)> chosen;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    // The selection's bounding block: top row, rows, left column, columns.
    std::array<int, 4> Block() const;
    void Show(const tables::Outcome& outcome);
    void MoveDown();
    void FitHeaders();
    BeamTableModel* m_model;
};

}  // namespace cbeam
