#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/http_response.h"
#include "app/http_transfer.h"
#include "app/worker_thread.h"
#include "base/window_thread_port.h"

namespace ormel {

class THTTPGet;
class THTTPGetThread;

/// After every chunk received: Sender is the worker, TotalSize the announced Content-Length (0
/// when none came), Readed the bytes received so far.
using TOnProgressEvent =
    std::function<void(THTTPGetThread& Sender, std::int64_t TotalSize, std::int64_t Readed)>;
/// A transfer succeeded: the file that holds the body and the number of bytes received.
using TOnDoneFileEvent =
    std::function<void(THTTPGet& Sender, const std::string& FileName, std::int64_t FileSize)>;
/// A transfer failed or was aborted.
using TNotifyEvent = std::function<void(THTTPGet& Sender)>;

/// An address split for a request.
struct ParsedURL {
  std::string HostName;    ///< without the port
  int Port = 80;           ///< 80 when none is given; 0 when the one given is not a port number
  std::string ObjectName;  ///< from the first "/" after the host on, query included
};

/// Splits URL: a leading "http://" in any letter case is removed; the host is the text before the
/// first "/" that remains, the object name that "/" and everything after it. A host may end in
/// ":port" ("[v6-address]:port" too). Without a "/" the host is empty and the whole address is the
/// object name.
[[nodiscard]] ParsedURL ParseURL(std::string_view URL);

/// What a transfer works on: the component's values, copied when it starts, so that later
/// changes to the component do not affect a running transfer.
struct THTTPGetSettings {
  std::string AcceptTypes = "*/*";
  std::string Agent = "Veltrane HTTPGet";
  bool BinaryData = false;
  std::string URL;
  bool UseCache = false;
  std::string FileName;
  std::string UserName;
  std::string Password;
  std::string PostQuery;
  std::string Referer;
  TOnProgressEvent OnProgress;
  std::chrono::milliseconds ConnectTimeout{15'000};
  std::chrono::milliseconds StallTimeout{30'000};
  std::int64_t MaxFileSize = 0;
};

/// Fetches one resource over HTTP into a file on a worker thread of its own; progress and the
/// outcome come back on the window thread as events. At most one transfer runs at a time.
///
/// A transfer succeeds when the response carried a valid Content-Length header, at least one
/// byte of body arrived and the exchange completed (no reset, timeout or short body). The HTTP
/// status is not looked at: an error page with a Content-Length is saved and succeeds. Failures
/// show only as Success false and OnError; nothing is raised to the caller.
///
/// Create, use and destroy the component on the window thread.
class THTTPGet {
 public:
  explicit THTTPGet(WindowThread& windowThread);
  /// Aborts a running transfer and waits until its worker has ended (running the window thread's
  /// hand-offs meanwhile); no event comes afterwards.
  ~THTTPGet();
  THTTPGet(const THTTPGet&) = delete;
  THTTPGet& operator=(const THTTPGet&) = delete;

  /// The media types accepted, sent as the Accept header; empty sends none. Default "*/*".
  [[nodiscard]] const std::string& AcceptTypes() const { return m_settings.AcceptTypes; }
  void SetAcceptTypes(std::string value) { m_settings.AcceptTypes = std::move(value); }
  /// The client name sent as User-Agent; empty sends none. Default "Veltrane HTTPGet".
  [[nodiscard]] const std::string& Agent() const { return m_settings.Agent; }
  void SetAgent(std::string value) { m_settings.Agent = std::move(value); }
  /// When true, a response without Content-Length is not downloaded at all and no file is made.
  [[nodiscard]] bool BinaryData() const { return m_settings.BinaryData; }
  void SetBinaryData(bool value) { m_settings.BinaryData = value; }
  /// The resource's address, "http://" optional.
  [[nodiscard]] const std::string& URL() const { return m_settings.URL; }
  void SetURL(std::string value) { m_settings.URL = std::move(value); }
  /// When false, the request asks every cache on the way for a fresh copy.
  [[nodiscard]] bool UseCache() const { return m_settings.UseCache; }
  void SetUseCache(bool value) { m_settings.UseCache = value; }
  /// The file that receives the body; it is created or emptied when the response arrives (also
  /// when no connection could be made, unless BinaryData is set).
  [[nodiscard]] const std::string& FileName() const { return m_settings.FileName; }
  void SetFileName(std::string value) { m_settings.FileName = std::move(value); }
  /// Credentials for a server that asks for them.
  [[nodiscard]] const std::string& UserName() const { return m_settings.UserName; }
  void SetUserName(std::string value) { m_settings.UserName = std::move(value); }
  [[nodiscard]] const std::string& Password() const { return m_settings.Password; }
  void SetPassword(std::string value) { m_settings.Password = std::move(value); }
  /// When not empty the request is a form POST with this body.
  [[nodiscard]] const std::string& PostQuery() const { return m_settings.PostQuery; }
  void SetPostQuery(std::string value) { m_settings.PostQuery = std::move(value); }
  /// The referring address; empty sends none.
  [[nodiscard]] const std::string& Referer() const { return m_settings.Referer; }
  void SetReferer(std::string value) { m_settings.Referer = std::move(value); }
  /// When true, GetFile returns only after the transfer has ended and its events have run; the
  /// window thread keeps running its events meanwhile.
  [[nodiscard]] bool WaitThread() const { return m_waitThread; }
  void SetWaitThread(bool value) { m_waitThread = value; }
  /// Time allowed to connect. Default 15 s.
  [[nodiscard]] std::chrono::milliseconds ConnectTimeout() const { return m_settings.ConnectTimeout; }
  void SetConnectTimeout(std::chrono::milliseconds value) { m_settings.ConnectTimeout = value; }
  /// A connected transfer fails when it receives less than kStallMinimumSpeed bytes per second
  /// over this span; 0 means no limit. Default 30 s.
  [[nodiscard]] std::chrono::milliseconds StallTimeout() const { return m_settings.StallTimeout; }
  void SetStallTimeout(std::chrono::milliseconds value) { m_settings.StallTimeout = value; }
  /// A transfer fails once the body would grow beyond this many bytes; 0 means no limit.
  [[nodiscard]] std::int64_t MaxFileSize() const { return m_settings.MaxFileSize; }
  void SetMaxFileSize(std::int64_t value) { m_settings.MaxFileSize = value; }

  /// Outcome of the last finished transfer; false before the first.
  [[nodiscard]] bool Success() const { return m_success; }
  /// True while a transfer runs (from GetFile until its completion has been handled).
  [[nodiscard]] bool busy() const { return m_worker != nullptr; }

  [[nodiscard]] const TOnProgressEvent& OnProgress() const { return m_settings.OnProgress; }
  void SetOnProgress(TOnProgressEvent handler) { m_settings.OnProgress = std::move(handler); }
  [[nodiscard]] const TOnDoneFileEvent& OnDoneFile() const { return m_onDoneFile; }
  void SetOnDoneFile(TOnDoneFileEvent handler) { m_onDoneFile = std::move(handler); }
  [[nodiscard]] const TNotifyEvent& OnError() const { return m_onError; }
  void SetOnError(TNotifyEvent handler) { m_onError = std::move(handler); }

  /// Starts a transfer of URL into FileName; does nothing while one runs.
  void GetFile();
  /// Cancels the running transfer, if any: it ends within about a tenth of a second and reports
  /// through OnError; no progress event comes after Abort has returned.
  void Abort();

 private:
  /// The completion, on the window thread once the worker's transfer has ended.
  void ThreadDone(THTTPGetThread& worker);

  WindowThread& m_windowThread;
  THTTPGetSettings m_settings;
  bool m_waitThread = false;
  bool m_success = false;
  bool m_destroying = false;
  TOnDoneFileEvent m_onDoneFile;
  TNotifyEvent m_onError;
  std::shared_ptr<THTTPGetThread> m_worker;
  // Workers whose completion has been handled, joined once they have ended.
  std::vector<std::shared_ptr<THTTPGetThread>> m_finished;
};

/// The worker of one transfer. It works on its own copies and results and touches nothing of the
/// component; progress and completion reach the window thread through hand-offs it waits for.
class THTTPGetThread : public std::enable_shared_from_this<THTTPGetThread>, private HttpTransferSink {
 public:
  using TCompletion = std::function<void(THTTPGetThread&)>;

  /// A worker that does not run yet, with copies of the values it needs.
  THTTPGetThread(THTTPGetSettings settings, WindowThread& windowThread);
  ~THTTPGetThread() override;

  /// Runs the transfer; OnTerminate is handed to the window thread when it has ended.
  void start(TCompletion OnTerminate);
  /// Any thread: the transfer stops at its next test and fails.
  void requestStop() { m_transfer.abort(); }
  /// On the window thread, when the owner goes away: see WorkerThread::retire. The completion
  /// is not handed over afterwards.
  void retire() {
    m_ownerGone = true;
    m_worker.retire(m_windowThread);
  }
  [[nodiscard]] bool ended() const { return m_worker.ended(); }
  /// On the window thread: true once the completion has been handed over.
  [[nodiscard]] bool completed() const { return m_completed; }

  /// The outcome; false once a stop was requested.
  [[nodiscard]] bool Succeeded() const { return m_success && !m_transfer.aborted(); }
  /// The announced Content-Length during the transfer, the bytes received afterwards.
  [[nodiscard]] std::int64_t FileSize() const { return m_fileSize; }
  /// Bytes received so far.
  [[nodiscard]] std::int64_t Total() const { return m_total; }
  /// Size of the last chunk written.
  [[nodiscard]] std::size_t ChunkSize() const { return m_chunkSize; }
  [[nodiscard]] const std::string& URL() const { return m_settings.URL; }
  [[nodiscard]] const std::string& FileName() const { return m_settings.FileName; }
  /// Why the last transfer failed, for diagnostics; empty after success.
  [[nodiscard]] const std::string& ErrorText() const { return m_errorText; }

 private:
  /// The transfer, on the worker.
  void Execute();
  /// The progress hand-off, on the window thread.
  void UpdateProgress();
  void headerLine(std::string_view line) override;
  bool bodyData(std::string_view data) override;
  [[nodiscard]] bool buildRequest(HttpRequest& request);
  bool openFile();
  void closeFile();
  void fail(std::string reason);

  THTTPGetSettings m_settings;
  WindowThread& m_windowThread;
  WorkerThread m_worker;
  HttpTransfer m_transfer;
  ResponseHeaders m_headers;
  TCompletion m_onTerminate;
  int m_file = -1;
  bool m_failed = false;
  bool m_success = false;
  bool m_completed = false;  // window thread only
  bool m_ownerGone = false;  // window thread only
  std::int64_t m_fileSize = 0;
  std::int64_t m_total = 0;
  std::size_t m_chunkSize = 0;
  std::string m_errorText;
};

}  // namespace ormel
