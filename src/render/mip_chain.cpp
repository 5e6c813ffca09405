// GLU's mipmap arithmetic, operation by operation: its box filter to the power-of-two size
// (float weights summed in its order, the sum divided by the box's area and truncated) and
// its halving (a rounded 2x2 mean, a truncated mean of two along a line of one pixel).
// Where GLU's filter reads past the image's last byte, with a weight of zero or next to
// it, this reads 0.
#include "render/mip_chain.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <utility>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The halving of a line one pixel wide or high: the mean of each pair, rounded down.
void halveLine(int components, int width, int height, std::span<const std::uint8_t> in, Bytes& out) {
    const std::size_t c = static_cast<std::size_t>(components);
    const int pairs = (width == 1 ? height : width) / 2;
    out.resize(static_cast<std::size_t>(pairs) * c);
    for (std::size_t p = 0; p < static_cast<std::size_t>(pairs); ++p) {
        for (std::size_t k = 0; k < c; ++k) {
            out[p * c + k] = static_cast<std::uint8_t>((in[2 * p * c + k] + in[(2 * p + 1) * c + k]) / 2);
        }
    }
}

// One level down: each 2x2 block's mean, rounded to nearest.
void halveImage(int components, int width, int height, std::span<const std::uint8_t> in, Bytes& out) {
    if (width == 1 || height == 1) {
        halveLine(components, width, height, in, out);
        return;
    }
    const std::size_t c = static_cast<std::size_t>(components);
    const std::size_t halfWidth = static_cast<std::size_t>(width / 2);
    const std::size_t halfHeight = static_cast<std::size_t>(height / 2);
    const std::size_t row = static_cast<std::size_t>(width) * c;
    out.resize(halfWidth * halfHeight * c);
    std::uint8_t* o = out.data();
    for (std::size_t y = 0; y < halfHeight; ++y) {
        const std::uint8_t* top = in.data() + 2 * y * row;
        const std::uint8_t* bottom = top + row;
        for (std::size_t x = 0; x < halfWidth * 2 * c; x += 2 * c) {
            for (std::size_t k = 0; k < c; ++k) {
                *o++ = static_cast<std::uint8_t>(
                    (top[x + k] + top[x + c + k] + bottom[x + k] + bottom[x + c + k] + 2) / 4);
            }
        }
    }
}

// The box of one output pixel in input pixels: from (lowx, lowy) to (highx, highy), each an
// integer part and a fraction.
struct Box {
    int lowxInt = 0;
    float lowxFloat = 0;
    int highxInt = 0;
    float highxFloat = 0;
    int lowyInt = 0;
    float lowyFloat = 0;
    int highyInt = 0;
    float highyFloat = 0;
};

