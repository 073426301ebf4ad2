// The input window's response: one accepted keystroke in the load field
// (store, table row, schematic, analysis, results list, diagram, repaint),
// also with the detailed results window open, and the opening of the
// window for a beam file, copying a drawing as a picture, and a general
// beam's results window changing combination, and its influence view
// following a section entered; the design window opening a long general
// beam and refreshing after a keystroke in a cell.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QWheelEvent>
#include <memory>

#include "files/beam_json.h"
#include "files/bmf.h"
#include "model/beam.h"
#include "model/beam_tables.h"
#include "ui/design/design_tables.h"
#include "ui/design/frmdesign.h"
#include "ui/input/frminput.h"
#include "ui/input/picturebox.h"
#include "ui/results/frmresults.h"

namespace {

class SilentServices : public cbeam::UiServices {
  public:
    void Message(const QString&, const QString&, cbeam::MsgIcon) override {}
    cbeam::SaveChoice AskToSave(const QString&) override { return cbeam::SaveChoice::Discard; }
    std::optional<QString> OpenFile(const QString&, const QString&, int*) override { return {}; }
    std::optional<QString> SaveFile(const QString&, const QString&, int*) override { return {}; }
    bool StartProcess(const QString&) override { return false; }
    void EndProgram() override {}
};

void EnsureApp() {
    if (QApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_ui";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Equal 6 m spans, point and uniform loads in turn, as a loaded file gives them.
cbeam::BeamState LoadedBeam(int n) {
    cbeam::BeamState s;
    s.SizeAll(n);
    s.EIo = 1;
    s.L.Fill(6.0);
    s.EI.Fill(1.0);
    for (int k = 1; k <= n; ++k) {
        s.LoadType(k) = static_cast<std::int16_t>(1 + k % 2);
        s.Q(k) = 10 + k % 7;
        s.A(k) = k % 2 ? 0.5 : 1.0;
    }
    s.Flag0 = cbeam::kTrue;
    s.FlagN = cbeam::kTrue;
    s.InputMode = 2;
    return s;
}

// A maximized window on a 1920 x 1080 screen, as far as its client area goes.
const QSize kMaximized(1920, 1040);

// The input window over a loaded beam of st.range(0) spans, shown at `size`
// (empty: the design size it opens with), its paint events done.
struct Window {
    Window(const benchmark::State& st, QSize size = {}) {
        doc.Edit() = LoadedBeam(static_cast<int>(st.range(0)));
        EnsureApp();
        w = std::make_unique<cbeam::frmInput>(doc, services);
        w->show();
        if (!size.isEmpty()) w->resize(size);
        QApplication::processEvents();
    }
    SilentServices services;
    cbeam::BeamDocument doc;
    std::unique_ptr<cbeam::frmInput> w;
};

// One accepted keystroke in txtQ and the whole refresh, in a window of the
// given size (an empty size: the design size the window opens with).
void Keystroke(benchmark::State& st, QSize size) {
    const Window window(st, size);
    cbeam::frmInput* w = window.w.get();
    bool flip = false;
    for (auto _ : st) {
        flip = !flip;
        w->txtQ->setText(flip ? QStringLiteral("21") : QStringLiteral("20"));
        w->txtQ_Change();
        QApplication::processEvents();  // the repaint of lists and pictures
    }
}
void BM_KeystrokeInLoadField(benchmark::State& st) {
    Keystroke(st, kMaximized);
}
void BM_KeystrokeAtDesignSize(benchmark::State& st) {
    Keystroke(st, {});
}
BENCHMARK(BM_KeystrokeAtDesignSize)->Arg(10)->Arg(1000)->Arg(32766)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeInLoadField)->Arg(12)->Arg(1000)->Arg(32766)->Unit(benchmark::kMillisecond);

// Resizing between two sizes redraws both pictures at the new size.
void BM_ResizeRepaint(benchmark::State& st) {
    const Window window(st);
    cbeam::frmInput* w = window.w.get();
    bool flip = false;
    for (auto _ : st) {
        flip = !flip;
        w->resize(flip ? kMaximized : kMaximized - QSize(200, 150));
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ResizeRepaint)->Arg(1000)->Unit(benchmark::kMillisecond);

// Ctrl+wheel in and out about the middle, then a drag step, in a maximized window.
void BM_ZoomPanRepaint(benchmark::State& st) {
    const Window window(st, kMaximized);
    cbeam::frmInput* w = window.w.get();
    const auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(900, 40), QPointF(900, 40), {}, {0, delta}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->Picture2, &e);
    };
    wheel(120 * 40);  // well into the beam
    int step = 0;
    for (auto _ : st) {
        if (++step % 2) {
            wheel(step % 4 == 1 ? 120 : -120);
        } else {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(900, 40), QPointF(900, 40),
                              Qt::LeftButton, Qt::LeftButton, {});
            QMouseEvent move(QEvent::MouseMove, QPointF(880, 40), QPointF(880, 40), Qt::NoButton,
                             Qt::LeftButton, {});
            QApplication::sendEvent(w->Picture1, &press);
            QApplication::sendEvent(w->Picture1, &move);
        }
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ZoomPanRepaint)->Arg(32766)->Unit(benchmark::kMillisecond);

// The same with the detailed results window open: its tables, shear-force
// diagram and deflection curve follow the keystroke.
void BM_KeystrokeWithResultsWindow(benchmark::State& st) {
    const Window window(st);
    cbeam::frmInput* w = window.w.get();
    w->cmdResults_Click();
    QApplication::processEvents();
    bool flip = false;
    for (auto _ : st) {
        flip = !flip;
        w->txtQ->setText(flip ? QStringLiteral("21") : QStringLiteral("20"));
        w->txtQ_Change();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_KeystrokeWithResultsWindow)->Arg(1000)->Arg(32766)->Unit(benchmark::kMillisecond);

// 复制图形 on the schematic and on the moment diagram of a maximized window:
// the image at twice the density and the SVG; the SVG's size as a counter.
void BM_CopyPictures(benchmark::State& st) {
    const Window window(st, kMaximized);
    cbeam::frmInput* w = window.w.get();
    qsizetype svg = 0;
    for (auto _ : st) {
        svg = 0;
        for (QWidget* picture : {w->Picture1, w->Picture2}) {
            picture->actions().value(0)->trigger();
            svg +=
                QApplication::clipboard()->mimeData()->data(QStringLiteral("image/svg+xml")).size();
        }
    }
    st.counters["svg_kB"] = static_cast<double>(svg) / 1024;
}
BENCHMARK(BM_CopyPictures)->Arg(12)->Arg(1000)->Arg(32766)->Unit(benchmark::kMillisecond);

void BM_OpenInputWindowFromFile(benchmark::State& st) {
    EnsureApp();
    SilentServices services;
    const std::string path =
        QDir::temp().filePath(QStringLiteral("bench_ui_open.bmf")).toStdString();
    if (!cbeam::SaveBeamFile(path, LoadedBeam(static_cast<int>(st.range(0))))) {
        st.SkipWithError("cannot write the beam file");
        return;
    }
    for (auto _ : st) {
        cbeam::BeamDocument doc;
        doc.Edit().InputMode = 1;
        if (!doc.Load(path, cbeam::BeamKind::Bmf)) {
            st.SkipWithError("cannot read the beam file");
            return;
        }
        auto w = std::make_unique<cbeam::frmInput>(doc, services);
        w->show();
        QApplication::processEvents();
        st.PauseTiming();
        w.reset();
        QApplication::processEvents();
        st.ResumeTiming();
    }
}
BENCHMARK(BM_OpenInputWindowFromFile)->Arg(32766)->Iterations(3)->Unit(benchmark::kMillisecond);

// A general beam of equal 6 m spans, G and Q on every span: the envelopes
// that a change of combination builds, and the rows in view.
void BM_ChooseCombination(benchmark::State& st) {
    EnsureApp();
    SilentServices services;
    cbeam::Beam beam;
    const int n = static_cast<int>(st.range(0));
    beam.spans.assign(static_cast<std::size_t>(n), {6, 1});
    beam.supports.resize(static_cast<std::size_t>(n + 1));
    beam.cases = {{"G", cbeam::CaseKind::Permanent, {}, {}, {}},
                  {"Q", cbeam::CaseKind::Variable, {}, {}, {}}};
    for (int k = 1; k <= n; ++k) {
        beam.cases[0].loads.push_back(cbeam::Load::Uniform(k, 10 + k % 7, 0, 6));
        beam.cases[1].loads.push_back(cbeam::Load::Uniform(k, 8, 0, 6));
    }
    const std::string path =
        QDir::temp().filePath(QStringLiteral("bench_ui_general.json")).toStdString();
    cbeam::BeamDocument doc;
    if (!cbeam::SaveBeam(path, beam) || !doc.Load(path, cbeam::BeamKind::Json)) {
        st.SkipWithError("cannot write or read the beam file");
        return;
    }
    cbeam::frmResults w(doc, services);
    w.show();
    QApplication::processEvents();
    int chosen = 0;
    for (auto _ : st) {
        chosen = 1 - chosen;
        w.cboCombination->setCurrentIndex(chosen);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ChooseCombination)->Arg(3)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The influence view of a general beam of equal 6 m spans: a new section
// entered, its two lines built and drawn, the window repainted.
void BM_InfluenceSection(benchmark::State& st) {
    EnsureApp();
    SilentServices services;
    cbeam::Beam beam;
    const int n = static_cast<int>(st.range(0));
    beam.spans.assign(static_cast<std::size_t>(n), {6, 1});
    beam.supports.resize(static_cast<std::size_t>(n + 1));
    const std::string path =
        QDir::temp().filePath(QStringLiteral("bench_ui_influence.json")).toStdString();
    cbeam::BeamDocument doc;
    if (!cbeam::SaveBeam(path, beam) || !doc.Load(path, cbeam::BeamKind::Json)) {
        st.SkipWithError("cannot write or read the beam file");
        return;
    }
    cbeam::frmResults w(doc, services);
    w.show();
    w.chkInfluence->setChecked(true);
    QApplication::processEvents();
    int step = 0;
    for (auto _ : st) {
        w.txtInfluenceX->setValue(++step % 2 ? 1.5 : 4.5);
        w.repaint();
    }
}
BENCHMARK(BM_InfluenceSection)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// A floor beam of n spans in two cases, dead and live, as a file holds it.
std::string FloorBeamFile(int n) {
    cbeam::Beam beam = cbeam::tables::NewBeam(n);
    cbeam::LoadCase live;
    live.name = "活载";
    live.kind = cbeam::CaseKind::Variable;
    beam.cases.push_back(live);
    for (int k = 1; k <= n; ++k) {
        beam.cases[0].loads.push_back(cbeam::Load::Uniform(k, 12, 0, 6));
        beam.cases[1].loads.push_back(cbeam::Load::Uniform(k, 8, 0, 6));
        if (k % 2 == 0) beam.cases[1].loads.push_back(cbeam::Load::Point(k, 40, 3));
    }
    const std::string path =
        QDir::temp().filePath(QStringLiteral("bench_ui_design_%1.json").arg(n)).toStdString();
    return cbeam::SaveBeam(path, beam) ? path : std::string();
}

// The file read, the design window built, maximized and painted once.
struct DesignWindow {
    explicit DesignWindow(const std::string& path, QSize size = kMaximized) {
        EnsureApp();
        if (!doc.Load(path, cbeam::BeamKind::Json)) return;
        w = std::make_unique<cbeam::frmDesign>(doc, services);
        if (!size.isEmpty()) w->resize(size);
        w->show();
        QApplication::processEvents();
    }
    SilentServices services;
    cbeam::BeamDocument doc;
    std::unique_ptr<cbeam::frmDesign> w;
};

void BM_DesignWindowOpen(benchmark::State& st) {
    const std::string path = FloorBeamFile(static_cast<int>(st.range(0)));
    for (auto _ : st) {
        if (!DesignWindow(path).w) st.SkipWithError("cannot read the beam file");
    }
}
BENCHMARK(BM_DesignWindowOpen)->Arg(100)->Arg(32766)->Unit(benchmark::kMillisecond);

// A span length typed: the edit, its undo step, the analysis, the envelopes,
// the drawings and the tables shown, repainted; at the size the window opens
// with (the deflection columns scrolled off) and maximized (the deflections'
// two serviceability envelopes built too).
void DesignKeystroke(benchmark::State& st, QSize size) {
    const DesignWindow window(FloorBeamFile(static_cast<int>(st.range(0))), size);
    if (!window.w) {
        st.SkipWithError("cannot read the beam file");
        return;
    }
    bool flip = false;
    for (auto _ : st) {
        flip = !flip;
        window.w->tblSpans->Model()->Type(0, 0, flip ? QStringLiteral("6.5") : QStringLiteral("6"),
                                          1000);
        QApplication::processEvents();
    }
}
void BM_DesignKeystroke(benchmark::State& st) {
    DesignKeystroke(st, {});
}
void BM_DesignKeystrokeMaximized(benchmark::State& st) {
    DesignKeystroke(st, kMaximized);
}
BENCHMARK(BM_DesignKeystroke)->Arg(100)->Arg(32766)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DesignKeystrokeMaximized)->Arg(100)->Arg(32766)->Unit(benchmark::kMillisecond);

}  // namespace
