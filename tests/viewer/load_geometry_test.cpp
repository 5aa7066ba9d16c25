#include "viewer/load_geometry.h"

#include <gtest/gtest.h>

#include <vector>

#include "failure_code.h"

namespace radmtf {
namespace {

using testing::CodeOf;

DicomHeaderOutput Header(std::optional<std::int32_t> columns, std::optional<std::int32_t> rows)
{
    DicomHeaderOutput header;
    header.headerOffset = 1234;
    header.valueOffset = -1024;
    header.columns = columns;
    header.rows = rows;
    return header;
}

ImageLoad Decide(const DicomHeaderOutput* header, std::string spacingBefore = "0.1",
                 std::optional<std::string> answer = std::nullopt, std::size_t sampleBytes = 0)
{
    return DecideImageLoad({header ? LoadMode::kDicom : LoadMode::kRaw16, sampleBytes, header,
                            std::move(spacingBefore), std::move(answer)});
}

std::vector<std::int64_t> Roi(const ImageLoad& load)
{
    if (!load.defaultRoi) return {};
    const RoiEdits& roi = *load.defaultRoi;
    return {roi.centreX, roi.centreY, roi.width, roi.height};
}

TEST(ImageLoad, HeaderSizeGivesTheGeometryAndTheRoiCentredOnTheView)
{
    const DicomHeaderOutput square = Header(3072, 3072);
    ImageLoad load = Decide(&square);
    EXPECT_FALSE(load.sizeProposal);
    EXPECT_EQ(load.header, 1234);
    EXPECT_EQ(load.valueOffset, -1024);
    EXPECT_EQ(load.bitmapWidth, 3072);
    EXPECT_EQ(Roi(load), (std::vector<std::int64_t>{1536, 1536, 1536, 1536}));

    // A wide image shows its central square.
    const DicomHeaderOutput wide = Header(400, 200);
    EXPECT_EQ(Roi(Decide(&wide)), (std::vector<std::int64_t>{200, 100, 100, 100}));

    // No rendering could show it: no bitmap, the image all the same.
    const DicomHeaderOutput huge = Header(40000, 10);
    load = Decide(&huge);
    EXPECT_FALSE(load.bitmapWidth);
    EXPECT_TRUE(load.HasImage());

    // A raw file has no size, header or ROI until the user types them.
    load = Decide(nullptr);
    EXPECT_FALSE(load.sizeProposal);
    EXPECT_FALSE(load.HasImage());
    EXPECT_FALSE(load.header);
    EXPECT_FALSE(load.defaultRoi);
}

TEST(ImageLoad, MissingSizeIsAskedWithAProposal)
{
    const DicomHeaderOutput columnsOnly = Header(512, std::nullopt);
    EXPECT_EQ(Decide(&columnsOnly).sizeProposal, "512 ");
    const DicomHeaderOutput none = Header(std::nullopt, std::nullopt);
    EXPECT_EQ(Decide(&none, "0.1", std::nullopt, 2 * 100 * 100).sizeProposal, "100 100");
    EXPECT_EQ(Decide(&none, "0.1", std::nullopt, 2 * 100 * 100 + 2).sizeProposal, "128 128");
    const DicomHeaderOutput small = Header(7, std::nullopt);
    EXPECT_EQ(Decide(&small, "0.1", std::nullopt, 2 * 64 * 64).sizeProposal, "64 64");

    const ImageLoad answered = Decide(&none, "0.1", "300 200");
    EXPECT_TRUE(answered.sizeAnswered);
    EXPECT_EQ(answered.columns, 300);
    EXPECT_EQ(answered.rows, 200);
    EXPECT_EQ(answered.header, 0);
    EXPECT_EQ(Decide(&none, "0.1", "300").rows, 300);
    EXPECT_EQ(CodeOf([&] { Decide(&none, "0.1", ""); }), FailureCode::kNotInteger);
    EXPECT_EQ(CodeOf([&] { Decide(&none, "0.1", "300 x"); }), FailureCode::kNotInteger);
}

TEST(ImageLoad, SpacingAndWhereItCameFrom)
{
    DicomHeaderOutput header = Header(8, 8);
    ImageLoad load = Decide(&header, "0.2");
    EXPECT_EQ(load.spacing, "0.2");
    EXPECT_EQ(load.spacingSource, "typed");
    EXPECT_FALSE(load.spacingPrompt);

    header.pixelSpacingWritten = "0.15";
    header.pixelSpacingSource = "imager";
    load = Decide(&header, "0.2");
    EXPECT_EQ(load.spacing, "0.15");
    EXPECT_EQ(load.spacingSource, "imager");

    // An empty spacing (a single-valued element clears it) or zero is asked;
    // one that is no number fails once the image is shown.
    header.pixelSpacingWritten = "";
    load = Decide(&header, "0.2");
    EXPECT_TRUE(load.spacingPrompt);
    EXPECT_EQ(load.spacingSource, "typed");
    EXPECT_TRUE(Decide(nullptr, "0").spacingPrompt);
    load = Decide(nullptr, "abc");
    EXPECT_FALSE(load.spacingPrompt);
    ASSERT_TRUE(load.spacingFailure);
    EXPECT_EQ(CodeOf([&] { std::rethrow_exception(load.spacingFailure); }), FailureCode::kNotFloat);
    // The file's Latin-1 text as the edit shows it, which the failure names.
    header.pixelSpacingWritten = "0.1\xB5";
    load = Decide(&header);
    EXPECT_EQ(load.spacing, "0.1\u00B5");
    ASSERT_TRUE(load.spacingFailure);
    try {
        std::rethrow_exception(load.spacingFailure);
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.args(), std::vector<std::string>{"0.1\u00B5"});
    }
}

}  // namespace
}  // namespace radmtf
