#include "app/loaded_library.h"

#include <dlfcn.h>

namespace ormel {

void* openFirstLibrary(std::initializer_list<const char*> names, const char* what, std::string& error) {
  for (const char* name : names) {
    if (void* library = dlopen(name, RTLD_NOW | RTLD_LOCAL)) return library;
  }
  const char* reason = dlerror();
  error = std::string(what) + " could not be loaded: " + (reason != nullptr ? reason : "not found") + ".";
  return nullptr;
}

void* librarySymbol(void* library, const char* what, const char* name, std::string& error) {
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) error = std::string(what) + " lacks " + name + ".";
  return symbol;
}

}  // namespace ormel
