// SPDX-License-Identifier: MIT
#include "platform/ppm.h"

#include <climits>

namespace dorvane {

namespace {

bool is_blank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

class Reader {
  public:
    Reader(const unsigned char* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    // White space and comments, then a decimal number no larger than `most`; at least one
    // blank or comment must come first.
    std::optional<long> number(long most) {
        std::size_t start = at_;
        while (at_ < size_ && (is_blank(bytes_[at_]) || bytes_[at_] == '#')) {
            if (bytes_[at_] == '#') {
                while (at_ < size_ && bytes_[at_] != '\n' && bytes_[at_] != '\r')
                    ++at_;
            } else {
                ++at_;
            }
        }
        if (at_ == start || at_ >= size_ || bytes_[at_] < '0' || bytes_[at_] > '9')
            return std::nullopt;
        long value = 0;
        while (at_ < size_ && bytes_[at_] >= '0' && bytes_[at_] <= '9') {
            int digit = bytes_[at_++] - '0';
            // Checked before it is made, so that no number can overflow (long may have 32 bits).
            if (value > (most - digit) / 10)
                return std::nullopt;
            value = value * 10 + digit;
        }
        return value;
    }

    bool take(unsigned char wanted) {
        if (at_ >= size_ || bytes_[at_] != wanted)
            return false;
        ++at_;
        return true;
    }

    bool take_blank() {
        if (at_ >= size_ || !is_blank(bytes_[at_]))
            return false;
        ++at_;
        return true;
    }

    std::size_t left() const { return size_ - at_; }
    const unsigned char* here() const { return bytes_ + at_; }

  private:
    const unsigned char* bytes_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<PpmPicture> parse_ppm(const unsigned char* bytes, std::size_t size) {
    if (!bytes)
        return std::nullopt;
    Reader reader(bytes, size);
    if (!reader.take('P') || !reader.take('6'))
        return std::nullopt;
    std::optional<long> width = reader.number(INT_MAX);
    std::optional<long> height = width ? reader.number(INT_MAX) : std::nullopt;
    std::optional<long> max = height ? reader.number(65535) : std::nullopt;
    if (!max || *width < 1 || *height < 1 || *max < 1 || !reader.take_blank())
        return std::nullopt;
    // Compared by division, so that no product of the header's numbers can overflow.
    const std::size_t per_pixel = *max > 255 ? 6 : 3;
    const std::size_t w = static_cast<std::size_t>(*width), h = static_cast<std::size_t>(*height);
    if (reader.left() / per_pixel / h < w)
        return std::nullopt;
    PpmPicture picture;
    picture.width = static_cast<int>(*width);
    picture.height = static_cast<int>(*height);
    picture.max = static_cast<int>(*max);
    picture.samples = reader.here();
    picture.samples_size = w * h * per_pixel;
    return picture;
}

std::vector<unsigned char> ppm_rgb8(const PpmPicture& picture) {
    const unsigned char* s = picture.samples;
    if (picture.max == 255)
        return {s, s + picture.samples_size};
    const bool wide = picture.max > 255;
    const std::size_t count = wide ? picture.samples_size / 2 : picture.samples_size;
    const unsigned long max = static_cast<unsigned long>(picture.max);
    std::vector<unsigned char> rgb(count);
    for (std::size_t i = 0; i < count; ++i) {
        unsigned long value = wide ? (s[2 * i] << 8u) | s[2 * i + 1] : s[i];
        if (value > max)
            value = max;  // out of the format's range: as bright as it may be
        rgb[i] = static_cast<unsigned char>((value * 255 + max / 2) / max);
    }
    return rgb;
}

}  // namespace dorvane
