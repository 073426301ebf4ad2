// Thousands of seeded random edits of the real input window, typed and
// loaded beams alike: span choices, load kinds, magnitudes and positions
// (bad texts included), end boxes, saving and loading back through the
// scripted dialogs, the way back to the start dialog. After every edit the
// window must still describe one consistent beam.
//
// CBEAM_RANDOM_EDIT_SEED and CBEAM_RANDOM_EDITS change the seed and the
// number of edits, to hunt further than the fixed run does.

#include <unistd.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>

#include "canvas/recording_canvas.h"
#include "files/bmf.h"
#include "model/compute.h"
#include "text/format.h"
#include "text/number.h"
#include "ui/common/listbox.h"
#include "ui/input/drawing/drawings.h"
#include "ui/input/frminput.h"
#include "ui/input/picturebox.h"
#include "ui/start/frmstart.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

unsigned long EnvNumber(const char* name, unsigned long fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoul(text, nullptr, 10) : fallback;
}

// What a saved file must bring back: the beam as the user sees it. The
// magnitude of a span without load is not part of it (the file drops it).
struct Description {
    int n = 0;
    double eio = 0;
    std::int16_t flag0 = 0, flagN = 0;
    std::vector<double> l, ei, q, a, m;
    std::vector<int> kind;
    bool operator==(const Description&) const = default;
};

Description Describe(const BeamState& s) {
    Description d;
    d.n = s.N;
    d.eio = s.EIo;
    d.flag0 = s.Flag0 != 0 ? kTrue : kFalse;
    d.flagN = s.FlagN != 0 ? kTrue : kFalse;
    for (int k = 1; k <= s.N; ++k) {
        d.l.push_back(s.L(k));
        d.ei.push_back(s.EI(k));
        d.kind.push_back(s.LoadType(k));
        d.q.push_back(s.LoadType(k) != 0 ? s.Q(k) : 0.0);
        d.a.push_back(s.A(k));
    }
    for (int k = 1; k <= s.N + 1; ++k) d.m.push_back(s.M(k));
    return d;
}

std::string FirstDifference(const Description& got, const Description& want) {
    std::ostringstream out;
    out.precision(17);
    auto list = [&](const char* name, const auto& a, const auto& b) {
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
            if (a[i] != b[i] && out.tellp() == 0) {
                out << name << "(" << i + 1 << "): " << a[i] << " instead of " << b[i];
            }
        }
    };
    if (got.n != want.n) out << "N: " << got.n << " instead of " << want.n;
    if (got.eio != want.eio) out << "EIo: " << got.eio << " instead of " << want.eio;
    if (got.flag0 != want.flag0 || got.flagN != want.flagN) {
        out << "end flags " << got.flag0 << "," << got.flagN << " instead of " << want.flag0 << ","
            << want.flagN;
    }
    list("L", got.l, want.l);
    list("EI", got.ei, want.ei);
    list("LoadType", got.kind, want.kind);
    list("Q", got.q, want.q);
    list("A", got.a, want.a);
    list("M", got.m, want.m);
    return out.str();
}

bool Finite(const std::vector<Primitive>& items) {
    for (const Primitive& p : items) {
        for (float v : {p.x1, p.y1, p.x2, p.y2, p.r}) {
            if (!std::isfinite(v)) return false;
        }
    }
    return true;
}

std::string Dump(const BeamState& s) {
    std::ostringstream out;
    out.precision(17);
    out << "N=" << s.N << " EIo=" << s.EIo << " ends " << s.Flag0 << "," << s.FlagN << "\n";
    for (int k = 1; k <= s.N; ++k) {
        out << "  span " << k << ": L=" << s.L(k) << " EI=" << s.EI(k) << " kind " << s.LoadType(k)
            << " Q=" << s.Q(k) << " A=" << s.A(k) << "\n";
    }
    for (int k = 1; k <= s.N + 1; ++k) out << "  M(" << k << ")=" << s.M(k) << "\n";
    return out.str();
}

class RandomEditTest : public UiTest {
  protected:
    std::mt19937_64 rng;
    std::string path;
    int saves = 0, reloads = 0, refusals = 0;

    int Pick(int count) { return static_cast<int>(rng() % static_cast<unsigned>(count)); }
    double Uniform(double lo, double hi) {
        return lo + (hi - lo) * std::uniform_real_distribution<double>(0, 1)(rng);
    }
    static QString Text(double v) { return QString::number(v, 'g', 6); }

