// A minimal DICOM writer for synthetic radiographs: explicit VR little
// endian, a Digital X-Ray image of 16-bit unsigned words with its pixel
// spacing and bits stored, nothing else. Enough for the program's reader
// and for GDCM.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "synth/radiograph.h"

namespace radmtf::synth {

// The whole file. `description` goes to Series Description (0008,103E)
// when not empty.
std::vector<std::uint8_t> DicomBytes(const Radiograph& image, const std::string& description = {});

// Writes DicomBytes to `path`; false when the file cannot be written.
bool WriteDicomFile(const std::string& path, const Radiograph& image, const std::string& description = {});

}  // namespace radmtf::synth
