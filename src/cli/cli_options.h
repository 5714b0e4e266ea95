#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ormel {

/// What the command line asks of the terminal companion.
struct CliOptions {
  std::optional<std::string> dataDir;
  std::optional<std::string> openSheet;
  std::optional<std::string> saveSheet;
  std::vector<std::string> files;
  /// -e: lines to evaluate one by one, printing only their answers.
  std::vector<std::string> expressions;
  /// --recalculate: the opened sheet is recalculated before any line is entered.
  bool recalculate = false;
  bool help = false;
  bool version = false;
};

/// Reads the arguments (without the program name). "--" ends the options; "-" alone is a FILE.
/// On a usage error gives nothing and sets error to the reason.
[[nodiscard]] std::optional<CliOptions> parseCliOptions(const std::vector<std::string>& arguments,
                                                        std::string& error);

/// The usage text for --help.
[[nodiscard]] std::string cliUsage();

}  // namespace ormel
