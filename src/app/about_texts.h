#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ormel {

/// Paths of the maker's pages that the about box opens.
inline constexpr std::string_view kHomePagePath = "/ormelWare/";
inline constexpr std::string_view kOnlineHelpPath = "/ormelWare/node/15";
inline constexpr std::string_view kForumPath = "/ormelWare/forum";

/// The address of a page of the maker's web site, on the host the update check asks:
/// "http://", the host, then path.
[[nodiscard]] std::string aboutPageAddress(std::string_view path);

/// A credits list: the heading, an empty line, then one line each; every line, the last
/// included, ends with CR LF.
[[nodiscard]] std::string creditsText(std::string_view heading, const std::vector<std::string>& lines);

/// "Faithful Testers:" and what tests ormelCalc, one a line, ending with an invitation to report
/// faults at the maker's forum.
[[nodiscard]] std::string testersCredits();

/// "Great Support:" and the components ormelCalc is built with or tested by, each followed by
/// what it supplies in brackets.
[[nodiscard]] std::string supportCredits();

/// The one-paragraph disclaimer, wrapped at 120 characters with CR LF.
[[nodiscard]] std::string disclaimerText();

}  // namespace ormel
