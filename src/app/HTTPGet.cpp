#include "app/HTTPGet.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "base/atomic_file.h"
#include "base/text.h"

namespace ormel {

namespace {

constexpr std::string_view kScheme = "http://";
// The body is read and written in pieces of this size, so memory stays flat at any size.
constexpr std::size_t kChunkSize = 1025;
constexpr std::chrono::milliseconds kWaitSlice{20};

int parsePort(std::string_view text) {
  if (text.empty()) return 80;
  int port = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (error != std::errc{} || end != text.data() + text.size() || port < 1 || port > 65535) return 0;
  return port;
}

// A value that would end a request header line early could smuggle in headers of its own.
bool headerSafe(std::string_view value) {
  return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// Bytes a URL may not carry as they are (blanks, controls, non-ASCII) are sent percent-encoded.
std::string encodeObjectName(std::string_view object) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(object.size());
  for (const char c : object) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7f) {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0f];
    } else {
      encoded += c;
    }
  }
  return encoded;
}

}  // namespace

ParsedURL ParseURL(std::string_view URL) {
  if (URL.size() >= kScheme.size() && sameTextAscii(URL.substr(0, kScheme.size()), kScheme)) {
    URL.remove_prefix(kScheme.size());
  }
  ParsedURL parsed;
  const std::size_t slash = URL.find('/');
  if (slash == std::string_view::npos) {
    parsed.ObjectName = std::string(URL);
    return parsed;
  }
  std::string_view host = URL.substr(0, slash);
  parsed.ObjectName = std::string(URL.substr(slash));
  // A bracketed IPv6 address has colons of its own; the port's colon follows the bracket.
  const std::size_t bracket = host.starts_with('[') ? host.find(']') : std::string_view::npos;
  const std::size_t colon = host.find(':', bracket == std::string_view::npos ? 0 : bracket);
  if (colon != std::string_view::npos) {
    parsed.Port = parsePort(host.substr(colon + 1));
    host = host.substr(0, colon);
  }
  parsed.HostName = std::string(host);
  return parsed;
}

THTTPGet::THTTPGet(WindowThread& windowThread) : m_windowThread(windowThread) {}

THTTPGet::~THTTPGet() {
  m_destroying = true;
  Abort();
  if (m_worker) m_worker->retire();
  for (const auto& worker : m_finished) worker->retire();
}

void THTTPGet::GetFile() {
  if (m_worker) return;
  retireEnded(m_finished);
  auto worker = std::make_shared<THTTPGetThread>(m_settings, m_windowThread);
  m_worker = worker;
  worker->start([this](THTTPGetThread& ended) { ThreadDone(ended); });
  if (!m_waitThread) return;
  // Only locals from here on: an event handler run by this loop may destroy the component.
  WindowThread& windowThread = m_windowThread;
  while (!worker->completed()) windowThread.processEvents(kWaitSlice);
}

void THTTPGet::Abort() {
  if (m_worker) m_worker->requestStop();
}

void THTTPGet::ThreadDone(THTTPGetThread& worker) {
  if (m_destroying) return;
  m_success = worker.Succeeded();
  m_finished.push_back(std::move(m_worker));
  m_worker.reset();
  // Copies, because a handler may destroy the component and with it the stored handlers.
  if (m_success) {
    const TOnDoneFileEvent handler = m_onDoneFile;
    if (handler) handler(*this, worker.FileName(), worker.FileSize());
  } else {
    const TNotifyEvent handler = m_onError;
    if (handler) handler(*this);
  }
}

THTTPGetThread::THTTPGetThread(THTTPGetSettings settings, WindowThread& windowThread)
    : m_settings(std::move(settings)), m_windowThread(windowThread) {}

THTTPGetThread::~THTTPGetThread() { closeFile(); }

void THTTPGetThread::start(TCompletion OnTerminate) {
  m_onTerminate = std::move(OnTerminate);
  // The body owns the worker too, so a worker left to end by itself never runs on freed memory.
  m_worker.start([self = shared_from_this()] {
    self->Execute();
    self->m_worker.handOff(self->m_windowThread, [&self] {
      self->m_completed = true;
      if (!self->m_ownerGone) self->m_onTerminate(*self);
    });
  });
}

