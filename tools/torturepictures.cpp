// Writes the picture files that are hardest on a reader, for scripts/torture-pictures: JPEGs of
// a few hundred bytes that claim tens of thousands of pixels a side, progressive JPEGs made of
// thousands of tiny scans, a genuine 100-megapixel photo both progressive and baseline, a BMP
// near its limit, and GIF and BMP headers that claim more than any decoder should take on; PNGs
// whose data run on far past the picture, damaged ones and 16-bit photos near the limit, BMPs
// stored top down, JPEG kinds the decoder does not support, an Exif block after a colour profile
// of megabytes and a GIF whose data go on for a gigabyte. Large files already present are kept,
// so a rerun is quick.
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
#include <zlib.h>

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

// A genuine BMP of width x height and 8 (grey), 24 or 32 bits, written a row at a time, the
// bottom row first or, with `topDown`, the top row first.
bool writeBmp(const std::filesystem::path& path, int width, int height, int bits = 24,
              bool topDown = false) {
    Options o;
    o.width = width;
    o.height = height;
    const std::size_t bytes = std::size_t(bits / 8);
    const std::uint32_t rowBytes = (std::uint32_t(width) * std::uint32_t(bytes) + 3) / 4 * 4;
    const std::uint32_t palette = bits == 8 ? 1024 : 0;
    Bytes header = bmpClaiming(width, topDown ? -height : height);
    header.resize(54);
    header[10] = std::uint8_t(54 + palette); // offset of the rows, up to 1078
    header[11] = std::uint8_t((54 + palette) >> 8);
    header[28] = std::uint8_t(bits);
    const std::uint32_t imageBytes = rowBytes * std::uint32_t(height);
    for (int i = 0; i < 4; ++i) {
        header[std::size_t(2 + i)] = std::uint8_t((54 + palette + imageBytes) >> (8 * i));
        header[std::size_t(34 + i)] = std::uint8_t(imageBytes >> (8 * i));
    }
    for (std::uint32_t i = 0; i < palette / 4; ++i)
        header.insert(header.end(), {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0});
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(header.data()), std::streamsize(header.size()));
    std::vector<JSAMPLE> rgb(std::size_t(width) * 3);
    std::vector<char> row(rowBytes, 0);
    for (int i = 0; i < height && out; ++i) {
        const int y = topDown ? i : height - 1 - i;
        photoRow(y, o, rgb.data());
        for (std::size_t x = 0; x < std::size_t(width); ++x) {
            const JSAMPLE* p = &rgb[x * 3];
            if (bits == 8) {
                row[x] = char((p[0] + p[1] + p[2]) / 3);
                continue;
            }
            for (std::size_t c = 0; c < 3; ++c) // BMP keeps blue, green, red
                row[x * bytes + c] = char(p[2 - c]);
            if (bits == 32)
                row[x * bytes + 3] = char(0xFF);
        }
        out.write(row.data(), std::streamsize(row.size()));
    }
    out.close();
    if (!out)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return bool(out);
}

void putBig32(Bytes& b, std::uint32_t v) {
    for (int i = 3; i >= 0; --i)
        b.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

Bytes pngChunk(const char* type, const Bytes& body) {
    Bytes b;
    putBig32(b, std::uint32_t(body.size()));
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), body.begin(), body.end());
    putBig32(b, std::uint32_t(crc32(0, b.data() + 4, uInt(b.size() - 4))));
    return b;
}

Bytes pngStart(std::uint32_t width, std::uint32_t height, int depth, int colourType) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    putBig32(header, width);
    putBig32(header, height);
    header.insert(header.end(), {std::uint8_t(depth), std::uint8_t(colourType), 0, 0, 0});
    const Bytes ihdr = pngChunk("IHDR", header);
    b.insert(b.end(), ihdr.begin(), ihdr.end());
    return b;
}

