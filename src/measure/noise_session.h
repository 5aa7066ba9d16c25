// The noise half of a detector's characterisation from files: the NNPS of
// flat fields and the DQE with the MTF of edge images or MTF files. The
// command line and the noise window both run these, so they agree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "conversion/conversion.h"
#include "core/failure.h"
#include "dicom/dicom_reader.h"
#include "dqe/dqe.h"
#include "measure/measurement.h"
#include "measure/settings.h"
#include "nps/nnps.h"

namespace radmtf {

// A file's measurement values (as the slit and chart methods read them), its
// pixel spacing (the settings', else the file's) and its QA fields; `image`
// points into `values`.
struct LoadedNoiseImage {
    std::vector<std::int32_t> values;
    NnpsImage image;
    DicomQaFields qa;
};
LoadedNoiseImage LoadNoiseImage(const std::string& path, const NoiseSettings& settings);

// A refusal, with the file it came from (empty: none in particular).
struct NoiseRefusal {
    std::string file;
    Failure failure;
};

struct NnpsSession {
    std::vector<std::string> files;
    std::string conversion;  // as used (Conversion::Describe), else as typed
    std::optional<NnpsResult> result;
    std::optional<NoiseRefusal> refusal;  // set when nothing was measured
    DicomQaFields qa;                     // the first file's
};

// Never throws a Failure: what refuses the measurement is `refusal`.
NnpsSession MeasureNnpsFiles(const std::vector<std::string>& files, const NoiseSettings& settings);

// The DQE's inputs besides the conversion (NoiseSettings, whose kerma is K).
struct DqeInputs {
    std::vector<std::string> flats, edges;  // files
    std::optional<std::string> mtfFileU, mtfFileV;
    // An MTF held in memory (the analysis window's last measurement), used as
    // an MTF file of that direction is; `source` names it in the settings.
    struct Curve {
        std::string source;
        MtfCurve curve;
    };
    std::optional<Curve> mtfCurveU, mtfCurveV;
    std::string quality = "RQA5";   // RQA3, RQA5, RQA7 or RQA9
    std::string snrTable = "2015";  // the edition of the SNR^2_in table: 2015 or 2003
    std::optional<double> snr2;     // SNR^2_in given instead of the table's
};

struct DqeSession {
    DqeInputs inputs;
    double kerma = 0.0;
    std::vector<std::string> edgesU, edgesV;  // the edge images used, by direction
    std::string conversion;                   // as used (Describe), else as typed
    std::optional<Conversion> usedConversion;
    std::optional<DqeResult> result;
    // Why nothing (no result) or a direction (a result) was measured.
    std::vector<NoiseRefusal> refusals;
    std::vector<Failure> warnings;
    DicomQaFields qa;  // the first flat field's
};

// Each edge image's direction decides which MTF it gives; an MTF file or
// curve of that direction is used instead. Never throws a Failure. `settings.kerma`
// must be set.
DqeSession MeasureDqeFiles(const DqeInputs& inputs, const NoiseSettings& settings);

// A measurement's MTF as the DQE takes it: its points as the measure
// command's CSV gives them (the same doubles), its file as the source.
DqeInputs::Curve RecordMtfCurve(const MeasurementRecord& record);

}  // namespace radmtf
