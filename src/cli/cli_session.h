#pragma once

#include <cstdio>
#include <istream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "scratchpad/headless_scratch_pad.h"

namespace ormel {

inline constexpr int kCliOk = 0;
inline constexpr int kCliReported = 1;
inline constexpr int kCliFailed = 2;

/// One run of the terminal companion over its input.
class CliSession {
 public:
  /// Messages go to errors as "status:", "error:" and "alert:" lines.
  CliSession(const CliOptions& options, std::FILE* errors);

  /// Loads preferences, variables and the opening sheet; false (with a message) when the sheet
  /// cannot be read. A variables file that cannot be read is left alone; one that could not be
  /// used in full is kept aside before it is saved over.
  bool start();
  /// Enters every line of input; with echo each line's answer goes to output at once.
  void enterLines(std::istream& input, bool echo, std::FILE* output);
  /// Recalculates the pad from the top; the summary goes to the messages.
  void recalculate();
  /// Enters each expression as a line and prints its answer (without the blank before it) on a
  /// line of its own; a line without an answer prints nothing.
  void evaluate(const std::vector<std::string>& expressions, std::FILE* output);
  /// Saves variables and sheet; false (with a message) when a file cannot be written.
  bool finish();
  /// The pad's final text, each line followed by LF, an empty last line left out.
  void printPad(std::FILE* output) const;
  /// 0 when nothing was reported, 1 when an error or alert was.
  [[nodiscard]] int status() const { return m_reported ? kCliReported : kCliOk; }

 private:
  void report(const char* kind, const std::string& text);
  void loadVariables(const std::string& path);
  void printLines(int first, int last, std::FILE* output) const;

  const CliOptions& m_options;
  std::FILE* m_errors;
  HeadlessScratchPad m_pad;
  bool m_reported = false;
  bool m_keepVariablesFile = false;
};

}  // namespace ormel
