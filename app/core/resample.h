#pragma once
// Filtered two-pass resampling of a 24-bit bitmap, for board diagrams: seven filters and the
// resampler. Qt-free; any thread, one bitmap pair at a time.

#include "gif/gif_bitmap.h"

#include <array>

// A filter's weight at distance t; zero outside its support.
using TFilterFunction = float (*)(float t);

float Sinc(float x);
// 1 for -0.5 < t <= 0.5: the edges are not symmetric.
float BoxFilter(float t);
float TriangleFilter(float t);
float HermiteFilter(float t);
float BellFilter(float t);
// Cubic B-spline.
float SplineFilter(float t);
float Lanczos3Filter(float t);
// B = C = 1/3.
float MitchellFilter(float t);

struct TResampleFilter {
    const char* Name;
    TFilterFunction Filter;
    float Support;
};

// "Box", "Triangle", "Hermite", "Bell", "B-Spline", "Lanczos3", "Mitchell", in that order.
extern const std::array<TResampleFilter, 7> ResampleFilters;

// Resamples the whole of source into destination's current width and height, first along the
// rows into a bitmap of the destination's width, then along the columns; the end pixels of source
// and destination are aligned, and taps outside the source are mirrored back inside. Weights are
// worked out once per column and once per row, each pixel's adding up to 1. The source is converted to 24
// bits in place and the destination becomes 24 bits. A source under 1 x 1 raises
// std::invalid_argument("Source bitmap too small"); a destination of one row or column takes the filtered
// middle of the source.
void ResampleBitmap(TBitmap& source, TBitmap& destination, TFilterFunction filter, float support);
