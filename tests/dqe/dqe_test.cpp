#include "dqe/dqe.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/numtext.h"
#include "dqe/mtf_file.h"
#include "failure_code.h"
#include "synth/edge_field.h"

namespace radmtf {
namespace {

using testing::CodeOf;
using testing::HasWarning;

TEST(Dqe, SnrSquaredInByEditionAndQuality)
{
    using enum BeamQuality;
    const BeamQuality qualities[] = {kRqa3, kRqa5, kRqa7, kRqa9};
    const double e2015[] = {20673, 29653, 32490, 31077}, e2003[] = {21759, 30174, 32362, 31077};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(SnrSquaredIn(DqeEdition::k2015, qualities[i]), e2015[i]);
        EXPECT_EQ(SnrSquaredIn(DqeEdition::k2003, qualities[i]), e2003[i]);
    }
    EXPECT_EQ(SnrSquaredIn(DqeEdition::k2015, kOther, 25000.5), 25000.5);
    EXPECT_EQ(CodeOf([] { SnrSquaredIn(DqeEdition::k2015, kOther, 0.0); }), FailureCode::kDqeSettings);
    EXPECT_EQ(CodeOf([] { SnrSquaredIn(DqeEdition::k2003, kOther, NAN); }), FailureCode::kDqeSettings);
}

// An analytic MTF on a grid that misses most NNPS frequencies, a flat-ish
// NNPS: the formula, the interpolation, the refusals and the warnings.
TEST(Dqe, FollowsTheFormulaWithAnAnalyticMtf)
{
    NnpsResult nnps;
    nnps.meanSignal = 2.7;  // 8 % above the given kerma
    for (int j = 1; j <= 100; ++j) {
        const double f = 0.05 * j;
        nnps.points.push_back({f, 1e-5 * (1 + 0.1 * f), 2e-5 / (1 + f), 1e-7, 4e-7});
    }
    MtfCurve u, v;
    for (int j = 0; j <= 250; ++j) {  // on 0.05 multiples every other time
        const double f = 0.02 * j;
        u.frequency.push_back(f);
        u.mtf.push_back(std::exp(-f / 3));
        u.uncertainty.push_back(0.01);
    }
    for (int j = 0; j <= 30; ++j) {  // reaches 3 cycles/mm only
        v.frequency.push_back(0.1 * j);
        v.mtf.push_back(1 - 0.2 * v.frequency.back());
        v.uncertainty.push_back(NAN);
    }
    DqeSettings s;
    s.kerma = 2.5;
    s.uKerma = 0.05;
    const DqeResult r = ComputeDqe(nnps, &u, &v, s);
    const double q = 2.5 * 29653;
    EXPECT_EQ(r.q, q);
    ASSERT_EQ(r.points.size(), 100u);
    for (const DqePoint& p : r.points) {
        const double mu = std::exp(-p.frequency / 3);
        EXPECT_NEAR(p.dqeU / (mu * mu / (q * p.nnpsU)), 1.0, 1e-3) << p.frequency;
        const double relU = std::hypot(2 * 0.01 / mu, 0.01 / (1 + 0.1 * p.frequency), 0.02);
        EXPECT_NEAR(p.uDqeU / p.dqeU, relU, 1e-3 * relU) << p.frequency;
        if (p.frequency <= 3 + 1e-9) {
            const double mv = 1 - 0.2 * p.frequency;
            EXPECT_NEAR(p.dqeV / (mv * mv / (q * p.nnpsV)), 1.0, 1e-9) << p.frequency;
            EXPECT_TRUE(std::isnan(p.uDqeV));
        } else {
            EXPECT_TRUE(std::isnan(p.dqeV)) << p.frequency;
        }
    }
    EXPECT_TRUE(HasWarning(r, FailureCode::kDqeMtfShort));
    EXPECT_TRUE(HasWarning(r, FailureCode::kDqeKermaMismatch));

    // No MTF along v: v refused, u measured as before, no warnings but the kerma's.
    nnps.meanSignal = 2.6;
    const DqeResult onlyU = ComputeDqe(nnps, &u, nullptr, s);
    ASSERT_TRUE(onlyU.refusedV.has_value());
    EXPECT_EQ(onlyU.refusedV->code(), FailureCode::kDqeNoMtf);
    EXPECT_FALSE(onlyU.refusedU.has_value());
    EXPECT_TRUE(onlyU.warnings.empty());
    for (std::size_t j = 0; j < r.points.size(); ++j) {
        EXPECT_EQ(onlyU.points[j].dqeU, r.points[j].dqeU);
        EXPECT_TRUE(std::isnan(onlyU.points[j].dqeV));
    }
    const DqeResult onlyV = ComputeDqe(nnps, nullptr, &v, s);
    ASSERT_TRUE(onlyV.refusedU.has_value());
    EXPECT_EQ(onlyV.points[10].dqeV, r.points[10].dqeV);
    EXPECT_EQ(CodeOf([&] { ComputeDqe(nnps, nullptr, nullptr, s); }), FailureCode::kDqeNoMtf);
    s.kerma = 0.0;
    EXPECT_EQ(CodeOf([&] { ComputeDqe(nnps, &u, &v, s); }), FailureCode::kDqeSettings);
}

// Several edges: copies of one edge give its MTF (the ESFs line up bin for
// bin), with no spread; edges in different directions are refused.
TEST(Dqe, SeveralEdgesAverageTheirEsfs)
{
    synth::FlatFieldDetector d;
    const std::vector<std::int32_t> a = synth::EdgeFieldImage(d, {}, 200, 300, 5.0, 3);
    synth::EdgeField shifted;
    shifted.offset = 7;
    shifted.tilt = 4.0;
    const std::vector<std::int32_t> b = synth::EdgeFieldImage(d, shifted, 200, 300, 5.0, 4);
    const auto edge = [&d](const std::vector<std::int32_t>& px, std::int32_t columns, std::int32_t rows) {
        return DqeEdgeImage{NnpsImage{"edge", columns, rows, d.dx, d.dy, px.data()}, 0, 0, columns, rows};
    };
    const DqeEdgeImage one = edge(a, 200, 300);
    const DqeEdgeImage twice[] = {one, one};
    const EdgeResult single = MeasureEdgeMtf({&one, 1}, d.Response(), false);
    const EdgeResult same = MeasureEdgeMtf(twice, d.Response(), false);
    ASSERT_EQ(same.fineMtf.size(), single.fineMtf.size());
    for (std::size_t j = 0; j < single.fineMtf.size(); ++j) {
        EXPECT_NEAR(same.fineMtf[j], single.fineMtf[j], 1e-12);
        EXPECT_NEAR(same.fineUncertainty[j], 0.0, 1e-12);
    }
    // Two different edges: between the two, with a spread.
    const DqeEdgeImage pair[] = {one, edge(b, 200, 300)};
    const EdgeResult both = MeasureEdgeMtf(pair, d.Response(), false);
    const std::size_t at2 = 40;  // 2 cycles/mm
    EXPECT_GT(both.fineUncertainty[at2], 0.0);
    EXPECT_NEAR(both.fineMtf[at2], synth::DetectorMtf(d, 2.0, false), 0.03);

    synth::EdgeField across;
    across.vertical = false;
    const std::vector<std::int32_t> c = synth::EdgeFieldImage(d, across, 200, 300, 5.0, 5);
    const DqeEdgeImage mixed[] = {one, edge(c, 200, 300)};
    EXPECT_EQ(CodeOf([&] { MeasureEdgeMtf(mixed, d.Response(), false); }),
              FailureCode::kEdgeDirectionsDiffer);
    EXPECT_EQ(CodeOf([&] {
                  MeasureEdgeMtf({&one, 1}, d.Response(), true);
              }),
              FailureCode::kEdgeDirectionsDiffer);
    DqeEdgeImage finer = one;
    finer.image.dx = 0.05;
    const DqeEdgeImage spacings[] = {one, finer};
    EXPECT_EQ(CodeOf([&] { MeasureEdgeMtf(spacings, d.Response(), false); }), FailureCode::kNnpsMixedImages);
    DqeEdgeImage outside = one;
    outside.roiX = 10;
    EXPECT_EQ(CodeOf([&] {
                  MeasureEdgeMtf({&outside, 1}, d.Response(), false);
              }),
              FailureCode::kRoiOutsideImage);
}

// With nothing in the way the edge image is the flat field, draw for draw.
TEST(Dqe, EdgeFieldWithoutAnEdgeIsTheFlatField)
{
    synth::FlatFieldDetector d;
    d.electronicNoise = 0.02;
    d.heel = 0.1;
    synth::EdgeField none;
    none.dark = 1.0;
    EXPECT_EQ(synth::EdgeFieldImage(d, none, 60, 40, 2.0, 9), synth::FlatField(d, 60, 40, 2.0, 9));
}

// The whole characterisation on the synthetic detector against
// MTF^2 / (q NNPS) with the exact MTF and NNPS: within three standard
// uncertainties and 2 % from 0.5 to 4 cycles/mm, both directions.
TEST(Dqe, MatchesTheClosedFormOnTheSyntheticDetector)
{
    synth::FlatFieldDetector d;
    d.sigmaX = 0.06;
    d.sigmaY = 0.1;
    d.gain = 2000.0;
    d.electronicNoise = 0.01;
    const std::int32_t n = 512;
    const double kerma = 2.5;
    std::vector<std::vector<std::int32_t>> pixels;
    // Six flat fields, so the spread between them gives u_NNPS.
    for (std::uint64_t seed = 21; seed < 27; ++seed) pixels.push_back(synth::FlatField(d, n, n, kerma, seed));
    synth::EdgeField vertical, horizontal;
    horizontal.vertical = false;
    horizontal.tilt = -2.5;
    pixels.push_back(synth::EdgeFieldImage(d, vertical, n, n, kerma, 27));
    pixels.push_back(synth::EdgeFieldImage(d, horizontal, n, n, kerma, 28));
    std::vector<NnpsImage> images;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        images.push_back({"image" + IntToStr(static_cast<long long>(i)), n, n, d.dx, d.dy, pixels[i].data(),
                          (std::int64_t{1} << d.bits) - 1});
    const DqeEdgeImage edgeU[] = {{images[6]}}, edgeV[] = {{images[7]}};
    DqeSettings s;
    s.kerma = kerma;
    const DqeResult r = MeasureDqe({images.data(), 6}, edgeU, edgeV, d.Response(), s);
    EXPECT_FALSE(HasWarning(r, FailureCode::kDqeKermaMismatch));
    EXPECT_FALSE(HasWarning(r, FailureCode::kDqeImagesDiffer));
    EXPECT_FALSE(HasWarning(r, FailureCode::kDqeMtfShort));

    const std::vector<NnpsPoint> exact = NnpsProfiles(synth::ExpectedNnps2d(d, n, n, kerma), d.dx, d.dy);
    ASSERT_EQ(exact.size(), r.points.size());
    int checked = 0;
    for (std::size_t j = 0; j < exact.size(); ++j) {
        const double f = exact[j].frequency;
        if (f < 0.5 - 1e-9 || f > 4 + 1e-9) continue;
        const double mu = synth::DetectorMtf(d, f, false), mv = synth::DetectorMtf(d, f, true);
        const double truthU = mu * mu / (r.q * exact[j].nnpsU), truthV = mv * mv / (r.q * exact[j].nnpsV);
        const DqePoint& p = r.points[j];
        EXPECT_NEAR(p.dqeU, truthU, 3 * p.uDqeU + 0.02 * truthU) << "u at " << f;
        EXPECT_NEAR(p.dqeV, truthV, 3 * p.uDqeV + 0.02 * truthV) << "v at " << f;
        ++checked;
    }
    EXPECT_EQ(checked, 71);
}

TEST(Dqe, ReadsTheMeasureCommandsMtf)
{
    const std::string csv =
        "file,method,frequency_cy_per_mm,mtf,mtf_display,u_mtf,angle\r\n"
        "\"a,b.dcm\",edge,0,1,1.000,,2.1\r\n"
        "\"a,b.dcm\",edge,0.5,0.91,0.910,0.004,2.1\r\n"
        "\"a,b.dcm\",edge,1,0.75,0.750,0.006,2.1\r\n";
    const MtfCurve c = ReadMtfText(csv, "m.csv");
    EXPECT_EQ(c.frequency, (std::vector<double>{0, 0.5, 1}));
    EXPECT_EQ(c.mtf, (std::vector<double>{1, 0.91, 0.75}));
    EXPECT_TRUE(std::isnan(c.uncertainty[0]));
    EXPECT_EQ(c.uncertainty[2], 0.006);

    const std::string json =
        "[\n  {\"file\": \"a.dcm\", \"method\": \"edge\", \"status\": \"ok\", \"message\": \"\",\n"
        "   \"settings\": {\"pixel_spacing\": 0.1}, \"angle\": 2.1,\n   \"points\": [\n"
        "     {\"frequency_cy_per_mm\": 0, \"mtf\": 1, \"mtf_display\": \"1.000\", \"u_mtf\": null},\n"
        "     {\"frequency_cy_per_mm\": 0.5, \"mtf\": 0.91, \"mtf_display\": \"0.910\", \"u_mtf\": 4e-3}\n   "
        "]}\n]\n";
    const MtfCurve j = ReadMtfText(json, "m.json");
    EXPECT_EQ(j.frequency, (std::vector<double>{0, 0.5}));
    EXPECT_EQ(j.mtf[1], 0.91);
    EXPECT_EQ(j.uncertainty[1], 0.004);
    EXPECT_TRUE(std::isnan(j.uncertainty[0]));

    const auto refusal = [](const std::string& text) {
        try {
            ReadMtfText(text, "x");
        } catch (const Failure& f) {
            if (f.code() == FailureCode::kDqeMtfNoCurve) return std::string("no curve");
            return f.code() == FailureCode::kDqeMtfUnreadable ? f.args().at(1) : "other";
        }
        return std::string("read");
    };
    EXPECT_EQ(refusal("frequency,mtf\n0,1\n"), "1");                                      // not the columns
    EXPECT_EQ(refusal("file,frequency_cy_per_mm,mtf,u_mtf\na,0,1,\nb,0.5,0.9,\n"), "3");  // two files
    EXPECT_EQ(refusal("file,frequency_cy_per_mm,mtf,u_mtf\na,,,\n"), "2");                // a failed report
    EXPECT_EQ(refusal("frequency_cy_per_mm,mtf,u_mtf\n0,1,\n0,0.9,\n"), "no curve");      // not rising
    EXPECT_EQ(refusal("frequency_cy_per_mm,mtf,u_mtf\n0,1x,\n"), "2");
    EXPECT_EQ(refusal("frequency_cy_per_mm,mtf,u_mtf\n"), "no curve");  // no points
    EXPECT_EQ(refusal("[{\"status\": \"failed\", \"points\": []}]"), "no curve");
    EXPECT_EQ(refusal("[{\"points\": [{\"frequency_cy_per_mm\": 0, \"mtf\": 1}]}, {\"points\": []}]"),
              "no curve");
    EXPECT_EQ(refusal("[{\"points\": [\n{\"frequency_cy_per_mm\": 0, \"mtf\": }]}]"), "2");
    EXPECT_EQ(refusal("[{\"points\": [{\"frequency_cy_per_mm\": \"0\", \"mtf\": 1}]}]"), "no curve");
    EXPECT_EQ(refusal(std::string(100, '[')), "1");
    EXPECT_EQ(CodeOf([] { ReadMtfFile("/nonexistent/m.csv"); }), FailureCode::kCannotOpen);
}

}  // namespace
}  // namespace radmtf
