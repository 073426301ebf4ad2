#include "ui/results/frmresults.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "drawing/drawings.h"
#include "drawing/envelope_drawing.h"
#include "drawing/influence_drawing.h"
#include "files/safe_write.h"
#include "files/table.h"
#include "model/driver.h"
#include "sheet/sheet.h"
#include "text/format.h"
#include "ui/common/controls.h"
#include "ui/results/diagramview.h"
#include "ui/results/envelope_results.h"
#include "ui/results/results_models.h"
#include "version/version.h"

namespace cbeam {

namespace {

// Column widths fixed by the headers: a view that measured its cells would
// visit every row.
void UseModel(QTableView* view, CellTable* model) {
    view->setModel(model);
    const QFontMetrics metrics = view->horizontalHeader()->fontMetrics();
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString header = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        view->setColumnWidth(c, std::max(72, metrics.horizontalAdvance(header) + 24));
    }
}

QTableView* MakeTable(CellTable* model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->verticalHeader()->hide();
    // Fixed row heights, as the widths: a view that measured its rows would
    // visit every one of them.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setStretchLastSection(true);
    UseModel(view, model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

QGroupBox* Framed(const QString& title, QWidget* inside, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(inside);
    return box;
}

}  // namespace

frmResults::frmResults(BeamDocument& doc, UiServices& services, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_state(doc.State()), m_services(services) {
    setObjectName(QStringLiteral("frmResults"));
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("详细结果"));
    resize(1180, 720);
    BuildControls();
    for (DiagramView* d : {ShearDiagram, DeflectionDiagram}) {
        d->SetView([this] { return DiagramView::Stretch{m_doc.View().zoom, m_doc.View().left}; });
    }
    connect(&m_doc, &BeamDocument::resultsChanged, this, &frmResults::Refresh);
    // A general beam has no analysis step: its envelopes follow the beam.
    connect(&m_doc, &BeamDocument::beamChanged, this, [this] {
        if (m_doc.General() || m_envelopes) Refresh();
    });
    connect(&m_doc, &BeamDocument::viewChanged, this, [this] {
        ShearDiagram->Redraw();
        DeflectionDiagram->Redraw();
    });
    Refresh();
}

frmResults::~frmResults() = default;

void frmResults::BuildControls() {
    m_nodes = new CellTable({QStringLiteral("结点"), QStringLiteral("弯矩 M (kN·m)"),
                             QStringLiteral("支座反力 R (kN)"), QStringLiteral("转角 θ (rad)")},
                            this);
    m_spans = new CellTable(
        {QStringLiteral("跨"), QStringLiteral("左端剪力 (kN)"), QStringLiteral("右端剪力 (kN)"),
         QStringLiteral("最大正弯矩 (kN·m)"), QStringLiteral("位置 x (m)"),
         QStringLiteral("最大挠度 (mm)"), QStringLiteral("位置 x (m)")},
        this);
    m_supportEnvelope = new CellTable(EnvelopeResults::SupportHeaders(), this);
    m_spanEnvelope = new CellTable(EnvelopeResults::SpanHeaders(), this);
    NodeTable = MakeTable(m_nodes, this);
    SpanTable = MakeTable(m_spans, this);
    ShearDiagram = new DiagramView(this);
    DeflectionDiagram = new DiagramView(this);
    lblReason = new QLabel(this);
    lblReason->setWordWrap(true);
    lblReason->setStyleSheet(QStringLiteral("color: #b00000"));
    cmdExport = new QPushButton(QStringLiteral("导出CSV…"), this);
    cmdSheet = new QPushButton(QStringLiteral("计算书…"), this);
    cboCombination = new QComboBox(this);
    cboCombination->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* combination = new QHBoxLayout;
    m_combinationRow = new QWidget(this);
    combination->setContentsMargins(0, 0, 0, 0);
    combination->addWidget(new QLabel(QStringLiteral("荷载组合："), this));
    combination->addWidget(cboCombination);
    combination->addSpacing(16);
    combination->addWidget(
        new QLabel(QStringLiteral("M 以上侧受拉为正，V = -dM/dx，w 向下为正，R 向上为正"), this));
    combination->addStretch();
    m_combinationRow->setLayout(combination);
    chkInfluence = new QCheckBox(QStringLiteral("影响线"), this);
    chkInfluence->setToolTip(QStringLiteral("在图中单击选截面，或在结点表中选结点"));
    spnInfluenceSpan = new QSpinBox(this);
    txtInfluenceX = new QDoubleSpinBox(this);
    txtInfluenceX->setDecimals(3);
    txtInfluenceX->setSingleStep(0.1);
    spnInfluenceNode = new QSpinBox(this);
    for (QSpinBox* b : {spnInfluenceSpan, spnInfluenceNode}) b->setRange(1, 1);
    auto* influence = new QHBoxLayout;
    m_influenceRow = new QWidget(this);
    influence->setContentsMargins(0, 0, 0, 0);
    influence->addWidget(chkInfluence);
    influence->addSpacing(16);
    influence->addWidget(new QLabel(QStringLiteral("截面：第"), this));
    influence->addWidget(spnInfluenceSpan);
    influence->addWidget(new QLabel(QStringLiteral("跨 x ="), this));
    influence->addWidget(txtInfluenceX);
    influence->addWidget(new QLabel(QStringLiteral("m"), this));
    influence->addSpacing(16);
    influence->addWidget(new QLabel(QStringLiteral("结点："), this));
    influence->addWidget(spnInfluenceNode);
    influence->addSpacing(16);
    influence->addWidget(new QLabel(QStringLiteral("单位荷载 1 kN 向下"), this));
    influence->addStretch();
    m_influenceRow->setLayout(influence);

    auto* tables = new QSplitter(Qt::Horizontal);
    m_frames[0] = Framed(QStringLiteral("结点"), NodeTable, this);
    m_frames[1] = Framed(QStringLiteral("跨"), SpanTable, this);
    m_frames[2] = Framed(QStringLiteral("剪力图"), ShearDiagram, this);
    m_frames[3] = Framed(QStringLiteral("挠度曲线"), DeflectionDiagram, this);
    tables->addWidget(m_frames[0]);
    tables->addWidget(m_frames[1]);
    tables->setStretchFactor(1, 2);
    tables->setSizes({420, 740});
    auto* all = new QSplitter(Qt::Vertical);
    all->addWidget(tables);
    all->addWidget(m_frames[2]);
    all->addWidget(m_frames[3]);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("Ctrl+C 复制表格"), this));
    buttons->addStretch();
    buttons->addWidget(cmdSheet);
    buttons->addWidget(cmdExport);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_combinationRow);
    layout->addWidget(m_influenceRow);
    layout->addWidget(lblReason);
    layout->addWidget(all, 1);
    layout->addLayout(buttons);

    auto* copy = new QShortcut(QKeySequence::Copy, this);
    connect(copy, &QShortcut::activated, this,
            [this] { QApplication::clipboard()->setText(TablesText()); });
    connect(cmdExport, &QPushButton::clicked, this, &frmResults::ExportCsv);
    connect(cmdSheet, &QPushButton::clicked, this, &frmResults::SaveSheet);
    connect(cboCombination, &QComboBox::currentIndexChanged, this, &frmResults::ChooseCombination);
    connect(chkInfluence, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            ShowInfluence();
        } else {
            Refresh();
        }
    });
    const auto section = [this] {
        m_atNode = false;
        m_sectionEntered = true;
        if (Influencing()) BuildInfluence();
    };
    connect(spnInfluenceSpan, &QSpinBox::valueChanged, this, [this, section](int k) {
        if (m_influenceBeam && k <= m_influenceBeam->N()) {
            const QSignalBlocker quiet(txtInfluenceX);
            txtInfluenceX->setMaximum(m_influenceBeam->SpanAt(k).L);
        }
        section();
    });
    connect(txtInfluenceX, &QDoubleSpinBox::valueChanged, this, section);
    connect(spnInfluenceNode, &QSpinBox::valueChanged, this, [this] {
        m_atNode = true;
        if (Influencing()) BuildInfluence();
    });
    ShowGeneral(false);
    for (DiagramView* d : {ShearDiagram, DeflectionDiagram}) {
        AddPictureActions(d, m_services, [d] { return d->Shown(); });
        d->SetClick([this](double x, double width) { InfluenceClicked(x, width); });
    }
}

