#include "app/HTTPGet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "app/support/download_fixture.h"
#include "app/support/local_http_server.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using namespace std::chrono_literals;
using testing_support::DownloadFixture;
using testing_support::fixedResponse;
using testing_support::httpResponse;
using testing_support::LocalHttpServer;
using testing_support::ReceivedRequest;
using testing_support::Responder;
using testing_support::ServerConnection;

struct ParseRow {
  std::string name;
  std::string url;
  std::string host;
  int port;
  std::string object;
};

class ParseURLRows : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseURLRows, SplitsHostPortAndObject) {
  const ParseRow& row = GetParam();
  const ParsedURL parsed = ParseURL(row.url);
  EXPECT_EQ(parsed.HostName, row.host);
  EXPECT_EQ(parsed.Port, row.port);
  EXPECT_EQ(parsed.ObjectName, row.object);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseURLRows,
    testing::Values(ParseRow{"WithScheme", "http://host.example/a/b.upd", "host.example", 80, "/a/b.upd"},
                    ParseRow{"WithoutScheme", "host.example/a", "host.example", 80, "/a"},
                    ParseRow{"UpperCaseScheme", "HTTP://host.example/a", "host.example", 80, "/a"},
                    ParseRow{"MixedCaseScheme", "hTtP://host/", "host", 80, "/"},
                    ParseRow{"SchemeFurtherOn", "host/x?to=http://other/y", "host", 80,
                             "/x?to=http://other/y"},
                    ParseRow{"ExplicitPort", "http://host:8080/a", "host", 8080, "/a"},
                    ParseRow{"EmptyPortMeansDefault", "http://host:/a", "host", 80, "/a"},
                    ParseRow{"PortNotANumber", "http://host:http/a", "host", 0, "/a"},
                    ParseRow{"PortOutOfRange", "http://host:65536/a", "host", 0, "/a"},
                    ParseRow{"PortZero", "http://host:0/a", "host", 0, "/a"},
                    ParseRow{"BracketedAddressWithPort", "http://[::1]:81/a", "[::1]", 81, "/a"},
                    ParseRow{"BracketedAddress", "http://[::1]/a", "[::1]", 80, "/a"},
                    ParseRow{"NoSlash", "http://host.example", "", 80, "host.example"},
                    ParseRow{"Empty", "", "", 80, ""}, ParseRow{"OnlyScheme", "http://", "", 80, ""},
                    ParseRow{"SecureSchemeIsNotRemoved", "https://host/a", "https", 80, "//host/a"}),
    testing_support::RowName{});

class HTTPGetTest : public DownloadFixture {};

TEST_F(HTTPGetTest, DefaultsOfTheComponent) {
  THTTPGet get(m_window);
  EXPECT_EQ(get.AcceptTypes(), "*/*");
  EXPECT_EQ(get.Agent(), "Veltrane HTTPGet");
  EXPECT_FALSE(get.BinaryData());
  EXPECT_FALSE(get.UseCache());
  EXPECT_FALSE(get.WaitThread());
  EXPECT_FALSE(get.Success());
  EXPECT_FALSE(get.busy());
  EXPECT_TRUE(get.URL().empty());
  EXPECT_TRUE(get.FileName().empty());
  EXPECT_TRUE(get.PostQuery().empty());
}

// What the component reports and leaves on disk for the answers a server may give.
struct OutcomeRow {
  std::string name;
  std::function<std::string()> response;
  bool binaryData;
  bool success;
  bool fileLeft;
  std::string fileContent;
};

class HTTPGetOutcome : public DownloadFixture, public testing::WithParamInterface<OutcomeRow> {};

