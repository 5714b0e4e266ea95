#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ormel {

struct CurlLibrary;

/// One HTTP/1.0 request as it goes out.
struct HttpRequest {
  std::string url;                   ///< "http://host:port/object"
  bool post = false;                 ///< POST with body, else GET
  std::string body;                  ///< the POST body, sent as it is
  std::vector<std::string> headers;  ///< extra request headers, "Name: value"
  std::string userAgent;             ///< none when empty
  std::string referer;               ///< none when empty
  std::string userName;              ///< credentials for a server that asks; none when empty
  std::string password;
  std::size_t readSize = 1025;                       ///< most bytes read from the socket at once
  std::chrono::milliseconds connectTimeout{15'000};  ///< to establish the connection
  /// A connected transfer fails when, in any such span, fewer bytes arrive than
  /// kStallMinimumSpeed allows for; 0 means no limit.
  std::chrono::milliseconds stallTimeout{30'000};
};

/// The slowest average a transfer may keep up, in bytes per second, before it counts as stalled:
/// a server that drips a byte now and then is cut off like one that stops answering.
inline constexpr std::int64_t kStallMinimumSpeed = 100;

/// What a running transfer hands back, on the thread that runs it.
class HttpTransferSink {
 public:
  virtual ~HttpTransferSink() = default;
  /// One header line as received (status lines included, line break removed); a redirect or an
  /// interim response brings a block of its own, starting with its status line.
  virtual void headerLine(std::string_view line) = 0;
  /// Body bytes of the final response, at most readSize at once; false ends the transfer. Time
  /// spent here is not counted as stall time.
  virtual bool bodyData(std::string_view data) = 0;
};

/// How a transfer ended.
enum class HttpOutcome {
  kCompleted,  ///< the response arrived in full
  kAborted,    ///< abort() was called, or the sink ended it
  kFailed,     ///< connection, protocol, timeout or short-body error
};

struct HttpResult {
  HttpOutcome outcome = HttpOutcome::kFailed;
  std::string error;  ///< a readable reason unless completed
};

/// An HTTP exchange on libcurl, run on the calling thread and cut short from any thread. Redirects
/// are followed (at most five, HTTP and HTTPS only); the system's proxy settings apply.
class HttpTransfer {
 public:
  HttpTransfer();
  ~HttpTransfer();
  HttpTransfer(const HttpTransfer&) = delete;
  HttpTransfer& operator=(const HttpTransfer&) = delete;

  /// Runs the exchange and returns when it has ended. Call at most once.
  HttpResult run(const HttpRequest& request, HttpTransferSink& sink);

  /// From any thread, also before run: run returns kAborted within about a tenth of a second.
  void abort();
  [[nodiscard]] bool aborted() const { return m_aborted.load(std::memory_order_acquire); }

 private:
  struct Session;
  std::string m_loadError;  // why libcurl could not be loaded
  const CurlLibrary* m_curl;
  void* m_multi;  // CURLM*, kept opaque so that users of this header do not need curl's
  std::atomic<bool> m_aborted{false};
};

}  // namespace ormel
