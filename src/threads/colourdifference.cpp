#include "colourdifference.h"

#include <lcms2.h>
#include <memory>
#include <new>

namespace trameda::threads {

namespace {

// Little CMS converts through a D50 connection space, adapting sRGB's D65 white with Bradford's
// transform. Its Lab profiles always report D50 Lab, whatever white they are given, so the
// colour is taken as XYZ, adapted back to D65 with the same transform, and made Lab against
// D65: the CIELAB that sRGB colours are usually quoted in.
class SrgbToXyz {
public:
    SrgbToXyz() {
        cmsWhitePointFromTemp(&m_whitexyY, 6504);
        cmsxyY2XYZ(&m_white, &m_whitexyY);
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        cmsHPROFILE xyz = cmsCreateXYZProfile();
        if (srgb && xyz)
            m_transform = cmsCreateTransform(srgb, TYPE_RGB_8, xyz, TYPE_XYZ_DBL,
                                             INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
        if (srgb)
            cmsCloseProfile(srgb);
        if (xyz)
            cmsCloseProfile(xyz);
    }
    ~SrgbToXyz() {
        if (m_transform)
            cmsDeleteTransform(m_transform);
    }
    SrgbToXyz(const SrgbToXyz&) = delete;
    SrgbToXyz& operator=(const SrgbToXyz&) = delete;

    std::vector<Lab> convert(std::span<const QRgb> colours) const {
        if (!m_transform)
            throw std::bad_alloc();
        std::vector<unsigned char> rgb;
        rgb.reserve(colours.size() * 3);
        for (const QRgb c : colours) {
            rgb.push_back(static_cast<unsigned char>(qRed(c)));
            rgb.push_back(static_cast<unsigned char>(qGreen(c)));
            rgb.push_back(static_cast<unsigned char>(qBlue(c)));
        }
        std::vector<cmsCIEXYZ> xyz(colours.size());
        cmsDoTransform(m_transform, rgb.data(), xyz.data(), cmsUInt32Number(colours.size()));

        std::vector<Lab> result;
        result.reserve(colours.size());
        for (const cmsCIEXYZ& d50 : xyz) {
            cmsCIEXYZ d65;
            cmsAdaptToIlluminant(&d65, cmsD50_XYZ(), &m_white, &d50);
            cmsCIELab lab;
            cmsXYZ2Lab(&m_white, &lab, &d65);
            result.push_back({lab.L, lab.a, lab.b});
        }
        return result;
    }

private:
    cmsCIExyY m_whitexyY{};
    cmsCIEXYZ m_white{};
    cmsHTRANSFORM m_transform = nullptr;
};

} // namespace

std::vector<Lab> toLab(std::span<const QRgb> colours) {
    // Set up once; a transform without a cache may be shared between threads.
    static const SrgbToXyz transform;
    return transform.convert(colours);
}

Lab toLab(QRgb colour) {
    return toLab(std::span<const QRgb>(&colour, 1)).front();
}

double ciede2000(const Lab& x, const Lab& y) {
    const cmsCIELab first{x.L, x.a, x.b};
    const cmsCIELab second{y.L, y.a, y.b};
    return cmsCIE2000DeltaE(&first, &second, 1.0, 1.0, 1.0);
}

} // namespace trameda::threads
