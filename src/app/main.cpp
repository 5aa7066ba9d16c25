// Program entry: `radmtf measure …` runs here, without any window; the
// command line is read here too, so --help, --version and usage errors need
// no window either. Everything else loads the window library that sits next
// to the program and hands over to it.
#include <QCoreApplication>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/measure_command.h"
#include "app/program_library.h"
#include "app/window_entry.h"

namespace {

// Where "measure" stands after the program's global options (`radmtf --lang en
// measure …`), or 0 when the command line is not the measurement.
int MeasureWordIndex(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "measure") return i;
        if (arg == "--lang" && i + 1 < argc)
            ++i;
        else if (arg.rfind("--lang=", 0) != 0)
            return 0;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // The measurement without windows needs no display; it makes its own
    // application object. Global options given before it go after it.
    if (const int at = MeasureWordIndex(argc, argv); at > 0) {
        std::vector<char*> args{argv[0], argv[at]};
        args.insert(args.end(), argv + 1, argv + at);
        args.insert(args.end(), argv + at + 1, argv + argc);
        args.push_back(nullptr);
        return radmtf::RunMeasureCommand(argc, args.data());
    }
    radmtf::CommandLine command;
    {
        // The help and the usage failures speak the interface language too,
        // before (and without) any window.
        QCoreApplication core(argc, argv);
        command = radmtf::ParseCommandLine(radmtf::CommandLineArguments(argc, argv));
    }
    if (command.exitCode) return *command.exitCode;

    auto entry = reinterpret_cast<radmtf::WindowEntry>(
        radmtf::LoadProgramLibraryEntry(RADMTF_WINDOW_LIBRARY, radmtf::kWindowEntryName));
    if (!entry) return 1;
    return entry(argc, argv, command);
}