void frmResults::Refresh() {
    m_influenceStale = true;
    ShowResults();
    if (Influencing()) ShowInfluence();
}

void frmResults::ShowResults() {
    if (const Beam* beam = m_doc.General()) {
        ShowEnvelopes(*beam);
        return;
    }
    if (m_envelopes) {
        ChooseCombination(-1);  // nothing may ask the envelopes let go
        m_envelopes.reset();
        ShowGeneral(false);
    }
    const Status& status = m_state.Results;
    // Moments of a refused beam belong to an earlier one.
    const bool values = HasMoments(status);
    lblReason->setText(Q(MessageText(status)));
    lblReason->setVisible(!status);
    if (!values) {
        ShowValues(false);
        return;
    }
    const BeamState& s = m_state;
    const DesignValues& d = m_doc.Design();
    m_nodes->SetContents(static_cast<int>(d.R.size()), [&s, &d](int row, int column) {
        const int k = row + 1;
        switch (column) {
            case 0:
                return QString::number(k);
            case 1:
                return F3(s.M(k));
            case 2:
                return Reaction(d.R[row]);
            default:
                return Rotation(d.theta[row]);
        }
    });
    m_spans->SetContents(static_cast<int>(d.spans.size()), [&d](int row, int column) {
        const SpanValues& v = d.spans[row];
        // Msag is the smallest moment: a sagging one only when negative.
        const bool sags = v.Msag < 0;
        switch (column) {
            case 0:
                return QString::number(row + 1);
            case 1:
                return F3(v.Vl);
            case 2:
                return F3(v.Vr);
            case 3:
                return sags ? F3(-v.Msag) : QStringLiteral("无正弯矩");
            case 4:
                return sags ? F3(v.xMsag) : QString();
            case 5:
                return Deflection(v.w);
            default:
                return F3(v.xw);
        }
    });
    ShowValues(true);
}

