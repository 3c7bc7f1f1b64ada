#pragma once
// A JPEG file whose header reads well but whose four colour components no
// decoder of ours turns into pixels, made with the library directly.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

inline std::string CmykJpeg(int width, int height) {
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(width), c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = 4, c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * 4, 200);
    for (JSAMPROW rows = row.data(); c.next_scanline < c.image_height;) jpeg_write_scanlines(&c, &rows, 1);
    jpeg_finish_compress(&c);
    std::string cmyk(reinterpret_cast<char*>(out), size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return cmyk;
}
