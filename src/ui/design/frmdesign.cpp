#include "ui/design/frmdesign.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include "ui/about/frmabout.h"
#include "ui/common/picture_actions.h"
#include "ui/design/design_drawings.h"
#include "ui/results/envelope_results.h"
#include "ui/results/results_models.h"

namespace cbeam {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QTableView* ResultsView(CellTable* model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setDefaultSectionSize(104);
    return view;
}

}  // namespace

frmDesign::frmDesign(BeamDocument& doc, UiServices& services, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_services(services) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmDesign"));
    Drawings = new DesignDrawings(m_doc, m_services, this);
    BuildTables();
    BuildMenus();

    m_spanResults = new CellTable(EnvelopeResults::SpanHeaders(), this);
    m_supportResults = new CellTable(EnvelopeResults::SupportHeaders(), this);
    tblSpanResults = ResultsView(m_spanResults, this);
    tblSupportResults = ResultsView(m_supportResults, this);
    auto* results = new QTabWidget(this);
    results->addTab(tblSpanResults, QStringLiteral("跨中与杆端设计值"));
    results->addTab(tblSupportResults, QStringLiteral("支座反力"));

    auto* right = new QSplitter(Qt::Vertical, this);
    right->addWidget(Drawings);
    right->addWidget(results);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 1);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(tabInput);
    split->addWidget(right);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    setCentralWidget(split);
    m_statusText = new QLabel(this);
    statusBar()->addWidget(m_statusText, 1);

    connect(&m_doc, &BeamDocument::generalChanged, this, &frmDesign::Follow);
    connect(&m_doc, &BeamDocument::fileChanged, this, &frmDesign::UpdateTitle);
    connect(&m_doc.UndoStack(), &QUndoStack::cleanChanged, this, &frmDesign::UpdateTitle);
    Drawings->resultsChanged = [this] { ShowResults(); };
    ShowResults();
    FillRecent();
    UpdateTitle();
    resize(1500, 920);
    tblSpans->setFocus();
    tblSpans->setCurrentIndex(tblSpans->model()->index(0, 0));
}

frmDesign::~frmDesign() = default;

void frmDesign::BuildTables() {
    tabInput = new QTabWidget(this);
    tabInput->setObjectName(QStringLiteral("tabInput"));
    const auto table = [this](tables::TableId id, const char* name) {
        auto* model = new BeamTableModel(m_doc, id, this);
        model->tell = [this](const QString& text) { Tell(text); };
        m_models.push_back(model);
        auto* view = new SheetView(model, this);
        view->setObjectName(QString::fromLatin1(name));
        return view;
    };
    tblSpans = table({tables::Table::Spans}, "tblSpans");
    tblSupports = table({tables::Table::Supports}, "tblSupports");
    tblCases = table({tables::Table::Cases}, "tblCases");
    tblLoads = table({tables::Table::Loads, 0}, "tblLoads");
    m_loads = tblLoads->Model();
    tblCombinations = table({tables::Table::Combinations}, "tblCombinations");

    txtEIo = new QLineEdit(this);
    txtEIo->setObjectName(QStringLiteral("txtEIo"));
    connect(txtEIo, &QLineEdit::editingFinished, this, [this] {
        Beam beam = m_doc.Current();
        const tables::Outcome r = tables::SetBaseRigidity(beam, txtEIo->text().toStdString());
        if (r.ok) m_doc.Change(Q(r.name), beam);
        txtEIo->setStyleSheet(r.ok ? QString() : QStringLiteral("color: #c80000"));
        txtEIo->setToolTip(r.ok ? QString() : Q(r.reason));
        Tell(r.ok ? QString() : Q(r.reason));
    });
    auto* spans = new QWidget(this);
    auto* eio = new QHBoxLayout;
    eio->addWidget(new QLabel(QStringLiteral("EIo (×10⁶ kN·m²) ="), this));
    eio->addWidget(txtEIo);
    eio->addStretch(1);
    auto* spansLayout = new QVBoxLayout(spans);
    spansLayout->addLayout(eio);
    spansLayout->addWidget(tblSpans);

    cboLoadCase = new QComboBox(this);
    cboLoadCase->setObjectName(QStringLiteral("cboLoadCase"));
    connect(cboLoadCase, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) return;
        m_loads->SetCase(index);
        Drawings->SetCase(index);
    });
    auto* slab = new QPushButton(QStringLiteral("双向板荷载…"), this);
    connect(slab, &QPushButton::clicked, this, &frmDesign::AddSlab);
    auto* loads = new QWidget(this);
    auto* loadsLayout = new QVBoxLayout(loads);
    loadsLayout->addWidget(new QLabel(QStringLiteral("荷载工况"), this));
    loadsLayout->addWidget(tblCases, 1);
    auto* chooser = new QHBoxLayout;
    chooser->addWidget(new QLabel(QStringLiteral("工况的荷载:"), this));
    chooser->addWidget(cboLoadCase, 1);
    chooser->addWidget(slab);
    loadsLayout->addLayout(chooser);
    loadsLayout->addWidget(tblLoads, 3);

    tabInput->addTab(spans, QStringLiteral("跨"));
    tabInput->addTab(tblSupports, QStringLiteral("支座"));
    tabInput->addTab(loads, QStringLiteral("荷载工况与荷载"));
    tabInput->addTab(tblCombinations, QStringLiteral("荷载组合"));

    // A row chosen in a table is shown and highlighted in the drawings.
    tblSpans->chosen = [this](int row) { Drawings->Mark(row + 1, 0); };
    tblSupports->chosen = [this](int row) { Drawings->Mark(0, row + 1); };
    tblLoads->chosen = [this](int row) {
        const Beam& beam = m_doc.Current();
        const int c = m_loads->Id().caseIndex;
        if (c >= static_cast<int>(beam.cases.size())) return;
        const auto& list = beam.cases[static_cast<std::size_t>(c)].loads;
        if (row >= static_cast<int>(list.size())) return;
        const Load& l = list[static_cast<std::size_t>(row)];
        Drawings->Mark(l.kind == Load::Kind::Settlement ? 0 : l.span,
                       l.kind == Load::Kind::Settlement ? l.node : 0);
    };
    connect(tabInput, &QTabWidget::currentChanged, this, [this] {
        if (auto* view = dynamic_cast<SheetView*>(tabInput->currentWidget())) view->setFocus();
    });
    FollowCases();
}

