#include "resample.h"

#include "options.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace trameda::stitching {

SizeChoice patternSize(QSize picture, int across, int down, QSize chartCells) {
    SizeChoice choice;
    PatternSize size;
    const double width = std::max(1, picture.width());
    const double height = std::max(1, picture.height());
    if (across <= 0 && down <= 0) {
        size.across = chartCells.width();
        size.down = chartCells.height();
    } else if (down <= 0 || across <= 0) {
        // One side asked: the other keeps the picture's proportions.
        const bool wide = down <= 0;
        const int given = wide ? across : down;
        const double other = given * (wide ? height / width : width / height);
        const long long rounded = std::max(1LL, std::llround(other));
        if (rounded > kMaxStitches) {
            choice.failure = QStringLiteral("con %1 punti in %2 l'immagine ne vuole %3 in %4, "
                                            "più di %5")
                                 .arg(given)
                                 .arg(wide ? QStringLiteral("larghezza") : QStringLiteral("altezza"))
                                 .arg(rounded)
                                 .arg(wide ? QStringLiteral("altezza") : QStringLiteral("larghezza"))
                                 .arg(kMaxStitches);
            return choice;
        }
        size.across = wide ? across : int(rounded);
        size.down = wide ? int(rounded) : down;
    } else {
        size.across = across;
        size.down = down;
        // The largest centred part of the picture with the stitches' proportions.
        const double pictureShape = width / height;
        const double patternShape = double(across) / double(down);
        if (pictureShape > patternShape) {
            const double share = patternShape / pictureShape;
            size.crop = QRectF((1 - share) / 2, 0, share, 1);
        } else if (pictureShape < patternShape) {
            const double share = pictureShape / patternShape;
            size.crop = QRectF(0, (1 - share) / 2, 1, share);
        }
    }
    if (size.across < 1 || size.down < 1) {
        choice.failure = QStringLiteral("lo schema non ha punti");
        return choice;
    }
    choice.size = size;
    return choice;
}

namespace {

// sRGB's transfer curve, both ways.
const std::array<float, 256>& linearTable() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            t[std::size_t(i)] =
                float(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return t;
    }();
    return table;
}

int encoded(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    const double v =
        linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return std::clamp(int(std::lround(v * 255)), 0, 255);
}

// The source pixels under each of `count` equal spans of [from, to), with the share of each
// pixel the span covers.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> spans(double from, double to, int count, int limit) {
    std::vector<Span> result(static_cast<std::size_t>(count));
    const double step = (to - from) / count;
    for (int i = 0; i < count; ++i) {
        const double a = from + i * step;
        const double b = i + 1 == count ? to : from + (i + 1) * step;
        Span& span = result[std::size_t(i)];
        span.first = std::clamp(int(std::floor(a)), 0, limit - 1);
        const int last = std::clamp(int(std::ceil(b)) - 1, span.first, limit - 1);
        double total = 0;
        for (int p = span.first; p <= last; ++p) {
            const double w = std::max(0.0, std::min(b, p + 1.0) - std::max(a, double(p)));
            span.weights.push_back(float(w));
            total += w;
        }
        // A span narrower than rounding can see still takes its pixel.
        if (total <= 0) {
            span.weights.assign(1, 1.0f);
            total = 1;
        }
        for (float& w : span.weights)
            w = float(w / total);
    }
    return result;
}

} // namespace

std::vector<QRgb> averageCells(const QImage& picture, const PatternSize& size) {
    const QImage image = picture.format() == QImage::Format_RGB32 ||
                                 picture.format() == QImage::Format_ARGB32
                             ? picture
                             : picture.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        throw std::bad_alloc();
    const int width = image.width();
    const int height = image.height();
    const std::vector<Span> columns = spans(size.crop.left() * width, size.crop.right() * width,
                                            size.across, width);
    const std::vector<Span> rows =
        spans(size.crop.top() * height, size.crop.bottom() * height, size.down, height);
    const auto& linear = linearTable();

    // Across first, for the source rows the stitches use, then down.
    const int firstRow = rows.front().first;
    const int lastRow = rows.back().first + int(rows.back().weights.size()) - 1;
    const std::size_t across = std::size_t(size.across);
    std::vector<float> narrowed(std::size_t(lastRow - firstRow + 1) * across * 3);
    for (int y = firstRow; y <= lastRow; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        float* out = narrowed.data() + std::size_t(y - firstRow) * across * 3;
        for (std::size_t c = 0; c < across; ++c) {
            const Span& span = columns[c];
            float r = 0, g = 0, b = 0;
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                const QRgb p = line[span.first + int(k)];
                const float w = span.weights[k];
                r += w * linear[std::size_t(qRed(p))];
                g += w * linear[std::size_t(qGreen(p))];
                b += w * linear[std::size_t(qBlue(p))];
            }
            out[3 * c] = r;
            out[3 * c + 1] = g;
            out[3 * c + 2] = b;
        }
    }

    std::vector<QRgb> cells;
    cells.reserve(across * std::size_t(size.down));
    std::vector<double> sum(across * 3);
    for (const Span& span : rows) {
        std::fill(sum.begin(), sum.end(), 0.0);
        for (std::size_t k = 0; k < span.weights.size(); ++k) {
            const float* in = narrowed.data() + std::size_t(span.first + int(k) - firstRow) *
                                                    across * 3;
            const double w = span.weights[k];
            for (std::size_t i = 0; i < across * 3; ++i)
                sum[i] += w * in[i];
        }
        for (std::size_t c = 0; c < across; ++c)
            cells.push_back(qRgb(encoded(sum[3 * c]), encoded(sum[3 * c + 1]),
                                 encoded(sum[3 * c + 2])));
    }
    return cells;
}

} // namespace trameda::stitching
