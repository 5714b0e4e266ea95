#include "app/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include "app/jpeg_library.h"

namespace ormel {
namespace {

// Progressive files can hold any number of scans, each a pass over the whole picture; a real
// one has about a dozen.
constexpr int kMaxScans = 500;

// The library reports errors through its error manager; ours jumps back to decodeInto instead
// of ending the process, and counts a warning (damaged data) as an error too.
struct ErrorManager {
  jpeg_error_mgr base;  // first, so that the library's pointer to it is a pointer to this
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

ErrorManager& managerOf(j_common_ptr info) { return *reinterpret_cast<ErrorManager*>(info->err); }

[[noreturn]] void fail(j_common_ptr info) {
  ErrorManager& manager = managerOf(info);
  (*info->err->format_message)(info, manager.message);
  std::longjmp(manager.jump, 1);
}

void emitMessage(j_common_ptr info, int level) {
  if (level < 0) fail(info);
}

void outputMessage(j_common_ptr /*info*/) {}

void monitorProgress(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxScans) return;
  ErrorManager& manager = managerOf(info);
  std::snprintf(manager.message, sizeof manager.message, "The picture has more than %d scans.", kMaxScans);
  std::longjmp(manager.jump, 1);
}

// What the library works on lives in the caller's frame: the jump back to the setjmp here
// then neither skips a destructor nor leaves a changed local of this frame indeterminate.
struct Decoding {
  jpeg_decompress_struct info{};
  jpeg_progress_mgr progress{};
  ErrorManager errors{};
};

// Returns false with the reason in decoding.errors.message.
bool decodeInto(const JpegLibrary& jpeg, std::span<const std::uint8_t> bytes, std::int64_t maxPixels,
                RgbImage& image, Decoding& decoding) {
  jpeg_decompress_struct& info = decoding.info;
  jpeg_progress_mgr& progress = decoding.progress;
  ErrorManager& errors = decoding.errors;
  info.err = jpeg.std_error(&errors.base);
  errors.base.error_exit = fail;
  errors.base.emit_message = emitMessage;
  errors.base.output_message = outputMessage;
  if (setjmp(errors.jump) != 0) {
    jpeg.destroy_decompress(&info);
    return false;
  }
  jpeg.CreateDecompress(&info, JPEG_LIB_VERSION, sizeof info);
  progress.progress_monitor = monitorProgress;
  info.progress = &progress;
  jpeg.mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg.read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg.calc_output_dimensions(&info);
  const std::int64_t pixels = std::int64_t{info.output_width} * info.output_height;
  if (pixels > maxPixels) {
    std::snprintf(errors.message, sizeof errors.message, "The picture is too large (%u x %u pixels).",
                  info.output_width, info.output_height);
    jpeg.destroy_decompress(&info);
    return false;
  }
  jpeg.start_decompress(&info);
  const std::size_t stride = std::size_t{info.output_width} * 3;
  try {
    image.pixels.resize(stride * info.output_height);
  } catch (const std::bad_alloc&) {
    std::snprintf(errors.message, sizeof errors.message, "There is not enough memory for the picture.");
    jpeg.destroy_decompress(&info);
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.pixels.data() + stride * info.output_scanline;
    jpeg.read_scanlines(&info, &row, 1);
  }
  image.width = static_cast<int>(info.output_width);
  image.height = static_cast<int>(info.output_height);
  jpeg.finish_decompress(&info);
  jpeg.destroy_decompress(&info);
  return true;
}

}  // namespace

std::optional<RgbImage> decodeJpeg(std::span<const std::uint8_t> bytes, std::string* error,
                                   std::int64_t maxPixels) {
  std::string loadError;
  const JpegLibrary* jpeg = jpegLibrary(loadError);
  if (jpeg == nullptr) {
    if (error != nullptr) *error = loadError;
    return std::nullopt;
  }
  RgbImage image;
  Decoding decoding;
  if (!decodeInto(*jpeg, bytes, maxPixels, image, decoding)) {
    if (error != nullptr) *error = decoding.errors.message;
    return std::nullopt;
  }
  return image;
}

}  // namespace ormel
