#include "app/curl_library.h"

#include <dlfcn.h>

#include "app/loaded_library.h"

namespace ormel {

namespace {

using Loaded = LoadedCalls<CurlLibrary>;

template <typename Function>
bool resolve(void* library, const char* name, Function& function, std::string& error) {
  return resolveSymbol(library, "libcurl", name, function, error);
}

Loaded load() {
  Loaded loaded;
  // The OpenSSL build first, the one the program is built against; the GnuTLS build has the same
  // interface.
  void* library = openFirstLibrary({"libcurl.so.4", "libcurl-gnutls.so.4"}, "libcurl", loaded.error);
  if (library == nullptr) return loaded;
  CurlLibrary& calls = loaded.calls;
  CURLcode (*globalInit)(long) = nullptr;
  std::string& error = loaded.error;
  const bool resolved = resolve(library, "curl_global_init", globalInit, error) &&
                        resolve(library, "curl_easy_init", calls.easy_init, error) &&
                        resolve(library, "curl_easy_cleanup", calls.easy_cleanup, error) &&
                        resolve(library, "curl_easy_setopt", calls.easy_setopt, error) &&
                        resolve(library, "curl_easy_strerror", calls.easy_strerror, error) &&
                        resolve(library, "curl_multi_init", calls.multi_init, error) &&
                        resolve(library, "curl_multi_cleanup", calls.multi_cleanup, error) &&
                        resolve(library, "curl_multi_add_handle", calls.multi_add_handle, error) &&
                        resolve(library, "curl_multi_remove_handle", calls.multi_remove_handle, error) &&
                        resolve(library, "curl_multi_perform", calls.multi_perform, error) &&
                        resolve(library, "curl_multi_poll", calls.multi_poll, error) &&
                        resolve(library, "curl_multi_wakeup", calls.multi_wakeup, error) &&
                        resolve(library, "curl_multi_info_read", calls.multi_info_read, error) &&
                        resolve(library, "curl_slist_append", calls.slist_append, error) &&
                        resolve(library, "curl_slist_free_all", calls.slist_free_all, error);
  if (resolved && globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) error = "libcurl could not be initialised.";
  if (!error.empty()) {
    dlclose(library);
    return loaded;
  }
  // The library stays loaded: its global state lives as long as the program.
  loaded.ok = true;
  return loaded;
}

}  // namespace

const CurlLibrary* curlLibrary(std::string& error) {
  static const Loaded loaded = load();
  return loaded.get(error);
}

}  // namespace ormel