// GLU's sum over one box with float weights: the box's first row, its last row, the first
// and last columns between them, then the whole pixels inside. Checked reads give 0 past
// the image's last byte; unchecked ones are for boxes that reach no further.
template <int C, bool Checked>
void sumBox(const Box& b, const std::uint8_t* in, std::ptrdiff_t size, std::ptrdiff_t ysize, float (&totals)[C]) {
    const std::ptrdiff_t group = C;
    const auto at = [&](std::ptrdiff_t offset) -> float {
        if constexpr (Checked) {
            if (offset < 0 || offset >= size) return 0.0f;
        }
        return static_cast<float>(in[offset]);
    };
    const auto add = [&](std::ptrdiff_t offset, float weight) {
        for (int k = 0; k < C; ++k) totals[k] += at(offset + k) * weight;
    };
    const std::ptrdiff_t xindex = static_cast<std::ptrdiff_t>(b.lowxInt) * group;
    // One row of the box from its first column: the part of that column, the whole pixels,
    // the part of the last column, each at the row's weight. Gives the last column's offset.
    const auto addRow = [&](std::ptrdiff_t temp, float yPercent) {
        add(temp, yPercent * (1 - b.lowxFloat));
        for (int l = b.lowxInt + 1; l < b.highxInt; ++l) {
            temp += group;
            add(temp, yPercent);
        }
        temp += group;
        add(temp, yPercent * b.highxFloat);
        return temp;
    };
    if (b.highyInt > b.lowyInt && b.highxInt > b.lowxInt) {
        // First row, last row.
        std::ptrdiff_t left = xindex + b.lowyInt * ysize;
        std::ptrdiff_t right = addRow(left, 1 - b.lowyFloat);
        addRow(xindex + b.highyInt * ysize, b.highyFloat);
        // First and last column between them. GLU steps its two column pointers on by one
        // pixel per row as well as by the row, and so does this.
        for (int m = b.lowyInt + 1; m < b.highyInt; ++m) {
            left += ysize;
            right += ysize;
            for (int k = 0; k < C; ++k, ++left, ++right) {
                totals[k] += at(left) * (1 - b.lowxFloat) + at(right) * b.highxFloat;
            }
        }
    } else if (b.highyInt > b.lowyInt) {
        // A box within one column.
        const float xPercent = b.highxFloat - b.lowxFloat;
        std::ptrdiff_t temp = xindex + b.lowyInt * ysize;
        add(temp, (1 - b.lowyFloat) * xPercent);
        for (int m = b.lowyInt + 1; m < b.highyInt; ++m) {
            temp += ysize;
            add(temp, xPercent);
        }
        temp += ysize;
        add(temp, xPercent * b.highyFloat);
    } else if (b.highxInt > b.lowxInt) {
        // A box within one row (GLU's first weight is (1 - lowx) * y: the same product).
        addRow(xindex + b.lowyInt * ysize, b.highyFloat - b.lowyFloat);
    } else {
        add(xindex + b.lowyInt * ysize, (b.highyFloat - b.lowyFloat) * (b.highxFloat - b.lowxFloat));
    }
    // The whole pixels inside the box.
    std::ptrdiff_t temp0 = xindex + group + (b.lowyInt + 1) * ysize;
    for (int m = b.lowyInt + 1; m < b.highyInt; ++m) {
        std::ptrdiff_t temp = temp0;
        for (int l = b.lowxInt + 1; l < b.highxInt; ++l) {
            for (int k = 0; k < C; ++k) totals[k] += at(temp + k);
            temp += group;
        }
        temp0 += ysize;
    }
}

// Four float lanes, one per component; each lane does exactly the scalar operations (no
// fused multiply-adds: the build forbids contracting them).
using Lanes = float __attribute__((vector_size(16)));

template <int C>
Lanes pixelLanes(const std::uint8_t* p) {
    if constexpr (C == 4) {
        return Lanes{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]),
                     static_cast<float>(p[3])};
    } else {
        return Lanes{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]), 0.0f};
    }
}

// sumBox for the most common box of a slight scale, across one column edge and one row
// edge: the same four weighted pixels added in the same order, all components at once.
template <int C>
Lanes sumTwoByTwo(const Box& b, const std::uint8_t* in, std::ptrdiff_t ysize) {
    const std::uint8_t* top = in + static_cast<std::ptrdiff_t>(b.lowxInt) * C + b.lowyInt * ysize;
    const std::uint8_t* bottom = in + static_cast<std::ptrdiff_t>(b.lowxInt) * C + b.highyInt * ysize;
    const float topPercent = 1 - b.lowyFloat;
    const float leftPercent = 1 - b.lowxFloat;
    Lanes t{};
    t += pixelLanes<C>(top) * (topPercent * leftPercent);
    t += pixelLanes<C>(top + C) * (topPercent * b.highxFloat);
    t += pixelLanes<C>(bottom) * (b.highyFloat * leftPercent);
    t += pixelLanes<C>(bottom + C) * (b.highyFloat * b.highxFloat);
    return t;
}

// One step of a box edge: on by the whole part and the fraction, the fraction carried
// when it passes 1 (in double, as GLU subtracts it).
void stepEdge(int& edgeInt, float& edgeFloat, int stepInt, float stepFloat) {
    edgeInt += stepInt;
    edgeFloat += stepFloat;
    if (edgeFloat > 1) {
        edgeFloat = static_cast<float>(static_cast<double>(edgeFloat) - 1.0);
        ++edgeInt;
    }
}

