#include "nps/nnps.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <complex>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "core/fft.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

constexpr std::int64_t kMinimumIndependentPixels = 4'000'000;

// Runs task(i, worker) for i = 0 .. count-1 on `threads` workers; the first
// failure of any task is rethrown once all have stopped.
template <typename Task>
void ParallelFor(std::size_t count, unsigned threads, Task&& task)
{
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    const auto work = [&](unsigned worker) {
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                task(i, worker);
            } catch (...) {
                const std::lock_guard lock(failureMutex);
                if (!failure) failure = std::current_exception();
                next = count;
            }
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work, t);
    work(0);
    for (std::thread& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
}

// K(PV) for the values of one image's area: a table over their range when
// it is small (16-bit data), the conversion itself otherwise.
class Linearizer {
public:
    Linearizer(const Conversion& conversion, std::int32_t low, std::int32_t high)
        : conversion_(conversion), low_(low)
    {
        const std::int64_t range = std::int64_t{high} - low + 1;
        if (range > (std::int64_t{1} << 20)) return;
        table_.resize(static_cast<std::size_t>(range));
        for (std::int64_t j = 0; j < range; ++j)
            table_[static_cast<std::size_t>(j)] = conversion.Kerma(static_cast<double>(low + j));
    }

    double operator()(std::int32_t pv) const
    {
        return table_.empty() ? conversion_.Kerma(pv)
                              : table_[static_cast<std::size_t>(std::int64_t{pv} - low_)];
    }

private:
    const Conversion& conversion_;
    std::int32_t low_;
    std::vector<double> table_;
};

// The trend of one image's area: the least-squares fit of 1, x, y, x^2, xy,
// y^2 over the whole area. On a full rectangle the products p_a(x) q_b(y),
// a + b <= 2, of the discrete orthogonal polynomials p0 = 1, p1 = x - c,
// p2 = (x - c)^2 - (n^2 - 1)/12 span the same space and are orthogonal, so
// each coefficient is a ratio of sums, gathered in one pass.
struct Trend {
    std::vector<double> px1, px2, py1, py2;
    double c00 = 0, c10 = 0, c20 = 0, c01 = 0, c11 = 0, c02 = 0;
};

struct Area {
    std::unique_ptr<Linearizer> linear;
    Trend trend;
    long double coveredSum = 0.0L;
    std::int64_t nonPositive = 0;
    std::int64_t saturated = 0;
};

void Polynomials(std::int32_t n, std::vector<double>& p1, std::vector<double>& p2,
                 std::array<long double, 3>& norms)
{
    p1.resize(static_cast<std::size_t>(n));
    p2.resize(static_cast<std::size_t>(n));
    const double c = (n - 1) / 2.0, q = (static_cast<double>(n) * n - 1.0) / 12.0;
    for (std::int32_t i = 0; i < n; ++i) {
        p1[static_cast<std::size_t>(i)] = i - c;
        p2[static_cast<std::size_t>(i)] = (i - c) * (i - c) - q;
    }
    const long double ln = n;
    norms = {ln, ln * (ln * ln - 1) / 12, ln * (ln * ln - 1) * (ln * ln - 4) / 180};
}

