// Program entry: `radmtf measure …` runs here, without any window; the
// command line is read here too, so --help, --version and usage errors need
// no window either. Everything else loads the window library that sits next
// to the program and hands over to it.
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/command_line.h"
#include "app/measure_command.h"
#include "app/messages.h"
#include "app/window_entry.h"

namespace {

// The window library beside the program file (not searched for elsewhere, so
// a build runs its own copy).
std::filesystem::path WindowLibraryPath()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path() : program.parent_path()) / RADMTF_WINDOW_LIBRARY;
}

}  // namespace

int main(int argc, char** argv)
{
    // The measurement without windows needs no display and no application object.
    if (argc > 1 && std::string(argv[1]) == "measure") return radmtf::RunMeasureCommand(argc, argv);
    const radmtf::CommandLine command = radmtf::ParseCommandLine(radmtf::CommandLineArguments(argc, argv));
    if (command.exitCode) return *command.exitCode;

    const std::string library = WindowLibraryPath().string();
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto* entry = handle ? reinterpret_cast<radmtf::WindowEntry>(dlsym(handle, radmtf::kWindowEntryName)) : nullptr;
    if (!entry) {
        const QByteArray text =
            radmtf::FailureText(radmtf::FailureCode::kCannotOpen, {library}).toLocal8Bit();
        const char* detail = dlerror();
        std::fprintf(stderr, "radmtf: %s\n%s\n", text.constData(), detail ? detail : "");
        return 1;
    }
    // The library stays loaded until the process ends: its windows and their
    // static objects must outlive everything the entry returns to.
    return entry(argc, argv, command);
}
