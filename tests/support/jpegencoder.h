#pragma once

// Writing a JPEG with libjpeg, for the pictures the tests and scripts/torture-pictures make: the
// rows come from `fillRow(y, row)`, and `configure` sets what differs from libjpeg's defaults
// (quality, progression) before the compression starts.

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <jpeglib.h>
#include <vector>

inline std::vector<unsigned char>
encodeJpeg(int width, int height, int components, J_COLOR_SPACE space,
           const std::function<void(int y, JSAMPLE* row)>& fillRow,
           const std::function<void(jpeg_compress_struct&)>& configure = {}) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    if (configure)
        configure(info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(width) * std::size_t(components));
    while (info.next_scanline < info.image_height) {
        fillRow(int(info.next_scanline), row.data());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<unsigned char> bytes(buffer, buffer + length);
    std::free(buffer);
    return bytes;
}
