// The slit method from image to MTF curve, end to end through the windows,
// on synthetic tilted-slit radiographs whose presampled MTF is known:
// a Gaussian line spread of standard deviation sigma integrated over the
// pixel aperture a has MTF(f) = exp(-2 pi^2 sigma^2 f^2) |sinc(a f)|.
#include <cmath>
#include <sstream>

#include "app_fixture.h"
#include "dicom/dicom_builder.h"

namespace radmtf::testing {
namespace {

constexpr double kPixel = 0.1;   // mm
constexpr double kSigma = 0.05;  // mm

double GaussianCdf(double x)
{
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

// Exposure of a pixel whose centre lies `distance` pixels from the slit:
// the Gaussian integrated over the pixel, on a background of 1.
double PixelExposure(double distance)
{
    const double upper = (distance + 0.5) * kPixel / kSigma;
    const double lower = (distance - 0.5) * kPixel / kSigma;
    return 1.0 + 12000.0 * (GaussianCdf(upper) - GaussianCdf(lower));
}

// Pixel value of the logarithmic detector (L = 4 decades over 12 bits).
std::uint16_t PixelValue(double exposure)
{
    return static_cast<std::uint16_t>(std::lround(std::log10(exposure) * 4096.0 / 4.0));
}

// A slit tilted by one pixel over `lines` rows (orientations 1, 2: nearly
// vertical) or columns (3, 4: nearly horizontal), in the direction each
// orientation button describes.
std::vector<std::uint8_t> SlitImage(int orientation, int lines, int columns, int rows)
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

double AnalyticMtf(double f)
{
    const double gauss = std::exp(-2.0 * M_PI * M_PI * kSigma * kSigma * f * f);
    const double x = M_PI * kPixel * f;
    const double sinc = x == 0 ? 1.0 : std::abs(std::sin(x) / x);
    return gauss * sinc;
}

class SlitMethodEndToEnd : public WindowTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(SlitMethodEndToEnd, ListsThePresampledMtfOfATiltedSlit)
{
    const auto [orientation, lines] = GetParam();
    const bool vertical = orientation <= 2;
    const int columns = vertical ? 256 : 64;
    const int rows = vertical ? 64 : 256;
    const std::string path = WriteFile("slit.dcm", SlitImage(orientation, lines, columns, rows));
    const std::string roi = vertical ? "set Form1.EditROIPosX 128\nset Form1.EditROIPosY 32\n"
                                       "set Form1.EditROISizeX 200\nset Form1.EditROISizeY 40\n"
                                     : "set Form1.EditROIPosX 32\nset Form1.EditROIPosY 128\n"
                                       "set Form1.EditROISizeX 40\nset Form1.EditROISizeY 200\n";
    const std::string out =
        Run("answer " + path + "\nclick Form1.BitBtnLoad\n" + roi +
            "click Form1.ButtonDisp\nclick Form1.ButtonToTable\n"
            "set Form2.RadioButton" +
            std::to_string(orientation) +
            " 1\n"
            "set Form2.EditMALine " +
            std::to_string(lines) +
            "\n"
            "click Form2.Button2Dto1D\nclick Form2.ButtonSmooth\nclick Form2.ButtonExtract\n"
            "click Form2.ButtonToExp\nclick Form2.ButtonSlit\nprint Form2.PageControl1\n"
            "print Form2.MemoMTF\n");
    std::istringstream lines_(out);
    std::string line;
    std::getline(lines_, line);
    EXPECT_EQ(line, "TabSheetMTF");
    int checked = 0;
    double worst = 0;
    while (std::getline(lines_, line)) {
        ASSERT_NE(line.find('\t'), std::string::npos) << line;
        const double f = std::stod(line.substr(0, line.find('\t')));
        const double m = std::stod(line.substr(line.find('\t') + 1));
        if (f > 5.0) continue;  // up to the Nyquist frequency of 0.1 mm pixels
        worst = std::max(worst, std::abs(m - AnalyticMtf(f)));
        EXPECT_NEAR(m, AnalyticMtf(f), 0.01) << "f = " << f;
        ++checked;
    }
    // A step of 1 / (2048 x 0.1 / M) cycles/mm up to 5 cycles/mm.
    EXPECT_EQ(checked, static_cast<int>(std::floor(5.0 * 2048 * kPixel / lines)) + 1);
    RecordProperty("worst", std::to_string(worst));
}

INSTANTIATE_TEST_SUITE_P(Orientations, SlitMethodEndToEnd,
                         ::testing::Values(std::make_pair(1, 17), std::make_pair(2, 17),
                                           std::make_pair(3, 10), std::make_pair(4, 12)));

}  // namespace
}  // namespace radmtf::testing
