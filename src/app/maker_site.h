#pragma once

#include <string>
#include <string_view>

namespace ormel {

/// The host name of the maker's web site, which serves the updates and the pages the about box
/// links to; a build setting (ORMEL_MAKER_HOST).
[[nodiscard]] std::string_view makerSiteHost();

/// The address of a page of the maker's site: "http://", the host, then path (which starts
/// with "/").
[[nodiscard]] std::string makerSiteAddress(std::string_view path);

}  // namespace ormel
