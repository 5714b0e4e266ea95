#include "app/http_transfer.h"

#include <algorithm>
#include <memory>

#include "app/curl_library.h"

namespace ormel {

namespace {

using Clock = std::chrono::steady_clock;

// The longest the loop sleeps before it looks at an abort again (curl_multi_wakeup cuts it short).
constexpr int kPollMilliseconds = 50;
constexpr long kMaxRedirects = 5;

struct EasyDeleter {
  const CurlLibrary* curl;
  void operator()(CURL* easy) const { curl->easy_cleanup(easy); }
};
struct ListDeleter {
  const CurlLibrary* curl;
  void operator()(curl_slist* list) const { curl->slist_free_all(list); }
};

CURLM* multiOf(void* handle) { return static_cast<CURLM*>(handle); }

}  // namespace

// The state the callbacks share with the loop; all of it lives on the transfer's thread.
struct HttpTransfer::Session {
  HttpTransferSink& sink;
  const HttpRequest& request;
  const std::atomic<bool>& aborted;
  bool sinkEnded = false;
  bool connected = false;
  bool windowOpen = false;
  Clock::time_point windowStart{};
  std::int64_t windowBytes = 0;

  // True when the transfer has stalled; opens the first window once connected.
  bool stalled(Clock::time_point now) {
    if (request.stallTimeout.count() <= 0 || !connected) return false;
    if (!windowOpen) {
      windowOpen = true;
      windowStart = now;
      windowBytes = 0;
      return false;
    }
    if (now - windowStart < request.stallTimeout) return false;
    const std::int64_t required =
        std::max<std::int64_t>(1, kStallMinimumSpeed * request.stallTimeout.count() / 1000);
    if (windowBytes < required) return true;
    windowStart = now;
    windowBytes = 0;
    return false;
  }

  static int prerequest(void* data, char*, char*, int, int) {
    static_cast<Session*>(data)->connected = true;
    return CURL_PREREQFUNC_OK;
  }

  static std::size_t header(char* buffer, std::size_t, std::size_t size, void* data) {
    auto& session = *static_cast<Session*>(data);
    if (session.aborted.load(std::memory_order_acquire)) return 0;
    session.windowBytes += static_cast<std::int64_t>(size);
    std::string_view line(buffer, size);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (!line.empty()) session.sink.headerLine(line);
    return size;
  }

  static std::size_t body(char* buffer, std::size_t, std::size_t size, void* data) {
    auto& session = *static_cast<Session*>(data);
    if (session.aborted.load(std::memory_order_acquire)) return 0;
    session.windowBytes += static_cast<std::int64_t>(size);
    const auto start = Clock::now();
    const bool goOn = session.sink.bodyData(std::string_view(buffer, size));
    // The receiver's time (a hand-off to a busy window thread) is not the server's fault.
    session.windowStart += Clock::now() - start;
    if (goOn) return size;
    session.sinkEnded = true;
    return 0;
  }
};

HttpTransfer::HttpTransfer()
    : m_curl(curlLibrary(m_loadError)), m_multi(m_curl != nullptr ? m_curl->multi_init() : nullptr) {}

HttpTransfer::~HttpTransfer() {
  if (m_multi != nullptr) m_curl->multi_cleanup(multiOf(m_multi));
}

void HttpTransfer::abort() {
  m_aborted.store(true, std::memory_order_release);
  if (m_multi != nullptr) m_curl->multi_wakeup(multiOf(m_multi));
}

HttpResult HttpTransfer::run(const HttpRequest& request, HttpTransferSink& sink) {
  if (m_curl == nullptr) return {HttpOutcome::kFailed, m_loadError};
  const CurlLibrary& curl = *m_curl;
  CURLM* multi = multiOf(m_multi);
  std::unique_ptr<CURL, EasyDeleter> easy(curl.easy_init(), EasyDeleter{&curl});
  if (multi == nullptr || !easy) return {HttpOutcome::kFailed, "The HTTP client could not be set up."};
  Session session{.sink = sink, .request = request, .aborted = m_aborted};
  char errorBuffer[CURL_ERROR_SIZE] = {};
  curl_slist* list = nullptr;
  for (const std::string& header : request.headers) {
    curl_slist* appended = curl.slist_append(list, header.c_str());
    if (appended == nullptr) {
      curl.slist_free_all(list);
      return {HttpOutcome::kFailed, "Out of memory."};
    }
    list = appended;
  }
  const std::unique_ptr<curl_slist, ListDeleter> headers(list, ListDeleter{&curl});

  CURL* handle = easy.get();
  curl.easy_setopt(handle, CURLOPT_URL, request.url.c_str());
  curl.easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http");
  curl.easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl.easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl.easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl.easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  curl.easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl.easy_setopt(handle, CURLOPT_BUFFERSIZE, static_cast<long>(request.readSize));
  curl.easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeout.count()));
  curl.easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer);
  curl.easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  if (!request.userAgent.empty()) curl.easy_setopt(handle, CURLOPT_USERAGENT, request.userAgent.c_str());
  if (!request.referer.empty()) curl.easy_setopt(handle, CURLOPT_REFERER, request.referer.c_str());
  if (!request.userName.empty() || !request.password.empty()) {
    curl.easy_setopt(handle, CURLOPT_USERNAME, request.userName.c_str());
    curl.easy_setopt(handle, CURLOPT_PASSWORD, request.password.c_str());
    curl.easy_setopt(handle, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
  }
  if (request.post) {
    curl.easy_setopt(handle, CURLOPT_POST, 1L);
    curl.easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    curl.easy_setopt(handle, CURLOPT_COPYPOSTFIELDS, request.body.c_str());
  }
  curl.easy_setopt(handle, CURLOPT_PREREQFUNCTION, &Session::prerequest);
  curl.easy_setopt(handle, CURLOPT_PREREQDATA, &session);
  curl.easy_setopt(handle, CURLOPT_HEADERFUNCTION, &Session::header);
  curl.easy_setopt(handle, CURLOPT_HEADERDATA, &session);
  curl.easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Session::body);
  curl.easy_setopt(handle, CURLOPT_WRITEDATA, &session);

  if (curl.multi_add_handle(multi, handle) != CURLM_OK)
    return {HttpOutcome::kFailed, "The HTTP client could not be set up."};
  HttpResult result{HttpOutcome::kFailed, {}};
  bool done = false;
  while (!done) {
    if (aborted()) {
      result = {HttpOutcome::kAborted, "The transfer was aborted."};
      break;
    }
    int running = 0;
    if (curl.multi_perform(multi, &running) != CURLM_OK) {
      result = {HttpOutcome::kFailed, "The HTTP client failed."};
      break;
    }
    int queued = 0;
    while (CURLMsg* message = curl.multi_info_read(multi, &queued)) {
      if (message->msg != CURLMSG_DONE) continue;
      done = true;
      const CURLcode code = message->data.result;
      if (code == CURLE_OK) {
        result = {HttpOutcome::kCompleted, {}};
      } else if (session.sinkEnded || aborted()) {
        result = {HttpOutcome::kAborted, "The transfer was aborted."};
      } else {
        result = {HttpOutcome::kFailed, errorBuffer[0] != '\0' ? errorBuffer : curl.easy_strerror(code)};
      }
    }
    if (done) break;
    if (session.stalled(Clock::now())) {
      result = {HttpOutcome::kFailed, "The server stopped sending."};
      break;
    }
    curl.multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr);
  }
  curl.multi_remove_handle(multi, handle);
  return result;
}

}  // namespace ormel
