// The program's command line: `radmtf [--lang ja|en] [--script FILE|-] [IMAGE]`, plus
// --help and --version, which print and end the program before any window
// exists.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace radmtf {

struct CommandLine {
    // Set when the program ends right away with this code (after --help,
    // --version or an error, already printed).
    std::optional<int> exitCode;
    QString scriptPath;  // --script: the script file, "-" for standard input
    QString imagePath;   // the image file to open at start
    QString language;    // the interface language (--lang, else RADMTF_LANG, else ja), installed
};

// The arguments as text (the program name first).
QStringList CommandLineArguments(int argc, char** argv);

// Parses the arguments and installs the interface language they ask for
// (an application object must exist); prints the help or version text to
// standard output and errors to standard error. An unknown option or a missing value ends
// with exit code 2.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace radmtf
