#include "ui_support.h"

#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace cbeam::test {

void UiTest::SetUpTestSuite() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "test_ui";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // lives until the test program ends
    }
}

void UiTest::TearDown() {
    DeleteLater();
    std::vector<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->parent() == nullptr) windows.emplace_back(w);
    }
    for (const QPointer<QWidget>& w : windows) delete w.data();
    DeleteLater();
}

void UiTest::ExpectOnlyMessage(const QString& text, const QString& title, MsgIcon icon) {
    ASSERT_EQ(services.messages.size(), 1u)
        << (services.messages.empty() ? std::string("no message")
                                      : services.messages.back().text.toStdString());
    EXPECT_EQ(services.messages[0].text, text);
    EXPECT_EQ(services.messages[0].title, title);
    EXPECT_EQ(services.messages[0].icon, icon);
    services.messages.clear();
}

void UiTest::ExpectNoMessage() {
    EXPECT_TRUE(services.messages.empty()) << services.messages.front().text.toStdString();
    services.messages.clear();
}

void Type(QLineEdit* edit, const QString& ascii) {
    edit->end(false);
    QTest::keyClicks(edit, ascii);
}

void Replace(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty()) {
        edit->del();
    } else {
        edit->insert(text);
    }
}

void Choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void DeleteLater() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

BeamState SampleBeam() {
    BeamState s;
    s.SizeAll(3);
    s.EIo = 2;
    const double L[] = {4, 6, 5}, EI[] = {2, 1.5, 1}, Q[] = {10, 20, 5}, A[] = {1, 0.25, 0.5};
    const std::int16_t kind[] = {1, 2, 1};
    for (int k = 1; k <= 3; ++k) {
        s.L(k) = L[k - 1];
        s.EI(k) = EI[k - 1];
        s.Q(k) = Q[k - 1];
        s.A(k) = A[k - 1];
        s.LoadType(k) = kind[k - 1];
    }
    s.Flag0 = kTrue;
    s.FlagN = kFalse;
    return s;
}

std::string TempPath(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / "cbeam_ui_tests";
    std::filesystem::create_directories(dir);
    const auto path = dir / name;
    std::filesystem::remove(path);
    return path.string();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace cbeam::test