Area PrepareArea(const NnpsImage& image, const NnpsGrid& grid, const Conversion& conversion)
{
    Area area;
    const auto row = [&](std::int32_t y) {
        return image.values +
               static_cast<std::size_t>(grid.areaY + y) * static_cast<std::size_t>(image.columns) +
               grid.areaX;
    };
    std::int32_t low = INT32_MAX, high = INT32_MIN;
    for (std::int32_t y = 0; y < grid.areaHeight; ++y) {
        const auto [lo, hi] = std::minmax_element(row(y), row(y) + grid.areaWidth);
        low = std::min(low, *lo);
        high = std::max(high, *hi);
        for (const std::int32_t* v = row(y); v != row(y) + grid.areaWidth; ++v)
            area.saturated += *v >= image.saturation;
    }
    area.linear = std::make_unique<Linearizer>(conversion, low, high);
    const Linearizer& kerma = *area.linear;

    Trend& t = area.trend;
    std::array<long double, 3> nx{}, ny{};
    Polynomials(grid.areaWidth, t.px1, t.px2, nx);
    Polynomials(grid.areaHeight, t.py1, t.py2, ny);
    const std::int32_t cx = grid.gridX - grid.areaX, cy = grid.gridY - grid.areaY;
    long double s[3][3] = {};  // s[a][b] = sum K p_a(x) q_b(y)
    for (std::int32_t y = 0; y < grid.areaHeight; ++y) {
        const std::int32_t* values = row(y);
        double r0 = 0.0, r1 = 0.0, r2 = 0.0, covered = 0.0;
        for (std::int32_t x = 0; x < grid.areaWidth; ++x) {
            const double k = kerma(values[x]);
            if (!(k > 0.0) || !std::isfinite(k)) ++area.nonPositive;
            r0 += k;
            r1 += k * t.px1[static_cast<std::size_t>(x)];
            r2 += k * t.px2[static_cast<std::size_t>(x)];
            if (x >= cx && x < cx + grid.coveredWidth()) covered += k;
        }
        if (y >= cy && y < cy + grid.coveredHeight()) area.coveredSum += covered;
        const long double q1 = t.py1[static_cast<std::size_t>(y)], q2 = t.py2[static_cast<std::size_t>(y)];
        s[0][0] += r0;
        s[1][0] += r1;
        s[2][0] += r2;
        s[0][1] += r0 * q1;
        s[1][1] += r1 * q1;
        s[0][2] += r0 * q2;
    }
    t.c00 = static_cast<double>(s[0][0] / (nx[0] * ny[0]));
    t.c10 = static_cast<double>(s[1][0] / (nx[1] * ny[0]));
    t.c20 = static_cast<double>(s[2][0] / (nx[2] * ny[0]));
    t.c01 = static_cast<double>(s[0][1] / (nx[0] * ny[1]));
    t.c11 = static_cast<double>(s[1][1] / (nx[1] * ny[1]));
    t.c02 = static_cast<double>(s[0][2] / (nx[0] * ny[2]));
    return area;
}

// A ROI of the detrended kerma (x0, y0 in area pixels).
void DetrendedRoi(const NnpsImage& image, const NnpsGrid& grid, const Area& area, std::int32_t x0,
                  std::int32_t y0, std::int32_t n, double* roi)
{
    const Trend& t = area.trend;
    const Linearizer& kerma = *area.linear;
    for (std::int32_t y = 0; y < n; ++y) {
        const std::size_t ay = static_cast<std::size_t>(y0 + y);
        const std::int32_t* values =
            image.values +
            (static_cast<std::size_t>(grid.areaY) + ay) * static_cast<std::size_t>(image.columns) +
            grid.areaX + x0;
        const double base = t.c00 + t.c01 * t.py1[ay] + t.c02 * t.py2[ay], slope = t.c10 + t.c11 * t.py1[ay];
        const double* px1 = t.px1.data() + x0;
        const double* px2 = t.px2.data() + x0;
        double* out = roi + static_cast<std::size_t>(y) * static_cast<std::size_t>(n);
        for (std::int32_t x = 0; x < n; ++x)
            out[x] = kerma(values[x]) - (base + slope * px1[x] + t.c20 * px2[x]);
    }
}

// The full roi x roi spectrum, zero frequency at the centre, from the
// half spectrum of a real transform: S(-k, -l) = S(k, l).
std::vector<double> FullSpectrum(const std::vector<double>& half, std::int32_t n)
{
    const std::int32_t h = n / 2 + 1;
    std::vector<double> full(static_cast<std::size_t>(n) * n);
    for (std::int32_t l = -n / 2; l < n / 2; ++l) {
        for (std::int32_t k = -n / 2; k < n / 2; ++k) {
            const std::int32_t kk = k >= 0 ? k : -k;
            const std::int32_t ll = k >= 0 ? l : -l;
            const std::int32_t r = ((ll % n) + n) % n;
            full[static_cast<std::size_t>(l + n / 2) * n + (k + n / 2)] =
                half[static_cast<std::size_t>(r) * h + kk];
        }
    }
    return full;
}

struct Profiles {
    std::vector<NnpsPoint> points;
    std::vector<std::int64_t> countsU, countsV;
};

