#pragma once

#include <QString>

#include "files/beam_json.h"

// The beam file types the file dialogs offer, and the kind a chosen name is
// read or written as: its extension, or for another one the type chosen.
namespace cbeam {

// Both kinds together first, then each, then every file.
extern const QString kBeamOpenFilter;
// The data file first, then JSON, then the design's text and every file.
extern const QString kBeamSaveFilter;

struct BeamFileName {
    QString path;
    BeamKind kind = BeamKind::Bmf;
};

// `filter` is the index of the type chosen in a dialog of that filter; a
// name saved without an extension gets the chosen kind's.
BeamFileName OpenedBeamFile(const QString& path, int filter);
BeamFileName SavedBeamFile(const QString& path, int filter);

}  // namespace cbeam