    // A magnitude as a user might type it: mostly sensible, sometimes not.
    QString MagnitudeText() {
        static const char* odd[] = {"",    "abc", "-5", "1e999", "0",    "3.5.2", " 7kN",  "1e3",
                                    ".25", "+12", "-0", "1e-30", "二十", "1e150", "1e-150"};
        if (Pick(4) == 0) return QString::fromUtf8(odd[Pick(std::size(odd))]);
        return Text(std::pow(10.0, Uniform(-2, 4)));
    }
    QString PositionText() {
        static const char* odd[] = {"",   "0",   "1",    "1.5",  "-0.1",  "abc",
                                    ".5", "1e0", "0.99", "2e-1", "1e999", "半"};
        if (Pick(3) == 0) return QString::fromUtf8(odd[Pick(std::size(odd))]);
        return Text(Uniform(0, 1));
    }

    // A typed beam through the start dialog, with a refused confirmation on
    // the way now and then (a span length read as 0).
    frmInput* OpenTyped() {
        frmStart* start = StartDialog();
        const int n = 1 + Pick(8);
        Replace(start->txtN, QString::number(n));
        Replace(start->txtEI0, Text(std::pow(10.0, Uniform(-3, 3))));
        for (int k = 0; k < n; ++k) {
            if (Pick(3) == 0) continue;  // keeps 1.0 and 1.0
            Choose(start->Combo1, k);
            Replace(start->Text1, Pick(10) == 0 ? QStringLiteral("abc") : Text(Uniform(0.5, 20)));
            Replace(start->Text2, Text(std::pow(10.0, Uniform(-1, 1))));
        }
        start->btnConfirm->click();
        for (int k = 0; k < n && Window<frmInput>() == nullptr; ++k) {
            services.messages.clear();  // "请输入第 k跨的值"
            Choose(start->Combo1, k);
            Replace(start->Text1, Text(Uniform(0.5, 20)));
            start->btnConfirm->click();
        }
        DeleteLater();
        return Window<frmInput>();
    }

    // A loaded beam: random loads everywhere, then through the file dialog.
    frmInput* OpenLoaded() {
        BeamState beam;
        beam.SizeAll(1 + Pick(12));
        beam.EIo = std::pow(10.0, Uniform(-3, 3));
        beam.Flag0 = Pick(2) ? kTrue : kFalse;
        beam.FlagN = Pick(2) ? kTrue : kFalse;
        for (int k = 1; k <= beam.N; ++k) {
            beam.L(k) = Uniform(0.5, 20);
            beam.EI(k) = std::pow(10.0, Uniform(-1, 1));
            beam.LoadType(k) = static_cast<std::int16_t>(Pick(3));
            beam.Q(k) = beam.LoadType(k) != 0 ? std::pow(10.0, Uniform(-2, 3)) : 0;
            beam.A(k) = Pick(4) == 0 ? static_cast<double>(Pick(2)) : Uniform(0, 1);
        }
        EXPECT_TRUE(SaveBeamFile(path, beam).ok);
        return LoadThroughStart();
    }

    // The start dialog the way back left open, or the first one.
    frmStart* StartDialog() {
        if (frmStart* open = Window<frmStart>()) return open;
        auto* start = new frmStart(state, services);
        start->show();
        return start;
    }

    frmInput* LoadThroughStart() {
        frmStart* start = StartDialog();
        services.fileAnswers = {QString::fromStdString(path)};
        start->Command1->click();
        DeleteLater();
        return Window<frmInput>();
    }