Profiles ProfilesWithCounts(const std::vector<double>& s, double dx, double dy, const NnpsSettings& settings)
{
    const std::int32_t n = kNnpsRoi;
    const double nyquist = std::min(0.5 / dx, 0.5 / dy);
    Profiles p;
    for (std::int64_t j = 1; j * settings.frequencyStep <= nyquist * (1 + 1e-12); ++j)
        p.points.push_back({static_cast<double>(j) * settings.frequencyStep});
    const std::size_t bins = p.points.size();
    p.countsU.assign(bins, 0);
    p.countsV.assign(bins, 0);
    std::vector<long double> sumU(bins), sumV(bins);
    const auto add = [&](double f, double hw, double value, std::vector<long double>& sum,
                         std::vector<std::int64_t>& counts) {
        const auto first = std::max<std::int64_t>(
            1, static_cast<std::int64_t>(std::ceil((f - hw) / settings.frequencyStep - 1e-9)));
        const auto last = static_cast<std::int64_t>(std::floor((f + hw) / settings.frequencyStep + 1e-9));
        for (std::int64_t j = first; j <= last && j <= static_cast<std::int64_t>(bins); ++j) {
            if (std::abs(f - p.points[static_cast<std::size_t>(j - 1)].frequency) > hw * (1 + 1e-12))
                continue;
            sum[static_cast<std::size_t>(j - 1)] += value;
            ++counts[static_cast<std::size_t>(j - 1)];
        }
    };
    const double hwU = settings.binHalfWidthPixels / dx, hwV = settings.binHalfWidthPixels / dy;
    for (std::int32_t a = -settings.axisLines; a <= settings.axisLines; ++a) {
        if (a == 0) continue;
        for (std::int32_t b = -n / 2; b < n / 2; ++b) {
            const double fa = a / (n * dy), fb = b / (n * dx);
            // Along u: row v = a, column u = b.
            add(std::hypot(fb, fa), hwU, s[static_cast<std::size_t>(a + n / 2) * n + (b + n / 2)], sumU,
                p.countsU);
            // Along v: column u = a, row v = b.
            const double ga = a / (n * dx), gb = b / (n * dy);
            add(std::hypot(ga, gb), hwV, s[static_cast<std::size_t>(b + n / 2) * n + (a + n / 2)], sumV,
                p.countsV);
        }
    }
    for (std::size_t j = 0; j < bins; ++j) {
        p.points[j].nnpsU = p.countsU[j] > 0 ? static_cast<double>(sumU[j] / p.countsU[j]) : 0.0;
        p.points[j].nnpsV = p.countsV[j] > 0 ? static_cast<double>(sumV[j] / p.countsV[j]) : 0.0;
    }
    return p;
}

}  // namespace

std::int32_t NnpsGrid::coveredWidth() const
{
    return roisX > 0 ? kNnpsRoi + (roisX - 1) * kNnpsStep : 0;
}
std::int32_t NnpsGrid::coveredHeight() const
{
    return roisY > 0 ? kNnpsRoi + (roisY - 1) * kNnpsStep : 0;
}

NnpsGrid LayOutNnpsGrid(std::int32_t columns, std::int32_t rows, double dx, double dy,
                        const NnpsSettings& settings)
{
    NnpsGrid g;
    const auto side = [&](std::int32_t size, double pitch) {
        const long double wanted = std::round(static_cast<long double>(settings.areaMm) / pitch);
        return wanted >= size ? size : static_cast<std::int32_t>(wanted);
    };
    g.areaWidth = side(columns, dx);
    g.areaHeight = side(rows, dy);
    g.areaX = (columns - g.areaWidth) / 2;
    g.areaY = (rows - g.areaHeight) / 2;
    const auto count = [&](std::int32_t size) {
        return size < kNnpsRoi ? 0 : (size - kNnpsRoi) / kNnpsStep + 1;
    };
    g.roisX = count(g.areaWidth);
    g.roisY = count(g.areaHeight);
    const auto extent = [&](std::int32_t r) { return r > 0 ? kNnpsRoi + (r - 1) * kNnpsStep : 0; };
    g.gridX = g.areaX + (g.areaWidth - extent(g.roisX)) / 2;
    g.gridY = g.areaY + (g.areaHeight - extent(g.roisY)) / 2;
    return g;
}

