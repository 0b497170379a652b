#include "app/core/resample.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

float Sinc(float x) {
    if (x == 0.0f) return 1.0f;
    x *= std::numbers::pi_v<float>;
    return std::sin(x) / x;
}

float BoxFilter(float t) {
    return t > -0.5f && t <= 0.5f ? 1.0f : 0.0f;
}

float TriangleFilter(float t) {
    const float a = std::fabs(t);
    return a < 1.0f ? 1.0f - a : 0.0f;
}

float HermiteFilter(float t) {
    const float a = std::fabs(t);
    return a < 1.0f ? (2.0f * a - 3.0f) * a * a + 1.0f : 0.0f;
}

float BellFilter(float t) {
    const float a = std::fabs(t);
    if (a < 0.5f) return 0.75f - a * a;
    if (a < 1.5f) return 0.5f * (a - 1.5f) * (a - 1.5f);
    return 0.0f;
}

float SplineFilter(float t) {
    const float a = std::fabs(t);
    if (a < 1.0f) return 0.5f * a * a * a - a * a + 2.0f / 3.0f;
    if (a < 2.0f) return (2.0f - a) * (2.0f - a) * (2.0f - a) / 6.0f;
    return 0.0f;
}

float Lanczos3Filter(float t) {
    const float a = std::fabs(t);
    return a < 3.0f ? Sinc(a) * Sinc(a / 3.0f) : 0.0f;
}

float MitchellFilter(float t) {
    const float a = std::fabs(t);
    if (a < 1.0f) return (7.0f * a * a * a - 12.0f * a * a + 16.0f / 3.0f) / 6.0f;
    if (a < 2.0f) return (-(7.0f / 3.0f) * a * a * a + 12.0f * a * a - 20.0f * a + 32.0f / 3.0f) / 6.0f;
    return 0.0f;
}

const std::array<TResampleFilter, 7> ResampleFilters = {{
    {"Box", BoxFilter, 0.5f},
    {"Triangle", TriangleFilter, 1.0f},
    {"Hermite", HermiteFilter, 1.0f},
    {"Bell", BellFilter, 1.5f},
    {"B-Spline", SplineFilter, 2.0f},
    {"Lanczos3", Lanczos3Filter, 3.0f},
    {"Mitchell", MitchellFilter, 2.0f},
}};

namespace {
struct TContributor {
    int Pixel;
    float Weight;
};
using TContributions = std::vector<std::vector<TContributor>>;

// Taps for each of count destination pixels from size source pixels.
TContributions Contributions(int count, int size, TFilterFunction filter, float support) {
    TContributions list(static_cast<std::size_t>(count));
    float scale;
    if (size == 1)
        scale = static_cast<float>(count) / static_cast<float>(size);
    else if (count == 1)
        scale = 1.0f / static_cast<float>(size); // one pixel stands for the whole source
    else
        scale = static_cast<float>(count - 1) / static_cast<float>(size - 1);
    for (int i = 0; i < count; ++i) {
        const float center =
            count == 1 && size > 1 ? static_cast<float>(size - 1) / 2.0f : static_cast<float>(i) / scale;
        const float width = scale >= 1.0f ? support : support / scale;
        const float fscale = scale >= 1.0f ? 1.0f : 1.0f / scale;
        const int left = static_cast<int>(std::floor(center - width));
        const int right = static_cast<int>(std::ceil(center + width));
        for (int j = left; j <= right; ++j) {
            const float weight = scale >= 1.0f ? filter(center - static_cast<float>(j))
                                               : filter((center - static_cast<float>(j)) / fscale) / fscale;
            if (weight == 0.0f) continue;
            // Mirrored at the edges: -1 reads 1, size reads size - 1; a source too small for one
            // reflection keeps to its last pixel.
            int pixel = j < 0 ? -j : j >= size ? 2 * size - j - 1 : j;
            pixel = std::clamp(pixel, 0, size - 1);
            list[static_cast<std::size_t>(i)].push_back({pixel, weight});
        }
        // Sampled at a step that is not a whole number, a filter's weights add up to a little more
        // or less than 1 from one pixel to the next, which striped flat colours (by up to 12 % at
        // 880 -> 660): each pixel's weights are scaled to add up to 1.
        float sum = 0;
        for (const TContributor& c : list[static_cast<std::size_t>(i)])
            sum += c.Weight;
        if (sum != 0.0f && sum != 1.0f)
            for (TContributor& c : list[static_cast<std::size_t>(i)])
                c.Weight /= sum;
    }
    return list;
}

std::uint8_t Clamped(float sum) {
    if (sum > 255.0f) return 255;
    if (sum < 0.0f) return 0;
    // Adding 1.5 x 2^23 leaves no fraction bits, so the float addition itself rounds to the
    // nearest integer, halves to even, without a call into the maths library.
    constexpr float magic = 12582912.0f;
    return static_cast<std::uint8_t>(static_cast<int>((sum + magic) - magic));
}

// Every pixel takes its own source pixel whole: the pass copies.
bool IsIdentity(const TContributions& list, int size) {
    if (static_cast<int>(list.size()) != size) return false;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].size() != 1 || list[i][0].Pixel != static_cast<int>(i) || list[i][0].Weight != 1.0f)
            return false;
    return true;
}
} // namespace