TEST_P(HTTPGetOutcome, ReportsAndStores) {
  const OutcomeRow& row = GetParam();
  LocalHttpServer server(fixedResponse(row.response()));
  ASSERT_TRUE(std::filesystem::exists(m_dir));
  {
    std::ofstream old(path("download"));
    old << "what an earlier download left";
  }
  m_get->SetBinaryData(row.binaryData);
  fetch(server.url("/file"));
  EXPECT_EQ(m_get->Success(), row.success);
  EXPECT_EQ(m_doneEvents, row.success ? 1 : 0);
  EXPECT_EQ(m_errorEvents, row.success ? 0 : 1);
  if (row.success) {
    EXPECT_EQ(m_doneFileName, path("download"));
    EXPECT_EQ(m_doneFileSize, static_cast<std::int64_t>(row.fileContent.size()));
  }
  if (row.fileLeft) {
    EXPECT_EQ(fileContent(), row.fileContent);
  } else {
    EXPECT_EQ(fileContent(), "what an earlier download left") << "the old file must stay untouched";
  }
}

std::string bigBody() {
  std::string body(200'000, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7919 % 251);
  return body;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HTTPGetOutcome,
    testing::Values(
        OutcomeRow{"BodyWithContentLength", [] { return httpResponse(200, "VERSION=2.1"); }, false, true,
                   true, "VERSION=2.1"},
        OutcomeRow{"BinaryBodyOfManyChunks", [] { return httpResponse(200, bigBody()); }, true, true, true,
                   bigBody()},
        OutcomeRow{"NoContentLengthSavedButFailed", [] { return httpResponse(200, "body", false); }, false,
                   false, true, "body"},
        OutcomeRow{"NoContentLengthWithBinaryDataNotDownloaded",
                   [] { return httpResponse(200, "body", false); }, true, false, false, ""},
        OutcomeRow{"ErrorPageWithContentLengthIsSaved",
                   [] { return httpResponse(404, "<h1>Not found</h1>"); }, false, true, true,
                   "<h1>Not found</h1>"},
        OutcomeRow{"EmptyBodyLeavesEmptyFile", [] { return httpResponse(200, ""); }, false, false, true, ""},
        OutcomeRow{"EmptyBodyWithoutLengthAndBinaryData", [] { return httpResponse(204, "", false); }, true,
                   false, false, ""},
        OutcomeRow{"ShortBodyFails", [] { return "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly this"; },
                   false, false, true, "only this"},
        OutcomeRow{"ContentLengthNotANumber",
                   [] { return "HTTP/1.0 200 OK\r\nContent-Length: ten\r\n\r\n0123456789"; }, false, false,
                   true, ""},
        OutcomeRow{"ContentLengthBeyondRange",
                   [] { return "HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n0123456789"; },
                   false, false, true, ""},
        OutcomeRow{"GarbageInsteadOfHttp", [] { return std::string("\x01\x02garbage\r\n\r\nmore garbage"); },
                   false, false, true, ""},
        OutcomeRow{"GarbageWithBinaryData", [] { return std::string("SSH-2.0-OpenSSH\r\n"); }, true, false,
                   false, ""}),
    testing_support::RowName{});

// What the server receives for the component's properties.
struct RequestRow {
  std::string name;
  std::function<void(THTTPGet&)> configure;
  std::function<void(const ReceivedRequest&)> check;
};

class HTTPGetRequest : public DownloadFixture, public testing::WithParamInterface<RequestRow> {};

TEST_P(HTTPGetRequest, SendsWhatThePropertiesSay) {
  LocalHttpServer server(fixedResponse(httpResponse(200, "ok")));
  GetParam().configure(*m_get);
  fetch(server.url("/ormelWare/files/ormelCalc/ormelCalc2.upd"));
  ASSERT_EQ(server.requests().size(), 1u);
  const ReceivedRequest request = server.requests().front();
  EXPECT_EQ(request.version, "HTTP/1.0");
  EXPECT_EQ(request.header("Host"), "127.0.0.1:" + std::to_string(server.port()));
  GetParam().check(request);
  EXPECT_TRUE(m_get->Success());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HTTPGetRequest,
    testing::Values(RequestRow{"Defaults", [](THTTPGet&) {},
                               [](const ReceivedRequest& request) {
                                 EXPECT_EQ(request.method, "GET");
                                 EXPECT_EQ(request.target, "/ormelWare/files/ormelCalc/ormelCalc2.upd");
                                 EXPECT_EQ(request.header("Accept"), "*/*");
                                 EXPECT_EQ(request.header("User-Agent"), "Veltrane HTTPGet");
                                 EXPECT_EQ(request.header("Pragma"), "no-cache");
                                 EXPECT_EQ(request.header("Cache-Control"), "no-cache");
                                 EXPECT_FALSE(request.hasHeader("Referer"));
                                 EXPECT_FALSE(request.hasHeader("Authorization"));
                                 EXPECT_TRUE(request.body.empty());
                               }},
                    RequestRow{"AgentAcceptAndReferer",
                               [](THTTPGet& get) {
                                 get.SetAgent("ormelCalc/2.0");
                                 get.SetAcceptTypes("text/plain");
                                 get.SetReferer("http://127.0.0.1/start");
                               },
                               [](const ReceivedRequest& request) {
                                 EXPECT_EQ(request.header("User-Agent"), "ormelCalc/2.0");
                                 EXPECT_EQ(request.header("Accept"), "text/plain");
                                 EXPECT_EQ(request.header("Referer"), "http://127.0.0.1/start");
                               }},
                    RequestRow{"EmptyAgentAndAcceptSendNone",
                               [](THTTPGet& get) {
                                 get.SetAgent("");
                                 get.SetAcceptTypes("");
                               },
                               [](const ReceivedRequest& request) {
                                 EXPECT_FALSE(request.hasHeader("User-Agent"));
                                 EXPECT_FALSE(request.hasHeader("Accept"));
                               }},
                    RequestRow{"UseCacheSendsNoCacheHeaders", [](THTTPGet& get) { get.SetUseCache(true); },
                               [](const ReceivedRequest& request) {
                                 EXPECT_FALSE(request.hasHeader("Pragma"));
                                 EXPECT_FALSE(request.hasHeader("Cache-Control"));
                               }},
                    RequestRow{"PostQueryMakesAFormPost",
                               [](THTTPGet& get) { get.SetPostQuery("name=ormel&v=2.0%20beta"); },
                               [](const ReceivedRequest& request) {
                                 EXPECT_EQ(request.method, "POST");
                                 EXPECT_EQ(request.header("Content-Type"),
                                           "application/x-www-form-urlencoded");
                                 EXPECT_EQ(request.body, "name=ormel&v=2.0%20beta");
                               }}),
    testing_support::RowName{});

TEST_F(HTTPGetTest, HeaderValueWithLineBreakIsRefused) {
  LocalHttpServer server(fixedResponse(httpResponse(200, "ok")));
  m_get->SetAgent("agent\r\nX-Injected: yes");
  fetch(server.url("/a"));
  EXPECT_FALSE(m_get->Success());
  EXPECT_EQ(m_errorEvents, 1);
  EXPECT_TRUE(server.requests().empty());
}

TEST_F(HTTPGetTest, CredentialsGoToAServerThatAsks) {
  LocalHttpServer server([](const ReceivedRequest& request, ServerConnection& connection) {
    if (request.header("Authorization") == "Basic dXNlcjpzZWNyZXQ=") {
      connection.send(httpResponse(200, "private"));
    } else {
      connection.send(httpResponse(401, "who are you", true, {"WWW-Authenticate: Basic realm=\"ormel\""}));
    }
  });
  m_get->SetUserName("user");
  m_get->SetPassword("secret");
  fetch(server.url("/private"));
  EXPECT_TRUE(m_get->Success());
  EXPECT_EQ(fileContent(), "private");
}

struct AddressRow {
  std::string name;
  std::string prefix;  // put before "127.0.0.1:<port>"
  std::string object;
};

class HTTPGetAddress : public DownloadFixture, public testing::WithParamInterface<AddressRow> {};

TEST_P(HTTPGetAddress, ReachesTheServerOnItsPort) {
  LocalHttpServer server(fixedResponse(httpResponse(200, "ok")));
  fetch(GetParam().prefix + "127.0.0.1:" + std::to_string(server.port()) + GetParam().object);
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests().front().target, GetParam().object);
  EXPECT_TRUE(m_get->Success());
}

