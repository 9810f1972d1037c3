#include "imagescale.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>
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

// Averages blocks of kx x ky pixels into one, in integers; the blocks at the right and bottom
// edges may be smaller. Every byte is averaged alike (see areaScale).
QImage boxReduce(const QImage& source, int kx, int ky) {
    const int width = (source.width() + kx - 1) / kx;
    const int height = (source.height() + ky - 1) / ky;
    QImage target(width, height, QImage::Format_RGB32);
    if (target.isNull())
        throw std::bad_alloc();
    const std::size_t lineLength = static_cast<std::size_t>(source.width()) * 4;
    std::vector<quint32> line(lineLength);
    for (int ty = 0; ty < height; ++ty) {
        std::fill(line.begin(), line.end(), 0u);
        const int firstRow = ty * ky;
        const int rows = std::min(ky, source.height() - firstRow);
        for (int r = 0; r < rows; ++r) {
            const uchar* __restrict src = source.constScanLine(firstRow + r);
            quint32* __restrict sums = line.data();
            for (std::size_t i = 0; i < lineLength; ++i)
                sums[i] += src[i];
        }
        uchar* dst = target.scanLine(ty);
        for (int tx = 0; tx < width; ++tx) {
            const int firstColumn = tx * kx;
            const int columns = std::min(kx, source.width() - firstColumn);
            const quint32 count = quint32(columns * rows);
            for (int c = 0; c < 4; ++c) {
                quint32 sum = 0;
                for (int k = 0; k < columns; ++k)
                    sum += line[std::size_t(firstColumn + k) * 4 + std::size_t(c)];
                dst[tx * 4 + c] = uchar((sum + count / 2) / count);
            }
        }
    }
    return target;
}

} // namespace

QImage areaScale(QImage input, QSize size) {
    if (input.isNull() || size.isEmpty())
        return {};
    QImage source = std::move(input).convertToFormat(QImage::Format_RGB32);
    if (source.isNull())
        throw std::bad_alloc();
    if (source.size() == size)
        return source;
    // A large reduction first averages whole blocks in integers, several times faster, and
    // leaves less than a halving to the exact area weights below.
    const int kx = std::max(1, source.width() / size.width());
    const int ky = std::max(1, source.height() / size.height());
    if (kx > 1 || ky > 1) {
        source = boxReduce(source, kx, ky);
        if (source.size() == size)
            return source;
    }

    QImage target(size, QImage::Format_RGB32);
    if (target.isNull())
        throw std::bad_alloc();
    const std::vector<Span> columns = spans(source.width(), size.width());
    const std::vector<Span> rows = spans(source.height(), size.height());

    // Each pixel is four bytes and every byte is averaged alike: the unused one of RGB32 is 0xFF
    // everywhere and stays so, which spares caring about byte order. One target row at a time:
    // blend the source rows it covers into `line`, then the columns of `line`. Plain loops over
    // bytes and floats, which the compiler vectorises.
    const std::size_t lineLength = static_cast<std::size_t>(source.width()) * 4;
    std::vector<float> line(lineLength);
    for (int ty = 0; ty < size.height(); ++ty) {
        const Span& rowSpan = rows[static_cast<std::size_t>(ty)];
        std::fill(line.begin(), line.end(), 0.0f);
        for (std::size_t k = 0; k < rowSpan.weights.size(); ++k) {
            const float w = rowSpan.weights[k] / rowSpan.total;
            const uchar* __restrict src = source.constScanLine(rowSpan.first + int(k));
            float* __restrict out = line.data();
            for (std::size_t i = 0; i < lineLength; ++i)
                out[i] += w * float(src[i]);
        }
        uchar* dst = target.scanLine(ty);
        for (int tx = 0; tx < size.width(); ++tx, dst += 4) {
            const Span& colSpan = columns[static_cast<std::size_t>(tx)];
            float acc[4] = {0, 0, 0, 0};
            const float* in = line.data() + std::size_t(colSpan.first) * 4;
            for (std::size_t k = 0; k < colSpan.weights.size(); ++k, in += 4) {
                const float w = colSpan.weights[k];
                for (int c = 0; c < 4; ++c)
                    acc[c] += w * in[c];
            }
            for (int c = 0; c < 4; ++c)
                dst[c] = uchar(std::clamp(int(acc[c] / colSpan.total + 0.5f), 0, 255));
        }
    }
    return target;
}

} // namespace trameda
