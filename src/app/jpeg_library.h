#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// The library's header needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace ormel {

/// The libjpeg calls the decoder makes. libjpeg is loaded when the first picture is decoded (the
/// about box opening), not when the program starts, which most sessions never need it for.
struct JpegLibrary {
  jpeg_error_mgr* (*std_error)(jpeg_error_mgr*);
  void (*CreateDecompress)(j_decompress_ptr, int, std::size_t);
  void (*mem_src)(j_decompress_ptr, const unsigned char*, unsigned long);
  int (*read_header)(j_decompress_ptr, boolean);
  void (*calc_output_dimensions)(j_decompress_ptr);
  boolean (*start_decompress)(j_decompress_ptr);
  JDIMENSION (*read_scanlines)(j_decompress_ptr, JSAMPARRAY, JDIMENSION);
  boolean (*finish_decompress)(j_decompress_ptr);
  void (*destroy_decompress)(j_decompress_ptr);
};

/// libjpeg (the interface version the program is built with, libjpeg.so.62), loaded on the first
/// call from any thread and kept for the rest of the program; nullptr when it cannot be loaded,
/// with the reason in error.
const JpegLibrary* jpegLibrary(std::string& error);

}  // namespace ormel
