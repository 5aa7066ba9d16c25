#include "viewer/trimming.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/failure.h"
#include "failure_text.h"

namespace radmtf {
namespace {

TEST(Trimming, WordsAsStoredRowByRow)
{
    // 5 x 4 image of words 0x0100 * r + c after a 6-byte header.
    std::vector<std::uint8_t> buffer(6 + 2 * 20, 0xEE);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 5; ++c) {
            buffer[6 + 2 * (r * 5 + c)] = static_cast<std::uint8_t>(c);
            buffer[6 + 2 * (r * 5 + c) + 1] = static_cast<std::uint8_t>(r);
        }
    }
    const SampleLayout layout{6, 5, 4, false};
    // View origin (1, 1); ROI bitmap (1, 0)-(3, 1): block rows 1..2, columns 1..3 (one left of the ROI).
    const ViewRect view{1, 4, 1, 3};
    const PixelRect roi{1, 0, 3, 1};
    const auto bytes = BuildTrimmedImage(buffer, layout, view, roi);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 1, 2, 1, 3, 1, 1, 2, 2, 2, 3, 2}));
    EXPECT_EQ(TrimmedFileName("C:\\images\\chest.raw", view, roi), "C:\\images\\chest.raw 3 2.bin");

    // Past the image and the buffer: zeros there.
    const auto edge = BuildTrimmedImage(buffer, layout, {0, 4, 0, 3}, {4, 3, 6, 4});
    EXPECT_EQ(edge, (std::vector<std::uint8_t>{3, 3, 4, 3, 0, 0, 0, 0, 0, 0, 0, 0}));
    const std::vector<std::uint8_t> shorter(buffer.begin(), buffer.end() - 3);
    const auto cut = BuildTrimmedImage(shorter, layout, {0, 4, 0, 3}, {1, 3, 5, 3});
    EXPECT_EQ(cut, (std::vector<std::uint8_t>{0, 3, 1, 3, 2, 3, 0, 0, 0, 0}));  // (3, 3) lacks its last byte
}

TEST(Trimming, SizeNameEightBitAndRefusals)
{
    std::vector<std::uint8_t> image(512 * 512, 0x11);
    const ViewRect view{0, 511, 0, 511};
    const PixelRect roi{224, 224, 287, 287};
    const auto words = BuildTrimmedImage(image, {0, 256, 512, false}, view, roi);
    EXPECT_EQ(words.size(), 8192u);
    EXPECT_EQ(TrimmedFileName("/data/a b.dcm", view, roi), "/data/a b.dcm 64 64.bin");

    // 8-bit: each byte as a little-endian word, so the file reloads as 16-bit with the same values.
    image[0] = 0xAB;
    image[1] = 0xCD;
    const auto eight = BuildTrimmedImage(image, {0, 512, 512, true}, view, {1, 0, 2, 0});
    EXPECT_EQ(eight, (std::vector<std::uint8_t>{0xAB, 0, 0xCD, 0}));

    auto failure = [&](const PixelRect& r) {
        try {
            BuildTrimmedImage(image, {0, 512, 512, true}, view, r);
        } catch (const Failure& f) {
            return std::string(testing::Text(f));
        }
        return std::string("<no failure>");
    };
    EXPECT_EQ(failure({10, 10, 9, 20}), std::string("トリミングする範囲がありません。"));
    EXPECT_EQ(failure({10, 10, 20, 8}), std::string("トリミングする範囲がありません。"));
    EXPECT_EQ(failure({0, 0, 100000, 100000}), std::string("トリミングする範囲が大きすぎます。"));
}

}  // namespace
}  // namespace radmtf
