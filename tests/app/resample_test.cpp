// The diagram resampler: the seven filters, exact copies at the same size, mirrored edges, and
// sources or destinations of a single row or column.

#include "app/core/resample.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

namespace {
TBitmap Row(const std::vector<int>& values) {
    TBitmap b(static_cast<int>(values.size()), 1, pf24bit);
    for (std::size_t x = 0; x < values.size(); ++x)
        for (int c = 0; c < 3; ++c)
            b.ScanLine(0)[3 * x + static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(values[x]);
    return b;
}

std::vector<int> Blues(const TBitmap& b, int y = 0) {
    std::vector<int> v;
    for (int x = 0; x < b.Width(); ++x)
        v.push_back(b.ScanLine(y)[3 * x]);
    return v;
}

TBitmap Random(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    TBitmap b(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3 * w; ++x)
            b.ScanLine(y)[x] = static_cast<std::uint8_t>(rng());
    return b;
}

TBitmap Resampled(TBitmap source, int w, int h, TFilterFunction filter, float support) {
    TBitmap destination(w, h, pf24bit);
    ResampleBitmap(source, destination, filter, support);
    return destination;
}
} // namespace

TEST(Resample, FilterTable) {
    const char* names[] = {"Box", "Triangle", "Hermite", "Bell", "B-Spline", "Lanczos3", "Mitchell"};
    const float supports[] = {0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_STREQ(ResampleFilters[i].Name, names[i]);
        EXPECT_EQ(ResampleFilters[i].Support, supports[i]);
    }
    const struct {
        TFilterFunction filter;
        float t, weight;
    } rows[] = {
        // at 0, inside the support, at its edge, beyond it; symmetric unless noted
        {BoxFilter, 0, 1},
        {BoxFilter, 0.25f, 1},
        {BoxFilter, 0.5f, 1}, // the edge counts ...
        {BoxFilter, -0.5f, 0},
        {BoxFilter, 0.51f, 0}, // ... on one side only
        {TriangleFilter, 0, 1},
        {TriangleFilter, -0.5f, 0.5f},
        {TriangleFilter, 1, 0},
        {HermiteFilter, 0, 1},
        {HermiteFilter, 0.5f, 0.5f},
        {HermiteFilter, -1, 0},
        {BellFilter, 0, 0.75f},
        {BellFilter, 0.5f, 0.5f},
        {BellFilter, -1, 0.125f},
        {BellFilter, 1.5f, 0},
        {SplineFilter, 0, 2.0f / 3},
        {SplineFilter, 0.5f, 0.0625f - 0.25f + 2.0f / 3},
        {SplineFilter, -1, 1.0f / 6},
        {SplineFilter, 2, 0},
        {Lanczos3Filter, 0, 1},
        {Lanczos3Filter, 0.5f, 0.6079271f},
        {Lanczos3Filter, -1, 0},
        {Lanczos3Filter, 3, 0},
        {MitchellFilter, 0, 8.0f / 9},
        {MitchellFilter, 1, 1.0f / 18},
        {MitchellFilter, -1.5f, -0.0347222f},
        {MitchellFilter, 2, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "t = " << r.t);
        EXPECT_NEAR(r.filter(r.t), r.weight, 1e-6f);
        if (r.filter != BoxFilter) {
            EXPECT_EQ(r.filter(r.t), r.filter(-r.t));
        }
    }
    EXPECT_EQ(Sinc(0), 1.0f);
}

TEST(Resample, SameSizeWithTheTriangleIsExact) {
    for (auto [w, h] : {std::pair{1, 1}, {7, 1}, {1, 9}, {53, 41}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const TBitmap source = Random(w, h, static_cast<unsigned>(w * h));
        const TBitmap out = Resampled(source, w, h, TriangleFilter, 1.0f);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < 3 * w; ++x)
                ASSERT_EQ(out.ScanLine(y)[x], source.ScanLine(y)[x]);
    }
}

TEST(Resample, TapsOutsideTheSourceAreMirrored) {
    // Bell at the same size: 0.75 of the pixel and 0.125 of each neighbour. At the left edge the
    // tap at -1 reads pixel 1; at the right edge the tap at the width reads the last pixel.
    const TBitmap out = Resampled(Row({0, 80, 160, 240, 16}), 5, 1, BellFilter, 1.5f);
    EXPECT_EQ(Blues(out), (std::vector<int>{20, 80, 160, 202, 44}));
}

TEST(Resample, FlatColourStaysFlat) {
    // Reducing by a step that is not a whole number must not stripe a flat colour (the weights of
    // each pixel add up to 1), for every filter and the diagram's sizes.
    TBitmap flat(880, 2, pf24bit);
    for (int y = 0; y < 2; ++y)
        std::fill(flat.ScanLine(y), flat.ScanLine(y) + 3 * 880, 240);
    for (const TResampleFilter& f : ResampleFilters)
        for (int size : {110, 220, 500, 660, 879}) {
            SCOPED_TRACE(testing::Message() << f.Name << " " << size);
            EXPECT_EQ(Blues(Resampled(flat, size, 1, f.Filter, f.Support)), std::vector<int>(size, 240));
        }
}

TEST(Resample, BoxEnlargingTakesOneSourcePixelEach) {
    const TBitmap out = Resampled(Row({10, 200, 60}), 8, 1, BoxFilter, 0.5f);
    for (int v : Blues(out))
        EXPECT_TRUE(v == 10 || v == 200 || v == 60) << v;
    EXPECT_EQ(Blues(out).front(), 10);
    EXPECT_EQ(Blues(out).back(), 60);
}

TEST(Resample, SingleRowsAndColumns) {
    // One source pixel spreads evenly.
    TBitmap dot = Row({77});
    const TBitmap wide = Resampled(dot, 9, 4, TriangleFilter, 1.0f);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(Blues(wide, y), std::vector<int>(9, 77));
    // A one-pixel destination takes the filtered middle of a flat source, for every filter.
    for (const TResampleFilter& f : ResampleFilters) {
        SCOPED_TRACE(f.Name);
        TBitmap flat(13, 6, pf24bit);
        for (int y = 0; y < 6; ++y)
            std::fill(flat.ScanLine(y), flat.ScanLine(y) + 3 * 13, 120);
        EXPECT_NEAR(Blues(Resampled(flat, 1, 1, f.Filter, f.Support))[0], 120, 1);
        EXPECT_NEAR(Blues(Resampled(flat, 1, 5, f.Filter, f.Support), 2)[0], 120, 1);
        EXPECT_NEAR(Blues(Resampled(flat, 30, 1, f.Filter, f.Support))[15], 120, 1);
        // Small sources whose mirrored taps would fall outside them.
        const TBitmap two = Resampled(Row({0, 255}), 40, 3, f.Filter, f.Support);
        EXPECT_EQ(two.Width(), 40);
    }
    // A ramp to one pixel: about its middle (the mirror repeats the last pixel but not the first,
    // which leans it a little to the right: 106).
    EXPECT_NEAR(Blues(Resampled(Row({0, 50, 100, 150, 200}), 1, 1, TriangleFilter, 1.0f))[0], 100, 8);
}

TEST(Resample, SourceTooSmall) {
    TBitmap empty(0, 5, pf24bit), destination(10, 10, pf24bit);
    try {
        ResampleBitmap(empty, destination, TriangleFilter, 1.0f);
        ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Source bitmap too small");
    }
}

TEST(Resample, SourceOfAnotherFormatIsConvertedInPlace) {
    TBitmap source(4, 4, pf8bit);
    source.SetPalette({{10, 20, 30, 0}, {200, 100, 0, 0}});
    for (int y = 0; y < 4; ++y)
        source.ScanLine(y)[y] = 1;
    TBitmap destination(4, 4, pf8bit);
    ResampleBitmap(source, destination, TriangleFilter, 1.0f);
    EXPECT_EQ(source.PixelFormat(), pf24bit);
    EXPECT_EQ(destination.PixelFormat(), pf24bit);
    EXPECT_EQ(destination.PixelColor(2, 2), RGBColor(200, 100, 0));
    EXPECT_EQ(destination.PixelColor(1, 2), RGBColor(10, 20, 30));
}