std::vector<NnpsPoint> NnpsProfiles(const std::vector<double>& nnps2d, double dx, double dy,
                                    const NnpsSettings& settings)
{
    return ProfilesWithCounts(nnps2d, dx, dy, settings).points;
}

NnpsResult MeasureNnps(std::span<const NnpsImage> images, const Conversion& conversion,
                       const NnpsSettings& settings)
{
    if (images.empty()) ThrowFailure(FailureCode::kNnpsNoRoi, {"0 x 0"});
    const NnpsImage& first = images.front();
    for (const NnpsImage& image : images) {
        const bool valid = image.values != nullptr && image.columns > 0 && image.rows > 0 && image.dx > 0.0 &&
                           image.dy > 0.0 && std::isfinite(image.dx) && std::isfinite(image.dy);
        if (!valid || image.columns != first.columns || image.rows != first.rows || image.dx != first.dx ||
            image.dy != first.dy)
            ThrowFailure(FailureCode::kNnpsMixedImages, {image.name});
    }
    const std::int32_t n = kNnpsRoi;
    const NnpsGrid grid = LayOutNnpsGrid(first.columns, first.rows, first.dx, first.dy, settings);
    if (grid.roisX < 1 || grid.roisY < 1)
        ThrowFailure(FailureCode::kNnpsNoRoi, {IntToStr(grid.areaWidth) + " x " + IntToStr(grid.areaHeight)});

    NnpsResult result;
    result.settings = settings;
    result.dx = first.dx;
    result.dy = first.dy;
    const bool smallArea = grid.areaWidth < std::round(settings.areaMm / first.dx) ||
                           grid.areaHeight < std::round(settings.areaMm / first.dy);
    if (smallArea)
        result.warnings.emplace_back(
            FailureCode::kNnpsSmallArea,
            std::vector<std::string>{FormatFixed(grid.areaWidth * first.dx, 1) + " x " +
                                     FormatFixed(grid.areaHeight * first.dy, 1)});

    const unsigned threads =
        settings.threads > 0 ? settings.threads : std::max(1u, std::thread::hardware_concurrency());

    // Linearise and detrend every image.
    std::vector<Area> areas(images.size());
    ParallelFor(images.size(), threads,
                [&](std::size_t i, unsigned) { areas[i] = PrepareArea(images[i], grid, conversion); });
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (areas[i].nonPositive > 0)
            ThrowFailure(FailureCode::kNnpsNonPositiveKerma,
                         {IntToStr(areas[i].nonPositive), images[i].name});
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (areas[i].saturated > 0)
            result.warnings.emplace_back(
                FailureCode::kNnpsSaturated,
                std::vector<std::string>{IntToStr(areas[i].saturated), images[i].name});
    }

    // Groups for the spread: the images, or the ROI rows (columns) of one.
    const std::size_t imageCount = images.size();
    std::int32_t groups = static_cast<std::int32_t>(imageCount);
    bool byColumn = false;
    if (imageCount == 1) {
        groups = grid.roisY >= 2 ? grid.roisY : grid.roisX;
        byColumn = grid.roisY < 2;
    }
    const std::size_t half = static_cast<std::size_t>(n) * static_cast<std::size_t>(n / 2 + 1);
    // Each group's sum is made by one task, in ROI order, so that a result
    // never depends on how the work was shared between threads.
    std::vector<std::vector<double>> sums(static_cast<std::size_t>(groups), std::vector<double>(half, 0.0));
    const std::size_t tasks = imageCount > 1 ? imageCount : static_cast<std::size_t>(grid.roisY);
    ParallelFor(tasks, threads, [&](std::size_t task, unsigned) {
        const std::size_t image = imageCount > 1 ? task : 0;
        const auto firstRow = static_cast<std::int32_t>(imageCount > 1 ? 0 : task);
        const std::int32_t endRow = imageCount > 1 ? grid.roisY : firstRow + 1;
        std::vector<double, FftAllocator<double>> roi(static_cast<std::size_t>(n) * n);
        std::vector<std::complex<double>, FftAllocator<std::complex<double>>> spectrum(half);
        for (std::int32_t ry = firstRow; ry < endRow; ++ry) {
            const std::int32_t y0 = grid.gridY - grid.areaY + ry * kNnpsStep;
            for (std::int32_t rx = 0; rx < grid.roisX; ++rx) {
                const std::int32_t x0 = grid.gridX - grid.areaX + rx * kNnpsStep;
                DetrendedRoi(images[image], grid, areas[image], x0, y0, n, roi.data());
                RealFft2d(roi.data(), spectrum.data(), static_cast<std::size_t>(n),
                          static_cast<std::size_t>(n));
                const std::size_t group =
                    imageCount > 1 ? image : static_cast<std::size_t>(byColumn ? rx : ry);
                std::vector<double>& sum = sums[group];
                for (std::size_t j = 0; j < half; ++j) sum[j] += std::norm(spectrum[j]);
            }
        }
    });

    long double covered = 0.0L;
    for (const Area& area : areas) covered += area.coveredSum;
    const std::int64_t coveredPixels = static_cast<std::int64_t>(grid.coveredWidth()) * grid.coveredHeight();
    const long double kbar = covered / (static_cast<long double>(coveredPixels) * imageCount);
    result.meanSignal = static_cast<double>(kbar);
    result.rois = static_cast<std::int64_t>(imageCount) * grid.roisX * grid.roisY;
    result.pixels = coveredPixels * static_cast<std::int64_t>(imageCount);
    result.groups = groups;
    if (result.pixels < kMinimumIndependentPixels)
        result.warnings.emplace_back(FailureCode::kNnpsFewPixels,
                                     std::vector<std::string>{IntToStr(result.pixels)});

    // NNPS = dx dy / (M n^2) sum |DFT|^2 / Kbar^2, per group and in all.
    const std::int64_t perGroup = result.rois / groups;
    const long double scale =
        static_cast<long double>(first.dx) * first.dy / (static_cast<long double>(n) * n * kbar * kbar);
    std::vector<double> total(half, 0.0);
    std::vector<std::vector<NnpsPoint>> groupPoints;
    for (std::int32_t g = 0; g < groups; ++g) {
        std::vector<double>& group = sums[static_cast<std::size_t>(g)];
        for (std::size_t j = 0; j < half; ++j) {
            total[j] += group[j];
            group[j] = static_cast<double>(group[j] * scale / perGroup);
        }
        if (groups > 1)
            groupPoints.push_back(NnpsProfiles(FullSpectrum(group, n), first.dx, first.dy, settings));
    }
    for (double& v : total) v = static_cast<double>(v * scale / result.rois);
    result.nnps2d = FullSpectrum(total, n);
    const Profiles profiles = ProfilesWithCounts(result.nnps2d, first.dx, first.dy, settings);
    result.points = profiles.points;

    // Standard uncertainty: the spread of the group means over sqrt(groups);
    // with a single ROI, that of an average of periodogram values (each of
    // relative SD 1, half of them mirror images of the other half).
    for (std::size_t j = 0; j < result.points.size(); ++j) {
        NnpsPoint& p = result.points[j];
        if (groups > 1) {
            long double su = 0.0L, sv = 0.0L;
            for (const auto& gp : groupPoints) {
                su += (gp[j].nnpsU - p.nnpsU) * static_cast<long double>(gp[j].nnpsU - p.nnpsU);
                sv += (gp[j].nnpsV - p.nnpsV) * static_cast<long double>(gp[j].nnpsV - p.nnpsV);
            }
            // Rows of half-overlapping ROIs: neighbours' periodograms
            // correlate by about the squared overlap, 1/4, which narrows
            // their spread and widens the mean's: sqrt(1 + 2/4).
            const long double overlap = imageCount > 1 ? 1.0L : 1.5L;
            p.uNnpsU = static_cast<double>(std::sqrt(overlap * su / (groups - 1) / groups));
            p.uNnpsV = static_cast<double>(std::sqrt(overlap * sv / (groups - 1) / groups));
        } else {
            const auto relative = [](std::int64_t count) { return count > 1 ? std::sqrt(2.0 / count) : 1.0; };
            p.uNnpsU = p.nnpsU * relative(profiles.countsU[j]);
            p.uNnpsV = p.nnpsV * relative(profiles.countsV[j]);
        }
    }
    return result;
}

}  // namespace radmtf