void THTTPGetThread::Execute() {
  if (m_transfer.aborted()) {
    fail("The transfer was aborted.");
    return;
  }
  HttpRequest request;
  HttpResult result{HttpOutcome::kFailed, {}};
  if (buildRequest(request)) {
    result = m_transfer.run(request, *this);
  } else {
    result.error = m_errorText;
  }
  // A response without a body still leaves the file, created empty, and so do a server that could
  // not be reached and a reply that is not HTTP; unless nothing may be written without a
  // Content-Length.
  const bool mayCreate =
      !m_transfer.aborted() && !m_failed && !(m_settings.BinaryData && !m_headers.hasContentLength());
  if (m_file < 0 && mayCreate) openFile();
  closeFile();
  if (result.outcome != HttpOutcome::kCompleted) fail(result.error);
  m_success = !m_failed && m_headers.hasContentLength() && m_headers.contentLengthValid() && m_total > 0;
  m_fileSize = m_total;
  if (m_success) m_errorText.clear();
}

bool THTTPGetThread::buildRequest(HttpRequest& request) {
  for (const std::string* value : {&m_settings.AcceptTypes, &m_settings.Agent, &m_settings.Referer,
                                   &m_settings.UserName, &m_settings.Password}) {
    if (!headerSafe(*value)) {
      m_errorText = "A request header value contains a line break.";
      return false;
    }
  }
  const ParsedURL url = ParseURL(m_settings.URL);
  if (url.HostName.empty() || url.Port == 0) {
    m_errorText = "The address \"" + m_settings.URL + "\" names no host and port that can be reached.";
    return false;
  }
  request.url =
      std::string(kScheme) + url.HostName + ":" + std::to_string(url.Port) + encodeObjectName(url.ObjectName);
  request.post = !m_settings.PostQuery.empty();
  request.body = m_settings.PostQuery;
  request.userAgent = m_settings.Agent;
  request.referer = m_settings.Referer;
  request.userName = m_settings.UserName;
  request.password = m_settings.Password;
  request.readSize = kChunkSize;
  request.connectTimeout = m_settings.ConnectTimeout;
  request.stallTimeout = m_settings.StallTimeout;
  // An empty value takes away the header the client would otherwise add by itself.
  request.headers.push_back(m_settings.AcceptTypes.empty() ? "Accept:" : "Accept: " + m_settings.AcceptTypes);
  if (!m_settings.UseCache) {
    request.headers.emplace_back("Pragma: no-cache");
    request.headers.emplace_back("Cache-Control: no-cache");
  }
  if (request.post) request.headers.emplace_back("Content-Type: application/x-www-form-urlencoded");
  return true;
}

void THTTPGetThread::headerLine(std::string_view line) {
  m_headers.addLine(line);
  if (m_headers.hasContentLength()) m_fileSize = m_headers.contentLength();
}

bool THTTPGetThread::bodyData(std::string_view data) {
  if (m_file < 0) {
    if (!m_headers.contentLengthValid()) return false;
    // Nothing is downloaded when the size is unknown and only complete data is wanted.
    if (m_settings.BinaryData && !m_headers.hasContentLength()) return false;
    if (!openFile()) return false;
  }
  while (!data.empty()) {
    if (m_transfer.aborted()) return false;
    const std::string_view chunk = data.substr(0, kChunkSize);
    data.remove_prefix(chunk.size());
    if (m_settings.MaxFileSize > 0 &&
        m_total + static_cast<std::int64_t>(chunk.size()) > m_settings.MaxFileSize) {
      fail("The file is larger than " + std::to_string(m_settings.MaxFileSize) + " bytes.");
      return false;
    }
    if (!writeToDescriptor(m_file, chunk)) {
      fail("Cannot write file \"" + m_settings.FileName + "\". " + std::strerror(errno));
      return false;
    }
    m_total += static_cast<std::int64_t>(chunk.size());
    m_chunkSize = chunk.size();
    if (!m_settings.OnProgress) continue;
    try {
      m_worker.handOff(m_windowThread, [this] { UpdateProgress(); });
    } catch (const std::exception& error) {
      fail(std::string("The progress handler failed: ") + error.what());
      return false;
    } catch (...) {
      fail("The progress handler failed.");
      return false;
    }
  }
  return true;
}

void THTTPGetThread::UpdateProgress() {
  // After Abort the component may be going away; its handlers get no more events.
  if (m_transfer.aborted()) return;
  m_settings.OnProgress(*this, m_headers.hasContentLength() ? m_headers.contentLength() : 0, m_total);
}

bool THTTPGetThread::openFile() {
  m_file = ::open(m_settings.FileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (m_file >= 0) return true;
  fail("Cannot create file \"" + m_settings.FileName + "\". " + std::strerror(errno));
  return false;
}

void THTTPGetThread::closeFile() {
  if (m_file < 0) return;
  if (::close(m_file) != 0)
    fail("Cannot write file \"" + m_settings.FileName + "\". " + std::strerror(errno));
  m_file = -1;
}

void THTTPGetThread::fail(std::string reason) {
  if (m_errorText.empty()) m_errorText = std::move(reason);
  m_failed = true;
}

}  // namespace ormel