// A PNG of the photograph, compressed as it is written: `depth` 8 or 16 bits, colour type 2 (RGB)
// or 6 (with alpha). After the rows, `runOn` bytes of zeros go on in the same compressed stream.
bool writePng(const std::filesystem::path& path, int width, int height, int depth, int colourType,
              std::uint64_t runOn = 0, int level = 6) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const Bytes start = pngStart(std::uint32_t(width), std::uint32_t(height), depth, colourType);
    out.write(reinterpret_cast<const char*>(start.data()), std::streamsize(start.size()));
    z_stream z{};
    deflateInit(&z, level);
    Bytes chunk(1 << 16);
    const auto feed = [&](const Bytes& in, int flush) {
        z.next_in = const_cast<Bytef*>(in.data());
        z.avail_in = uInt(in.size());
        do {
            z.next_out = chunk.data();
            z.avail_out = uInt(chunk.size());
            deflate(&z, flush);
            const Bytes idat =
                pngChunk("IDAT", Bytes(chunk.begin(), chunk.end() - std::ptrdiff_t(z.avail_out)));
            if (z.avail_out != chunk.size())
                out.write(reinterpret_cast<const char*>(idat.data()), std::streamsize(idat.size()));
        } while (z.avail_out == 0);
    };
    Options o;
    o.width = width;
    o.height = height;
    const int channels = colourType == 6 ? 4 : 3;
    std::vector<JSAMPLE> rgb(std::size_t(width) * 3);
    Bytes row(1 + std::size_t(width) * std::size_t(channels) * std::size_t(depth / 8));
    for (int y = 0; y < height; ++y) {
        photoRow(y, o, rgb.data());
        std::size_t at = 1;
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                const int v = c < 3 ? rgb[std::size_t(x) * 3 + std::size_t(c)] : 255 - x % 64;
                row[at++] = std::uint8_t(v);
                if (depth == 16)
                    row[at++] = std::uint8_t((x * 7 + y) & 0xFF); // the low byte
            }
        feed(row, Z_NO_FLUSH);
    }
    const Bytes zeros(1 << 20, 0);
    for (std::uint64_t left = runOn; left > 0; left -= std::min<std::uint64_t>(left, zeros.size()))
        feed(left >= zeros.size() ? zeros : Bytes(std::size_t(left), 0), Z_NO_FLUSH);
    feed({}, Z_FINISH);
    deflateEnd(&z);
    const Bytes end = pngChunk("IEND", {});
    out.write(reinterpret_cast<const char*>(end.data()), std::streamsize(end.size()));
    out.close();
    if (!out)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return bool(out);
}

// A small PNG of the photograph, in memory.
Bytes smallPng(const std::filesystem::path& scratch) {
    writePng(scratch, 300, 200, 8, 2);
    std::ifstream in(scratch, std::ios::binary);
    Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(scratch);
    return b;
}

