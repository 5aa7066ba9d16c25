// The data set as the DICOM library reads it, listed for the element table
// of files the viewer's own header walk cannot read (big endian, deflated).
// Only files whose every length has been checked against the file are
// handed to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dicom/dicom_reader.h"

namespace radmtf {

// The meta group from (0002,0002) on and the data set up to the pixel data,
// items of sequences after their sequence; empty when the library cannot
// read the file.
std::vector<DicomElement> LibraryElements(const std::uint8_t* data, std::size_t size);
// LibraryElements in a process of its own: empty when the library ends it.
std::vector<DicomElement> ContainedLibraryElements(const std::uint8_t* data, std::size_t size);

// The library reports nothing on the standard streams.
void SilenceLibraryMessages();

}  // namespace radmtf
