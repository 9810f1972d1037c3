#include "sizes.h"

#include <QDir>
#include <cstdint>

namespace trameda::picture {

QString listPattern() {
    return QStringLiteral("*.jpg;*.gif;*.bmp");
}

QString sourcePath(const QString& folder, const QString& fileName) {
    QString path = folder;
    if (!path.endsWith(u'/') && !path.endsWith(QDir::separator()))
        path += u'/';
    return path + fileName;
}

int coupledSide(int value, int numerator, int denominator, int min, int max) {
    // The product reaches 300000: wider than the bars' own 16-bit values.
    std::int64_t side = std::int64_t(value) * numerator / denominator;
    if (side > max)
        side = max;
    if (side < min)
        side = min;
    return int(side);
}

} // namespace trameda::picture