    // Save, go back to the start dialog, load the file: the same beam, the
    // same results list.
    frmInput* SaveAndReload(frmInput* w) {
        const Description shown = Describe(state);
        const QStringList lines = w->List1->Items();
        std::filesystem::remove(path);
        services.fileAnswers = {QString::fromStdString(path)};
        w->CmdSave->click();
        ++saves;
        EXPECT_TRUE(std::filesystem::exists(path)) << "save wrote nothing";
        EXPECT_TRUE(services.messages.empty()) << services.messages.back().text.toStdString();
        w->Command3->click();
        DeleteLater();
        EXPECT_EQ(Window<frmInput>(), nullptr) << "the input window stayed open";
        frmInput* again = LoadThroughStart();
        ++reloads;
        if (again == nullptr) {
            ADD_FAILURE() << "the saved beam does not load: "
                          << (services.messages.empty()
                                  ? std::string("no message")
                                  : services.messages.back().text.toStdString());
            return nullptr;
        }
        // Opening it selects span 1 and shows its load in the load fields;
        // the beam keeps the exact values all the same.
        EXPECT_EQ(FirstDifference(Describe(state), shown), "") << "saved and reloaded beam differs";
        EXPECT_TRUE(again->List1->Items() == lines) << "the results list changed";
        EXPECT_EQ(again->cmbFlag0->currentIndex(), shown.flag0 != 0 ? 0 : 1);
        EXPECT_EQ(again->cmbFlagN->currentIndex(), shown.flagN != 0 ? 0 : 1);
        return again;
    }

    // One random edit; returns what it did, for the failure message.
    std::string Edit(frmInput*& w) {
        const bool fields = !w->txtQ->isHidden();
        switch (Pick(fields ? 10 : 6)) {
            case 0:
            case 1: {
                const int k = Pick(state.N);
                Choose(w->cmbN, k);
                return "span " + std::to_string(k + 1);
            }
            case 2: {
                QRadioButton* kinds[] = {w->optNone, w->optP, w->optQ};
                const int kind = Pick(3);
                kinds[kind]->click();
                return "load kind " + std::to_string(kind);
            }
            case 3: {
                const int box = Pick(2), item = Pick(2);
                Choose(box ? w->cmbFlagN : w->cmbFlag0, item);
                return std::string(box ? "right" : "left") + " end " + std::to_string(item);
            }
            case 4:
                if (Pick(8) == 0) {
                    w = SaveAndReload(w);
                    return "save and reload";
                }
                Choose(w->cmbN, Pick(state.N));
                return "span " + std::to_string(state.CurSpan);
            case 5:
                if (Pick(10) == 0) {
                    services.fileAnswers = {QString()};  // a cancelled save
                    w->CmdSave->click();
                    return "cancelled save";
                }
                Choose(w->cmbFlag0, Pick(2));
                return "left end " + std::to_string(w->cmbFlag0->currentIndex());
            case 6:
            case 7: {
                const QString text = MagnitudeText();
                Replace(w->txtQ, text);
                return "magnitude \"" + text.toStdString() + "\"";
            }
            case 8: {
                const QString text = PositionText();
                Replace(w->txtPosA, text);
                return "position \"" + text.toStdString() + "\"";
            }
            default: {
                const char digit = static_cast<char>('0' + Pick(10));
                Type(Pick(2) ? w->txtQ : w->txtPosA, QString(QChar(digit)));
                return std::string("keystroke ") + digit;
            }
        }
    }

    void ExpectConsistent(frmInput* w) {
        const BeamState& s = state;
        const int n = s.N;
        ASSERT_GE(n, 1);
        for (int k = 1; k <= n; ++k) {
            ASSERT_GE(s.Q(k), 0) << "span " << k;
            ASSERT_TRUE(s.A(k) >= 0 && s.A(k) <= 1) << "span " << k << ": A = " << s.A(k);
            ASSERT_TRUE(s.LoadType(k) >= 0 && s.LoadType(k) <= 2);
        }
        ASSERT_EQ(s.CurSpan, w->cmbN->currentIndex() + 1);
        // The results are those of the beam as it stands now.
        BeamState fresh = s;
        ASSERT_EQ(Analyse(fresh), SolveStatus::Solved);
        ASSERT_EQ(fresh.M, s.M) << "results are stale";
        const QStringList lines = w->List1->Items();
        ASSERT_EQ(lines.size(), n + 1);
        for (int k = 1; k <= n + 1; ++k) {
            ASSERT_TRUE(std::isfinite(s.M(k))) << "node " << k;
            ASSERT_EQ(lines[k - 1].toStdString(),
                      "结点" + SignNumberText(k) + ":" + Format(s.M(k), "####0.000###"));
        }
        // Both drawings of this beam, on canvases of the window's size.
        RecordingCanvas diagram(w->Picture2->Surface().ScaleWidth(),
                                w->Picture2->Surface().ScaleHeight());
        BeamState copy = s;
        DrawM(copy, diagram);
        // (Moments below the normal range, from loads such as 1e-309, leave
        // the diagram empty: its scale would be infinite.)
        bool tiny = false;
        for (int k = 1; k <= n + 1; ++k) tiny = tiny || (s.M(k) != 0 && std::fabs(s.M(k)) < 1e-290);
        for (int k = 1; k <= n; ++k) {
            tiny = tiny || (s.LoadType(k) != 0 && s.Q(k) != 0 && s.Q(k) < 1e-290);
        }
        if (!tiny) {
            ASSERT_FALSE(diagram.Items().empty()) << Dump(s);
        }
        ASSERT_TRUE(Finite(diagram.Items())) << "diagram with a non-finite coordinate";
        RecordingCanvas schematic(w->Picture1->Surface().ScaleWidth(),
                                  w->Picture1->Surface().ScaleHeight());
        ReDrawAll(s, schematic);
        ASSERT_TRUE(Finite(schematic.Items())) << "schematic with a non-finite coordinate";
    }