void frmDesign::Follow() {
    for (BeamTableModel* model : m_models) model->Follow();
    FollowCases();
    Drawings->Refresh();
    UpdateTitle();
}

void frmDesign::FollowCases() {
    const Beam& beam = m_doc.Current();
    {
        const QSignalBlocker quiet(cboLoadCase);
        const int was = std::max(cboLoadCase->currentIndex(), 0);
        QStringList names;
        for (const LoadCase& c : beam.cases) names << Q(c.name);
        QStringList shown;
        for (int i = 0; i < cboLoadCase->count(); ++i) shown << cboLoadCase->itemText(i);
        if (names != shown) {
            cboLoadCase->clear();
            cboLoadCase->addItems(names);
            cboLoadCase->setCurrentIndex(std::min(was, static_cast<int>(names.size()) - 1));
        }
    }
    const int c = std::max(cboLoadCase->currentIndex(), 0);
    m_loads->SetCase(c);
    Drawings->SetCase(c);
    if (!txtEIo->hasFocus()) txtEIo->setText(Q(tables::Cell(beam, {tables::Table::Spans}, -1, -1)));
}

void frmDesign::ShowResults() {
    const EnvelopeResults* r = Drawings->Results();
    if (!r) {
        m_spanResults->SetContents(0, {});
        m_supportResults->SetContents(0, {});
        return;
    }
    m_spanResults->SetContents(r->Spans(),
                               [r](int row, int column) { return r->SpanCell(row, column); });
    m_supportResults->SetContents(r->Spans() + 1,
                                  [r](int row, int column) { return r->SupportCell(row, column); });
}

// The tables tell their current cell before the status bar exists.
void frmDesign::Tell(const QString& text) {
    if (m_statusText) m_statusText->setText(text);
}

void frmDesign::UpdateTitle() {
    const QString name = FileName().isEmpty() ? QStringLiteral("未命名") : FileName();
    setWindowTitle(QStringLiteral("连续梁设计 - %1%2").arg(name, m_doc.Unsaved() ? "*" : ""));
}

