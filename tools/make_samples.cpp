// Writes the sample radiographs of samples/ and their README from one stated
// detector model, so anyone can remake them bit for bit:
//   radmtf_make_samples DIR
// slit.dcm  a 10 µm slit tilted by one pixel over 17 rows (orientation 1)
// chart.dcm the square-wave bar chart, tilted the same way
// edge.dcm  an edge tilted by 2.5°
// flat.dcm  a flat field
// dqe_flat_1..3.dcm, dqe_edge_u.dcm, dqe_edge_v.dcm  the DQE series of a
//           linear detector: flat fields, a vertical and a horizontal edge
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/numtext.h"
#include "synth/detector_model.h"
#include "synth/dicom_writer.h"
#include "synth/edge_field.h"
#include "synth/edge_scene.h"
#include "synth/flat_field.h"
#include "synth/objects.h"
#include "synth/radiograph.h"

namespace {

using namespace radmtf;
using namespace radmtf::synth;

// The detector: 0.1 mm pixels with a full aperture, a Gaussian blur of
// 0.04 mm and 10 % of the signal scattered exponentially over 0.15 mm.
DetectorModel Model()
{
    DetectorModel model;
    model.pixelPitch = 0.1;
    model.aperture = 0.1;
    model.sigma = 0.04;
    model.expScale = 0.15;
    model.expWeight = 0.1;
    return model;
}

// L = 4 decades over 12 bits as the analysis window assumes by default; the
// open level 3.9 decades up, so the dark pedestal of the model is 10^-3.9.
constexpr ExposureScale kScale{4.0, 12, 0.1};
constexpr double kLines = 17;  // MA-Line#, the window's default
constexpr double kSlitWidth = 0.01;

// The DQE series' detector: linear (PV = 100 + 2000 K), a Gaussian blur of
// 0.08 mm on 3 x 3 cells per pixel, and the quanta of a DQE(0) near 0.7 at
// RQA5 (SNR^2_in 29653 / (mm^2 uGy)); 2.5 uGy on the open field.
FlatFieldDetector DqeDetector()
{
    FlatFieldDetector d;
    d.gain = 2000.0;
    d.quantaPerUGy = 0.7 * 29653 * d.dx * d.dy;
    return d;
}
constexpr double kDqeKerma = 2.5;
constexpr std::int32_t kDqeSize = 512;
constexpr int kDqeFlats = 3;

Radiograph DqeRadiograph(const std::vector<std::int32_t>& values)
{
    Radiograph image;
    image.columns = image.rows = kDqeSize;
    image.pixelSpacing = 0.1;
    image.bitsStored = 16;
    for (const std::int32_t v : values) image.pixels.push_back(static_cast<std::uint16_t>(v));
    return image;
}

struct Sample {
    const char* name;
    Placement placement;
    ObjectProfile object;
    NoiseSettings noise;
};

std::string Mtf3(double value)
{
    return FloatToStrRounded(value, 3);
}

std::string ReadmeText(const DetectorModel& model)
{
    std::string text =
        "# Sample radiographs\n"
        "\n"
        "Synthetic 16-bit DICOM images to try the program on, written by\n"
        "`build/tools/radmtf_make_samples samples` (source `tools/make_samples.cpp`) from\n"
        "one detector model, with fixed seeds: rerunning it gives the same files.\n"
        "\n"
        "## The detector\n"
        "\n"
        "- Pixel spacing 0.1 mm, the pixel aperture as wide as the pitch; Nyquist\n"
        "  frequency 5 cycles/mm.\n"
        "- Line spread: 90 % a Gaussian of sigma 0.04 mm, 10 % a two-sided\n"
        "  exponential exp(-|x| / 0.15 mm) (scatter).\n"
        "- Quantum noise: Poisson counts (seeded), pixel value\n"
        "  P = 4096 / 4 × log10(exposure) (L = 4, BitsStored 12, the analysis\n"
        "  window's defaults), the open level 3.9 decades above pixel value 0.\n"
        "\n"
        "True presampled MTF = [0.9 exp(-2 pi^2 sigma^2 f^2) + 0.1 / (1 + (2 pi b f)^2)] × |sinc(0.1 mm × "
        "f)|:\n"
        "\n"
        "| cycles/mm | true MTF |\n"
        "|---|---|\n";
    for (int k = 1; k <= 10; ++k) {
        const double f = 0.5 * k;
        text += "| " + FloatToStr(f) + " | " + Mtf3(model.PresampledMtf(f)) + " |\n";
    }
    text +=
        "\n"
        "## The files and how to measure them\n"
        "\n"
        "The slit and the chart are tilted the way orientation button 1 shows\n"
        "(lines nearly vertical, moving one pixel to the right over 17 rows:\n"
        "MA-Line# 17).\n"
        "\n"
        "- `slit.dcm` (256 × 128): a 10 µm slit near column 128 (the slit's\n"
        "  own width lowers the MTF by under 0.5 % up to 5 cycles/mm). Settings:\n"
        "  ROI centre 128, 64 and size 64 × 64 (the default ROI after loading),\n"
        "  orientation 1, MA-Line# 17, L 4, BitsStored 12. Clicks: toMTF, 2Dto1D,\n"
        "  Smooth, ToExp, then CalMTF of the Slit-Method panel (LSF page). The MTF\n"
        "  listed agrees with the table within 0.02 up to 5 cycles/mm.\n"
        "- `chart.dcm` (840 × 48): the square-wave bar chart, nine groups from\n"
        "  0.5 to 6 cycles/mm with the large square at the right. Settings: ROI\n"
        "  centre 420, 24 and size 830 × 34, orientation 1, MA-Line# 17, L 4,\n"
        "  BitsStored 12. Clicks: toMTF, 2Dto1D, Smooth, then CalMTF of the\n"
        "  SWC-Method panel (Profile page). The points agree with the table\n"
        "  within 0.02 up to 5 cycles/mm (6 cycles/mm lies beyond Nyquist).\n"
        "- `edge.dcm` (256 × 256): a vertical edge, dark (0.5 % transmission) to\n"
        "  bright, tilted by 2.5°. Settings: ROI centre 128, 128 and size\n"
        "  200 × 200, L 4, BitsStored 12. Clicks: toMTF, then CalMTF of the\n"
        "  Edge-Method panel (Edge page); no orientation or MA-Line# is needed.\n"
        "  The MTF listed agrees with the table within 0.02 up to 5 cycles/mm.\n"
        "- `flat.dcm` (256 × 256): a uniform exposure, for the viewer's statistics\n"
        "  (mean pixel value 3994, the noise of 1000 quanta per pixel).\n"
        "\n"
        "## The DQE series\n"
        "\n"
        "A second detector, linear: PV = 100 + 2000 × K (K in µGy), BitsStored 16,\n"
        "pixel spacing 0.1 mm, Poisson quanta on 3 × 3 cells per pixel (207.571\n"
        "per pixel per µGy: a DQE(0) of 0.7 at RQA5) blurred by a Gaussian of\n"
        "sigma 0.08 mm, then summed over the pixel. All 512 × 512 at 2.5 µGy\n"
        "on the open field:\n"
        "\n"
        "- `dqe_flat_1.dcm` … `dqe_flat_3.dcm`: flat fields (seeds 21 to 23);\n"
        "- `dqe_edge_u.dcm`: a vertical edge tilted by 3° (10 % transmission),\n"
        "  its MTF along u; `dqe_edge_v.dcm`: the same edge horizontal, along v.\n"
        "\n"
        "    radmtf measure dqe --flat samples/dqe_flat_1.dcm samples/dqe_flat_2.dcm \\\n"
        "        samples/dqe_flat_3.dcm --edge samples/dqe_edge_u.dcm \\\n"
        "        --edge samples/dqe_edge_v.dcm --kerma 2.5 --quality RQA5 \\\n"
        "        --conversion linear:100,2000\n";
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: radmtf_make_samples DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const DetectorModel model = Model();
    const BarChartLayout chart;

    Placement slitAt{.columns = 256,
                     .rows = 128,
                     .orientation = ProfileOrientation::kRowsLastToFirst,
                     .linesPerPixel = kLines,
                     .origin = 124.3};
    Placement chartAt{.columns = 840,
                      .rows = 48,
                      .orientation = ProfileOrientation::kRowsLastToFirst,
                      .linesPerPixel = kLines,
                      .origin = 8.6};
    Placement flatAt{.columns = 256,
                     .rows = 256,
                     .orientation = ProfileOrientation::kRowsLastToFirst,
                     .linesPerPixel = kLines,
                     .origin = 0};
    const Sample samples[] = {
        {"slit", slitAt, SlitObject(model, kSlitWidth, 0.0), {.quanta = 100000, .seed = 11, .poisson = true}},
        {"chart", chartAt, BarChartObject(model, chart, 0.1), {.quanta = 20000, .seed = 12, .poisson = true}},
        {"flat", flatAt, FlatObject(), {.quanta = 1000, .seed = 13, .poisson = true}},
    };
    for (const Sample& sample : samples) {
        const Radiograph image = Render(sample.placement, sample.object, model, sample.noise, kScale);
        const std::string path = dir + "/" + sample.name + ".dcm";
        if (!WriteDicomFile(path, image, std::string("radmtf sample: ") + sample.name)) {
            std::fprintf(stderr, "radmtf_make_samples: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    const EdgeScene edge{
        .across = 256, .along = 256, .vertical = true, .rising = true, .tilt = 2.5, .pedestal = 0.005};
    const Radiograph edgeImage =
        RenderEdge(edge, model, {.quanta = 20000, .seed = 14, .poisson = true}, kScale);
    if (!WriteDicomFile(dir + "/edge.dcm", edgeImage, "radmtf sample: edge")) {
        std::fprintf(stderr, "radmtf_make_samples: cannot write %s/edge.dcm\n", dir.c_str());
        return 1;
    }
    const FlatFieldDetector dqe = DqeDetector();
    std::vector<std::pair<std::string, std::vector<std::int32_t>>> dqeImages;
    for (int i = 1; i <= kDqeFlats; ++i)
        dqeImages.push_back({"dqe_flat_" + std::to_string(i), FlatField(dqe, kDqeSize, kDqeSize, kDqeKerma,
                                                                        static_cast<std::uint64_t>(20 + i))});
    EdgeField vertical, horizontal;
    horizontal.vertical = false;
    dqeImages.push_back({"dqe_edge_u", EdgeFieldImage(dqe, vertical, kDqeSize, kDqeSize, kDqeKerma, 24)});
    dqeImages.push_back({"dqe_edge_v", EdgeFieldImage(dqe, horizontal, kDqeSize, kDqeSize, kDqeKerma, 25)});
    for (const auto& [name, values] : dqeImages) {
        const std::string path = dir + "/" + name + ".dcm";
        if (!WriteDicomFile(path, DqeRadiograph(values), "radmtf sample: " + name)) {
            std::fprintf(stderr, "radmtf_make_samples: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    std::ofstream readme(dir + "/README.md", std::ios::binary);
    readme << ReadmeText(model);
    if (!readme.good()) {
        std::fprintf(stderr, "radmtf_make_samples: cannot write %s/README.md\n", dir.c_str());
        return 1;
    }
    return 0;
}
