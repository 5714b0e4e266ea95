#include "app/maker_site.h"

namespace ormel {

std::string_view makerSiteHost() { return ORMEL_MAKER_HOST; }

std::string makerSiteAddress(std::string_view path) {
  return "http://" + std::string(makerSiteHost()) + std::string(path);
}

}  // namespace ormel
