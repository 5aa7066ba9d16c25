// The largest single allocation the decoder process makes. The DICOM
// library sizes an element's buffer by the length the file declares before
// it reads a byte of it, so a damaged length would take gigabytes that no
// budget counted. No true element is larger than the file, and no decoded
// buffer larger than the decode budget: the process's operator new
// (capped_new.cpp, linked into the decoder process and its fuzzer only)
// refuses anything above their sum with std::bad_alloc, which the library's
// reader and our decode turn into a refusal of the file.
#pragma once

#include <cstddef>

namespace radmtf {

std::size_t AllocationCap();

// Sets the cap for its lifetime and restores the one before.
class AllocationCapScope {
public:
    explicit AllocationCapScope(std::size_t bytes);
    ~AllocationCapScope();
    AllocationCapScope(const AllocationCapScope&) = delete;
    AllocationCapScope& operator=(const AllocationCapScope&) = delete;

private:
    std::size_t previous_;
};

}  // namespace radmtf
