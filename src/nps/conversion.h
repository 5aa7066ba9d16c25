// Measuring the conversion function (conversion/conversion.h) from flat
// fields and reading it back: a conversion measured here is written by
// ConversionFileText and read by ReadConversionText as a linear or log
// conversion; ParseConversion takes the command's conversion settings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/conversion.h"

namespace radmtf {

// Parses "model", "linear:OFFSET,GAIN", "log:C0,C1[,KREF]", "hdc:FILE" and
// "file:PATH" (files read through ReadConversionFile or the curve reader).
// `latitude`, `bits` and `offset` are the model's parameters. Fails with
// kConversionSettings naming the text, kCannotOpen for a missing file.
Conversion ParseConversion(std::string_view text, double latitude = 4.0, double bits = 12.0,
                           double offset = 0.0);

// A flat field of the conversion measurement.
struct ConversionSample {
    double kerma = 0.0;      // uGy at the detector surface
    double meanValue = 0.0;  // mean PV of the central 10 mm x 10 mm
    std::string name;
};

struct ConversionFit {
    double offset = 0.0, gain = 0.0, r2Linear = 0.0;     // PV = OFFSET + GAIN K
    double c0 = 0.0, c1 = 0.0, kref = 1.0, r2Log = 0.0;  // PV = C0 + C1 log10(K / KREF)
    bool logChosen = false;                              // the higher R^2
    std::vector<ConversionSample> samples;
    std::vector<double> residualLinear, residualLog;  // measured - fitted PV, per sample
    Conversion Chosen() const;
};

// Ordinary least squares of both models. Refuses fewer than 3 distinct
// kermas (kConversionFewKermas) and kermas <= 0 (kConversionSettings).
ConversionFit FitConversion(const std::vector<ConversionSample>& samples, double kref = 1.0);

// The mean pixel value of the central 10 mm x 10 mm of a row-major image
// (the whole image when smaller; at least one pixel).
double CentralMeanValue(const std::int32_t* values, std::int32_t columns, std::int32_t rows, double dx,
                        double dy);

// The text of a conversion file: "key TAB value" lines, the chosen model
// first, then both fits and the samples with their residuals.
std::string ConversionFileText(const ConversionFit& fit);
// The chosen conversion of such a text; kConversionUnreadable names the
// path and the first line that is missing or not a number.
Conversion ReadConversionText(std::string_view text, std::string_view path);

}  // namespace radmtf
