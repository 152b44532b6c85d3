// SPDX-License-Identifier: MIT
#include "platform/ppm.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace dorvane {
namespace {

// The bytes in a block of exactly their size, so that a read past the end is a read out of
// the block (which the sanitizer build reports).
struct Bytes {
    explicit Bytes(const std::string& text) : data(text.begin(), text.end()) {}
    std::optional<PpmPicture> parse() const {
        return parse_ppm(data.empty() ? nullptr : data.data(), data.size());
    }
    std::vector<unsigned char> data;
};

// Whether the text parses; its samples are gone once this returns.
bool parse(const std::string& text) {
    return Bytes(text).parse().has_value();
}

TEST(Ppm, ReadsTheHeaderWithCommentsAndAnyWhiteSpace) {
    const std::string pixels = "\x01\x02\x03\x04\x05\x06";
    for (const std::string& header :
         {std::string("P6\n2 1\n255\n"), std::string("P6 2 1 255 "),
          std::string("P6\r\n2\t1\r\n255\r"), std::string("P6\n# drawn by hand\n2 1\n255\n"),
          std::string("P6#no blank before\n2#w\n#h next\n 1 # max\n255\n"),
          std::string("P6\n\n\n   2    1 \f\v 255\n")}) {
        Bytes bytes(header + pixels + "trailing bytes are not looked at");
        std::optional<PpmPicture> ppm = bytes.parse();
        ASSERT_TRUE(ppm) << header;
        EXPECT_EQ(ppm->width, 2);
        EXPECT_EQ(ppm->height, 1);
        EXPECT_EQ(ppm->max, 255);
        EXPECT_EQ(ppm->samples, bytes.data.data() + header.size()) << header;
        EXPECT_EQ(ppm->samples_size, 6u);
        EXPECT_EQ(ppm_rgb8(*ppm), std::vector<unsigned char>(pixels.begin(), pixels.end()));
    }
}

TEST(Ppm, ScalesOtherMaximaToEightBits) {
    Bytes small(std::string("P6 2 1 15\n") + std::string("\x00\x0f\x07\x08\x01\x0e", 6));
    ASSERT_TRUE(small.parse());
    EXPECT_EQ(ppm_rgb8(*small.parse()), (std::vector<unsigned char>{0, 255, 119, 136, 17, 238}));
    // Two bytes a sample, most significant first; a sample above the maximum is clamped.
    Bytes wide(std::string("P6 1 1 1000\n") + std::string("\x01\xf4\x03\xe8\xff\xff", 6));
    ASSERT_TRUE(wide.parse());
    EXPECT_EQ(wide.parse()->samples_size, 6u);
    EXPECT_EQ(ppm_rgb8(*wide.parse()), (std::vector<unsigned char>{128, 255, 255}));
    Bytes full(std::string("P6 1 1 65535\n") + std::string(6, '\xff'));
    ASSERT_TRUE(full.parse());
    EXPECT_EQ(ppm_rgb8(*full.parse()), (std::vector<unsigned char>(3, 255)));
}

TEST(Ppm, TruncatedAnywhereIsNoPicture) {
    const std::string whole = std::string("P6\n# c\n2 2\n255\n") + std::string(12, '\x7f');
    ASSERT_TRUE(parse(whole));
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(parse(whole.substr(0, cut))) << cut;
    // A comment that runs to the end, and an empty or missing block.
    EXPECT_FALSE(parse("P6\n2 2 # to the end"));
    EXPECT_FALSE(parse(""));
    EXPECT_FALSE(parse_ppm(nullptr, 40));
    // Two-byte samples need twice the bytes.
    EXPECT_FALSE(parse(std::string("P6 2 2 256\n") + std::string(12, '\0')));
    EXPECT_TRUE(parse(std::string("P6 2 2 256\n") + std::string(24, '\0')));
}

TEST(Ppm, WrongMagicSizesOrMaximumIsNoPicture) {
    const std::string pixel = "\x01\x02\x03";
    for (const char* header :
         {"P3 1 1 255\n", "P5 1 1 255\n", "p6 1 1 255\n", "P61 1 255\n", "P6 0 1 255\n",
          "P6 1 0 255\n", "P6 -1 1 255\n", "P6 1 1 0\n", "P6 1 1 65536\n", "P6 1 1 -255\n",
          "P6 1 1 99999999999999999999999\n", "P6 1 1 255", "P6 1 1 255x", "P6 1 1 2e2\n",
          "P6 1 1\n", "P6 a 1 255\n", "P6 1 1 255#c\n"}) {
        EXPECT_FALSE(parse(header + pixel + std::string(8, '\0'))) << header;
    }
}

TEST(Ppm, HugeSizesAreRefusedWithoutOverflow) {
    const std::string pixels(64, '\0');
    for (const char* header : {"P6 2147483648 1 255\n", "P6 1 2147483648 255\n",
                               "P6 4294967297 1 255\n", "P6 18446744073709551617 1 255\n",
                               "P6 2147483647 2147483647 255\n", "P6 2147483647 2147483647 65535\n",
                               "P6 1431655766 1 255\n", "P6 65536 65536 255\n", "P6 22 1 255\n"}) {
        EXPECT_FALSE(parse(header + pixels)) << header;
    }
    EXPECT_TRUE(parse("P6 21 1 255\n" + pixels));  // 63 of the 64 bytes
    EXPECT_TRUE(parse("P6 1 21 255\n" + pixels));
}

}  // namespace
}  // namespace dorvane
