// Decoding compressed DICOM pixels takes GDCM, whose loading costs more than
// a whole measurement of a plain file, so the measure command reaches the
// decoder through a library of its own beside the program, loaded only when
// a file needs it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dicom/dicom_load.h"

namespace radmtf {

// PrepareDicomLoad of data[0, size) with the program's dictionary; throws its
// failures.
using PrepareDicomLoadEntry = void (*)(const std::uint8_t* data, std::size_t size, DicomLoad& out);
inline constexpr char kPrepareDicomLoadName[] = "RadmtfPrepareDicomLoad";

}  // namespace radmtf

extern "C" void RadmtfPrepareDicomLoad(const std::uint8_t* data, std::size_t size, radmtf::DicomLoad& out);
