// Synthetic radiographs whose presampled MTF is known, as DICOM files: a
// tilted slit and a square-wave bar chart. Shared by the end-to-end tests of
// the windows and of the command line.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dicom/dicom_builder.h"

namespace radmtf::testing {

// A Gaussian line spread of standard deviation sigma integrated over the
// pixel aperture a has MTF(f) = exp(-2 pi^2 sigma^2 f^2) |sinc(a f)|.
namespace synthetic_slit {

constexpr double kPixel = 0.1;   // mm
constexpr double kSigma = 0.05;  // mm

inline double GaussianCdf(double x)
{
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

// Exposure of a pixel whose centre lies `distance` pixels from the slit:
// the Gaussian integrated over the pixel, on a background of 1.
inline double PixelExposure(double distance)
{
    const double upper = (distance + 0.5) * kPixel / kSigma;
    const double lower = (distance - 0.5) * kPixel / kSigma;
    return 1.0 + 12000.0 * (GaussianCdf(upper) - GaussianCdf(lower));
}

// Pixel value of the logarithmic detector (L = 4 decades over 12 bits).
inline std::uint16_t PixelValue(double exposure)
{
    return static_cast<std::uint16_t>(std::lround(std::log10(exposure) * 4096.0 / 4.0));
}

// A slit tilted by one pixel over `lines` rows (orientations 1, 2: nearly
// vertical) or columns (3, 4: nearly horizontal), in the direction each
// orientation button describes. `value` is the detector's response.
inline std::vector<std::uint8_t> SlitImage(int orientation, int lines, int columns, int rows,
                                           std::uint16_t (*value)(double) = PixelValue)
{
    testdata::DicomImageFields fields;
    fields.columns = static_cast<std::uint16_t>(columns);
    fields.rows = static_cast<std::uint16_t>(rows);
    fields.pixelSpacing = "0.1\\0.1";
    fields.pixels.resize(std::size_t(columns) * std::size_t(rows));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            double distance = 0;
            switch (orientation) {
                case 1:
                    distance = c - (columns / 2 - 7.3 + double(r) / lines);
                    break;
                case 2:
                    distance = c - (columns / 2 + 7.3 - double(r) / lines);
                    break;
                case 3:
                    distance = r - (rows / 2 - 7.3 + double(c) / lines);
                    break;
                default:
                    distance = r - (rows / 2 + 7.3 - double(c) / lines);
                    break;
            }
            fields.pixels[std::size_t(r) * std::size_t(columns) + std::size_t(c)] =
                value(PixelExposure(distance));
        }
    }
    return testdata::BuildDicom(fields);
}

inline double AnalyticMtf(double f)
{
    const double gauss = std::exp(-2.0 * M_PI * M_PI * kSigma * kSigma * f * f);
    const double x = M_PI * kPixel * f;
    const double sinc = x == 0 ? 1.0 : std::abs(std::sin(x) / x);
    return gauss * sinc;
}

// The script lines that load `path`, place the ROI over the slit and run the
// slit method with the orientation and MA-Line# the image was made with.
inline std::string SlitMethodScript(const std::string& path, int orientation, int lines)
{
    const bool vertical = orientation <= 2;
    return "answer " + path + "\nclick Form1.BitBtnLoad\n" +
           (vertical ? "set Form1.EditROIPosX 128\nset Form1.EditROIPosY 32\n"
                       "set Form1.EditROISizeX 200\nset Form1.EditROISizeY 40\n"
                     : "set Form1.EditROIPosX 32\nset Form1.EditROIPosY 128\n"
                       "set Form1.EditROISizeX 40\nset Form1.EditROISizeY 200\n") +
           "click Form1.ButtonDisp\nclick Form1.ButtonToTable\nset Form2.RadioButton" +
           std::to_string(orientation) + " 1\nset Form2.EditMALine " + std::to_string(lines) +
           "\nclick Form2.Button2Dto1D\nclick Form2.ButtonSmooth\nclick Form2.ButtonExtract\n"
           "click Form2.ButtonToExp\nclick Form2.ButtonSlit\n";
}

}  // namespace synthetic_slit

