#include "dqe/dqe.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "core/numtext.h"

namespace radmtf {

namespace {

// SNR^2_in (1 / (mm^2 uGy)) for RQA3, RQA5, RQA7, RQA9: IEC 62220-1-1:2015
// Table 3 (spectra after IEC 61267:2005) and IEC 62220-1:2003 Table 2.
constexpr double kSnr2In2015[] = {20673.0, 29653.0, 32490.0, 31077.0};
constexpr double kSnr2In2003[] = {21759.0, 30174.0, 32362.0, 31077.0};

std::string Text(double x)
{
    return FloatToStr(static_cast<long double>(x));
}

// The MTF and its uncertainty at f, linearly between the curve's points;
// nullopt outside the curve.
struct MtfAt {
    double mtf = NAN, u = NAN;
};
std::optional<MtfAt> Interpolate(const MtfCurve& c, double f)
{
    const std::size_t n = c.frequency.size();
    if (n == 0 || f < c.frequency.front() || f > c.frequency.back()) return std::nullopt;
    const auto upper = std::lower_bound(c.frequency.begin(), c.frequency.end(), f);
    const std::size_t j = static_cast<std::size_t>(upper - c.frequency.begin());
    const auto u = [&c](std::size_t i) { return i < c.uncertainty.size() ? c.uncertainty[i] : NAN; };
    if (c.frequency[j] == f || j == 0) return MtfAt{c.mtf[j], u(j)};
    const double t = (f - c.frequency[j - 1]) / (c.frequency[j] - c.frequency[j - 1]);
    return MtfAt{c.mtf[j - 1] + t * (c.mtf[j] - c.mtf[j - 1]), u(j - 1) + t * (u(j) - u(j - 1))};
}

// DQE = MTF^2 / (q NNPS) and its first-order standard uncertainty.
void Dqe(double mtf, double uMtf, double nnps, double uNnps, double q, double relUK, double& dqe, double& u)
{
    dqe = mtf * mtf / (q * nnps);
    const double a = 2 * uMtf / mtf, b = uNnps / nnps;
    u = std::fabs(dqe) * std::sqrt(a * a + b * b + relUK * relUK);
}

void CheckCurve(const MtfCurve& c)
{
    if (c.mtf.size() != c.frequency.size() || !std::is_sorted(c.frequency.begin(), c.frequency.end()))
        throw std::invalid_argument("ComputeDqe: MTF curve out of shape");
}

}  // namespace

double SnrSquaredIn(DqeEdition edition, BeamQuality quality, double userValue)
{
    if (quality == BeamQuality::kOther) {
        if (!(userValue > 0.0) || !std::isfinite(userValue))
            ThrowFailure(FailureCode::kDqeSettings, {Text(userValue)});
        return userValue;
    }
    const std::size_t i = static_cast<std::size_t>(quality);
    return edition == DqeEdition::k2015 ? kSnr2In2015[i] : kSnr2In2003[i];
}

DqeResult ComputeDqe(const NnpsResult& nnps, const MtfCurve* mtfU, const MtfCurve* mtfV,
                     const DqeSettings& settings)
{
    if (!(settings.kerma > 0.0) || !std::isfinite(settings.kerma))
        ThrowFailure(FailureCode::kDqeSettings, {Text(settings.kerma)});
    if (!(settings.uKerma >= 0.0) || !std::isfinite(settings.uKerma))
        ThrowFailure(FailureCode::kDqeSettings, {Text(settings.uKerma)});
    if (!mtfU && !mtfV) ThrowFailure(FailureCode::kDqeNoMtf, {"u"});
    if (mtfU) CheckCurve(*mtfU);
    if (mtfV) CheckCurve(*mtfV);

    DqeResult r;
    r.settings = settings;
    r.kerma = settings.kerma;
    r.quality = settings.quality;
    r.snr2In = SnrSquaredIn(settings.edition, settings.quality, settings.userSnr2);
    r.q = settings.kerma * r.snr2In;
    r.warnings = nnps.warnings;
    if (!mtfU) r.refusedU = Failure(FailureCode::kDqeNoMtf, {"u"});
    if (!mtfV) r.refusedV = Failure(FailureCode::kDqeNoMtf, {"v"});
    if (nnps.meanSignal > 0.0 &&
        std::fabs(nnps.meanSignal - settings.kerma) > settings.kermaTolerance * settings.kerma)
        r.warnings.emplace_back(FailureCode::kDqeKermaMismatch,
                                std::vector<std::string>{Text(nnps.meanSignal), Text(settings.kerma)});

    const double relUK = settings.uKerma / settings.kerma;
    bool shortU = false, shortV = false;
    for (const NnpsPoint& n : nnps.points) {
        DqePoint p;
        p.frequency = n.frequency;
        p.nnpsU = n.nnpsU;
        p.nnpsV = n.nnpsV;
        if (mtfU) {
            if (const std::optional<MtfAt> m = Interpolate(*mtfU, n.frequency)) {
                p.mtfU = m->mtf;
                Dqe(m->mtf, m->u, n.nnpsU, n.uNnpsU, r.q, relUK, p.dqeU, p.uDqeU);
            } else {
                shortU = true;
            }
        }
        if (mtfV) {
            if (const std::optional<MtfAt> m = Interpolate(*mtfV, n.frequency)) {
                p.mtfV = m->mtf;
                Dqe(m->mtf, m->u, n.nnpsV, n.uNnpsV, r.q, relUK, p.dqeV, p.uDqeV);
            } else {
                shortV = true;
            }
        }
        r.points.push_back(p);
    }
    const auto highest = [](const MtfCurve& c) { return c.frequency.empty() ? 0.0 : c.frequency.back(); };
    if (shortU)
        r.warnings.emplace_back(FailureCode::kDqeMtfShort,
                                std::vector<std::string>{"u", Text(highest(*mtfU))});
    if (shortV)
        r.warnings.emplace_back(FailureCode::kDqeMtfShort,
                                std::vector<std::string>{"v", Text(highest(*mtfV))});
    return r;
}

MtfCurve EdgeMtfCurve(const EdgeResult& edge)
{
    MtfCurve c;
    c.frequency = edge.fineFrequency;
    c.mtf = edge.fineMtf;
    c.uncertainty = edge.fineUncertainty;
    c.uncertainty.resize(c.frequency.size(), NAN);
    return c;
}

std::optional<bool> EdgeRunsAlongColumns(const NnpsImage& image)
{
    if (!image.values || image.columns < 4 || image.rows < 4) return std::nullopt;
    const std::int64_t x0 = image.columns / 4, y0 = image.rows / 4;
    const std::int64_t x1 = x0 + image.columns / 2, y1 = y0 + image.rows / 2;  // exclusive; < columns, rows
    long double across = 0, along = 0;
    for (std::int64_t y = y0; y < y1; ++y)
        for (std::int64_t x = x0; x < x1; ++x) {
            const std::int64_t at = y * image.columns + x;
            across += std::llabs(std::int64_t{image.values[at + 1]} - image.values[at]);
            along += std::llabs(std::int64_t{image.values[at + image.columns]} - image.values[at]);
        }
    if (across == along) return std::nullopt;
    return across > along;
}

EdgeResult MeasureEdgeMtf(std::span<const DqeEdgeImage> edges, const Conversion& conversion, bool alongV,
                          const EdgeSettings& settings)
{
    if (edges.empty()) ThrowFailure(FailureCode::kEdgeNotFound);
    std::vector<EdgeImage> rois;
    for (const DqeEdgeImage& e : edges) {
        const NnpsImage& im = e.image;
        // The ESFs are binned in pixels: one spacing for all.
        if (!im.values || im.columns <= 0 || im.rows <= 0 || !(im.dx > 0.0) || !(im.dy > 0.0) ||
            im.dx != edges[0].image.dx || im.dy != edges[0].image.dy)
            ThrowFailure(FailureCode::kNnpsMixedImages, {im.name});
        std::int64_t x = e.roiX, y = e.roiY, w = e.roiWidth, h = e.roiHeight;
        if (w == 0 || h == 0) {
            // 50 mm across the edge (along the profile), 100 mm along it.
            const double acrossX = alongV ? 100.0 : 50.0, acrossY = alongV ? 50.0 : 100.0;
            w = std::min<std::int64_t>(im.columns, std::llround(acrossX / im.dx));
            h = std::min<std::int64_t>(im.rows, std::llround(acrossY / im.dy));
            x = (im.columns - w) / 2;
            y = (im.rows - h) / 2;
        }
        if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > im.columns || y + h > im.rows)
            ThrowFailure(FailureCode::kRoiOutsideImage);
        // Kerma of the ROI; a horizontal edge is read transposed so the
        // kernel sees it vertical, its profile along v.
        EdgeImage roi;
        roi.columns = static_cast<int>(alongV ? h : w);
        roi.rows = static_cast<int>(alongV ? w : h);
        roi.exposure.resize(static_cast<std::size_t>(w * h));
        std::vector<double> line(static_cast<std::size_t>(w));
        for (std::int64_t r = 0; r < h; ++r) {
            conversion.Kerma(im.values + (y + r) * im.columns + x, static_cast<std::size_t>(w), line.data());
            for (std::int64_t c = 0; c < w; ++c) {
                const std::size_t at = static_cast<std::size_t>(alongV ? c * h + r : r * w + c);
                roi.exposure[at] = line[static_cast<std::size_t>(c)];
            }
        }
        rois.push_back(std::move(roi));
    }
    EdgeSettings s = settings;
    s.pixelSpacing = alongV ? edges[0].image.dy : edges[0].image.dx;
    EdgeResult result = MeasureEdges(rois, s);
    if (!result.vertical) ThrowFailure(FailureCode::kEdgeDirectionsDiffer, {"1"});
    return result;
}