void frmResults::ShowValues(bool shown) {
    if (!shown) {
        m_nodes->SetContents(0, {});
        m_spans->SetContents(0, {});
        ShearDiagram->SetDraw({});
        DeflectionDiagram->SetDraw({});
        return;
    }
    ShearDiagram->SetDraw([this](Canvas& c) { DrawV(m_state, m_doc.Design(), c); });
    DeflectionDiagram->SetDraw([this](Canvas& c) { DrawW(m_state, m_doc.Design(), c); });
}

void frmResults::ShowGeneral(bool general) {
    m_combinationRow->setVisible(general);
    cmdExport->setVisible(!general);
    UseModel(NodeTable, general ? m_supportEnvelope : m_nodes);
    UseModel(SpanTable, general ? m_spanEnvelope : m_spans);
    connect(SpanTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frmResults::SpanChosen, Qt::UniqueConnection);
    connect(NodeTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frmResults::NodeChosen, Qt::UniqueConnection);
    const char* const titles[2][4] = {{"结点", "跨", "剪力图", "挠度曲线"},
                                      {"支座", "跨", "弯矩包络图", "剪力包络图"}};
    for (int i = 0; i < 4; ++i) m_frames[i]->setTitle(QString::fromUtf8(titles[general][i]));
    QString title = QStringLiteral("详细结果");
    if (general && !m_state.FileName.empty()) {
        title += QStringLiteral(" - ") + QFileInfo(ShownPath(m_state.FileName)).fileName();
    }
    setWindowTitle(title);
}

void frmResults::ShowEnvelopes(const Beam& beam) {
    ShowGeneral(true);
    // No table or diagram may ask the envelopes of the beam before.
    ChooseCombination(-1);
    m_envelopes.reset();
    m_envelopes = std::make_unique<EnvelopeResults>();
    m_firstSpan = 1;
    const Status built = m_envelopes->SetBeam(beam);
    lblReason->setText(Q(MessageText(built)));
    lblReason->setVisible(!built);
    m_combinations = ShownCombinations(beam);
    {
        // The combination chosen stays while the beam has one of its name.
        const QString chosen = cboCombination->currentText();
        const QSignalBlocker quiet(cboCombination);
        cboCombination->clear();
        for (const Combination& c : m_combinations) cboCombination->addItem(Q(c.name));
        cboCombination->setCurrentIndex(std::max(0, cboCombination->findText(chosen)));
    }
    if (!built) m_envelopes.reset();
    ChooseCombination(cboCombination->currentIndex());
}