INSTANTIATE_TEST_SUITE_P(Rows, HTTPGetAddress,
                         testing::Values(AddressRow{"WithScheme", "http://", "/a.upd"},
                                         AddressRow{"WithoutScheme", "", "/a.upd"},
                                         AddressRow{"UpperCaseScheme", "HTTP://", "/a.upd"},
                                         AddressRow{"SchemeInQueryKept", "", "/go?to=http://x/y"}),
                         testing_support::RowName{});

TEST_F(HTTPGetTest, BlanksInTheObjectNameAreEncoded) {
  LocalHttpServer server(fixedResponse(httpResponse(200, "ok")));
  fetch(server.url("/my files/a.upd"));
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests().front().target, "/my%20files/a.upd");
}

TEST_F(HTTPGetTest, RedirectIsFollowed) {
  LocalHttpServer server([](const ReceivedRequest& request, ServerConnection& connection) {
    if (request.target == "/old") {
      connection.send(httpResponse(302, "moved", true, {"Location: /new"}));
    } else {
      connection.send(httpResponse(200, "the new place"));
    }
  });
  fetch(server.url("/old"));
  EXPECT_TRUE(m_get->Success());
  EXPECT_EQ(fileContent(), "the new place");
  EXPECT_EQ(server.requests().size(), 2u);
}