DqeResult MeasureDqe(std::span<const NnpsImage> flats, std::span<const DqeEdgeImage> edgesU,
                     std::span<const DqeEdgeImage> edgesV, const Conversion& conversion,
                     const DqeSettings& settings, const NnpsSettings& nnpsSettings,
                     const EdgeSettings& edgeSettings)
{
    const NnpsResult nnps = MeasureNnps(flats, conversion, nnpsSettings);
    std::optional<MtfCurve> u, v;
    if (!edgesU.empty()) u = EdgeMtfCurve(MeasureEdgeMtf(edgesU, conversion, false, edgeSettings));
    if (!edgesV.empty()) v = EdgeMtfCurve(MeasureEdgeMtf(edgesV, conversion, true, edgeSettings));
    DqeResult r = ComputeDqe(nnps, u ? &*u : nullptr, v ? &*v : nullptr, settings);
    const NnpsImage& flat = flats[0];
    for (const auto& set : {edgesU, edgesV})
        for (const DqeEdgeImage& e : set)
            if (e.image.columns != flat.columns || e.image.rows != flat.rows || e.image.dx != flat.dx ||
                e.image.dy != flat.dy)
                r.warnings.emplace_back(FailureCode::kDqeImagesDiffer,
                                        std::vector<std::string>{e.image.name});
    return r;
}

}  // namespace radmtf