// A GIF of width x height whose one frame's data go on for `bytes` bytes, far more than its
// pixels take.
bool writeEndlessGif(const std::filesystem::path& path, int width, int height,
                     std::uint64_t bytes) {
    Bytes start = {'G', 'I', 'F', '8', '9', 'a'};
    put16(start, std::uint16_t(width));
    put16(start, std::uint16_t(height));
    start.insert(start.end(), {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x2C});
    put16(start, 0);
    put16(start, 0);
    put16(start, std::uint16_t(width));
    put16(start, std::uint16_t(height));
    start.insert(start.end(), {0x00, 0x02});
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(start.data()), std::streamsize(start.size()));
    Bytes blocks;
    for (int i = 0; i < 4096; ++i) {
        blocks.push_back(0xFF);
        blocks.insert(blocks.end(), 255, 0x55);
    }
    for (std::uint64_t written = 0; written < bytes && out; written += blocks.size())
        out.write(reinterpret_cast<const char*>(blocks.data()), std::streamsize(blocks.size()));
    out.write("\0;", 2);
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

    // PNGs. A 4 MB one, named as a photo, whose data run on to 4 GB past its rows.
    const auto bomb = folder / "png-4gb.jpg";
    if (!std::filesystem::exists(bomb))
        ok = writePng(bomb, 1000, 1000, 8, 2, std::uint64_t(4) << 30, 9) && ok;
    // 16-bit photos of 25 and 20 megapixels, within what a PNG may be.
    const auto rgb16 = folder / "png-16bit-25mp.png";
    if (!std::filesystem::exists(rgb16))
        ok = writePng(rgb16, 6124, 4082, 16, 2, 0, 1) && ok;
    const auto rgba16 = folder / "png-16bit-20mp-alfa.png";
    if (!std::filesystem::exists(rgba16))
        ok = writePng(rgba16, 5472, 3648, 16, 6, 0, 1) && ok;
    const Bytes png = smallPng(folder / "png-piccola.tmp");
    ok = write(folder / "png-troncata.png",
               Bytes(png.begin(), png.begin() + long(png.size() / 2))) &&
         ok;
    Bytes badCrc = png;
    badCrc[png.size() / 2] ^= 0x55; // inside the compressed data
    ok = write(folder / "png-crc.png", badCrc) && ok;
    Bytes impossible = pngStart(300, 200, 3, 2); // RGB of 3 bits a sample does not exist
    impossible.insert(impossible.end(), png.begin() + 33, png.end());
    ok = write(folder / "png-impossibile.png", impossible) && ok;
    Bytes huge = pngStart(40000, 40000, 8, 2);
    huge.insert(huge.end(), png.begin() + 33, png.end());
    ok = write(folder / "png-40000x40000.png", huge) && ok;

    // BMPs of 8, 24 and 32 bits stored top down, and the same stored bottom up.
    for (int bits : {8, 24, 32})
        for (bool topDown : {true, false})
            ok = writeBmp(folder / ((topDown ? "bmp-dall-alto-" : "bmp-dal-basso-") +
                                    std::to_string(bits) + ".bmp"),
                          600, 400, bits, topDown) &&
                 ok;

    // JPEG kinds libjpeg does not decode: 12 bits a sample, lossless.
    Options plain;
    plain.width = 640;
    plain.height = 480;
    const Bytes photoJpeg = encode(plain, false);
    const std::size_t frame = findMarker(photoJpeg, 0xC0);
    Bytes twelve = photoJpeg;
    twelve[frame + 4] = 12;
    ok = write(folder / "jpg-12bit.jpg", twelve) && ok;
    Bytes lossless = photoJpeg;
    lossless[frame + 1] = 0xC3;
    ok = write(folder / "jpg-lossless.jpg", lossless) && ok;

    // Exif orientation 6 (turn a quarter clockwise), right after the start and after a colour
    // profile of 2 MB (33 APP2 blocks).
    const Bytes exif = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0,    0,    'I', 'I',
                        '*',  0,    8,    0,    0,   0,   1,   0,   0x12, 0x01, 3,   0,
                        1,    0,    0,    0,    6,   0,   0,   0,   0,    0,    0,   0};
    Bytes profile;
    for (int i = 0; i < 33; ++i) {
        const std::size_t length = 2 + 14 + 65000;
        profile.insert(profile.end(),
                       {0xFF, 0xE2, std::uint8_t(length >> 8), std::uint8_t(length & 0xFF)});
        const char tag[] = "ICC_PROFILE";
        profile.insert(profile.end(), tag, tag + sizeof tag);
        profile.insert(profile.end(), {std::uint8_t(i + 1), 33});
        profile.resize(profile.size() + 65000, 0x11);
    }
    const auto startWith = [&](std::initializer_list<const Bytes*> blocks) {
        Bytes b(photoJpeg.begin(), photoJpeg.begin() + 2);
        for (const Bytes* block : blocks)
            b.insert(b.end(), block->begin(), block->end());
        b.insert(b.end(), photoJpeg.begin() + 2, photoJpeg.end());
        return b;
    };
    ok = write(folder / "jpg-diritta.jpg", photoJpeg) && ok;
    ok = write(folder / "jpg-exif.jpg", startWith({&exif})) && ok;
    ok = write(folder / "jpg-profilo-exif.jpg", startWith({&profile, &exif})) && ok;

    // A GIF whose one frame's data go on for a gigabyte.
    const auto endless = folder / "gif-1gb.gif";
    if (!std::filesystem::exists(endless))
        ok = writeEndlessGif(endless, 1000, 1000, std::uint64_t(1) << 30) && ok;

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
