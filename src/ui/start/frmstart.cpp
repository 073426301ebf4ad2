#include "ui/start/frmstart.h"

#include "model/beam_tables.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <cmath>

#include "files/beam_json.h"
#include "model/bounds.h"
#include "text/number.h"
#include "ui/common/beamfiles.h"
#include "ui/common/controls.h"
#include "ui/common/entry.h"

namespace cbeam {

namespace {

QString Text(const Status& s) {
    return Q(MessageText(s));
}

// What confirm would refuse of a value beyond what a beam can be, said as
// it is typed. A length not above 0 and an EIo about 0 keep their own
// texts, given at confirm.
QString Beyond(const Status& s) {
    return s || s.code == Code::LengthNotPositive || s.code == Code::EIoTooSmall ? QString()
                                                                                 : Text(s);
}

Status TooLarge(Field field, int span) {
    return Status{.code = Code::ValueOutOfRange, .span = span, .field = field};
}

// The widest span number the selectors must show.
const QString kWidestSpan = QStringLiteral(" 32766");

// The load and result arrays for the confirmed count, with the load of every
// span that is still there; spans added come without load.
void SizeKeepingLoads(BeamState& s) {
    const IntArray kinds = s.LoadType;
    const RealArray q = s.Q, a = s.A;
    s.SizeLoadsAndResults();
    const int kept = std::min({static_cast<int>(s.N), kinds.Count(), q.Count(), a.Count()});
    for (int k = 1; k <= kept; ++k) {
        s.LoadType(k) = kinds(k);
        s.Q(k) = q(k);
        s.A(k) = a(k);
    }
}

}  // namespace

frmStart::frmStart(BeamDocument& doc, UiServices& services, StartWith with, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_state(doc.Edit()), m_services(services) {
    SetUpWindow(this, QStringLiteral("frmStart"), QStringLiteral("欢迎使用"), 6360, 4125);
    BuildControls();
    Form_Load();
    if (with == StartWith::CurrentBeam && m_state.N >= 1 && m_state.L.Count() == m_state.N &&
        m_state.EI.Count() == m_state.N) {
        FillWithBeam();
    }
}

void frmStart::BuildControls() {
    auto* Label2 =
        Make<QLabel>(this, QStringLiteral("欢迎使用连续粱计算程序！"), 1440, 120, 3795, 375);
    QFont greeting = Label2->font();
    greeting.setPointSizeF(14.25);
    greeting.setBold(true);
    Label2->setFont(greeting);
    Label2->setStyleSheet(QStringLiteral("color: blue"));
    Make<QLabel>(this, QStringLiteral("请输入连续梁的跨数："), 1920, 720, 1815, 255);
    txtN = Make<QLineEdit>(this, QString(), 3720, 720, 315, 255);
    txtN->setFixedWidth(FitWidth(txtN, QStringLiteral("32766"), 315));
    auto* countUnit = Make<QLabel>(this, QStringLiteral("跨"), 4560, 720, 255, 195);
    countUnit->move(std::max(countUnit->x(), txtN->geometry().right() + Px(120)), countUnit->y());
    Make<QLabel>(this, QStringLiteral("EIo ="), 2280, 1200, 495, 195);
    txtEI0 = Make<QLineEdit>(this, QStringLiteral("1"), 2880, 1200, 615, 270);
    // Wider than designed: the unit does not fit 1095 twips in our fonts.
    Make<QLabel>(this, QStringLiteral("*10e6 kN m^2"), 3600, 1200, 1500, 195);

    Frame1 = Make<QGroupBox>(this, QStringLiteral("每段梁的参数"), 480, 1800, 5535, 1455);
    Make<QLabel>(Frame1, QStringLiteral("第"), 600, 400, 255, 255);
    Combo1 = new QComboBox(Frame1);
    Place(Combo1, 960, 360, 735, 300);
    Combo1->setFixedWidth(FitWidth(Combo1, kWidestSpan, 735));
    auto* spanUnit = Make<QLabel>(Frame1, QStringLiteral("跨"), 1800, 400, 255, 255);
    spanUnit->move(std::max(spanUnit->x(), Combo1->geometry().right() + Px(105)), spanUnit->y());
    Make<QLabel>(Frame1, QStringLiteral("跨长"), 2880, 400, 615, 255);
    Text1 = Make<QLineEdit>(Frame1, QString(), 3600, 360, 855, 300);
    Make<QLabel>(Frame1, QStringLiteral("米"), 4560, 400, 375, 255);
    Make<QLabel>(Frame1, QStringLiteral("抗弯刚度EI"), 2280, 1000, 1215, 255);
    Text2 = Make<QLineEdit>(Frame1, QString(), 3600, 960, 855, 300);
    Make<QLabel>(Frame1, QStringLiteral("EIo"), 4560, 1000, 495, 255);

    btnConfirm = Make<QPushButton>(this, QStringLiteral("下一步>"), 720, 3480, 975, 375);
    Command1 = Make<QPushButton>(this, QStringLiteral("数据文件输入"), 2520, 3480, 1335, 375);
    Command2 = Make<QPushButton>(this, QStringLiteral("结束"), 5160, 3480, 915, 375);
    cmdDesign = Make<QPushButton>(this, QStringLiteral("连续梁设计"), 3960, 3480, 1095, 375);
    btnConfirm->setDefault(true);
    for (QPushButton* button : {Command1, Command2}) button->setAutoDefault(true);
    auto* open = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
    connect(open, &QShortcut::activated, Command1, &QPushButton::click);
    for (QLineEdit* field : {txtEI0, Text1, Text2}) SelectAllOnEntry(field);
    // Between the base rigidity and the span frame, where it is read at once.
    lblProblem = Make<QLabel>(this, QString(), 480, 1500, 5535, 270);
    m_marks = new FieldMarks(m_services, lblProblem, this);
    for (QLineEdit* field : {txtN, txtEI0, Text1, Text2}) m_marks->Watch(field);
    PickSpanByNumber(Combo1, [this] { ShowSpan(); });

    // User edits only; our own changes call the handlers themselves.
    connect(txtN, &QLineEdit::textEdited, this, &frmStart::txtN_Change);
    connect(Text1, &QLineEdit::textEdited, this, &frmStart::Text1_Change);
    connect(Text2, &QLineEdit::textEdited, this, &frmStart::Text2_Change);
    connect(txtEI0, &QLineEdit::textEdited, this, &frmStart::MarkBase);
    connect(Combo1, &QComboBox::activated, this, &frmStart::Combo1_Click);
    connect(btnConfirm, &QPushButton::clicked, this, &frmStart::btnConfirm_Click);
    connect(Command1, &QPushButton::clicked, this, &frmStart::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmStart::Command2_Click);
    // A new general beam, typed in the design window's tables.
    connect(cmdDesign, &QPushButton::clicked, this, [this] {
        m_doc.NewGeneral(tables::NewBeam());
        m_services.openDesignWindow();
        close();
    });
}

void frmStart::SetSpanFieldsEnabled(bool enabled) {
    const QPalette::ColorRole face = enabled ? QPalette::HighlightedText : QPalette::Button;
    for (QWidget* field : {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Text1),
                           static_cast<QWidget*>(Text2)}) {
        field->setEnabled(enabled);
        QPalette palette = field->palette();
        const QColor colour = palette.color(QPalette::Active, face);
        palette.setColor(QPalette::Base, colour);
        palette.setColor(QPalette::Disabled, QPalette::Base, colour);
        field->setPalette(palette);
    }
}

void frmStart::Form_Load() {
    SetSpanFieldsEnabled(false);
    m_state.InputMode = 1;
}

void frmStart::FillWithBeam() {
    m_withBeam = true;
    const int n = m_state.N;
    m_lengths.assign(n, 1.0);
    m_rigidities.assign(n, 1.0);
    for (int k = 1; k <= n; ++k) {
        m_lengths[k - 1] = m_state.L(k);
        m_rigidities[k - 1] = m_state.EI(k);
    }
    {
        const QSignalBlocker blockCount(txtN), blockBase(txtEI0);
        txtN->setText(QString::number(n));
        txtEI0->setText(QString::number(m_state.EIo, 'g', QLocale::FloatingPointShortest));
    }
    SetSpanFieldsEnabled(true);
    FillSpanList(n);
    SetListIndex(Combo1, 0, [this] { ShowSpan(); });
}

void frmStart::FillSpanList(int n) {
    QStringList items;
    items.reserve(n);
    for (int k = 1; k <= n; ++k) items << Q(SignNumberText(k));
    const QSignalBlocker block(Combo1);
    Combo1->addItems(items);
}

void frmStart::SizeSpans(int n) {
    if (static_cast<int>(m_lengths.size()) < n) {
        m_lengths.resize(n, 1.0);
        m_rigidities.resize(n, 1.0);
    }
    m_state.SizeTyped(n);
    for (int k = 1; k <= n; ++k) {
        m_state.L(k) = m_lengths[k - 1];
        m_state.EI(k) = m_rigidities[k - 1];
    }
}

void frmStart::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        btnConfirm->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmStart::txtN_Change() {
    // The fields open before the count is tested, even for a refused count.
    SetSpanFieldsEnabled(true);
    {
        const QSignalBlocker block(Combo1);
        Combo1->clear();
    }
    double v = 0;
    if (!ReadTypedNumber(m_services, txtN->text(), v)) {
        return m_marks->Mark(txtN, Text(TooLarge(Field::None, 0)));
    }
    const double count = RoundHalfEven(v);
    if (!(v > 0) || count < 1)
        return m_marks->Refuse(txtN, Q(MessageText(Status{Code::SpanCountNotPositive})));
    if (count > kMaxSpans) return m_marks->Refuse(txtN, Q(MessageText(Status{Code::TooManySpans})));
    const int n = static_cast<int>(count);
    m_marks->Accept(txtN, v);
    if (m_marks->Problem(txtN).isEmpty() && count != v) {
        m_marks->Mark(txtN, Text(Status{.code = Code::CountNotWhole, .have = n}));
    }
    SizeSpans(n);
    FillSpanList(n);
    // Span 1 is shown, but the focus stays: the user may be typing "12".
    SetListIndex(Combo1, 0, [this] { ShowSpan(); });
}

bool frmStart::HasSpan(int k) const {
    return k >= 1 && k <= m_state.L.Count() && k <= m_state.EI.Count() &&
           k <= static_cast<int>(m_lengths.size());
}

void frmStart::Combo1_Click() {
    if (!HasSpan(Combo1->currentIndex() + 1)) return;
    ShowSpan();
    Text1->setFocus();
    Text1->selectAll();
}

void frmStart::ShowSpan() {
    const int k = Combo1->currentIndex() + 1;
    if (!HasSpan(k)) return;
    // The fields' handlers store back what they show, 15 digits; a value
    // from a file may hold more, and showing a span must not change it.
    const double length = m_state.L(k), rigidity = m_state.EI(k);
    SetText(Text1, Q(SignNumberText(length)), [this] { Text1_Change(); });
    SetText(Text2, Q(SignNumberText(rigidity)), [this] { Text2_Change(); });
    m_state.L(k) = m_lengths[k - 1] = length;
    m_state.EI(k) = m_rigidities[k - 1] = rigidity;
}

void frmStart::Text1_Change() {
    const int k = Combo1->currentIndex() + 1;
    if (!HasSpan(k)) return;  // no span selected: nowhere to store
    double v = 0;
    if (!ReadTypedNumber(m_services, Text1->text(), v)) {
        return m_marks->Mark(Text1, Text(TooLarge(Field::L, k)));
    }
    m_state.L(k) = m_lengths[k - 1] = v;
    m_doc.Edited(BeamChange::Spans);
    m_marks->Accept(Text1, v);
    if (const QString why = Beyond(CheckLength(v, k)); !why.isEmpty()) m_marks->Mark(Text1, why);
}

void frmStart::Text2_Change() {
    const int k = Combo1->currentIndex() + 1;
    if (!HasSpan(k)) return;
    double v = 0;
    if (!ReadTypedNumber(m_services, Text2->text(), v)) {
        return m_marks->Mark(Text2, Text(TooLarge(Field::EI, k)));
    }
    m_state.EI(k) = m_rigidities[k - 1] = v;
    m_doc.Edited(BeamChange::Spans);
    m_marks->Accept(Text2, v);
    // The bounds are on EI * EIo; an EIo still refused is taken as 1.
    const double base = ReadNumber(txtEI0->text().toStdString()).value;
    const Status checked = CheckRigidity(v, CheckBaseRigidity(base) ? base : 1.0, k);
    if (const QString why = Beyond(checked); !why.isEmpty()) m_marks->Mark(Text2, why);
}

void frmStart::MarkBase() {
    const NumberReading r = ReadNumber(txtEI0->text().toStdString());
    if (r.overflow) return m_marks->Mark(txtEI0, Text(TooLarge(Field::EIo, 0)));
    m_marks->Accept(txtEI0, r.value);
    if (!(std::fabs(r.value) >= kMinRigidity)) {
        m_marks->Mark(txtEI0, Q(MessageText(Status{Code::BaseRigidityZero})));
    } else if (const QString why = Beyond(CheckBaseRigidity(r.value)); !why.isEmpty()) {
        m_marks->Mark(txtEI0, why);
    }
}

void frmStart::btnConfirm_Click() {
    for (int k = 1; k <= m_state.N && k <= m_state.L.Count(); ++k) {
        if (!(m_state.L(k) > 0)) {
            Refuse(m_services, Q(MessageText(Status{Code::SpanNotGiven, k})));
            return;
        }
    }
    double eio = 0;
    if (!ReadTypedNumber(m_services, txtEI0->text(), eio)) return;
    m_state.EIo = eio;
    if (!(std::fabs(eio) >= 1e-6)) {
        Refuse(m_services, Q(MessageText(Status{Code::BaseRigidityZero})));
        return;
    }
    double v = 0;
    if (!ReadTypedNumber(m_services, txtN->text(), v)) return;
    const double count = RoundHalfEven(v);
    if (!(v > 0) || count < 1) {
        Refuse(m_services, Q(MessageText(Status{Code::SpanCountNotPositive})));
        m_state.N = 0;
        return;
    }
    if (count > kMaxSpans) {
        Refuse(m_services, Q(MessageText(Status{Code::TooManySpans})));
        return;
    }
    // The count typed is the count the span arrays were sized for.
    if (static_cast<int>(count) != m_state.L.Count()) SizeSpans(static_cast<int>(count));
    m_state.N = static_cast<std::int16_t>(count);
    // A negative or out-of-range rigidity or length is refused here, where it
    // was typed, rather than by every analysis of the input window, and
    // before the beam's loads are sized to the count.
    Status why = CheckBaseRigidity(m_state.EIo);
    for (int k = 1; why && k <= m_state.N; ++k) {
        why = CheckRigidity(m_state.EI(k), m_state.EIo, k);
        if (why) why = CheckLength(m_state.L(k), k);
    }
    if (!why) {
        Refuse(m_services, Text(why));
        return;
    }
    if (m_withBeam) {
        SizeKeepingLoads(m_state);
        // Every array is sized and filled: the input window takes the beam
        // as it stands, loads and ends, as it takes a loaded file.
        m_state.InputMode = 2;
    }
    m_doc.Edited(BeamChange::Spans);
    OpenInputWindow();
}

void frmStart::Command1_Click() {
    int filter = 0;
    const std::optional<QString> path =
        m_services.OpenFile(QStringLiteral("*.bmf"), kBeamOpenFilter, &filter);
    if (!path) return;
    const BeamFileName file = OpenedBeamFile(*path, filter);
    if (const Status result = m_doc.Load(LocalPath(file.path), file.kind); !result) {
        RefuseCommand(m_services, Command::Load, result);
        return;
    }
    if (m_doc.General() || m_doc.FromVersion2()) {
        m_services.openDesignWindow();
        close();
        return;
    }
    OpenInputWindow();
}

void frmStart::Command2_Click() {
    m_services.EndProgram();
}

void frmStart::OpenInputWindow() {
    m_services.openInputWindow();
    close();
}

}  // namespace cbeam
