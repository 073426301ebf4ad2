#include "ui/common/beamfiles.h"

#include <QFileInfo>

namespace cbeam {

const QString kBeamOpenFilter = QStringLiteral(
    "连续梁数据文件(*.bmf *.json)|*.bmf *.json|连续梁bmf文档(*.bmf)|*.bmf|"
    "连续梁JSON文档(*.json)|*.json|All Files(*.*)|*.*");
const QString kBeamSaveFilter = QStringLiteral(
    "连续梁bmf文档(*.bmf)|*.bmf|连续梁JSON文档(*.json)|*.json| Text 文档(*.txt)|*.txt|"
    "All Files(*.*)|*.*");

namespace {

constexpr int kOpenJsonFilter = 2;
constexpr int kSaveJsonFilter = 1;

// The extension decides when it names a kind; else the type chosen.
BeamKind KindOf(const QString& path, bool jsonChosen) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("json")) return BeamKind::Json;
    if (suffix == QStringLiteral("bmf")) return BeamKind::Bmf;
    return jsonChosen ? BeamKind::Json : BeamKind::Bmf;
}

}  // namespace

BeamFileName OpenedBeamFile(const QString& path, int filter) {
    return {path, KindOf(path, filter == kOpenJsonFilter)};
}

BeamFileName SavedBeamFile(const QString& path, int filter) {
    const bool json = filter == kSaveJsonFilter;
    if (QFileInfo(path).fileName().contains(u'.')) return {path, KindOf(path, json)};
    return json ? BeamFileName{path + QStringLiteral(".json"), BeamKind::Json}
                : BeamFileName{path + QStringLiteral(".bmf"), BeamKind::Bmf};
}

}  // namespace cbeam
