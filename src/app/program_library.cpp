#include "app/program_library.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/messages.h"

namespace radmtf {

void* LoadProgramLibraryEntry(const std::string& fileName, const char* entry)
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string path = ((error ? std::filesystem::path() : program.parent_path()) / fileName).string();
    // Loaded for good: what the library creates must outlive the call.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* symbol = handle ? dlsym(handle, entry) : nullptr;
    if (!symbol) {
        const char* detail = dlerror();
        std::fprintf(stderr, "radmtf: %s\n%s\n",
                     FailureText(FailureCode::kCannotOpen, {path}).toLocal8Bit().constData(),
                     detail ? detail : "");
    }
    return symbol;
}

}  // namespace radmtf
