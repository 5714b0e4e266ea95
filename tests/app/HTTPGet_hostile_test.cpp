#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "app/HTTPGet.h"
#include "app/support/download_fixture.h"
#include "app/support/local_http_server.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing_support::DownloadFixture;
using testing_support::LocalHttpServer;
using testing_support::ReceivedRequest;
using testing_support::Responder;
using testing_support::ServerConnection;

// Only a transfer that ignores its timeouts or an Abort takes this long.
constexpr auto kGenerous = 10s;

Responder sendForever() {
  return [](const ReceivedRequest&, ServerConnection& connection) {
    if (!connection.send("HTTP/1.0 200 OK\r\nContent-Length: 1000000000000\r\n\r\n")) return;
    const std::string block(64 * 1024, 'x');
    while (connection.send(block)) {
    }
  };
}

Responder drip(std::chrono::milliseconds every) {
  return [every](const ReceivedRequest&, ServerConnection& connection) {
    if (!connection.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n")) return;
    while (connection.send("x") && connection.pause(every)) {
    }
  };
}

Responder silent() {
  return [](const ReceivedRequest&, ServerConnection& connection) {
    while (connection.pause(50ms)) {
    }
  };
}

long peakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

class HTTPGetHostile : public DownloadFixture {};

TEST_F(HTTPGetHostile, AbortEndsAnEndlessTransferAtOnce) {
  LocalHttpServer server(sendForever());
  std::int64_t progressAfterAbort = 0;
  bool aborted = false;
  std::size_t largestChunk = 0;
  Clock::time_point abortedAt;
  m_get->SetOnProgress([&](THTTPGetThread& sender, std::int64_t, std::int64_t readed) {
    if (aborted) ++progressAfterAbort;
    largestChunk = std::max(largestChunk, sender.ChunkSize());
    if (!aborted && readed >= 4'000'000) {
      aborted = true;
      abortedAt = Clock::now();
      m_get->Abort();
    }
  });
  const long peakBefore = peakResidentKiB();
  fetch(server.url("/forever"));
  const auto abortToEnd = Clock::now() - abortedAt;
  EXPECT_TRUE(aborted);
  EXPECT_EQ(progressAfterAbort, 0);
  EXPECT_FALSE(m_get->Success());
  EXPECT_EQ(m_errorEvents, 1);
  EXPECT_LE(largestChunk, 1025u);
  EXPECT_LT(abortToEnd, 1s);
  RecordProperty("abortToEndMicroseconds",
                 std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(abortToEnd).count()));
  EXPECT_LT(peakResidentKiB() - peakBefore, 32 * 1024) << "memory must not grow with the body";
  EXPECT_GE(std::filesystem::file_size(path("download")), 4'000'000u);
}

TEST_F(HTTPGetHostile, AbortWhileTheServerIsSilent) {
  LocalHttpServer server(silent());
  m_get->SetStallTimeout(0ms);
  m_get->SetURL(server.url("/silent"));
  m_get->GetFile();
  // Give the request time to reach the server so the abort meets a transfer in progress.
  const auto deadline = Clock::now() + kGenerous;
  while (server.requests().empty() && Clock::now() < deadline) m_window.processEvents(5ms);
  ASSERT_EQ(server.requests().size(), 1u);
  const auto start = Clock::now();
  m_get->Abort();
  pumpUntilIdle();
  EXPECT_LT(Clock::now() - start, 1s);
  RecordProperty(
      "abortToEndMicroseconds",
      std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count()));
  EXPECT_EQ(m_errorEvents, 1);
  EXPECT_FALSE(fileExists()) << "an aborted transfer creates no file before the body";
}

// A listener whose accept queue is full: the system drops further connection requests, so a
// client's connect hangs as it does towards a host that does not answer.
class FullListener {
 public:
  FullListener() {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 0);
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    for (int& filler : m_fillers) {
      filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
      ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    std::this_thread::sleep_for(50ms);
  }
  ~FullListener() {
    for (const int filler : m_fillers) ::close(filler);
    ::close(m_listener);
  }
  [[nodiscard]] int port() const { return m_port; }