void frmResults::ChooseCombination(int index) {
    const EnvelopeResults* e = m_envelopes.get();
    if (e == nullptr || index < 0 || index >= static_cast<int>(m_combinations.size())) {
        m_spanEnvelope->SetContents(0, {});
        m_supportEnvelope->SetContents(0, {});
        ShearDiagram->SetDraw({});
        DeflectionDiagram->SetDraw({});
        return;
    }
    m_envelopes->SetCombination(m_combinations[static_cast<std::size_t>(index)]);
    m_spanEnvelope->SetContents(e->Spans(), [e](int r, int c) { return e->SpanCell(r, c); });
    m_supportEnvelope->SetContents(e->Spans() + 1,
                                   [e](int r, int c) { return e->SupportCell(r, c); });
    const Beam* beam = m_doc.General();
    const auto draw = [this, beam, e](analysis::Quantity q) {
        return [this, beam, e, q](Canvas& c) {
            DrawEnvelope(*beam, e->Envelope(), q, c, {}, m_firstSpan, LastSpanDrawn());
        };
    };
    TitleDiagrams();
    ShearDiagram->SetDraw(draw(analysis::Quantity::Moment));
    DeflectionDiagram->SetDraw(draw(analysis::Quantity::Shear));
    if (Influencing() && !m_influenceStale) DrawInfluenceViews();
}

int frmResults::LastSpanDrawn() const {
    return std::min(m_envelopes->Spans(), m_firstSpan + kSpansDrawn - 1);
}

void frmResults::TitleDiagrams() {
    const bool part = m_envelopes->Spans() > kSpansDrawn;
    const QString spans = QStringLiteral("（第 %1–%2 跨，在表中选一跨看它附近的跨）")
                              .arg(m_firstSpan)
                              .arg(LastSpanDrawn());
    m_frames[2]->setTitle(QStringLiteral("弯矩包络图") + (part ? spans : QString()));
    m_frames[3]->setTitle(QStringLiteral("剪力包络图") + (part ? spans : QString()));
}

void frmResults::SpanChosen(const QModelIndex& current) {
    if (Influencing() && current.isValid()) {
        spnInfluenceSpan->setValue(current.row() + 1);
        return;
    }
    if (!m_envelopes || !current.isValid()) return;
    const int n = m_envelopes->Spans();
    const int first =
        std::clamp(current.row() + 1 - kSpansDrawn / 2, 1, std::max(1, n - kSpansDrawn + 1));
    if (first == m_firstSpan) return;
    m_firstSpan = first;
    TitleDiagrams();
    ShearDiagram->Redraw();
    DeflectionDiagram->Redraw();
}

bool frmResults::Influencing() const {
    return chkInfluence != nullptr && chkInfluence->isChecked();
}

Status frmResults::PrepareInfluenceBeam() {
    if (!m_influenceStale) return m_influenceStatus;
    m_influenceStale = false;
    // The lines drawn belong to the beam before: none may be drawn now.
    for (DiagramView* d : {ShearDiagram, DeflectionDiagram}) d->SetDraw({});
    m_lines = {};
    m_influenceBeam.reset();
    Beam beam;
    if (const Beam* general = m_doc.General()) {
        beam = *general;
    } else if (m_influenceStatus = FromDesignBeam(m_state, beam); !m_influenceStatus) {
        return m_influenceStatus;
    }
    if (m_influenceStatus = m_influenceEngine.Build(beam); !m_influenceStatus) {
        return m_influenceStatus;
    }
    m_influenceBeam = std::move(beam);
    const int n = m_influenceBeam->N();
    const QSignalBlocker a(spnInfluenceSpan), b(spnInfluenceNode), c(txtInfluenceX);
    spnInfluenceSpan->setRange(1, n);
    spnInfluenceNode->setRange(1, n + 1);
    txtInfluenceX->setRange(0, m_influenceBeam->SpanAt(spnInfluenceSpan->value()).L);
    if (!m_sectionEntered) txtInfluenceX->setValue(txtInfluenceX->maximum() / 2);
    return {};
}

