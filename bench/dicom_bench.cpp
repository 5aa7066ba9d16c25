// The DICOM header walk on a crafted header of 400,000 tiny elements: every
// element is listed with its dictionary name, so the lookup must not scan
// the dictionary text per element.
#include <cstdio>
#include <vector>

#include "bench_timing.h"
#include "dicom/dicom_reader.h"
#include "dicom/dictionary.h"
#include "tiny_element_header.h"

using radmtf::bench::MedianMilliseconds;

void RunDicomBenchmarks()
{
    using namespace radmtf;
    const std::vector<std::uint8_t> file = radmtf::bench::TinyElementHeader(400000);
    DicomHeaderOutput out;
    const double ms = MedianMilliseconds(
        3, [&] { ReadDicomHeader(file.data(), file.size(), DicomDictionaryText(), "", out); });
    std::printf("dicom: header of 400,000 tiny elements  %8.1f ms (target 500 ms; %d rows)\n", ms,
                out.rowCount);
}