// GLU's box filter from widthIn x heightIn to widthOut x heightOut.
template <int C>
void scaleImage(int widthIn, int heightIn, std::span<const std::uint8_t> in, int widthOut, int heightOut,
                Bytes& out) {
    const std::ptrdiff_t ysize = static_cast<std::ptrdiff_t>(widthIn) * C;
    const std::ptrdiff_t size = static_cast<std::ptrdiff_t>(in.size());
    out.resize(static_cast<std::size_t>(widthOut) * static_cast<std::size_t>(heightOut) * C);

    const float convy = static_cast<float>(heightIn) / static_cast<float>(heightOut);
    const float convx = static_cast<float>(widthIn) / static_cast<float>(widthOut);
    const int convyInt = static_cast<int>(std::floor(static_cast<double>(convy)));
    const float convyFloat = convy - static_cast<float>(convyInt);
    const int convxInt = static_cast<int>(std::floor(static_cast<double>(convx)));
    const float convxFloat = convx - static_cast<float>(convxInt);
    const float area = convx * convy;

    Box b;
    b.highyInt = convyInt;
    b.highyFloat = convyFloat;
    std::uint8_t* o = out.data();
    for (int i = 0; i < heightOut; ++i) {
        if (b.highyInt >= heightIn) b.highyInt = heightIn - 1;
        b.lowxInt = 0;
        b.lowxFloat = 0;
        b.highxInt = convxInt;
        b.highxFloat = convxFloat;
        for (int j = 0; j < widthOut; ++j) {
            // The furthest byte the box's reads reach, column pointers' drift included.
            const std::ptrdiff_t reach = (b.highxInt + 1 + std::max(0, b.highyInt - b.lowyInt)) * C +
                                         static_cast<std::ptrdiff_t>(b.highyInt) * ysize;
            Lanes sum{};
            if (reach <= size && b.highxInt == b.lowxInt + 1 && b.highyInt == b.lowyInt + 1) {
                sum = sumTwoByTwo<C>(b, in.data(), ysize);
            } else {
                float totals[C] = {};
                if (reach <= size) {
                    sumBox<C, false>(b, in.data(), size, ysize, totals);
                } else {
                    sumBox<C, true>(b, in.data(), size, ysize, totals);
                }
                for (int k = 0; k < C; ++k) sum[k] = totals[k];
            }
            // GLU's float-to-byte store: through a 32-bit integer, keeping the low byte.
            const auto whole = __builtin_convertvector(sum / area, std::int32_t __attribute__((vector_size(16))));
            for (int k = 0; k < C; ++k) *o++ = static_cast<std::uint8_t>(static_cast<std::uint32_t>(whole[k]));
            b.lowxInt = b.highxInt;
            b.lowxFloat = b.highxFloat;
            stepEdge(b.highxInt, b.highxFloat, convxInt, convxFloat);
        }
        b.lowyInt = b.highyInt;
        b.lowyFloat = b.highyFloat;
        stepEdge(b.highyInt, b.highyFloat, convyInt, convyFloat);
    }
}

}  // namespace

int nearestPowerOfTwo(unsigned int side) {
    if (side == 0) return 0;
    int power = 1;
    for (;;) {
        if (side == 1) return power;
        if (side == 3) return power * 4;
        side >>= 1;
        power *= 2;
    }
}

TextureSize mipBaseSize(int width, int height, int maxTextureSide) {
    TextureSize size{nearestPowerOfTwo(static_cast<unsigned int>(width)),
                     nearestPowerOfTwo(static_cast<unsigned int>(height))};
    while ((size.width > maxTextureSide || size.height > maxTextureSide) && (size.width > 1 || size.height > 1)) {
        if (size.width > 1) size.width /= 2;
        if (size.height > 1) size.height /= 2;
    }
    return size;
}

MipChain buildMipChain(const PixelView& image, int maxTextureSide) {
    MipChain chain;
    const int c = image.components;
    if ((c != 3 && c != 4) || image.width < 1 || image.height < 1 ||
        image.bytes.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) *
                                   static_cast<std::size_t>(c)) {
        return chain;
    }
    chain.components = c;
    const TextureSize base = mipBaseSize(image.width, image.height, maxTextureSide);

    MipLevel level{base.width, base.height, {}};
    if (image.width == base.width && image.height == base.height) {
        level.bytes.assign(image.bytes.begin(), image.bytes.end());
    } else if (image.width == base.width * 2 && image.height == base.height * 2) {
        halveImage(c, image.width, image.height, image.bytes, level.bytes);
    } else if (c == 3) {
        scaleImage<3>(image.width, image.height, image.bytes, base.width, base.height, level.bytes);
    } else {
        scaleImage<4>(image.width, image.height, image.bytes, base.width, base.height, level.bytes);
    }
    chain.levels.push_back(std::move(level));
    while (chain.levels.back().width > 1 || chain.levels.back().height > 1) {
        const MipLevel& above = chain.levels.back();
        MipLevel next{std::max(above.width / 2, 1), std::max(above.height / 2, 1), {}};
        halveImage(c, above.width, above.height, above.bytes, next.bytes);
        chain.levels.push_back(std::move(next));
    }
    return chain;
}
