// SPDX-License-Identifier: MIT
// Binary PPM pictures ("P6"), read as the format allows them: the magic "P6"; then the width,
// the height and the maximum sample value as decimal numbers, each after white space and any
// number of comments ('#' to the end of the line); one white-space byte; then the rows, top
// first, of three samples a pixel, red, green and blue, one byte each when the maximum is below
// 256 and two (most significant first) otherwise. Only the first picture of a file is read.
//
// Nothing is read past the given bytes, and a picture whose samples they do not hold whole,
// whose sizes do not fit in an int, or whose maximum is not 1 to 65535 is no picture. Plain C++:
// every backend may use it.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace dorvane {

struct PpmPicture {
    int width = 0;
    int height = 0;
    int max = 0;                             // the maximum sample value, 1 to 65535
    const unsigned char* samples = nullptr;  // within the bytes parsed
    std::size_t samples_size = 0;            // width * height * 3, times 2 when max > 255
};

std::optional<PpmPicture> parse_ppm(const unsigned char* bytes, std::size_t size);

// The picture as 8-bit red, green and blue, each sample scaled from 0..max to 0..255 (rounded
// to the nearest); a picture of maximum 255 comes out as its own bytes.
std::vector<unsigned char> ppm_rgb8(const PpmPicture& picture);

}  // namespace dorvane
