#include "imagescale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace trameda {

namespace {

// For each target index, the source indices it covers and how much of each (in source units).
struct Span {
    int first = 0;
    std::vector<float> weights;
    float total = 0;
};

std::vector<Span> spans(int sourceLength, int targetLength) {
    std::vector<Span> result(static_cast<std::size_t>(targetLength));
    const double ratio = double(sourceLength) / double(targetLength);
    for (int t = 0; t < targetLength; ++t) {
        const double begin = t * ratio;
        const double end = (t + 1) * ratio;
        Span& span = result[static_cast<std::size_t>(t)];
        span.first = std::min(int(std::floor(begin)), sourceLength - 1);
        const int last = std::min(int(std::ceil(end)) - 1, sourceLength - 1);
        for (int s = span.first; s <= std::max(last, span.first); ++s) {
            const double overlap = std::min(end, double(s + 1)) - std::max(begin, double(s));
            const float w = float(std::max(overlap, 0.0));
            span.weights.push_back(w);
            span.total += w;
        }
        if (span.total <= 0) { // cannot happen for positive lengths; keep the pixel anyway
            span.weights.assign(1, 1.0f);
            span.total = 1.0f;
        }
    }
    return result;
}

} // namespace

QImage areaScale(const QImage& input, QSize size) {
    if (input.isNull() || size.isEmpty())
        return {};
    const QImage source = input.convertToFormat(QImage::Format_RGB32);
    if (source.size() == size)
        return source;

    const std::vector<Span> columns = spans(source.width(), size.width());
    const std::vector<Span> rows = spans(source.height(), size.height());
    QImage target(size, QImage::Format_RGB32);

    // One target row at a time: first blend the source rows it covers into `line`, then blend
    // the columns of `line`. Only one source-wide row of floats is ever held.
    std::vector<float> line(static_cast<std::size_t>(source.width()) * 3);
    for (int ty = 0; ty < size.height(); ++ty) {
        const Span& rowSpan = rows[static_cast<std::size_t>(ty)];
        std::fill(line.begin(), line.end(), 0.0f);
        for (std::size_t k = 0; k < rowSpan.weights.size(); ++k) {
            const float w = rowSpan.weights[k] / rowSpan.total;
            const auto* src =
                reinterpret_cast<const QRgb*>(source.constScanLine(rowSpan.first + int(k)));
            float* out = line.data();
            for (int x = 0; x < source.width(); ++x, out += 3) {
                out[0] += w * float(qRed(src[x]));
                out[1] += w * float(qGreen(src[x]));
                out[2] += w * float(qBlue(src[x]));
            }
        }
        auto* dst = reinterpret_cast<QRgb*>(target.scanLine(ty));
        for (int tx = 0; tx < size.width(); ++tx) {
            const Span& colSpan = columns[static_cast<std::size_t>(tx)];
            float r = 0, g = 0, b = 0;
            const float* in = line.data() + std::size_t(colSpan.first) * 3;
            for (std::size_t k = 0; k < colSpan.weights.size(); ++k, in += 3) {
                const float w = colSpan.weights[k];
                r += w * in[0];
                g += w * in[1];
                b += w * in[2];
            }
            const auto channel = [&](float v) {
                return std::clamp(int(std::lround(v / colSpan.total)), 0, 255);
            };
            dst[tx] = qRgb(channel(r), channel(g), channel(b));
        }
    }
    return target;
}

} // namespace trameda