    // Only the refusals of bad texts may appear.
    void ExpectOnlyRefusals() {
        for (const Shown& m : services.messages) {
            const bool known = m.text == QStringLiteral("荷载必须大于零!") ||
                               m.text == QStringLiteral("a必须在0-1之间!") ||
                               m.text == QStringLiteral("数值超出范围！");
            EXPECT_TRUE(known) << m.text.toStdString();
            EXPECT_EQ(m.title, QStringLiteral("错误"));
            ++refusals;
        }
        services.messages.clear();
    }
};

TEST_F(RandomEditTest, SeededEditsKeepOneConsistentBeam) {
    const unsigned long seed = EnvNumber("CBEAM_RANDOM_EDIT_SEED", 20261206);
    const unsigned long total = EnvNumber("CBEAM_RANDOM_EDITS", 5000);
    rng.seed(seed);
    // One file per process: test runs of other builds may share the folder.
    path = (std::filesystem::temp_directory_path() /
            ("cbeam_random_edit_" + std::to_string(::getpid()) + ".bmf"))
               .string();
    unsigned long done = 0;
    int sessions = 0;
    while (done < total && !HasFailure()) {
        frmInput* w = Pick(2) ? OpenTyped() : OpenLoaded();
        ++sessions;
        ASSERT_NE(w, nullptr) << "seed " << seed << ": no input window";
        ExpectOnlyRefusals();
        ExpectConsistent(w);
        for (int i = 0; i < 300 && done < total && !HasFailure(); ++i, ++done) {
            const std::string what = Edit(w);
            SCOPED_TRACE("seed " + std::to_string(seed) + ", edit " + std::to_string(done) + ": " +
                         what);
            ASSERT_NE(w, nullptr);
            ExpectOnlyRefusals();
            ExpectConsistent(w);
        }
        if (w != nullptr) {
            w->Command3->click();  // back to a fresh start dialog
            DeleteLater();
        }
    }
    std::filesystem::remove(path);
    EXPECT_EQ(done, total);
    std::ostringstream summary;
    summary << done << " edits in " << sessions << " sessions, " << saves << " saves, " << reloads
            << " reloads, " << refusals << " refused texts (seed " << seed << ")";
    RecordProperty("summary", summary.str());
    std::printf("%s\n", summary.str().c_str());
}

// Showing a span's load in the load fields must not store the rounded
// field texts: a uniform q = 0.004 once read 0.00, then became a unit load
// at the next selection, without any edit by the user.
TEST_F(RandomEditTest, SelectingASpanKeepsItsLoad) {
    path = (std::filesystem::temp_directory_path() /
            ("cbeam_select_" + std::to_string(::getpid()) + ".bmf"))
               .string();
    BeamState beam;
    beam.SizeAll(2);
    beam.EIo = 1;
    beam.L.Fill(6);
    beam.EI.Fill(1);
    beam.LoadType(1) = 1;
    beam.Q(1) = 0.004;
    beam.A(1) = 0.333;
    ASSERT_TRUE(SaveBeamFile(path, beam).ok);
    frmInput* w = LoadThroughStart();
    std::filesystem::remove(path);
    ASSERT_NE(w, nullptr);
    Choose(w->cmbN, 1);
    Choose(w->cmbN, 0);
    EXPECT_EQ(state.LoadType(1), 1);
    EXPECT_EQ(state.Q(1), 0.004);
    EXPECT_EQ(state.A(1), 0.333);
}

}  // namespace
}  // namespace cbeam::test
