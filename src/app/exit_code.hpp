#pragma once

namespace kalvert {

/// How a run ends; the value is the process's exit status (a shell sees
/// −1 … −6 as 255 … 250).
enum class ExitCode : int {
    Success = 0,         ///< output written, or the help screen asked for
    FewParams = 1,       ///< fewer than two arguments
    NotInOut = 2,        ///< the first two arguments are not IN= and OUT=
    BadArgument = 3,     ///< FORMAT= or CALPER= holds a value the tool does not know
    SomeSkipped = 4,     ///< written, with responses skipped (ON_ERROR=skip)
    OpenFailed = -1,     ///< input file not opened
    SizeUndefined = -2,  ///< input file size not learnt
    BadInputFile = -3,   ///< input not read, lacks ZEROS or POLES, or not readable as a model
    ConvertFailed = -4,  ///< evaluation or table formatting failed
    CreateFailed = -5,   ///< output file not created
    WriteFailed = -6,    ///< header not built or output not written
};

}  // namespace kalvert
