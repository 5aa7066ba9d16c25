// Program entry: `radmtf measure …` runs here, without any window; the
// command line is read here too, so --help, --version and usage errors need
// no window either. Everything else loads the window library that sits next
// to the program and hands over to it.
#include <QCoreApplication>

#include <string>

#include "app/command_line.h"
#include "app/measure_command.h"
#include "app/program_library.h"
#include "app/window_entry.h"

int main(int argc, char** argv)
{
    // The measurement without windows needs no display; it makes its own application object.
    if (argc > 1 && std::string(argv[1]) == "measure") return radmtf::RunMeasureCommand(argc, argv);
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
