#pragma once

#include <string>

namespace cbeam {

// What went wrong, for every layer alike. The details a code needs travel
// beside it in Status; the Chinese wording lives only in MessageText.
enum class Code {
    Ok,
    // The analysis.
    UndefinedSpan,  // span: the first span with EI 0
    NotSolvable,    // a zero pivot, or rotations or moments that are not finite
    NotSymmetric,   // K(i,j) != K(j,i); the moments follow from the last rotations
    NotAnalysed,    // the beam has changed since its last analysis
    // Beam values that a file cannot hold or give back.
    NoBeam,             // no complete beam in the state
    NotANumber,         // field, span (a node for M and Theta; 0 for EIo)
    EIoTooSmall,        // |EIo| below 1e-6
    LengthNotPositive,  // span
    PositionOutside,    // span: a loaded span's a outside 0..1
    NegativeLoad,       // span
    // The beam data file's bytes.
    FileEmpty,
    NoFirstRecord,
    SpanCountOutside,  // have: the count in record 1, need: the largest count
    FileIncomplete,    // need: N records, have: the whole records there are
    // Writing and the system.
    NoFileName,
    NotGbk,              // the report holds a character GBK cannot encode
    SystemError,         // sysError: the errno of the failed call
    ResultsNotOut,       // the command line's results could not be written
    ImageTooLarge,       // the file name follows the text
    ImageNotSaved,       // the file name follows the text
    UnknownPictureKind,  // a picture named neither .png nor .svg
    // JSON beams; `path` names the value at fault ("spans[3].L").
    NotJson,           // have: line, need: column where the text stops being JSON
    NumberOutOfRange,  // a number beyond the range of a double, with its path
    FileTooLarge,      // far larger than any beam
    NotAnObject,
    MissingField,
    WrongType,
    UnknownFormat,
    UnknownVersion,
    UnknownEnd,
    UnknownLoadKind,
    // Files written and read safely; the command line's outputs.
    NotRegularFile,    // a device, FIFO or socket where a file is read or replaced
    OutputIsInput,     // a command's output names its own input file
    ForceToReplace,    // the command line: another user's file, replaced only with --force
    OwnerWouldChange,  // the windows' question before replacing another user's file
    NotTxtName,        // the file name follows the text
    NotPdfName,        // the file name follows the text
    NotBeamName,       // the file name follows the text
    NotCsvName,        // the file name follows the text
    NotJsonName,       // the file name follows the text
    OutOfMemory,
    // The general beam and its analysis; `path` names the case or load at
    // fault ("cases[0].loads[2]").
    Mechanism,             // the supports let the beam move as a rigid body
    NearlyMechanism,       // a pivot lost to rounding: supports far too weak for the beam
    EnvelopeTooLarge,      // have: the groups solved one by one, need: the spans
    SpanCountOutsideBeam,  // have: the count, need: the largest count
    RigidityNotPositive,   // span; 0 for EIo
    SupportCountWrong,     // have: the supports, need: N + 1
    FreeInside,            // span: the interior node given as free
    SpringNotPositive,     // span: the node (k <= 0 or kr < 0)
    ValueNotFinite,        // a value that is not a finite number
    LoadSpanOutside,       // have: the span (need 0) or node (need 1) number given
    LoadOutsideSpan,       // span: a position outside 0..L or x1 after x2
    SectionOutsideSpan,    // span: a section asked for outside 0..L
    SettlementNotHeld,     // span: a node that is neither pinned nor fixed
    CaseNameRepeated,      // path: the second case of the name
    NotDesignCases,        // more or other than the one permanent case
    NotDesignSupport,      // span: the node
    NotDesignLoad,         // span: a span with a load the design's beam cannot hold
    // Values beyond what a beam can be, damaged records and JSON limits.
    ValueOutOfRange,   // field, span (0 for EIo), or path
    NegativeRigidity,  // span: EI below 0
    EIoNotPositive,    // EIo below 0 (0 is EIoTooSmall)
    BadLoadKind,       // span: the record, have: its load kind (not 0, 1 or 2)
    BadLeftEnd,        // span: the record, have: its left end flag (not 0 or -1)
    BadRightEnd,       // span: the record, have: its right end flag (not 0 or -1)
    DuplicateKey,      // path: the key given twice
    TooDeep,           // path: the value nested too deeply
    // The windows' typed fields.
    NumberMissing,  // a field left empty
    CountNotWhole,  // have: the count a typed fraction is taken as
    // JSON beams of version 2, the .bmf save of a general beam and the
    // commands that take the design's beam only. A NotDesign* status with
    // `need` = kForBmfSave is a .bmf save's refusal and offers JSON instead.
    UnknownSupportKind,
    UnknownCaseKind,
    UnknownGeneralLoadKind,
    CaseNameEmpty,
    NotDesignLoadCount,  // span: a span with more than one load
    DesignBeamOnly,      // the command's lead-in; the reason follows
    NotFiniteResult,     // an analysis result that is not a finite number
    CaseNotFound,        // path: the name asked for
    // The windows' refusals of typed values and their one question.
    SpanCountNotPositive,
    TooManySpans,
    BaseRigidityZero,   // |EIo| below 1e-6, as the start window words it
    SpanNotGiven,       // span: the first span whose length is not above 0
    LoadBelowZero,      // the load window words a negative load so
    PositionNotInSpan,  // a load position outside 0..1 (of L)
    IncompleteNumber,   // text: what was typed; taken: the number it is taken as
    BeamNotSaved,       // the question before a changed beam's window closes
    // Load combinations of a general beam; path: the value at fault.
    PsiOutside,  // ψq outside 0..1
    CombinationNameEmpty,
    CombinationNameRepeated,
    CombinationCaseUnknown,  // a case the beam does not have, or named twice
    FactorOutside,           // not two factors from 0 to 100
    NoCombination,           // a beam without live load, and no combination given
    CombinationNotFound,     // text: the name asked for
    // Moving loads of a general beam; path: the value at fault.
    MovingNameEmpty,
    MovingNameRepeated,
    AxlesOutside,     // not 1 to 100 axle loads, or one not a number within the bound
    SpacingWrong,     // not one spacing fewer than the axles, or one negative
    LaneOutside,      // a lane load below 0 or beyond the bound
    NotDesignMoving,  // the design's beam has no moving loads
    TrainNotFound,    // text: the name asked for
};

// The `need` of a NotDesign* status refused by a .bmf save.
constexpr int kForBmfSave = 1;

// The beam value a NotANumber refers to.
enum class Field { None, EIo, EI, L, A, Q, M, Theta };

struct Status {
    Code code = Code::Ok;
    int span = 0;  // a span or, for M and Theta, a node number
    int have = 0;
    int need = 0;
    int sysError = 0;
    Field field = Field::None;
    std::string path = {};   // the JSON path of the value at fault, when there is one
    std::string text = {};   // a typed text the message quotes
    std::string taken = {};  // the number the typed text is taken as, shown as the window shows it

    explicit operator bool() const { return code == Code::Ok; }
    bool operator==(const Status&) const = default;
};

inline Status SystemFailure(int error) {
    return Status{.code = Code::SystemError, .sysError = error};
}

// The Chinese text of a status; empty for Ok.
std::string MessageText(const Status& status);

// The commands whose failures are shown as a lead-in and the reason.
enum class Command { Load, Save, Report, Table, Sheet, Picture };

// The lead-in of a failed command's message; the reason follows directly
// on the command line and on a line of its own in a window.
std::string LeadIn(Command command);

}  // namespace cbeam