struct UnreachableRow {
  std::string name;
  std::function<std::string()> url;
  bool binaryData;
  bool fileLeft;
};

class HTTPGetUnreachable : public DownloadFixture, public testing::WithParamInterface<UnreachableRow> {};

TEST_P(HTTPGetUnreachable, FailsAndLeavesAnEmptyFileUnlessBinary) {
  m_get->SetBinaryData(GetParam().binaryData);
  fetch(GetParam().url());
  EXPECT_FALSE(m_get->Success());
  EXPECT_EQ(m_errorEvents, 1);
  EXPECT_EQ(m_doneEvents, 0);
  EXPECT_EQ(fileExists(), GetParam().fileLeft);
  if (GetParam().fileLeft) {
    EXPECT_EQ(fileContent(), "");
  }
}

std::string unusedPortUrl() {
  return "http://127.0.0.1:" + std::to_string(LocalHttpServer::unusedPort()) + "/a";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HTTPGetUnreachable,
    testing::Values(UnreachableRow{"NobodyListens", unusedPortUrl, false, true},
                    UnreachableRow{"NobodyListensBinary", unusedPortUrl, true, false},
                    UnreachableRow{"NoHost", [] { return std::string("nohost"); }, false, true},
                    UnreachableRow{"BadPort", [] { return std::string("http://127.0.0.1:99999/a"); }, false,
                                   true}),
    testing_support::RowName{});

TEST_F(HTTPGetTest, FileThatCannotBeCreatedFails) {
  LocalHttpServer server(fixedResponse(httpResponse(200, "ok")));
  m_get->SetFileName(path("no-such-folder/download"));
  fetch(server.url("/a"));
  EXPECT_FALSE(m_get->Success());
  EXPECT_EQ(m_errorEvents, 1);
}

TEST_F(HTTPGetTest, ProgressAfterEveryChunkOnTheWindowThread) {
  const std::string body = bigBody();
  LocalHttpServer server(fixedResponse(httpResponse(200, body)));
  std::vector<std::int64_t> readed;
  std::size_t largestChunk = 0;
  m_get->SetOnProgress([&](THTTPGetThread& sender, std::int64_t totalSize, std::int64_t progress) {
    EXPECT_TRUE(m_window.isWindowThread());
    EXPECT_EQ(totalSize, static_cast<std::int64_t>(body.size()));
    EXPECT_EQ(sender.Total(), progress);
    largestChunk = std::max(largestChunk, sender.ChunkSize());
    readed.push_back(progress);
  });
  fetch(server.url("/big"));
  EXPECT_TRUE(m_get->Success());
  ASSERT_GE(readed.size(), body.size() / 1025);
  EXPECT_TRUE(std::is_sorted(readed.begin(), readed.end()));
  EXPECT_EQ(readed.back(), static_cast<std::int64_t>(body.size()));
  EXPECT_LE(largestChunk, 1025u);
  EXPECT_EQ(fileContent(), body);
}

