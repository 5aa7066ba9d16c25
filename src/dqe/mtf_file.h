// Reading back an MTF that radmtf's measure command wrote, for the DQE:
// its CSV (columns frequency_cy_per_mm, mtf, u_mtf, one file's rows) or its
// JSON (an array holding one report, whose "points" give the same keys).
#pragma once

#include <string_view>

#include "dqe/dqe.h"

namespace radmtf {

// Refuses (kDqeMtfUnreadable: the path and the line, 0 for the file as a
// whole) text that is neither, a report that failed or holds no points,
// several files' reports, a number that does not read, frequencies that do
// not rise. An empty or null u_mtf reads as NaN (unknown).
MtfCurve ReadMtfText(std::string_view text, std::string_view path);

// The file read through ReadMtfText; kCannotOpen when it cannot be read.
MtfCurve ReadMtfFile(const std::string& path);

}  // namespace radmtf
