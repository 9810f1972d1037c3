// Writes the picture files that are hardest on a reader, for scripts/torture-pictures: JPEGs of
// a few hundred bytes that claim tens of thousands of pixels a side, progressive JPEGs made of
// thousands of tiny scans, a genuine 100-megapixel photo both progressive and baseline, a BMP
// near its limit, and GIF and BMP headers that claim more than any decoder should take on. Large
// files already present are kept, so a rerun is quick.
//
//   trameda_torturepictures FOLDER
#include "support/jpegencoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct Options {
    int width = 0;
    int height = 0;
    int components = 3; // 1 grey, 3 colour (4:2:0)
    bool progressive = false;
    int quality = 90;
    // Two scans only, a DC scan and one AC scan of the first component, so that the second can
    // be repeated; otherwise libjpeg's usual progression.
    bool twoScans = false;
};

// A photograph's worth of work for the coder: broad gradients, some shapes and fine noise.
void photoRow(int y, const Options& o, JSAMPLE* row) {
    for (int x = 0; x < o.width; ++x) {
        const std::uint32_t h = (std::uint32_t(x) * 73856093u) ^ (std::uint32_t(y) * 19349663u);
        const int noise = int((h >> 11) % 24);
        const bool disc = (x - o.width / 3) * (x - o.width / 3) / 64 +
                              (y - o.height / 2) * (y - o.height / 2) / 64 <
                          (o.height / 5) * (o.height / 5) / 64;
        const int r = (disc ? 220 : int(std::int64_t(x) * 200 / o.width)) + noise;
        const int g = int(std::int64_t(y) * 180 / o.height) + noise;
        const int b = ((x + y) / 23) % 160 + noise;
        if (o.components == 1) {
            row[std::size_t(x)] = JSAMPLE((r + g + b) / 3);
        } else {
            row[std::size_t(x) * 3] = JSAMPLE(r & 0xFF);
            row[std::size_t(x) * 3 + 1] = JSAMPLE(g & 0xFF);
            row[std::size_t(x) * 3 + 2] = JSAMPLE(b & 0xFF);
        }
    }
}

Bytes encode(const Options& o, bool uniform) {
    static jpeg_scan_info twoScans[2] = {{1, {0}, 0, 0, 0, 0}, {1, {0}, 1, 63, 0, 0}};
    return encodeJpeg(
        o.width, o.height, o.components, o.components == 1 ? JCS_GRAYSCALE : JCS_RGB,
        [&](int y, JSAMPLE* row) {
            if (uniform)
                std::fill_n(row, std::size_t(o.width) * std::size_t(o.components), JSAMPLE(128));
            else
                photoRow(y, o, row);
        },
        [&](jpeg_compress_struct& info) {
            jpeg_set_quality(&info, o.quality, TRUE);
            if (o.twoScans) {
                info.scan_info = twoScans;
                info.num_scans = 2;
            } else if (o.progressive) {
                jpeg_simple_progression(&info);
            }
        });
}

// Offset of the first marker `code` at or after `from`, or npos.
std::size_t findMarker(const Bytes& b, unsigned char code, std::size_t from = 0) {
    for (std::size_t i = from; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == code)
            return i;
    return std::string::npos;
}

// Sets the height and width a frame header claims.
void claim(Bytes& b, int width, int height) {
    std::size_t sof = findMarker(b, 0xC2);
    if (sof == std::string::npos)
        sof = findMarker(b, 0xC0);
    if (sof == std::string::npos) {
        std::fprintf(stderr, "no frame header\n");
        std::exit(1);
    }
    b[sof + 5] = static_cast<unsigned char>(height >> 8);
    b[sof + 6] = static_cast<unsigned char>(height & 0xFF);
    b[sof + 7] = static_cast<unsigned char>(width >> 8);
    b[sof + 8] = static_cast<unsigned char>(width & 0xFF);
}

// A progressive JPEG whose second scan (with the tables before it) is repeated until the file
// has `scans` scans. Each repeat is a few dozen bytes, and each makes a decoder visit every
// block of the picture again.
Bytes manyScans(int width, int height, int scans) {
    Options o;
    o.width = width;
    o.height = height;
    o.components = 1;
    o.progressive = true;
    o.twoScans = true;
    const Bytes two = encode(o, true);
    const std::size_t firstScan = findMarker(two, 0xDA);
    // The entropy-coded data of the first scan ends at the first marker that is neither a
    // stuffed zero nor a restart.
    std::size_t end = firstScan + 2;
    end += (std::size_t(two[end]) << 8) | two[end + 1];
    while (end + 1 < two.size() &&
           !(two[end] == 0xFF && two[end + 1] != 0x00 && (two[end + 1] & 0xF8) != 0xD0))
        ++end;
    const std::size_t eoi = findMarker(two, 0xD9, end);
    Bytes out(two.begin(), two.begin() + std::ptrdiff_t(end));
    for (int i = 1; i < scans; ++i)
        out.insert(out.end(), two.begin() + std::ptrdiff_t(end), two.begin() + std::ptrdiff_t(eoi));
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

void put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

// A 24-bit BMP header claiming width x height, followed by a few rows' worth of data.
Bytes bmpClaiming(int width, int height) {
    Bytes b = {'B', 'M'};
    const std::uint32_t rowBytes = (std::uint32_t(width) * 3 + 3) / 4 * 4;
    put32(b, 54 + rowBytes * std::uint32_t(height));
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, std::uint32_t(width));
    put32(b, std::uint32_t(height));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, rowBytes * std::uint32_t(height));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    b.resize(b.size() + 4096, 0x80);
    return b;
}