TEST_F(HTTPGetTest, RaisingProgressHandlerFailsTheTransfer) {
  LocalHttpServer server(fixedResponse(httpResponse(200, bigBody())));
  m_get->SetOnProgress([](THTTPGetThread&, std::int64_t, std::int64_t) { throw std::runtime_error("no"); });
  fetch(server.url("/big"));
  EXPECT_FALSE(m_get->Success());
  EXPECT_EQ(m_errorEvents, 1);
}

// A server that answers only once the test lets it.
class HeldServer {
 public:
  HeldServer()
      : m_server([this](const ReceivedRequest&, ServerConnection& connection) {
          while (!m_release && connection.pause(5ms)) {
          }
          connection.send(httpResponse(200, "held"));
        }) {}
  void release() { m_release = true; }
  LocalHttpServer& server() { return m_server; }

 private:
  std::atomic<bool> m_release{false};
  LocalHttpServer m_server;
};

TEST_F(HTTPGetTest, GetFileWhileBusyIsIgnored) {
  HeldServer held;
  m_get->SetURL(held.server().url("/first"));
  m_get->GetFile();
  EXPECT_TRUE(m_get->busy());
  m_get->SetURL(held.server().url("/second"));
  m_get->SetWaitThread(true);
  m_get->GetFile();  // returns at once instead of waiting
  EXPECT_TRUE(m_get->busy());
  held.release();
  pumpUntilIdle();
  EXPECT_EQ(m_doneEvents, 1);
  ASSERT_EQ(held.server().requests().size(), 1u);
  EXPECT_EQ(held.server().requests().front().target, "/first");
}

TEST_F(HTTPGetTest, RunningTransferKeepsItsCopies) {
  HeldServer held;
  m_get->SetURL(held.server().url("/original"));
  m_get->GetFile();
  m_get->SetURL(held.server().url("/changed"));
  m_get->SetFileName(path("other"));
  held.release();
  pumpUntilIdle();
  EXPECT_EQ(held.server().requests().front().target, "/original");
  EXPECT_EQ(fileContent("download"), "held");
  EXPECT_FALSE(fileExists("other"));
  EXPECT_EQ(m_doneFileName, path("download"));
}

TEST_F(HTTPGetTest, WaitThreadKeepsTheWindowThreadRunning) {
  HeldServer held;
  std::atomic<bool> windowRan{false};
  // Another worker's hand-off must run while GetFile waits; only then does the server answer.
  std::thread other([&] {
    m_window.synchronize([&] { windowRan = true; });
    held.release();
  });
  fetch(held.server().url("/a"));
  other.join();
  EXPECT_TRUE(windowRan);
  EXPECT_FALSE(m_get->busy());
  EXPECT_EQ(m_doneEvents, 1) << "GetFile returns only after the completion has run";
}

TEST_F(HTTPGetTest, GetFileWithoutWaitReturnsAtOnce) {
  HeldServer held;
  m_get->SetURL(held.server().url("/a"));
  m_get->GetFile();
  EXPECT_TRUE(m_get->busy());
  EXPECT_EQ(m_doneEvents + m_errorEvents, 0);
  held.release();
  pumpUntilIdle();
  EXPECT_EQ(m_doneEvents, 1);
}

TEST_F(HTTPGetTest, SecondTransferAfterTheFirst) {
  LocalHttpServer server([](const ReceivedRequest& request, ServerConnection& connection) {
    connection.send(httpResponse(200, request.target));
  });
  fetch(server.url("/one"));
  m_get->SetFileName(path("two"));
  fetch(server.url("/two"));
  EXPECT_EQ(m_doneEvents, 2);
  EXPECT_EQ(fileContent("download"), "/one");
  EXPECT_EQ(fileContent("two"), "/two");
}

}  // namespace
}  // namespace ormel
