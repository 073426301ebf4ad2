#include "ui/input/frminput.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <algorithm>

#include "model/bounds.h"
#include "text/format.h"
#include "text/number.h"
#include "ui/common/controls.h"
#include "ui/common/entry.h"
#include "ui/common/fieldmarks.h"
#include "ui/common/listbox.h"
#include "ui/input/picturebox.h"
#include "ui/results/frmresults.h"

namespace cbeam {

namespace {

QString F(double value, const char* pattern) {
    return Q(Format(value, pattern));
}

QComboBox* MakeCombo(QWidget* parent, int left, int top, int width, int height) {
    auto* combo = new QComboBox(parent);
    Place(combo, left, top, width, height);
    return combo;
}

const QString kTooLarge = Q(MessageText(Status{Code::ValueOutOfRange}));

QString SpanName(int k) {
    return QStringLiteral("第") + F(k, "##") + QStringLiteral("跨");
}

}  // namespace

// Holds back the refreshes of nested handlers until the outermost one ends.
class frmInput::Batch {
  public:
    explicit Batch(frmInput& w) : m_w(w) { ++m_w.m_batchDepth; }
    ~Batch() {
        if (--m_w.m_batchDepth > 0 || m_w.m_pending == Pending::None) return;
        const Pending kind = m_w.m_pending;
        const bool edit = m_w.m_editNoted;
        m_w.m_pending = Pending::None;
        m_w.m_editNoted = false;
        m_w.RunRefresh(kind, edit);
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

  private:
    frmInput& m_w;
};

frmInput::frmInput(BeamDocument& doc, UiServices& services, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_state(doc.Edit()), m_services(services) {
    SetUpWindow(this, QStringLiteral("frmInput"), QStringLiteral("输入参数"), 8880, 7575);
    BuildControls();
    SetUpFields({QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_E),
                 QKeySequence(Qt::CTRL | Qt::Key_R)});
    Form_Load();
    SetUpView();
}

frmInput::~frmInput() {
    // The results window follows this window's edits; without them it
    // would go stale.
    if (m_results) m_results->close();
}

void frmInput::BuildControls() {
    Make<QLabel>(this, QStringLiteral("第"), 240, 240, 255, 225);
    cmbN = MakeCombo(this, 480, 180, 555, 300);
    cmbN->setFixedWidth(FitWidth(cmbN, QStringLiteral(" 32766"), 555));
    auto* spanUnit = Make<QLabel>(this, QStringLiteral("跨"), 1080, 240, 255, 225);
    spanUnit->move(std::max(spanUnit->x(), cmbN->geometry().right() + Px(60)), spanUnit->y());
    Make<QLabel>(this, QStringLiteral("左端固结"), 1800, 240, 840, 225);
    cmbFlag0 = MakeCombo(this, 2640, 180, 675, 300);
    Make<QLabel>(this, QStringLiteral("右端固结"), 3960, 240, 840, 225);
    cmbFlagN = MakeCombo(this, 4800, 180, 675, 300);
    for (QComboBox* flag : {cmbFlag0, cmbFlagN}) {
        flag->addItems({QStringLiteral("是"), QStringLiteral("否")});
        flag->setCurrentIndex(-1);
    }
    Command3 = Make<QPushButton>(this, QStringLiteral("<上一步"), 6360, 240, 855, 315);
    Command2 = Make<QPushButton>(this, QStringLiteral("关于"), 7800, 240, 855, 315);

    Frame2 = Make<QGroupBox>(this, QStringLiteral("荷载类型"), 1080, 720, 1935, 975);
    optNone = Make<QRadioButton>(Frame2, QStringLiteral("无"), 120, 240, 1695, 240);
    optP = Make<QRadioButton>(Frame2, QStringLiteral("集中荷载"), 120, 480, 1695, 240);
    optQ = Make<QRadioButton>(Frame2, QStringLiteral("均布荷载"), 120, 720, 1695, 240);

    Frame1 = Make<QGroupBox>(this, QStringLiteral("大小及作用点"), 3720, 720, 2295, 975);
    lblPosA = Make<QLabel>(Frame1, QStringLiteral("a ="), 120, 300, 495, 255);
    txtPosA = Make<QLineEdit>(Frame1, QStringLiteral("0.5"), 600, 240, 975, 300);
    lbl_L = Make<QLabel>(Frame1, QStringLiteral("/L"), 1680, 300, 495, 255);
    lblQ = Make<QLabel>(Frame1, QStringLiteral("P ="), 120, 630, 495, 255);
    txtQ = Make<QLineEdit>(Frame1, QStringLiteral("1"), 600, 600, 975, 300);
    lbl_PerQ = Make<QLabel>(Frame1, QStringLiteral("kN"), 1680, 630, 555, 255);

    saveTXT = Make<QPushButton>(this, QStringLiteral("存为txt"), 6360, 840, 855, 315);
    CmdSave = Make<QPushButton>(this, QStringLiteral("保存"), 7800, 840, 855, 315);
    // In the free row under the two file buttons, above the results list.
    cmdResults = Make<QPushButton>(this, QStringLiteral("详细结果"), 6360, 1320, 855, 315);
    cmdDesign = Make<QPushButton>(this, QStringLiteral("连续梁设计"), 7800, 1320, 855, 315);

    m_tableHeader = Make<QLabel>(
        this, QStringLiteral("跨编号      EI(EI0)     L(m)    荷载类型   集度q     位置a(/L)"), 240,
        1800, 5655, 225);
    m_table = std::make_unique<SpanTable>(this);
    m_table->SetHeader(m_tableHeader);
    ListI = m_table->ListI;
    ListEI = m_table->ListEI;
    ListL = m_table->ListL;
    ListC = m_table->ListC;
    ListQ = m_table->ListQ;
    ListA = m_table->ListA;
    m_resultsCaption =
        Make<QLabel>(this, QStringLiteral("计算结果：M(KN*m)"), 5880, 1800, 2895, 225);
    List1 = new ListBox(this);
    Place(List1, 5880, 2040, 2895, 1290);
    Picture1 = new PictureBox(this, 120, 3480, kSchematicPixels, 1.0);
    Picture2 = new PictureBox(this, 120, 5160, kDiagramPixels, kDiagramTwipsPerUnit);

    // User changes only; changes made by our own code call the handlers.
    connect(cmbN, &QComboBox::activated, this, &frmInput::cmbN_Click);
    PickSpanByNumber(cmbN, [this] { cmbN_Click(); });
    for (QLineEdit* field : {txtQ, txtPosA}) SelectAllOnEntry(field);
    connect(cmbFlag0, &QComboBox::activated, this, &frmInput::cmbFlag0_Click);
    connect(cmbFlagN, &QComboBox::activated, this, &frmInput::cmbFlagN_Click);
    connect(optNone, &QRadioButton::toggled, this, [this](bool on) {
        if (on) optNone_Click();
    });
    connect(optP, &QRadioButton::toggled, this, [this](bool on) {
        if (on) optP_Click();
    });
    connect(optQ, &QRadioButton::toggled, this, [this](bool on) {
        if (on) optQ_Click();
    });
    connect(txtQ, &QLineEdit::textEdited, this, &frmInput::txtQ_Change);
    connect(txtPosA, &QLineEdit::textEdited, this, &frmInput::txtPosA_Change);
    connect(Command2, &QPushButton::clicked, this, &frmInput::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmInput::Command3_Click);
    connect(CmdSave, &QPushButton::clicked, this, &frmInput::CmdSave_Click);
    connect(saveTXT, &QPushButton::clicked, this, &frmInput::saveTXT_Click);
    connect(cmdResults, &QPushButton::clicked, this, &frmInput::cmdResults_Click);
    connect(cmdDesign, &QPushButton::clicked, this, [this] { m_services.openDesignWindow(); });
    // The design window edits the same beam: this window follows while it
    // can show the beam, and gives way once it cannot.
    connect(&m_doc, &BeamDocument::legacyReplaced, this, &frmInput::FollowDocument);
    connect(&m_doc, &BeamDocument::inputUnfit, this, [this](const QString& why) {
        m_services.Notice(QStringLiteral("连续梁设计"),
                          QStringLiteral("输入窗口只能显示每跨一个荷载、一个工况、两端固结或铰支的梁，已关闭：") + why,
                          MsgIcon::None);
        m_leaving = true;
        close();
    });
    connect(&m_doc, &BeamDocument::fileChanged, this, [this] {
        if (m_state.FileName.empty()) return;
        m_path = ShownPath(m_state.FileName);
        m_kind = KindOfPath(m_state.FileName);
        UpdateTitle();
    });
    auto* results = new QShortcut(QKeySequence(QStringLiteral("Ctrl+R")), this);
    connect(results, &QShortcut::activated, this, &frmInput::cmdResults_Click);
}

void frmInput::FollowDocument() {
    const int span = m_state.CurSpan;
    {
        const QSignalBlocker quiet(cmbN);
        cmbN->clear();
    }
    Form_Load();
    if (span > 1 && span <= m_state.N) SetListIndex(cmbN, span - 1, [this] { cmbN_Click(); });
    UpdateTitle();
}

void frmInput::Form_Load() {
    const Batch batch(*this);
    BeamState& s = m_state;
    const int n = s.N;
    QStringList spans;
    spans.reserve(n);
    for (int k = 1; k <= n; ++k) spans << Q(SignNumberText(k));
    {
        const QSignalBlocker block(cmbN);
        cmbN->addItems(spans);
    }
    if (s.InputMode == 2) {
        QStringList names, eis, ls, kinds, qs, as;
        for (int k = 1; k <= n; ++k) {
            names << SpanName(k);
            eis << F(s.EI(k), "##0.0#");
            ls << F(s.L(k), "##0.0#");
            switch (s.LoadType(k)) {
                case 1:
                    kinds << QStringLiteral("均不荷载");
                    break;
                case 2:
                    kinds << QStringLiteral("集中荷载");
                    break;
                default:
                    kinds << QStringLiteral("无荷载");
                    break;
            }
            qs << F(s.Q(k), "###0.00#");
            as << F(s.A(k), "##0.00#");
        }
        ListI->SetItems(names);
        ListEI->SetItems(eis);
        ListL->SetItems(ls);
        ListC->SetItems(kinds);
        ListQ->SetItems(qs);
        ListA->SetItems(as);
        SetListIndex(cmbN, 0, [this] { cmbN_Click(); });
        SetListIndex(cmbFlag0, s.Flag0 != 0 ? 0 : 1, [this] { cmbFlag0_Click(); });
        SetListIndex(cmbFlagN, s.FlagN != 0 ? 0 : 1, [this] { cmbFlagN_Click(); });
    } else {
        s.SizeLoadsAndResults();
        // Every span at once, as choosing it would show it: unloaded.
        FillRows();
        SetListIndex(cmbN, 0, [this] { cmbN_Click(); });
        s.CurSpan = 1;
        SetListIndex(cmbFlag0, 0, [this] { cmbFlag0_Click(); });
        SetListIndex(cmbFlagN, 0, [this] { cmbFlagN_Click(); });
    }
}

void frmInput::FillRows() {
    const BeamState& s = m_state;
    QStringList names, eis, ls, kinds;
    for (int k = 1; k <= s.N; ++k) {
        names << SpanName(k);
        eis << F(s.EI(k), "##0.00");
        ls << F(s.L(k), "##0.00");
        kinds << QStringLiteral(" 无荷载 ");
    }
    const QStringList empty(s.N, QString());
    ListI->SetItems(names);
    ListEI->SetItems(eis);
    ListL->SetItems(ls);
    ListC->SetItems(kinds);
    ListQ->SetItems(empty);
    ListA->SetItems(empty);
}

bool frmInput::HasSpan() const {
    const int k = m_state.CurSpan;
    return k >= 1 && k <= m_state.N && k <= m_state.LoadType.Count() && k <= m_state.Q.Count();
}

void frmInput::cmbN_Click() {
    const Batch batch(*this);
    const int k = cmbN->currentIndex() + 1;
    if (k < 1 || k > m_state.N) return;
    m_state.CurSpan = static_cast<std::int16_t>(k);
    if (!HasSpan()) return;
    switch (m_state.LoadType(k)) {
        case 0:
            optNone_Click();
            break;
        case 1:
            optQ_Click();
            break;
        case 2:
            optP_Click();
            break;
        default:
            break;
    }
    ListI->SetItem(k - 1, SpanName(k));
    ListEI->SetItem(k - 1, F(m_state.EI(k), "##0.00"));
    ListL->SetItem(k - 1, F(m_state.L(k), "##0.00"));
    RevealSpan(k);
}

void frmInput::ShowLoadFields(bool shown) {
    for (QWidget* w : {static_cast<QWidget*>(lblQ), static_cast<QWidget*>(txtQ),
                       static_cast<QWidget*>(lbl_PerQ), static_cast<QWidget*>(lblPosA),
                       static_cast<QWidget*>(txtPosA), static_cast<QWidget*>(lbl_L)}) {
        w->setVisible(shown);
    }
}

void frmInput::optNone_Click() {
    const Batch batch(*this);
    if (!HasSpan()) return;
    ShowLoadFields(false);
    SetOption(optNone, true);
    SetOption(optP, false);
    SetOption(optQ, false);
    m_state.LoadType(m_state.CurSpan) = 0;
    ListC->SetItem(m_state.CurSpan - 1, QStringLiteral(" 无荷载 "));
    RequestRefresh(Pending::Edit);
}

void frmInput::optQ_Click() {
    ShowLoad(true);
}

void frmInput::optP_Click() {
    ShowLoad(false);
}

void frmInput::ShowLoad(bool uniform) {
    const Batch batch(*this);
    if (!HasSpan()) return;
    BeamState& s = m_state;
    const int k = s.CurSpan;
    lblQ->setText(uniform ? QStringLiteral("Q =") : QStringLiteral("P ="));
    // Defaults only for a span without a magnitude of this kind: a load of
    // 0 that the user typed, or that a file holds, stays as it is.
    if (s.Q(k) != 0 || s.LoadType(k) == (uniform ? 1 : 2)) {
        // The fields show the stored load rounded; their handlers run as for
        // any change, but the beam keeps its exact values: choosing a span or
        // opening a file must not change the load the user gave.
        const double q = s.Q(k), a = s.A(k);
        SetText(txtQ, F(q, uniform ? "##0.00" : "#0.00##"), [this] { txtQ_Change(); });
        SetText(txtPosA, F(a, uniform ? "##0.00" : "###0.00"), [this] { txtPosA_Change(); });
        s.Q(k) = q;
        s.A(k) = a;
    } else {
        SetText(txtQ, QStringLiteral("1"), [this] { txtQ_Change(); });
        SetText(txtPosA, uniform ? QStringLiteral("1") : QStringLiteral("0.5"),
                [this] { txtPosA_Change(); });
        s.Q(k) = 1;
        s.A(k) = uniform ? 1 : 0.5;
    }
    lbl_PerQ->setText(uniform ? QStringLiteral("kN/m") : QStringLiteral("kN"));
    ShowLoadFields(true);
    s.LoadType(k) = uniform ? 1 : 2;
    SetOption(uniform ? optP : optQ, false);
    SetOption(optNone, false);
    SetOption(uniform ? optQ : optP, true);
    ListC->SetItem(k - 1, uniform ? QStringLiteral("均布荷载") : QStringLiteral("集中荷载"));
    WriteLoadCells();
    RequestRefresh(Pending::Edit);
}

void frmInput::WriteLoadCells() {
    const int k = m_state.CurSpan;
    ListQ->SetItem(k - 1, F(m_state.Q(k), "##0.00"));
    ListA->SetItem(k - 1, F(m_state.A(k), "##0.00"));
}

void frmInput::txtQ_Change() {
    if (!HasSpan()) return;
    double v = 0;
    if (!ReadTypedNumber(m_services, txtQ->text(), v)) return m_marks->Mark(txtQ, kTooLarge);
    if (v < 0) return m_marks->Refuse(txtQ, Q(MessageText(Status{Code::LoadBelowZero})));
    // A double, but more than any beam carries.
    if (v > kMaxLoad) return m_marks->Refuse(txtQ, kTooLarge);
    m_marks->Accept(txtQ, v);
    m_state.Q(m_state.CurSpan) = v;
    WriteLoadCells();
    RequestRefresh(Pending::Edit);
}

void frmInput::txtPosA_Change() {
    if (!HasSpan()) return;
    double a = 0;
    if (!ReadTypedNumber(m_services, txtPosA->text(), a)) return m_marks->Mark(txtPosA, kTooLarge);
    if (a < 0 || a > 1)
        return m_marks->Refuse(txtPosA, Q(MessageText(Status{Code::PositionNotInSpan})));
    m_marks->Accept(txtPosA, a);
    m_state.A(m_state.CurSpan) = a;
    WriteLoadCells();
    RequestRefresh(Pending::Edit);
}

// The flags follow the boxes at once, whatever the analysis makes of them:
// what is saved is what the user sees.
void frmInput::cmbFlag0_Click() {
    StoreEnd(cmbFlag0, m_state.Flag0);
}

void frmInput::cmbFlagN_Click() {
    StoreEnd(cmbFlagN, m_state.FlagN);
}

void frmInput::StoreEnd(const QComboBox* box, std::int16_t& flag) {
    if (box->currentIndex() == 0) flag = kTrue;
    if (box->currentIndex() == 1) flag = kFalse;
    RequestRefresh(Pending::Ends);
}

}  // namespace cbeam
