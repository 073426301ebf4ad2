// The beam document: what the windows follow instead of refreshing each other.
#include <QSignalSpy>

#include "document/beam_document.h"
#include "files/bmf.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using Document = UiTest;

// Signals seen since the last call, as "beam results file view" counts.
struct Spies {
    explicit Spies(BeamDocument& d)
        : beam(&d, &BeamDocument::beamChanged),
          results(&d, &BeamDocument::resultsChanged),
          file(&d, &BeamDocument::fileChanged),
          view(&d, &BeamDocument::viewChanged) {}
    std::vector<qsizetype> Take() {
        std::vector<qsizetype> n{beam.count(), results.count(), file.count(), view.count()};
        for (QSignalSpy* s : {&beam, &results, &file, &view}) s->clear();
        return n;
    }
    QSignalSpy beam, results, file, view;
};

TEST_F(Document, DesignValuesBelongToTheLastAnalysisOnly) {
    Spies spy(doc);
    doc.Edit() = SampleBeam();
    ASSERT_TRUE(doc.Analyse().status);
    const double r1 = doc.Design().R.at(0);
    doc.Edit().Q(1) = 20;
    doc.Edited(BeamChange::Loads);
    EXPECT_EQ(doc.State().Results.code, Code::NotAnalysed) << "moments of the beam before the edit";
    EXPECT_TRUE(doc.Design().spans.empty());
    doc.Analyse();
    EXPECT_NE(doc.Design().R.at(0), r1);
    EXPECT_EQ(spy.Take(), (std::vector<qsizetype>{1, 2, 0, 0}));
}

TEST_F(Document, FilesReplaceTheBeamOnlyWhenAcceptedAndKeepThePlace) {
    Spies spy(doc);
    doc.Edit() = SampleBeam();
    doc.Edit().CurSpan = 2;
    const std::string path = dir.File("b.bmf");
    EXPECT_FALSE(doc.Load(dir.File("missing.bmf"), BeamKind::Bmf));
    EXPECT_EQ(spy.Take(), (std::vector<qsizetype>{0, 0, 0, 0}));
    ASSERT_TRUE(doc.Save(path, BeamKind::Bmf));
    EXPECT_EQ(std::tuple(doc.State().FileName, spy.Take()),
              std::tuple(path, std::vector<qsizetype>{0, 0, 1, 0}));
    doc.Edit().Q(1) = 99;
    ASSERT_TRUE(doc.Load(path, BeamKind::Bmf));
    EXPECT_EQ(std::tuple(doc.State().Q(1), doc.State().CurSpan, doc.State().InputMode),
              std::tuple(10.0, 2, 2));
    EXPECT_EQ(spy.Take(), (std::vector<qsizetype>{1, 0, 1, 0}));
    doc.SetView({2, 0.25});
    doc.SetView({2, 0.25});
    EXPECT_EQ(spy.Take(), (std::vector<qsizetype>{0, 0, 0, 1}))
        << "an unchanged stretch redraws nothing";
}

}  // namespace
}  // namespace cbeam::test
