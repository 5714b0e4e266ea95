#include "app/update_downloader.h"

#include <memory>
#include <optional>

#include "app/HTTPGet.h"

namespace ormel {

bool HTTPGetDownloader::download(const std::string& url, const std::string& fileName, std::int64_t maxSize) {
  if (m_component.busy()) return false;
  // The outcome comes through the events into a value of this call's own: while GetFile waits,
  // another event may destroy the component, and then no event comes and nothing of it is read.
  auto outcome = std::make_shared<std::optional<bool>>();
  m_component.SetOnDoneFile([outcome](THTTPGet&, const std::string&, std::int64_t) { *outcome = true; });
  m_component.SetOnError([outcome](THTTPGet&) { *outcome = false; });
  m_component.SetURL(url);
  m_component.SetFileName(fileName);
  m_component.SetMaxFileSize(maxSize);
  m_component.SetWaitThread(true);
  m_component.GetFile();
  return outcome->value_or(false);
}

}  // namespace ormel
