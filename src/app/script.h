// Runs the program's automation scripts against the real windows: one
// command per line, answers queued for the prompts, and what the script asks
// to print on standard output.
#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>
#include <string>

#include "app/dispatch.h"

namespace radmtf {

class TForm1;
class TForm2;

class ScriptError : public ScriptStop {
public:
    explicit ScriptError(const std::string& why) : ScriptStop(why) {}
};

// Where a script's printing goes when not to the standard streams.
struct ScriptOutput {
    std::string text;   // what the script printed, lines ended by '\n'
    std::string error;  // "script error: line N: WHY", or empty
};

// Runs the lines of a script; returns the process exit code (0, or 1 after
// reporting "script error: line N: WHY" on standard error or in `output`).
// The first line is numbered `firstLineNumber` in that report.
int RunScript(const QStringList& lines, TForm1* form1, TForm2* form2, ScriptOutput* output = nullptr,
              int firstLineNumber = 1);

// The line that ends one run of a script's lines: the windows close and the
// lines after it act on fresh ones, as on a new start of the program.
bool IsRestartLine(const QString& line);

}  // namespace radmtf
