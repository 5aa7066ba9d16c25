// The viewer's tolerant DICOM header reader.
//
// It finds the Pixel Data tag (7FE0,0010) in the first half of the file,
// walks the elements from (0002,0002) up to it, lists them for the element
// table, gathers the acquisition summary and picks out the geometry and
// display values the viewer needs. Every number is read little endian; the
// transfer syntax only decides whether the viewer swaps the pixel bytes. It
// validates nothing and never reads outside the buffer: an element whose
// fields or value would run past the end ends the walk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dicom/element_table.h"

namespace radmtf {

// Rows (header row included) the element table is given before a walk.
inline constexpr int kDicomTableRowCount = 1024;

// Who made the image and with what, for a QA report; first values,
// trimmed, empty where the file says nothing.
struct DicomQaFields {
    std::string institution;      // (0008,0080)
    std::string manufacturer;     // (0008,0070)
    std::string model;            // (0008,1090)
    std::string serialNumber;     // (0018,1000)
    std::string detectorId;       // (0018,700A)
    std::string kvp;              // (0018,0060)
    std::string exposureUAs;      // (0018,1153) Exposure in µAs
    std::string acquisitionDate;  // (0008,0022)
    std::string contentDate;      // (0008,0023)
    std::string studyDate;        // (0008,0020)
    // The acquisition date, else the content date, else the study date.
    const std::string& Date() const
    {
        return !acquisitionDate.empty() ? acquisitionDate : !contentDate.empty() ? contentDate : studyDate;
    }
};

// What the header says about the samples and how they were made, beyond the
// viewer's edits; empty where the file says nothing.
struct DicomImageFacts {
    std::optional<int> pixelRepresentation;  // (0028,0103): 0 unsigned, 1 signed
    std::optional<int> bitsStored;           // (0028,0101)
    std::string photometric;                 // (0028,0004), trimmed
    std::string presentationIntent;          // (0008,0068), trimmed
    std::string imagerPixelSpacing;          // (0018,1164), its first value
    std::string pixelSpacing;                // (0028,0030), its first value
    bool lutSequence = false;                // a VOI LUT (0028,3010) or Modality LUT (0028,3000) Sequence
    DicomQaFields qa;

    // Processed for display (FOR PRESENTATION, or a LUT to apply): not the
    // detector's own response.
    bool Processed() const { return presentationIntent == "FOR PRESENTATION" || lutSequence; }
    bool InvertedPhotometric() const { return photometric == "MONOCHROME1"; }
};

// A display-window value of the header: the number the reader rounded from
// the file's text, or, where the viewer shows what the file writes (the parts
// of a "centre\\width" Window Center), that text and its number when it is one.
// Neither: the setting is cleared.
struct DicomWindowValue {
    std::optional<long double> number;
    std::optional<std::string> written;
    bool operator==(const DicomWindowValue&) const = default;
};

// The viewer's settings one run of the reader gives, in the state the run
// reached. An empty optional means the run left that setting alone, except
// where a field says otherwise.
struct DicomHeaderOutput {
    // Offset of the first pixel byte; none (the setting cleared) when the
    // file has no Pixel Data tag.
    std::optional<std::int64_t> headerOffset;
    // Columns (0028,0011) and rows (0028,0010); none (cleared) when the file
    // gives no integer.
    std::optional<std::int32_t> columns;
    std::optional<std::int32_t> rows;
    // The value offset: the Rescale Intercept (0028,1052) truncated toward zero.
    std::optional<std::int64_t> valueOffset;
    // Reconstruction Diameter (0018,1100) as the file writes it (empty:
    // cleared), and its number when it is one.
    std::optional<std::string> fovWritten;
    std::optional<long double> fov;
    // The pixel spacing (mm), the first of the pair, as written (empty:
    // cleared; a single value gives none), its number, and the element it
    // came from (the last of them in the file): "imager" (0018,1164),
    // "detector" (0018,7022) or "pixel" (0028,0030).
    std::optional<std::string> pixelSpacingWritten;
    std::optional<long double> pixelSpacing;
    std::string pixelSpacingSource;
    std::optional<DicomWindowValue> windowLevel;  // display window centre
    std::optional<DicomWindowValue> windowWidth;  // display window width
    std::optional<bool> swap;                     // byte order of the samples is big-endian
    DicomImageFacts facts;

    // True once the Pixel Data tag was found: the element table is then
    // emptied down to its header row and replaced by `table`/`rowCount`.
    // False: the table keeps the earlier file's rows.
    bool tableReplaced = false;
    // The rows below the window's header row. Cells never written are
    // empty. table.rows.size() >= rowCount - 1.
    DicomTable table;
    // The table's row count, header row included: kDicomTableRowCount (or
    // more, if the walk wrote further rows) while walking, the next row once
    // the walk has ended normally.
    int rowCount = 1;
    // The row the next listed element would take.
    int nextRow = 1;

    // The acquisition summary, lines ended by CR LF. `summaryWritten` says
    // whether the memo received it (after the first listed element); if not,
    // the memo keeps its text.
    std::string summary;
    bool summaryWritten = false;
};

// Reads the header of `data[0, size)` into `out` (which is reset first).
// `windowWidthBefore` is the viewer's window width when loading calls the
// reader; Window Width (0028,1051) only fills an empty width.
//
// A Window Center (0028,1050), Window Width (0028,1051) or Rescale Intercept
// (0028,1052) that is not a number throws radmtf::Failure at that element;
// `out` then holds everything done before it, and the caller applies it to the
// controls before reporting the failure.
void ReadDicomHeader(const std::uint8_t* data, std::size_t size, std::string_view dictionaryText,
                     std::string_view windowWidthBefore, DicomHeaderOutput& out);

// One element of a data set that the DICOM library has read, as the element
// table shows it. A sequence has a row of its own; the elements of its items
// follow it.
struct DicomElement {
    std::uint16_t group = 0;
    std::uint16_t number = 0;
    std::string vr;  // empty for implicit VR
    std::uint16_t lengthField = 0;
    std::string value;
    bool sequence = false;
};

struct DecodedImage;

// The summary line of a file with several frames, of which the first is shown.
std::string FramesSummaryLine(long long frames);

// After a walk of the same file: the viewer takes the decoded image's
// geometry (header 0, no byte swap) and, when the walk could not read the
// file, the table, summary, spacing, value offset and window from the
// library's data set, by the same element rules as the walk. The summary
// gains a line for the frame count and for colour shown as gray. Throws like
// the walk on a window or rescale text that is not a number, with `out`
// holding what was done before.
void ApplyDecodedImage(const DecodedImage& image, std::string_view dictionaryText,
                       std::string_view windowWidthBefore, DicomHeaderOutput& out);

}  // namespace radmtf