// A GIF whose screen and only frame claim width x height, with a few bytes of picture data.
Bytes gifClaiming(int width, int height) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    put16(b, std::uint16_t(width));
    put16(b, std::uint16_t(height));
    b.insert(b.end(), {0x80, 0x00, 0x00}); // global table of two colours
    b.insert(b.end(), {0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF});
    b.push_back(0x2C);
    put16(b, 0);
    put16(b, 0);
    put16(b, std::uint16_t(width));
    put16(b, std::uint16_t(height));
    b.push_back(0x00);
    b.push_back(0x02);                                 // minimum code size
    b.insert(b.end(), {0x02, 0x4C, 0x01, 0x00, 0x3B}); // clear, one pixel, end
    return b;
}

// A genuine 24-bit BMP of width x height, written a row at a time.
bool writeBmp(const std::filesystem::path& path, int width, int height) {
    Options o;
    o.width = width;
    o.height = height;
    const std::uint32_t rowBytes = (std::uint32_t(width) * 3 + 3) / 4 * 4;
    Bytes header = bmpClaiming(width, height);
    header.resize(54);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(header.data()), std::streamsize(header.size()));
    std::vector<JSAMPLE> rgb(std::size_t(width) * 3);
    std::vector<char> row(rowBytes, 0);
    for (int y = height - 1; y >= 0 && out; --y) { // bottom row first
        photoRow(y, o, rgb.data());
        for (int x = 0; x < width; ++x) // BMP keeps blue, green, red
            for (int c = 0; c < 3; ++c)
                row[std::size_t(x) * 3 + std::size_t(c)] =
                    char(rgb[std::size_t(x) * 3 + 2 - std::size_t(c)]);
        out.write(row.data(), std::streamsize(row.size()));
    }
    out.close();
    if (!out)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return bool(out);
}

bool write(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trameda_torturepictures FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    bool ok = true;

    Options small;
    small.width = 16;
    small.height = 16;
    small.progressive = true;
    small.components = 1;
    Bytes grey = encode(small, false);
    claim(grey, 20000, 20000);
    ok = write(folder / "progressiva-20000x20000.jpg", grey) && ok;
    small.components = 3;
    Bytes colour = encode(small, false);
    claim(colour, 32000, 32000);
    ok = write(folder / "progressiva-32000x32000.jpg", colour) && ok;
    // Within the limits, but with no data for all those pixels.
    Bytes within = colour;
    claim(within, 12000, 8000);
    ok = write(folder / "progressiva-12000x8000-vuota.jpg", within) && ok;
    small.progressive = false;
    Bytes baseline = encode(small, false);
    claim(baseline, 60000, 60000);
    ok = write(folder / "base-60000x60000.jpg", baseline) && ok;

    ok = write(folder / "scansioni-2000.jpg", manyScans(4096, 4096, 2000)) && ok;
    ok = write(folder / "scansioni-20000.jpg", manyScans(4096, 4096, 20000)) && ok;

    Options medium;
    medium.width = 2400;
    medium.height = 1600;
    medium.progressive = true;
    Bytes truncated = encode(medium, false);
    truncated.resize(truncated.size() / 3);
    ok = write(folder / "progressiva-troncata.jpg", truncated) && ok;

    ok = write(folder / "enorme.bmp", bmpClaiming(30000, 30000)) && ok;
    ok = write(folder / "enorme.gif", gifClaiming(60000, 60000)) && ok;

    // 31 megapixels: within what GIF and BMP may be, which Qt decodes whole.
    const auto bmp = folder / "foto-31mp.bmp";
    if (!std::filesystem::exists(bmp))
        ok = writeBmp(bmp, 6800, 4600) && ok;

    Options photo;
    photo.width = 12248;
    photo.height = 8168; // 100.04 megapixels
    for (bool progressive : {false, true}) {
        photo.progressive = progressive;
        const auto path = folder / (progressive ? "foto-100mp-progressiva.jpg" : "foto-100mp.jpg");
        if (!std::filesystem::exists(path))
            ok = write(path, encode(photo, false)) && ok;
    }
    return ok ? 0 : 1;
}
