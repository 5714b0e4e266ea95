#pragma once

#include <initializer_list>
#include <string>

namespace ormel {

/// Opens the first of the shared libraries named that loads (all symbols bound at once, none
/// shared with later loads); nullptr when none does, with "<what> could not be loaded: <reason>."
/// in error.
[[nodiscard]] void* openFirstLibrary(std::initializer_list<const char*> names, const char* what,
                                     std::string& error);

/// The address of the symbol name in library; nullptr when it lacks it, with "<what> lacks
/// <name>." in error.
[[nodiscard]] void* librarySymbol(void* library, const char* what, const char* name, std::string& error);

/// Resolves name in library into function; false with the reason in error.
template <typename Function>
bool resolveSymbol(void* library, const char* what, const char* name, Function& function,
                   std::string& error) {
  void* symbol = librarySymbol(library, what, name, error);
  if (symbol == nullptr) return false;
  function = reinterpret_cast<Function>(symbol);
  return true;
}

/// A library's table of calls once loaded, or why it could not be.
template <typename Calls>
struct LoadedCalls {
  Calls calls{};
  std::string error;
  bool ok = false;

  /// The calls, or nullptr with the reason in error.
  const Calls* get(std::string& reason) const {
    if (!ok) {
      reason = error;
      return nullptr;
    }
    return &calls;
  }
};

}  // namespace ormel