void frmDesign::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    const auto add = [this](QMenu* menu, const QString& text, QKeySequence keys, auto slot) {
        QAction* a = menu->addAction(text);
        if (!keys.isEmpty()) a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(file, QStringLiteral("新建(&N)"), QKeySequence::New, [this] { NewBeam(); });
    add(file, QStringLiteral("打开(&O)…"), QKeySequence::Open, [this] { OpenBeam(); });
    mnuRecent = file->addMenu(QStringLiteral("最近打开的文件(&R)"));
    file->addSeparator();
    add(file, QStringLiteral("保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S),
        [this] { SaveBeam(); });
    add(file, QStringLiteral("另存为(&A)…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
        [this] { SaveBeamAs(); });
    QMenu* out = file->addMenu(QStringLiteral("导出(&E)"));
    add(out, QStringLiteral("计算书 PDF…"), {}, [this] { ExportSheet(); });
    add(out, QStringLiteral("文本报告…"), {}, [this] { ExportReport(); });
    add(out, QStringLiteral("设计值 CSV…"), {}, [this] { ExportCsv(); });
    add(out, QStringLiteral("图形…"), {}, [this] { ExportPicture(); });
    file->addSeparator();
    add(file, QStringLiteral("退出(&X)"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    actUndo = m_doc.UndoStack().createUndoAction(this, QStringLiteral("撤销"));
    actUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    actRedo = m_doc.UndoStack().createRedoAction(this, QStringLiteral("重做"));
    actRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addAction(actUndo);
    edit->addAction(actRedo);
    edit->addSeparator();
    const auto current = [this] { return dynamic_cast<SheetView*>(QApplication::focusWidget()); };
    // Shown with their keys; the tables take the keys themselves, so that
    // a cell's editor keeps its own Ctrl+C and Delete.
    const auto tableAction = [&](const QString& text, QKeySequence keys, auto act) {
        QAction* a =
            edit->addAction(text + QLatin1Char('\t') + keys.toString(QKeySequence::NativeText));
        connect(a, &QAction::triggered, this, [current, act] {
            if (SheetView* v = current()) act(v);
        });
    };
    tableAction(QStringLiteral("复制"), QKeySequence::Copy,
                [](SheetView* v) { v->CopySelection(); });
    tableAction(QStringLiteral("粘贴"), QKeySequence::Paste,
                [](SheetView* v) { v->PasteText(QApplication::clipboard()->text()); });
    tableAction(QStringLiteral("清除"), QKeySequence(Qt::Key_Delete),
                [](SheetView* v) { v->ClearSelection(); });
    tableAction(QStringLiteral("插入行"), QKeySequence(Qt::Key_Insert),
                [](SheetView* v) { v->InsertRows(); });
    tableAction(QStringLiteral("删除行"), QKeySequence(Qt::CTRL | Qt::Key_Delete),
                [](SheetView* v) { v->DeleteRows(); });
    edit->addSeparator();
    add(edit, QStringLiteral("双向板荷载…"), {}, [this] { AddSlab(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    add(view, QStringLiteral("放大"), QKeySequence(Qt::CTRL | Qt::Key_Equal),
        [this] { Drawings->Zoom(1); });
    add(view, QStringLiteral("缩小"), QKeySequence(Qt::CTRL | Qt::Key_Minus),
        [this] { Drawings->Zoom(-1); });
    add(view, QStringLiteral("全梁"), QKeySequence(Qt::CTRL | Qt::Key_0),
        [this] { Drawings->ShowAll(); });
    add(view, QStringLiteral("左移"), QKeySequence(Qt::ALT | Qt::Key_Left),
        [this] { Drawings->Pan(-std::max(1, Drawings->SpansShown() / 2)); });
    add(view, QStringLiteral("右移"), QKeySequence(Qt::ALT | Qt::Key_Right),
        [this] { Drawings->Pan(std::max(1, Drawings->SpansShown() / 2)); });
    view->addSeparator();
    add(view, QStringLiteral("详细结果与影响线…"), {}, [this] { m_services.openResultsWindow(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    add(help, QStringLiteral("手册"), QKeySequence::HelpContents, [this] {
        m_services.StartProcess(QStringLiteral("xdg-open /usr/share/doc/cbeam/README.md"));
    });
    add(help, QStringLiteral("关于"), {}, [this] {
        if (m_about.isNull()) m_about = new frmAbout(m_services);
        m_about->show();
        m_about->raise();
    });

    QToolBar* bar = addToolBar(QStringLiteral("工具栏"));
    bar->setObjectName(QStringLiteral("toolbar"));
    for (QAction* a : file->actions()) {
        if (a->text().startsWith(QStringLiteral("保存"))) bar->addAction(a);
    }
    bar->addAction(actUndo);
    bar->addAction(actRedo);
}

void frmDesign::closeEvent(QCloseEvent* event) {
    // Only the last window asks: the beam lives on in another.
    int others = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible() && !(w->windowFlags() & Qt::Popup) &&
            !qobject_cast<QDialog*>(w)) {
            ++others;
        }
    }
    if (others > 0 || !m_doc.Unsaved()) {
        event->accept();
        return;
    }
    event->setAccepted(AskToClose(m_services, [this] { return SaveBeam(); }));
}

}  // namespace cbeam