void ResampleBitmap(TBitmap& source, TBitmap& destination, TFilterFunction filter, float support) {
    const int sw = source.Width(), sh = source.Height();
    const int dw = destination.Width(), dh = destination.Height();
    if (sw < 1 || sh < 1) throw std::invalid_argument("Source bitmap too small");
    source.SetPixelFormat(pf24bit);
    destination.SetPixelFormat(pf24bit);
    if (dw < 1 || dh < 1) return;

    // Along the rows: source rows at the destination's width. A pass that would only copy (the
    // same size, with a filter that is 1 at 0 and 0 at whole distances) is left out.
    const TContributions columns = Contributions(dw, sw, filter, support);
    const TContributions rows = Contributions(dh, sh, filter, support);
    TBitmap work;
    const TBitmap* across = &source;
    if (!IsIdentity(columns, sw)) {
        work = TBitmap(dw, sh, pf24bit);
        for (int y = 0; y < sh; ++y) {
            const std::uint8_t* src = source.ScanLine(y);
            std::uint8_t* dst = work.ScanLine(y);
            for (int i = 0; i < dw; ++i) {
                float b = 0, g = 0, r = 0;
                for (const TContributor& c : columns[static_cast<std::size_t>(i)]) {
                    const std::uint8_t* p = src + 3 * c.Pixel;
                    b += c.Weight * p[0];
                    g += c.Weight * p[1];
                    r += c.Weight * p[2];
                }
                dst[3 * i] = Clamped(b);
                dst[3 * i + 1] = Clamped(g);
                dst[3 * i + 2] = Clamped(r);
            }
        }
        across = &work;
    }
    if (IsIdentity(rows, sh)) {
        for (int y = 0; y < dh; ++y)
            std::copy_n(across->ScanLine(y), 3 * dw, destination.ScanLine(y));
        return;
    }

    // Along the columns, a whole destination row at a time; each pixel's sum runs over the taps
    // in the same order as one pixel at a time would.
    std::vector<float> sums(static_cast<std::size_t>(dw) * 3);
    for (int i = 0; i < dh; ++i) {
        std::fill(sums.begin(), sums.end(), 0.0f);
        for (const TContributor& c : rows[static_cast<std::size_t>(i)]) {
            const std::uint8_t* src = across->ScanLine(c.Pixel);
            for (std::size_t k = 0; k < sums.size(); ++k)
                sums[k] += c.Weight * src[k];
        }
        std::uint8_t* dst = destination.ScanLine(i);
        for (std::size_t k = 0; k < sums.size(); ++k)
            dst[k] = Clamped(sums[k]);
    }
}
