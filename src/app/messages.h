// Every text the program shows its user: the failures by code, the
// information boxes and the prompts. Nothing else in the program holds a
// user-visible sentence, so a translation covers exactly this catalogue
// (context "radmtf::Messages").
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "core/failure.h"

namespace radmtf {

// The text of a failure, its blanks filled with the failure's arguments.
QString FailureText(const Failure& failure);
QString FailureText(FailureCode code, const std::vector<std::string>& args = {});

// A fault that is no failure of the program's (a bug): the action stops with
// this text and, when known, the fault's description in parentheses.
QString InternalErrorText(const QString& detail);

// Texts that are not failures.
enum class Notice {
    kTrimSaved,           // information after a trim was saved
    kNoStartPoint,        // information: "Trancation" without a start point
    kMatrixSizePrompt,    // the size input box of a load
    kPixelSpacingPrompt,  // the pixel-spacing input box of a load
    kNothingMeasured,     // information: a report asked for before any method ran
    kRaiseDecodeBudget,   // the command's hint after a decode over its budget
    kTypeRoi,             // the command's hint after nothing was found to measure
};
QString NoticeText(Notice notice);

// The measure command's usage failures; `detail` names the option or value.
enum class UsageProblem {
    kNoMethod,       // no method or an unknown one
    kUnknownOption,  // argument: the option
    kMissingValue,   // argument: the option
    kBadValue,       // arguments: the option, the value
    kNoInput,        // no file or folder given
    kNotForMethod,   // argument: the option (an option the method does not use)
    kTooManyImages,  // the program was given more than one image to open
};
QString UsageText(UsageProblem problem, const std::vector<std::string>& args = {});

// The command's help (options with their defaults) and its note on how to
// get it after a usage failure.
QString MeasureHelpText();
QString UsageHintText();
// The same two for the program itself (radmtf --help).
QString ProgramHelpText();
QString ProgramUsageHintText();
// The CSV's mark of a failed file: "failed: MESSAGE".
QString FailedMark(const QString& message);

}  // namespace radmtf