void frmResults::ShowInfluence() {
    if (const Status r = PrepareInfluenceBeam(); !r) {
        lblReason->setText(Q(MessageText(r)));
        lblReason->setVisible(true);
        return;
    }
    BuildInfluence();
}

void frmResults::BuildInfluence() {
    if (!m_influenceBeam) return;
    using analysis::InfluenceOf;
    const Beam& beam = *m_influenceBeam;
    const int n = beam.N();
    analysis::InfluenceAt first, second;
    if (m_atNode) {
        const int node = spnInfluenceNode->value();
        first = {InfluenceOf::Reaction, 1, 0, analysis::Side::Right, node};
        // M at the node: from the span right of it, the last from span N.
        const int k = std::min(node, n);
        second = {InfluenceOf::Moment, k, node > n ? beam.SpanAt(n).L : 0.0, analysis::Side::Right,
                  node};
    } else {
        const int k = spnInfluenceSpan->value();
        const double x = std::min(txtInfluenceX->value(), beam.SpanAt(k).L);
        // At a span's right end the shear is the one inside the span.
        const analysis::Side side =
            x >= beam.SpanAt(k).L ? analysis::Side::Left : analysis::Side::Right;
        first = {InfluenceOf::Moment, k, x, side, k};
        second = {InfluenceOf::Shear, k, x, side, k};
    }
    for (ShownLine& s : m_lines) {
        s.at = &s == &m_lines[0] ? first : second;
        if (!s.line.Build(m_influenceEngine, beam, s.at)) s.line = {};
    }
    const int k = m_atNode ? std::min(first.node, n) : first.span;
    m_influenceFirst = std::clamp(k - kSpansDrawn / 2, 1, std::max(1, n - kSpansDrawn + 1));
    m_influenceLast = std::min(n, m_influenceFirst + kSpansDrawn - 1);
    DrawInfluenceViews();
}

void frmResults::DrawInfluenceViews() {
    using analysis::InfluenceOf;
    const auto where = [](const analysis::InfluenceExtreme& e) {
        return QStringLiteral("第 %1 跨 x = %2 m").arg(e.span).arg(F3(e.x));
    };
    for (std::size_t i = 0; i < 2; ++i) {
        const ShownLine& s = m_lines[i];
        const analysis::InfluenceAt& at = s.at;
        const QString name = at.what == InfluenceOf::Reaction ? QStringLiteral("支座反力 R")
                             : at.what == InfluenceOf::Shear  ? QStringLiteral("剪力 V")
                                                              : QStringLiteral("弯矩 M");
        const QString unit =
            at.what == InfluenceOf::Moment ? QStringLiteral("kN·m/kN") : QStringLiteral("kN/kN");
        const QString place = m_atNode
                                  ? QStringLiteral("结点 %1").arg(at.node)
                                  : QStringLiteral("第 %1 跨 x = %2 m").arg(at.span).arg(F3(at.x));
        QString title = name + QStringLiteral("影响线（") + place + QStringLiteral("）");
        if (!s.line.Pieces().empty()) {
            const analysis::InfluenceExtreme hi = s.line.Max(), lo = s.line.Min();
            title += QStringLiteral("：最大 %1 %2（%3），最小 %4 %2（%5）")
                         .arg(QString::number(hi.value, 'f', 4), unit, where(hi),
                              QString::number(lo.value, 'f', 4), where(lo));
        }
        m_frames[2 + i]->setTitle(title);
        DiagramView* view = i == 0 ? ShearDiagram : DeflectionDiagram;
        if (s.line.Pieces().empty()) {
            view->SetDraw({});
            continue;
        }
        view->SetDraw([this, i](Canvas& c) {
            DrawInfluence(*m_influenceBeam, m_lines[i].line, m_lines[i].at, c, {}, m_influenceFirst,
                          m_influenceLast);
        });
    }
}

