// Properties of the JSON beam reader, shared by its fuzz target and the
// corpus replay.
#include "files/beam_json.h"
#include "regress/fuzz_checks.h"

namespace cbeam::fuzz {

std::string CheckBeamJson(std::string_view bytes) {
    BeamState s;
    s.CurSpan = 7;
    const Status decoded = DecodeBeamJson(bytes, s);
    if (!decoded) {
        if (MessageText(decoded).empty()) return "refusal without a reason";
        if (s.N != 0 || s.CurSpan != 7) return "refusal changed the state";
        return {};
    }
    if (Status why = CheckBeamData(s); !why) return "accepted beam: " + MessageText(why);
    // What was accepted writes a text that reads back to itself, directly and
    // through a beam file.
    const std::string text = EncodeBeamJson(s);
    BeamState again, viaFile, fromFile;
    if (!DecodeBeamJson(text, again)) return "written text does not read back";
    if (EncodeBeamJson(again) != text) return "written text changes on the way back";
    if (!DecodeBeamFile(EncodeBeamFile(s), fromFile)) return "beam file of it does not load";
    if (EncodeBeamJson(fromFile) != text) return "beam file of it gives another text";
    return {};
}

}  // namespace cbeam::fuzz
