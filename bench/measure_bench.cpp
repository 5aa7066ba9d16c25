// Wall times of the real `radmtf measure` process: one 3072 x 3072 DICOM of
// a tilted slit with a 2048 x 17 ROI, and a folder of 100 such files in one
// call, on all cores and on one (--jobs 1); one 3072 x 3072 DICOM of a tilted
// edge with a 500 x 1000 ROI by the edge method. Prints the median of several
// runs.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "dicom/dicom_builder.h"
#include "synth/dicom_writer.h"
#include "synth/edge_scene.h"
#include "synth/plate_scene.h"

extern char** environ;

namespace {

using radmtf::bench::MedianMilliseconds;

// Runs the program with its output sent to /dev/null; returns its exit code.
int Run(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), RADMTF_BINARY);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, RADMTF_BINARY, &actions, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// CPU time (user + system, ms) the finished children have used so far. On a
// machine shared with other work the wall times include waiting for a core;
// the CPU time does not.
double ChildrenCpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The median wall time of `runs` runs, and the mean CPU time of one.
struct Timing {
    double wall = 0;
    double cpu = 0;
};
Timing Time(int runs, const std::vector<std::string>& arguments)
{
    const double cpuBefore = ChildrenCpuMilliseconds();
    const double wall = MedianMilliseconds(runs, [&] { Run(arguments); });
    return {wall, (ChildrenCpuMilliseconds() - cpuBefore) / runs};
}

// A slit 0.05 mm wide (Gaussian sigma) moving one pixel over 17 rows, on a
// logarithmic 12-bit detector.
std::vector<std::uint8_t> SlitImage(int side)
{
    radmtf::testdata::DicomImageFields fields;
    fields.rows = static_cast<std::uint16_t>(side);
    fields.columns = static_cast<std::uint16_t>(side);
    fields.pixelSpacing = "0.1\\0.1";
    fields.pixels.resize(std::size_t(side) * std::size_t(side));
    const auto cdf = [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); };
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            const double distance = c - (side / 2 - 7.3 + r / 17.0);
            const double exposure = 1.0 + 12000.0 * (cdf((distance + 0.5) * 2) - cdf((distance - 0.5) * 2));
            fields.pixels[std::size_t(r) * std::size_t(side) + std::size_t(c)] =
                static_cast<std::uint16_t>(std::lround(std::log10(exposure) * 1024.0));
        }
    return radmtf::testdata::BuildDicom(fields);
}

}  // namespace

// With a folder argument the files are written there and kept (for profiling).
int main(int argc, char** argv)
{
    const bool keep = argc > 1;
    const std::filesystem::path folder =
        keep ? std::filesystem::path(argv[1])
             : std::filesystem::temp_directory_path() / ("radmtf_measure_bench_" + std::to_string(getpid()));
    const std::filesystem::path files = folder / "files";
    std::filesystem::create_directories(files);
    const std::vector<std::uint8_t> bytes = SlitImage(3072);
    for (int i = 0; i < 100; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "slit%03d.dcm", i);
        std::ofstream(files / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // The files reach the disk before the timing, so their write-back does
    // not run alongside it.
    ::sync();
    const std::string one = (files / "slit000.dcm").string();
    const std::vector<std::string> options = {"--roi", "1536,1536,2048,17", "--extract", "--format", "csv"};
    auto with = [&](std::vector<std::string> head) {
        head.insert(head.end(), options.begin(), options.end());
        return head;
    };
    if (Run(with({"measure", "slit", one})) != 0) std::printf("the measurement failed\n");

    std::printf("radmtf measure, whole process: median wall ms (CPU ms per run)\n");
    const Timing single = Time(9, with({"measure", "slit", one}));
    std::printf("  one 3072x3072 DICOM, 2048x17 ROI:   %7.1f (%6.1f)  target 80\n", single.wall, single.cpu);
    const Timing parallel = Time(3, with({"measure", "slit", files.string()}));
    const Timing serial = Time(3, with({"measure", "slit", files.string(), "--jobs", "1"}));
    std::printf("  100 files in one call, all cores:   %7.1f (%6.1f)  target 3000\n", parallel.wall, parallel.cpu);
    std::printf("  100 files in one call, one thread:  %7.1f (%6.1f)\n", serial.wall, serial.cpu);
    std::printf("  speed-up:                           %7.2f           target 1.7\n", serial.wall / parallel.wall);

    // A vertical edge tilted by 2.5 degrees across the whole detector, at
    // 10^3 quanta per pixel.
    const std::string edge = (folder / "edge.dcm").string();
    radmtf::synth::EdgeScene scene;
    scene.across = 3072;
    scene.along = 3072;
    radmtf::synth::WriteDicomFile(
        edge, radmtf::synth::RenderEdge(scene, radmtf::synth::DetectorModel{}, {.quanta = 1000, .seed = 1}));
    ::sync();
    const std::vector<std::string> edgeRun = {"measure", "edge", edge, "--roi", "1536,1536,500,1000", "--format",
                                              "csv"};
    if (Run(edgeRun) != 0) std::printf("the edge measurement failed\n");
    const Timing edgeTiming = Time(9, edgeRun);
    std::printf("  edge, one 3072x3072 DICOM, 500x1000 ROI: %7.1f (%6.1f)  target 120\n", edgeTiming.wall,
                edgeTiming.cpu);

    // A 100 mm plate tilted by 3 degrees, no ROI: its four edges found and measured.
    const std::string plate = (folder / "plate.dcm").string();
    radmtf::synth::WriteDicomFile(
        plate, radmtf::synth::RenderPlates(
                   {3072, 3072, {{.centreX = 1536, .centreY = 1536, .side = 100, .angle = 3}}},
                   radmtf::synth::DetectorModel{}, {.quanta = 1000, .seed = 2}));
    ::sync();
    const std::vector<std::string> plateRun = {"measure", "edge", plate, "--format", "csv"};
    if (Run(plateRun) != 0) std::printf("the plate measurement failed\n");
    const Timing plateTiming = Time(9, plateRun);
    std::printf("  edge, one 3072x3072 DICOM of a plate, four edges found: %7.1f (%6.1f)  target 150\n",
                plateTiming.wall, plateTiming.cpu);
    if (!keep) std::filesystem::remove_all(folder);
    return 0;
}
