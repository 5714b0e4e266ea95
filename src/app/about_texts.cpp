#include "app/about_texts.h"

#include "app/update_paths.h"
#include "base/utility_routines.h"

namespace ormel {
namespace {

constexpr int kDisclaimerWidth = 120;

}  // namespace

std::string aboutPageAddress(std::string_view path) {
  return "http://" + updateServerHost() + std::string(path);
}

std::string creditsText(std::string_view heading, const std::vector<std::string>& lines) {
  std::string text = std::string(heading) + "\r\n\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string testersCredits() {
  // Nobody is named here who did not test it: what does test it, and an invitation to join.
  // Lines are short enough for the about box's narrow columns.
  return creditsText("Faithful Testers:", {
                                              "The unit and widget tests",
                                              "Fuzzers of every parser",
                                              "ASan, UBSan and TSan runs",
                                              "And you: report faults in",
                                              "the ormelWare Forum above",
                                          });
}

std::string supportCredits() {
  return creditsText("Great Support:", {
                                           "Qt (window, rich text)",
                                           "libcurl (update check)",
                                           "libjpeg-turbo (pictures)",
                                           "GoogleTest (unit tests)",
                                           "Google Benchmark (timing)",
                                           "muparser (bench peer)",
                                           "libFuzzer (fuzzing)",
                                       });
}

std::string disclaimerText() {
  return FormatForLabel(
      "ormelCalc is supplied as it is, without any warranty, expressed or implied, including any promise of "
      "merchantability or of fitness for a particular purpose. Its authors are not liable for any damages or "
      "losses, direct or indirect, that arise from the use of this software or from being unable to use it; "
      "you "
      "use it at your own risk.",
      kDisclaimerWidth);
}

}  // namespace ormel
