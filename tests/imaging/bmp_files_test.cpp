// BMP loading: the 24-bit rule, gamma, the 640x480 fallbacks, 8-bit palettes, damaged headers.
#include <gtest/gtest.h>

#include "app/app.h"
#include "imaging/imaging.h"
#include "platform/files.h"
#include "platform/test_double.h"
#include "support/test_volume.h"

TEST(BmpFiles, RoundTripOfEncodedPicture) {
    std::vector<uint32_t> pixels = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF123456u, 0xFFFFFFFFu, 0xFF000000u};
    std::vector<uint8_t> bytes = EncodeBmp24(pixels.data(), 3, 2, 3);
    DecodedBmp d;
    ASSERT_EQ(DecodeBmp(bytes.data(), bytes.size(), &d), 1);
    EXPECT_EQ(d.width, 3);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(d.pixels, pixels);
}
