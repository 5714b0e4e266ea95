#pragma once

#include <cstdint>
#include <string>

namespace ormel {

class THTTPGet;

/// A download as the update check needs it.
class UpdateDownloader {
 public:
  virtual ~UpdateDownloader() = default;
  /// Fetches url into fileName and returns when the download has ended (the window thread keeps
  /// running its events meanwhile). True when it succeeded; false at once while another download
  /// runs. A body larger than maxSize bytes fails.
  virtual bool download(const std::string& url, const std::string& fileName, std::int64_t maxSize) = 0;
};

/// The main window's download component as the update check's downloader.
class HTTPGetDownloader final : public UpdateDownloader {
 public:
  explicit HTTPGetDownloader(THTTPGet& component) : m_component(component) {}
  bool download(const std::string& url, const std::string& fileName, std::int64_t maxSize) override;

 private:
  THTTPGet& m_component;
};

}  // namespace ormel
