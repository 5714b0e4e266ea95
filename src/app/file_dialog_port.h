#pragma once

#include <string>

namespace ormel {

/// The file save dialog, so that logic can ask for a file without a window system.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  /// Asks the user for a file to save to, starting in folder; empty when the user cancels.
  [[nodiscard]] virtual std::string askSaveFile(const std::string& title, const std::string& folder) = 0;
};

}  // namespace ormel
