#include "app/jpeg_library.h"

#include <dlfcn.h>

#include "app/loaded_library.h"

namespace ormel {
namespace {

// The soname that matches the header's interface version: the structures are laid out by it.
static_assert(JPEG_LIB_VERSION == 62);

using Loaded = LoadedCalls<JpegLibrary>;

template <typename Function>
bool resolve(void* library, const char* name, Function& function, std::string& error) {
  return resolveSymbol(library, "libjpeg", name, function, error);
}

Loaded load() {
  Loaded loaded;
  void* library = openFirstLibrary({"libjpeg.so.62"}, "libjpeg", loaded.error);
  if (library == nullptr) return loaded;
  JpegLibrary& calls = loaded.calls;
  std::string& error = loaded.error;
  loaded.ok = resolve(library, "jpeg_std_error", calls.std_error, error) &&
              resolve(library, "jpeg_CreateDecompress", calls.CreateDecompress, error) &&
              resolve(library, "jpeg_mem_src", calls.mem_src, error) &&
              resolve(library, "jpeg_read_header", calls.read_header, error) &&
              resolve(library, "jpeg_calc_output_dimensions", calls.calc_output_dimensions, error) &&
              resolve(library, "jpeg_start_decompress", calls.start_decompress, error) &&
              resolve(library, "jpeg_read_scanlines", calls.read_scanlines, error) &&
              resolve(library, "jpeg_finish_decompress", calls.finish_decompress, error) &&
              resolve(library, "jpeg_destroy_decompress", calls.destroy_decompress, error);
  if (!loaded.ok) dlclose(library);
  return loaded;
}

}  // namespace

const JpegLibrary* jpegLibrary(std::string& error) {
  static const Loaded loaded = load();
  return loaded.get(error);
}

}  // namespace ormel
