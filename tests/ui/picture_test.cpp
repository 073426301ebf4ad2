// The drawings' picture actions: what the clipboard and the saved files get.
#include <QAction>
#include <QClipboard>
#include <QMimeData>
#include <QRegularExpression>
#include <QWheelEvent>

#include "ui/input/picturebox.h"
#include "ui/results/diagramview.h"
#include "ui/results/frmresults.h"
#include "ui_support.h"

namespace cbeam::test {
namespace {

using PictureTest = UiTest;

QStringList Labels(const QByteArray& svg) {  // the texts of an SVG picture
    QStringList labels;
    static const QRegularExpression text(QStringLiteral("<text[^>]*>([^<]*)</text>"));
    for (const auto& m : text.globalMatch(QString::fromUtf8(svg)))
        labels << m.captured(1).trimmed();
    return labels;
}

QByteArray Copied(QWidget* drawing, QImage* image = nullptr) {  // 复制图形, then the SVG
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    drawing->actions().value(0)->trigger();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (image != nullptr) *image = qvariant_cast<QImage>(data->imageData());
    return data->data(QStringLiteral("image/svg+xml"));
}

// Every drawing of both windows: an image at twice the density and SVG on the
// clipboard, and the same pictures in files chosen by their extension.
TEST_F(PictureTest, CopyAndSaveEveryDrawing) {
    frmInput* w = LoadBeam(SampleBeam());
    w->cmdResults->click();
    frmResults* r = w->ResultsWindow();
    ASSERT_NE(r, nullptr);
    r->resize(900, 700);
    const std::pair<const char*, QWidget*> rows[] = {{"schematic", w->Picture1},
                                                     {"moment diagram", w->Picture2},
                                                     {"shear", r->ShearDiagram},
                                                     {"deflection", r->DeflectionDiagram}};
    for (const auto& [name, drawing] : rows) {
        SCOPED_TRACE(name);
        QStringList texts;
        for (const QAction* a : drawing->actions()) texts << a->text();
        EXPECT_EQ(texts, QStringList({"复制图形", "保存图形…"}));
        EXPECT_EQ(drawing->contextMenuPolicy(), Qt::CustomContextMenu);
        QImage image;
        const QByteArray svg = Copied(drawing, &image);
        EXPECT_EQ(image.size(), drawing->contentsRect().size() * 2);
        EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::white)) << "on paper, not the window's face";
        QImage blank(image.size(), QImage::Format_RGB32);
        blank.fill(Qt::white);
        EXPECT_NE(image.convertToFormat(QImage::Format_RGB32), blank);
        EXPECT_TRUE(svg.startsWith("<?xml")) << svg.left(200).data();
        EXPECT_TRUE(svg.contains("<polyline")) << svg.left(200).data();

        const QString file = QString::fromStdString(dir.File("picture"));
        const std::pair<QString, int> saves[] = {{file + ".png", 1}, {file, 1}, {file + ".jpg", 0}};
        for (const auto& [answer, filter] : saves) {
            services.fileAnswers = {answer};
            services.filterAnswer = filter;
            services.replaceAnswers = {true};
            drawing->actions().value(1)->trigger();
        }
        EXPECT_EQ(services.asked.last(), "*.png|PNG 图片(*.png)|*.png|SVG 图形(*.svg)|*.svg");
        ExpectOnlyMessage("保存图形失败！\n图形只能存为 .png 或 .svg 文件");
        const QImage saved(file + ".png");
        EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
                  image.convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(QSize(saved.dotsPerMeterX(), saved.dotsPerMeterY()), QSize(7559, 7559))
            << "prints at the size shown";
        EXPECT_EQ(QByteArray::fromStdString(testing::ReadAll(dir.File("picture.svg"))), svg);
        EXPECT_FALSE(QFileInfo::exists(file + ".jpg"));
        QFile::remove(file + ".png");
        QFile::remove(file + ".svg");
    }

    // The pictures show the stretch in view, in both windows.
    const QStringList moments = Labels(Copied(w->Picture2)),
                      shears = Labels(Copied(r->ShearDiagram));
    QWheelEvent wheel({4, 50}, {}, {}, {0, 960}, {}, Qt::ControlModifier, Qt::NoScrollPhase, 0);
    QApplication::sendEvent(w->Picture2, &wheel);
    const QStringList zoomed = Labels(Copied(w->Picture2));
    EXPECT_GT(zoomed.size(), 0);
    EXPECT_LT(zoomed.size(), moments.size()) << zoomed.join(u' ').toStdString();
    for (const QString& label : zoomed) EXPECT_TRUE(moments.contains(label)) << label.toStdString();
    QTest::mousePress(w->Picture2, Qt::LeftButton, {}, {500, 50});
    QTest::mouseMove(w->Picture2, {10, 50});
    QTest::mouseRelease(w->Picture2, Qt::LeftButton, {}, {10, 50});
    EXPECT_NE(Labels(Copied(w->Picture2)), zoomed) << "panned to the right end";
    EXPECT_NE(Labels(Copied(r->ShearDiagram)), shears);
    QTest::mouseDClick(w->Picture2, Qt::LeftButton);
    EXPECT_EQ(Labels(Copied(w->Picture2)), moments);
}

// A diagram of an earlier beam, kept on show after a refused analysis, is not
// handed out as this beam's.
TEST_F(PictureTest, NoDiagramOfARefusedBeam) {
    frmInput* w = TypeBeam(3, {1, 0, 0});
    Took();
    w->cmdResults->click();
    for (QWidget* drawing :
         std::initializer_list<QWidget*>{w->Picture2, w->ResultsWindow()->ShearDiagram}) {
        EXPECT_TRUE(Copied(drawing).isEmpty());
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
        drawing->actions().value(1)->trigger();
        EXPECT_TRUE(services.asked.isEmpty());
    }
    EXPECT_FALSE(Copied(w->Picture1).isEmpty()) << "the schematic is this beam's";
}

}  // namespace
}  // namespace cbeam::test