void frmResults::InfluenceClicked(double x, double width) {
    if (!Influencing() || !m_influenceBeam) return;
    const std::optional<BeamPlace> place =
        PlaceUnder(*m_influenceBeam, x, width, m_influenceFirst, m_influenceLast);
    if (!place) return;
    {
        const QSignalBlocker a(spnInfluenceSpan), b(txtInfluenceX);
        spnInfluenceSpan->setValue(place->span);
        txtInfluenceX->setMaximum(m_influenceBeam->SpanAt(place->span).L);
        txtInfluenceX->setValue(place->x);
    }
    m_atNode = false;
    m_sectionEntered = true;
    BuildInfluence();
}

void frmResults::NodeChosen(const QModelIndex& current) {
    if (!Influencing() || !current.isValid()) return;
    spnInfluenceNode->setValue(current.row() + 1);
    // The same node again still asks for it.
    if (!m_atNode) {
        m_atNode = true;
        BuildInfluence();
    }
}

QString frmResults::TablesText() const {
    const auto text = [](const QTableView* view) {
        return static_cast<const CellTable*>(view->model())->TabSeparated();
    };
    return text(NodeTable) + u'\n' + text(SpanTable);
}

void frmResults::ExportCsv() {
    if (m_doc.Design().spans.empty()) {
        Refuse(m_services, Q(MessageText(m_state.Results)));
        return;
    }
    const std::optional<QString> path = m_services.SaveFile(
        QStringLiteral("*.csv"), QStringLiteral("CSV 文件(*.csv)|*.csv|All Files(*.*)|*.*"));
    if (!path) return;
    const QString name =
        QFileInfo(*path).fileName().contains(u'.') ? *path : *path + QStringLiteral(".csv");
    const std::string csv = TableCsv(TableRows(m_state, m_doc.Design(), kDefaultTablePoints));
    if (const Status r = WriteFileSafely(LocalPath(name), csv); !r) {
        RefuseCommand(m_services, Command::Table, r);
    }
}

void frmResults::SaveSheet() {
    const Beam* general = m_doc.General();
    if (general == nullptr && m_doc.Design().spans.empty()) {
        Refuse(m_services, Q(MessageText(m_state.Results)));
        return;
    }
    // A general beam's sheet has its combinations and envelopes.
    AskAndWriteSheet(m_services, m_state.FileName,
                     [&](const std::string& path, const SheetInfo& info) {
                         return general ? WriteSheet(path, *general, info)
                                        : WriteSheet(path, m_state, info);
                     });
}

void AskAndWriteSheet(UiServices& services, const std::string& beamFile,
                      const std::function<Status(const std::string&, const SheetInfo&)>& write) {
    SheetTitle fields = services.sheetTitle;
    if (fields.date.isEmpty()) {
        fields.date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    }
    const std::optional<SheetTitle> title = services.AskSheetTitle(fields);
    if (!title) return;
    services.sheetTitle = *title;
    // The beam's own name, as a PDF beside it.
    QString preset = QStringLiteral("*.pdf");
    if (!beamFile.empty()) {
        const QFileInfo beam(ShownPath(beamFile));
        preset = beam.dir().filePath(beam.completeBaseName() + QStringLiteral(".pdf"));
    }
    const std::optional<QString> path =
        services.SaveFile(preset, QStringLiteral("PDF 文件(*.pdf)|*.pdf|All Files(*.*)|*.*"));
    if (!path) return;
    const QString name =
        QFileInfo(*path).fileName().contains(u'.') ? *path : *path + QStringLiteral(".pdf");
    SheetInfo info;
    info.fileName = beamFile.empty() ? std::string("未命名")
                                     : QFileInfo(ShownPath(beamFile)).fileName().toStdString();
    info.dateTime =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    info.version = kVersion;
    info.project = title->project.toStdString();
    info.member = title->member.toStdString();
    info.designer = title->designer.toStdString();
    info.checker = title->checker.toStdString();
    info.approver = title->approver.toStdString();
    info.date = title->date.toStdString();
    if (const Status r = write(LocalPath(name), info); !r) {
        RefuseCommand(services, Command::Sheet, r);
    }
}

}  // namespace cbeam