 private:
  int m_listener = -1;
  int m_port = 0;
  int m_fillers[3] = {-1, -1, -1};
};

TEST_F(HTTPGetHostile, ConnectTimeout) {
  FullListener listener;
  m_get->SetConnectTimeout(300ms);
  m_get->SetStallTimeout(0ms);
  const auto start = Clock::now();
  fetch("http://127.0.0.1:" + std::to_string(listener.port()) + "/a");
  const auto took = Clock::now() - start;
  EXPECT_FALSE(m_get->Success());
  EXPECT_EQ(m_errorEvents, 1);
  EXPECT_GE(took, 300ms);
  EXPECT_LT(took, kGenerous);
}

TEST_F(HTTPGetHostile, AbortBeforeTheWorkerRuns) {
  LocalHttpServer server(silent());
  m_get->SetURL(server.url("/a"));
  m_get->GetFile();
  m_get->Abort();
  pumpUntilIdle();
  EXPECT_EQ(m_errorEvents, 1);
  EXPECT_FALSE(m_get->Success());
}

TEST_F(HTTPGetHostile, MaxFileSizeEndsAnEndlessBody) {
  LocalHttpServer server(sendForever());
  m_get->SetMaxFileSize(100'000);
  fetch(server.url("/forever"));
  EXPECT_FALSE(m_get->Success());
  EXPECT_EQ(m_errorEvents, 1);
  EXPECT_LE(std::filesystem::file_size(path("download")), 100'000u);
}

struct StallRow {
  std::string name;
  std::function<Responder()> server;
};

class HTTPGetStall : public DownloadFixture, public testing::WithParamInterface<StallRow> {};

TEST_P(HTTPGetStall, EndsAfterTheStallTimeout) {
  LocalHttpServer server(GetParam().server());
  m_get->SetStallTimeout(500ms);
  const auto start = Clock::now();
  fetch(server.url("/slow"));
  const auto took = Clock::now() - start;
  EXPECT_FALSE(m_get->Success());
  EXPECT_EQ(m_errorEvents, 1);
  EXPECT_GE(took, 500ms);
  EXPECT_LT(took, kGenerous);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HTTPGetStall,
    testing::Values(StallRow{"NeverAnswers", silent},
                    StallRow{"DripsAByteNowAndThen", [] { return drip(100ms); }},
                    StallRow{"StopsAfterTheHeaders",
                             [] {
                               return Responder([](const ReceivedRequest&, ServerConnection& c) {
                                 c.send("HTTP/1.0 200 OK\r\nContent-Length: 999999\r\n\r\nabc");
                                 while (c.pause(50ms)) {
                                 }
                               });
                             }}),
    testing_support::RowName{});

TEST_F(HTTPGetHostile, SlowButSteadyServerIsNotCutOff) {
  // 20 bytes every 50 ms is 400 bytes per second: slow, but above the stall limit.
  LocalHttpServer server([](const ReceivedRequest&, ServerConnection& connection) {
    if (!connection.send("HTTP/1.0 200 OK\r\nContent-Length: 400\r\n\r\n")) return;
    for (int i = 0; i < 20 && connection.send(std::string(20, 's')); ++i) connection.pause(50ms);
  });
  m_get->SetStallTimeout(300ms);
  fetch(server.url("/steady"));
  EXPECT_TRUE(m_get->Success());
  EXPECT_EQ(fileContent(), std::string(400, 's'));
}

TEST_F(HTTPGetHostile, ResetMidBodyFails) {
  LocalHttpServer server([](const ReceivedRequest&, ServerConnection& connection) {
    connection.send("HTTP/1.0 200 OK\r\nContent-Length: 10000\r\n\r\n" + std::string(3000, 'r'));
    connection.pause(50ms);
    connection.reset();
  });
  fetch(server.url("/reset"));
  EXPECT_FALSE(m_get->Success());
  EXPECT_EQ(m_errorEvents, 1);
  EXPECT_EQ(fileContent(), std::string(3000, 'r'));
}

TEST_F(HTTPGetHostile, HugeAnnouncedLengthAndLittleBody) {
  LocalHttpServer server([](const ReceivedRequest&, ServerConnection& connection) {
    connection.send("HTTP/1.0 200 OK\r\nContent-Length: 5000000000000\r\n\r\nlittle");
  });
  std::int64_t announced = 0;
  m_get->SetOnProgress([&](THTTPGetThread&, std::int64_t totalSize, std::int64_t) { announced = totalSize; });
  fetch(server.url("/huge"));
  EXPECT_EQ(announced, 5'000'000'000'000);
  EXPECT_FALSE(m_get->Success());
  EXPECT_EQ(m_errorEvents, 1);
  EXPECT_EQ(fileContent(), "little");
}

TEST_F(HTTPGetHostile, DestroyedMidTransferReportsNothing) {
  LocalHttpServer server(sendForever());
  int progress = 0;
  m_get->SetOnProgress([&](THTTPGetThread&, std::int64_t, std::int64_t) { ++progress; });
  m_get->SetURL(server.url("/forever"));
  m_get->GetFile();
  const auto deadline = Clock::now() + kGenerous;
  while (progress < 10 && Clock::now() < deadline) m_window.processEvents(5ms);
  ASSERT_GE(progress, 10);
  const auto start = Clock::now();
  m_get.reset();
  EXPECT_LT(Clock::now() - start, 1s);
  const int progressAtDestruction = progress;
  for (int i = 0; i < 10; ++i) m_window.processEvents(5ms);
  EXPECT_EQ(progress, progressAtDestruction);
  EXPECT_EQ(m_errorEvents + m_doneEvents, 0);
}

TEST_F(HTTPGetHostile, DestroyedByItsProgressHandler) {
  LocalHttpServer server(sendForever());
  int progress = 0;
  m_get->SetOnProgress([&](THTTPGetThread&, std::int64_t, std::int64_t) {
    if (++progress == 3) m_get.reset();
  });
  fetch(server.url("/forever"));
  EXPECT_EQ(m_get, nullptr);
  for (int i = 0; i < 20; ++i) m_window.processEvents(5ms);
  EXPECT_EQ(progress, 3);
  EXPECT_EQ(m_errorEvents + m_doneEvents, 0);
}

struct HandlerDestroysRow {
  std::string name;
  bool success;
};

class HTTPGetDestroyedByHandler : public DownloadFixture,
                                  public testing::WithParamInterface<HandlerDestroysRow> {};

TEST_P(HTTPGetDestroyedByHandler, NoCrashAndNoFurtherEvent) {
  LocalHttpServer server(
      testing_support::fixedResponse(testing_support::httpResponse(200, "x", GetParam().success)));
  m_get->SetOnDoneFile([this](THTTPGet&, const std::string&, std::int64_t) {
    ++m_doneEvents;
    m_get.reset();
  });
  m_get->SetOnError([this](THTTPGet&) {
    ++m_errorEvents;
    m_get.reset();
  });
  fetch(server.url("/a"));
  EXPECT_EQ(m_get, nullptr);
  EXPECT_EQ(m_doneEvents + m_errorEvents, 1);
  for (int i = 0; i < 10; ++i) m_window.processEvents(5ms);
}

INSTANTIATE_TEST_SUITE_P(Rows, HTTPGetDestroyedByHandler,
                         testing::Values(HandlerDestroysRow{"InOnDoneFile", true},
                                         HandlerDestroysRow{"InOnError", false}),
                         testing_support::RowName{});

}  // namespace
}  // namespace ormel
