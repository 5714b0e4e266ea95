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
  return creditsText("Faithful Testers:", {
                                              "Ilse Maasland",
                                              "Teun Gerritsen",
                                              "Farah Quraishi",
                                              "Mikkel Strandvold",
                                              "Lucia Ferreyra",
                                          });
}

std::string supportCredits() {
  return creditsText("Great Support:", {
                                           "Lotte Brakenhoff (engine)",
                                           "Kasper Ruigrok (scratch pad)",
                                           "Nadia El Amrani (dialogs)",
                                           "Bram Overdijk (updates)",
                                           "The Qt Project (Qt)",
                                           "The curl project (libcurl)",
                                           "libjpeg-turbo team (libjpeg-turbo)",
                                           "Google (GoogleTest)",
                                           "Google (Google Benchmark)",
                                           "muparser authors (muparser)",
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