// The chart: a 10 mm square at the high-index end of the profile with a
// 10 mm gap beside it, then nine bar groups of rising frequency (0.5 .. 6
// cycles/mm; five bars in the first group, ten in the others, bar width half
// the period) separated by 2 mm gaps. Bars and square transmit the higher
// exposure. The pattern is blurred by a Gaussian of standard deviation sigma
// and integrated over the 0.1 mm pixel.
namespace synthetic_chart {

constexpr double kPixel = 0.1;    // mm
constexpr int kLines = 17;        // the chart moves by one pixel over 17 rows
constexpr double kSigma = 0.03;   // mm
constexpr double kLow = 10.0;     // exposure of the gaps and the background
constexpr double kHigh = 1000.0;  // exposure of the bars and the square
constexpr double kPeriods[10] = {20, 2, 1, 2.0 / 3, 0.5, 0.4, 1.0 / 3, 0.25, 0.2, 1.0 / 6};
constexpr double kFrequencies[10] = {0, 0.5, 1, 1.5, 2, 2.5, 3, 4, 5, 6};

constexpr int kSide = 880;            // image columns and rows (the whole width is shown only when W <= H)
constexpr int kFirstColumn = 19;      // first image column of the pixel table
constexpr int kTopRow = 10 * kLines;  // first image row of the pixel table

inline double AnalyticMtf(double f)
{
    const double gauss = std::exp(-2 * std::numbers::pi * std::numbers::pi * kSigma * kSigma * f * f);
    const double t = std::numbers::pi * kPixel * f;
    return gauss * (t == 0 ? 1.0 : std::abs(std::sin(t) / t));
}

// The step blurred by the Gaussian and averaged over the pixel aperture:
// H(x) = (F(x + a/2) - F(x - a/2)) / a with F(u) = u Phi(u/sigma) + sigma phi(u/sigma).
inline double EdgeResponse(double x)
{
    auto antiderivative = [](double u) {
        const double z = u / kSigma;
        return u * 0.5 * std::erfc(-z / std::sqrt(2.0)) +
               kSigma * std::exp(-0.5 * z * z) / std::sqrt(2 * std::numbers::pi);
    };
    return (antiderivative(x + kPixel / 2) - antiderivative(x - kPixel / 2)) / kPixel;
}

struct BarChart {
    double length = 0;                            // mm, margins included
    std::vector<std::pair<double, double>> bars;  // high intervals (mm)
    double groupTop[10] = {};                     // high edge of each group's first bar (mm)

    // A chart whose group `offPitchGroup` (if any) is printed at 1.2 times its
    // period, with as many bars as fit in the group's nominal extent.
    explicit BarChart(int offPitchGroup = 0)
    {
        length = 1 + 10 + 10 + 4.5 * kPeriods[1] + 2;
        for (int g = 2; g <= 9; ++g) length += 9.5 * kPeriods[g] + 2;
        double top = length - 1;
        bars.push_back({top - 10, top});
        top -= 20;
        for (int g = 1; g <= 9; ++g) {
            const double t = kPeriods[g];
            groupTop[g] = top;
            const double extent = (g == 1 ? 4.5 : 9.5) * t;
            const double pitch = g == offPitchGroup ? 1.2 * t : t;
            const int count = static_cast<int>(std::floor((extent - pitch / 2) / pitch + 1e-9)) + 1;
            for (int k = 0; k < count; ++k) bars.push_back({top - k * pitch - pitch / 2, top - k * pitch});
            top -= extent + 2;
        }
    }

    // Pixel exposure at chart position u (mm) of the pixel centre.
    double Exposure(double u) const
    {
        double level = 0;
        for (const auto& [a, b] : bars)
            if (u > a - 0.5 && u < b + 0.5) level += EdgeResponse(u - a) - EdgeResponse(u - b);
        return kLow + (kHigh - kLow) * level;
    }

    // Composite-profile samples needed to hold the whole chart.
    int Columns() const { return static_cast<int>(std::ceil(length / kPixel)); }
};

// The chart lying along x, each row down shifting it right by 1 / 17 pixel
// (the orientation of RadioButton1), in pixel values of a detector with
// L = 4 decades over 12 bits: P = log10(E) x 4096 / 4. Composite-profile
// sample i of the table that starts at kFirstColumn, kTopRow lies at chart
// position (i + 1) x 0.1 / 17 mm.
inline std::vector<std::uint8_t> ChartImage(const BarChart& chart)
{
    testdata::DicomImageFields fields;
    fields.columns = kSide;
    fields.rows = kSide;
    fields.pixelSpacing = "0.1\\0.1";
    fields.pixels.resize(std::size_t(kSide) * kSide);
    const int originPixels = kFirstColumn - kTopRow / kLines - 1;
    std::unordered_map<int, std::uint16_t> values;  // by sub-pixel position c x M - r
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c) {
            const int key = (c - originPixels) * kLines - r;
            auto found = values.find(key);
            if (found == values.end()) {
                const double u = key * kPixel / kLines;
                const double p = std::log10(chart.Exposure(u)) * 4096.0 / 4.0;
                found = values.emplace(key, static_cast<std::uint16_t>(std::lround(p))).first;
            }
            fields.pixels[std::size_t(r) * kSide + std::size_t(c)] = found->second;
        }
    }
    return testdata::BuildDicom(fields);
}

}  // namespace synthetic_chart

}  // namespace radmtf::testing
