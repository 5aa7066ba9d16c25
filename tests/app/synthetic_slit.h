// A synthetic tilted-slit radiograph whose presampled MTF is known: a
// Gaussian line spread of standard deviation sigma integrated over the pixel
// aperture a has MTF(f) = exp(-2 pi^2 sigma^2 f^2) |sinc(a f)|.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "dicom/dicom_builder.h"

namespace radmtf::testing {

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
// orientation button describes.
inline std::vector<std::uint8_t> SlitImage(int orientation, int lines, int columns, int rows)
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
                PixelValue(PixelExposure(distance));
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

}  // namespace radmtf::testing
