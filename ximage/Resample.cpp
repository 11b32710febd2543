#include "ximage/Resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kChannels = 4;

double Triangle(double x) {
    x = std::fabs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

// Keys' cubic with a = -0.5.
double Cubic(double x) {
    constexpr double a = -0.5;
    x = std::fabs(x);
    if (x < 1.0) return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
    if (x < 2.0) return (((x - 5.0) * x + 8.0) * x - 4.0) * a;
    return 0.0;
}

// For every output position along one axis: the first source index and the weights of the
// taps that follow it, with indices clamped to the edges.
struct Taps {
    int count = 0;
    std::vector<int> index;     // outSize * count
    std::vector<float> weight;  // outSize * count
};

Taps ComputeTaps(int inSize, int outSize, ResampleFilter filter) {
    double scale = static_cast<double>(inSize) / outSize;
    double stretch = std::max(scale, 1.0);
    double support = (filter == ResampleFilter::Bicubic ? 2.0 : 1.0) * stretch;
    auto kernel = filter == ResampleFilter::Bicubic ? Cubic : Triangle;

    Taps taps;
    taps.count = static_cast<int>(std::ceil(support)) * 2 + 1;
    taps.index.resize(static_cast<size_t>(outSize) * taps.count);
    taps.weight.resize(static_cast<size_t>(outSize) * taps.count);
    for (int out = 0; out < outSize; ++out) {
        double center = (out + 0.5) * scale;
        int first = static_cast<int>(std::floor(center - support));
        double total = 0.0;
        int* index = &taps.index[static_cast<size_t>(out) * taps.count];
        float* weight = &taps.weight[static_cast<size_t>(out) * taps.count];
        for (int k = 0; k < taps.count; ++k) {
            int in = first + k;
            double w = kernel((in + 0.5 - center) / stretch);
            index[k] = std::clamp(in, 0, inSize - 1);
            weight[k] = static_cast<float>(w);
            total += w;
        }
        if (total != 0.0)
            for (int k = 0; k < taps.count; ++k) weight[k] = static_cast<float>(weight[k] / total);
    }
    return taps;
}

uint8_t ToByte(float value) { return static_cast<uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f)); }

}  // namespace

bool ResamplePixels(const uint8_t* src, int srcWidth, int srcHeight, uint8_t* dst, int dstWidth, int dstHeight,
                    ResampleFilter filter) {
    if (!src || !dst || srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0) return false;

    Taps across = ComputeTaps(srcWidth, dstWidth, filter);
    Taps down = ComputeTaps(srcHeight, dstHeight, filter);

    // One output row at a time: the vertical pass over whole source rows (contiguous, so the
    // compiler vectorises it) into floats, then the horizontal pass, which rounds once.
    const size_t rowValues = static_cast<size_t>(srcWidth) * kChannels;
    std::vector<float> column(rowValues);
    for (int y = 0; y < dstHeight; ++y) {
        const int* index = &down.index[static_cast<size_t>(y) * down.count];
        const float* weight = &down.weight[static_cast<size_t>(y) * down.count];
        std::fill(column.begin(), column.end(), 0.0f);
        for (int k = 0; k < down.count; ++k) {
            const float w = weight[k];
            if (w == 0.0f) continue;
            const uint8_t* row = src + static_cast<size_t>(index[k]) * rowValues;
            for (size_t i = 0; i < rowValues; ++i) column[i] += w * row[i];
        }

        uint8_t* out = dst + static_cast<size_t>(y) * dstWidth * kChannels;
        for (int x = 0; x < dstWidth; ++x) {
            const int* tap = &across.index[static_cast<size_t>(x) * across.count];
            const float* w = &across.weight[static_cast<size_t>(x) * across.count];
            float b = 0, g = 0, r = 0, a = 0;
            for (int k = 0; k < across.count; ++k) {
                const float* p = &column[static_cast<size_t>(tap[k]) * kChannels];
                b += w[k] * p[0];
                g += w[k] * p[1];
                r += w[k] * p[2];
                a += w[k] * p[3];
            }
            out[x * kChannels + 0] = ToByte(b);
            out[x * kChannels + 1] = ToByte(g);
            out[x * kChannels + 2] = ToByte(r);
            out[x * kChannels + 3] = ToByte(a);
        }
    }
    return true;
}
