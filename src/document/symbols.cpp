#include "symbols.h"

#include "pattern/rules.h"

#include <cmath>

namespace trameda::document {

QString symbolFontFamily() {
    return QStringLiteral("DejaVu Sans");
}

const std::vector<QString>& distinctSymbols() {
    // Chosen from some 180 shapes of DejaVu Sans by rendering each at chart size, blurred as a
    // tired eye sees it, scaled to a common box and compared with every earlier choice in all its
    // mirrorings and quarter turns; a shape was kept only when it differed from every one kept
    // before by more than the letters stitchers mistake (E and F, C and G, b and d, a disc and a
    // ringed disc). Letters and digits with look-alikes, thin strokes and bars were left out
    // beforehand. Bold, simple shapes come first, so that small patterns get the clearest.
    static const std::vector<QString> symbols = [] {
        const char32_t codes[] = {U'●', U'▲', U'★', U'✚', U'○', U'△', U'□', U'◇', U'☆', U'♡',
                                  U'◐', U'◩', U'⊕', U'⊠', U'♪', U'♫', U'✓', U'⌂', U'∞', U'Σ',
                                  U'Φ', U'Ψ', U'Δ', U'Π', U'Ξ', U'#', U'@', U'&', U'%', U'$',
                                  U'§', U'?', U'+', U'×', U'≠', U'¶', U'√', U'☀', U'✗', U'♀',
                                  U'♂', U'∈', U'≡', U'⊥', U'∠', U'⊿', U'✿', U'✩', U'♯', U'♭',
                                  U'▰', U'▱', U'⋈', U'☓', U'✧', U'✫', U'Ω', U'K', U'R', U'S'};
        std::vector<QString> list;
        for (const char32_t code : codes)
            list.push_back(QString::fromUcs4(&code, 1));
        return list;
    }();
    return symbols;
}

QString symbolFor(SymbolSet set, int rank, int entry, int threads) {
    constexpr int kLetters = 16;
    if (set == SymbolSet::Letters && threads <= kLetters && entry < kLetters)
        return pattern::letterFor(entry);
    const std::vector<QString>& symbols = distinctSymbols();
    return symbols[std::size_t(rank) % symbols.size()];
}

namespace {

// WCAG 2's relative luminance of an sRGB colour.
double luminance(const QColor& c) {
    const auto linear = [](int component) {
        const double v = component / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor inkOn(const QColor& fill) {
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(fill, black) >= contrastRatio(fill, white) ? black : white;
}

} // namespace trameda::document
