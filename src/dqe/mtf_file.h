// Reading back an MTF that radmtf's measure command wrote, for the DQE:
// its CSV (columns frequency_cy_per_mm, mtf, u_mtf, one file's rows) or its
// JSON (an array holding one report, whose "points" give the same keys).
#pragma once

#include <string_view>

#include "dqe/dqe.h"

namespace radmtf {

// Refuses text that is neither, a line or value that does not read
// (kDqeMtfUnreadable: the path and the line), and a file without one
// measurement's rising MTF: a report that failed or holds no points,
// several reports, frequencies that do not rise (kDqeMtfNoCurve). An empty or null u_mtf reads as NaN
// (unknown).
MtfCurve ReadMtfText(std::string_view text, std::string_view path);

// Refuses (kDqeMtfNoCurve, naming `source`) a curve a file could not give:
// no points, a frequency or MTF that is not finite, frequencies that do not
// rise. An MTF held in memory passes here as a file's passes ReadMtfText.
void CheckMtfCurve(const MtfCurve& curve, std::string_view source);

// The file read through ReadMtfText; kCannotOpen when it cannot be read.
MtfCurve ReadMtfFile(const std::string& path);

}  // namespace radmtf
