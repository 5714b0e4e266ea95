#include "app/update_check.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "app/HTTPGet.h"
#include "app/support/local_http_server.h"
#include "app/support/stand_in_updater.h"
#include "base/task_queue_window_thread.h"
#include "support/recording_message_box.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using namespace std::chrono_literals;
using testing_support::httpResponse;
using testing_support::kStandInUpdater;
using testing_support::LocalHttpServer;
using testing_support::ReceivedRequest;
using testing_support::RecordingMessageBox;
using testing_support::ServerConnection;

constexpr std::string_view kVersionPath = "/ormelWare/files/ormelCalc/ormelCalc2.upd";
constexpr std::string_view kUpdaterPath = "/ormelWare/files/ormelUpdater/ormelUpdater.exe";

class RecordingWindow final : public UpdateWindow {
 public:
  void hide() override { m_log += "hide "; }
  void show() override { m_log += "show "; }
  void close() override { m_log += "close "; }
  std::string m_log;
};

// Starts for real and waits for the program, so that its record is there when the check returns.
class WaitingStarter final : public ProcessStarter {
 public:
  StartResult start(const std::string& program, const std::vector<std::string>& arguments) override {
    StartResult result = m_starter.start(program, arguments);
    if (result.ok) {
      int status = 0;
      ::waitpid(result.pid, &status, 0);
    }
    ++m_starts;
    return result;
  }
  PosixSpawnStarter m_starter;
  int m_starts = 0;
};

struct CheckRow {
  std::string name;
  std::optional<std::string> versionFile;      // none: the server cannot be reached
  std::optional<std::string> updaterResponse;  // none: not served (the server sends garbage)
  std::optional<std::string> updaterPresent;   // already in the data folder
  bool answerYes;
  std::vector<std::string> messages;  // "%u" stands for the server's address
  std::string window;
  bool updaterRuns;
  bool updaterFetched;
};

class UpdateCheckTest : public testing::TestWithParam<CheckRow> {
 protected:
  void SetUp() override {
    m_root = std::filesystem::temp_directory_path() / ("ormel-update-" + std::to_string(::getpid()));
    m_dataDir = m_root / "my data folder";
    std::filesystem::create_directories(m_dataDir);
  }
  void TearDown() override { std::filesystem::remove_all(m_root); }

  UpdatePaths pathsFor(const std::string& server) const {
    UpdatePaths paths;
    paths.DataDir = m_dataDir.string() + "/";
    paths.UpdateURL = server + "/ormelWare/files/ormelCalc/";
    paths.UpdaterURL = server + "/ormelWare/files/ormelUpdater/";
    paths.ExecutableName = "ormelcalc";
    return paths;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(m_dataDir / name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }
  void write(const std::string& name, std::string_view content) const {
    std::ofstream out(m_dataDir / name, std::ios::binary);
    out << content;
  }

  std::filesystem::path m_root;
  std::filesystem::path m_dataDir;
  TaskQueueWindowThread m_windowThread;
  THTTPGet m_get{m_windowThread};
  HTTPGetDownloader m_downloader{m_get};
  RecordingMessageBox m_messages;
  RecordingWindow m_window;
  WaitingStarter m_starter;
};

std::string replaced(std::string text, std::string_view what, std::string_view with) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

TEST_P(UpdateCheckTest, RunsTheWholeCheck) {
  const CheckRow& row = GetParam();
  LocalHttpServer server([&row](const ReceivedRequest& request, ServerConnection& connection) {
    if (request.target == kVersionPath && row.versionFile) {
      connection.send(httpResponse(200, *row.versionFile));
    } else if (request.target == kUpdaterPath && row.updaterResponse) {
      connection.send(*row.updaterResponse);
    } else {
      connection.send("not HTTP at all");
    }
  });
  const std::string address =
      row.versionFile ? server.url("") : "http://127.0.0.1:" + std::to_string(LocalHttpServer::unusedPort());
  if (row.updaterPresent) write("ormelUpdater.exe", *row.updaterPresent);
  m_messages.answer = row.answerYes;
  UpdateCheck check(pathsFor(address), m_downloader, m_messages, m_window, m_starter);
  check.checkForUpdate();

  std::vector<std::string> expected;
  for (const std::string& message : row.messages) expected.push_back(replaced(message, "%u", address));
  EXPECT_EQ(m_messages.log, expected);
  EXPECT_EQ(m_window.m_log, row.window);
  if (row.versionFile) {
    EXPECT_EQ(read("ormelCalc2.upd"), *row.versionFile);
  }
  int updaterRequests = 0;
  for (const ReceivedRequest& request : server.requests()) updaterRequests += request.target == kUpdaterPath;
  EXPECT_EQ(updaterRequests, row.updaterFetched ? 1 : 0);
  if (row.updaterRuns) {
    const std::string updater = m_dataDir.string() + "/ormelUpdater.exe";
    EXPECT_EQ(read("updater-ran.txt"),
              updater + "\n" + address + "/ormelWare/files/ormelCalc/\normelCalc2.exe\normelcalc\n");
  } else {
    EXPECT_FALSE(std::filesystem::exists(m_dataDir / "updater-ran.txt"));
  }
  EXPECT_FALSE(std::filesystem::exists(m_dataDir / "ormelUpdater.exe.part"));
}

const std::string kCurrent = "[ormelCalc]\r\nVERSION=2.0 public beta\r\n";
const std::string kNewer = "[ormelCalc]\r\nVERSION=2.1\r\n";
const std::string kUpdater = httpResponse(200, kStandInUpdater);
const std::string kLatest = "info: You have the latest version (2.0 public beta) of ormelCalc.";
const std::string kAskNewer = "ask: A new ormelCalc (2.1) update has been released!  Update automatically?";
const std::string kNoVersion =
    "error: The update check failed: no version information could be fetched from "
    "%u/ormelWare/files/ormelCalc/ormelCalc2.upd.";
const std::string kNoUpdater =
    "error: The ormelCalc updater could not be downloaded from "
    "%u/ormelWare/files/ormelUpdater/ormelUpdater.exe.";

INSTANTIATE_TEST_SUITE_P(
    Rows, UpdateCheckTest,
    testing::Values(
        CheckRow{"UpToDate", kCurrent, kUpdater, {}, true, {kLatest}, "hide show ", false, false},
        CheckRow{"UpToDateQuotedAnyCase",
                 "[ORMELCALC]\nversion = \"2.0 public beta\"\n",
                 kUpdater,
                 {},
                 true,
                 {kLatest},
                 "hide show ",
                 false,
                 false},
        CheckRow{
            "NewVersionAnsweredNo", kNewer, kUpdater, {}, false, {kAskNewer}, "hide show ", false, false},
        CheckRow{"NewVersionAnsweredYes", kNewer, kUpdater, {}, true, {kAskNewer}, "hide close ", true, true},
        CheckRow{"OtherLetterCaseIsNew",
                 "[ormelCalc]\nVERSION=2.0 Public Beta\n",
                 kUpdater,
                 {},
                 false,
                 {"ask: A new ormelCalc (2.0 Public Beta) update has been released!  Update automatically?"},
                 "hide show ",
                 false,
                 false},
        CheckRow{"PercentInVersionIsPlainText",
                 "[ormelCalc]\nVERSION=2.1 %s%d\n",
                 kUpdater,
                 {},
                 false,
                 {"ask: A new ormelCalc (2.1 %s%d) update has been released!  Update automatically?"},
                 "hide show ",
                 false,
                 false},
        CheckRow{"LongVersionIsCut",
                 "[ormelCalc]\nVERSION=" + std::string(40000, '9') + "\n",
                 kUpdater,
                 {},
                 false,
                 {"ask: A new ormelCalc (" + std::string(60, '9') +
                  "...) update has been released!  Update automatically?"},
                 "hide show ",
                 false,
                 false},
        CheckRow{"UpdaterAlreadyPresent",
                 kNewer,
                 {},
                 std::string(kStandInUpdater),
                 true,
                 {kAskNewer},
                 "hide close ",
                 true,
                 false},
        CheckRow{"EmptyUpdaterPresentIsFetchedAgain",
                 kNewer,
                 kUpdater,
                 std::string(),
                 true,
                 {kAskNewer},
                 "hide close ",
                 true,
                 true},
        CheckRow{
            "UpdaterDownloadFails", kNewer, {}, {}, true, {kAskNewer, kNoUpdater}, "hide show ", false, true},
        CheckRow{"UpdaterPageWithoutLength",
                 kNewer,
                 httpResponse(200, kStandInUpdater, false),
                 {},
                 true,
                 {kAskNewer, kNoUpdater},
                 "hide show ",
                 false,
                 true},
        CheckRow{"UpdaterEmpty",
                 kNewer,
                 httpResponse(200, ""),
                 {},
                 true,
                 {kAskNewer, kNoUpdater},
                 "hide show ",
                 false,
                 true},
        CheckRow{"UpdaterCannotBeStarted",
                 kNewer,
                 httpResponse(200, "MZ\x90 not a program here"),
                 {},
                 true,
                 {kAskNewer, "error: The ormelCalc updater could not be started: Exec format error"},
                 "hide show ",
                 false,
                 true},
        CheckRow{"VersionFileWithoutTheSection",
                 "[other]\nVERSION=3.0\n",
                 kUpdater,
                 {},
                 true,
                 {kNoVersion},
                 "hide show ",
                 false,
                 false},
        CheckRow{"NoNetwork", {}, {}, {}, true, {kNoVersion}, "hide show ", false, false}),
    testing_support::RowName{});

TEST_F(UpdateCheckTest, FailedUpdaterIsFetchedByTheNextCheck) {
  std::atomic<bool> serveUpdater{false};
  LocalHttpServer server([&](const ReceivedRequest& request, ServerConnection& connection) {
    if (request.target == kVersionPath) {
      connection.send(httpResponse(200, kNewer));
    } else if (serveUpdater) {
      connection.send(kUpdater);
    }
  });
  m_messages.answer = true;
  UpdateCheck check(pathsFor(server.url("")), m_downloader, m_messages, m_window, m_starter);
  check.checkForUpdate();
  EXPECT_EQ(m_window.m_log, "hide show ");
  EXPECT_FALSE(std::filesystem::exists(m_dataDir / "ormelUpdater.exe"));
  serveUpdater = true;
  check.checkForUpdate();
  EXPECT_EQ(m_window.m_log, "hide show hide close ");
  EXPECT_EQ(m_starter.m_starts, 1);
  EXPECT_TRUE(std::filesystem::exists(m_dataDir / "updater-ran.txt"));
}

TEST_F(UpdateCheckTest, SecondCheckDuringTheDownloadReturnsAtOnce) {
  std::atomic<bool> release{false};
  LocalHttpServer server([&](const ReceivedRequest&, ServerConnection& connection) {
    while (!release && connection.pause(5ms)) {
    }
    connection.send(httpResponse(200, kCurrent));
  });
  UpdateCheck check(pathsFor(server.url("")), m_downloader, m_messages, m_window, m_starter);
  // The second check comes as an event while the first one's download runs.
  std::thread user([&] {
    while (server.requests().empty()) std::this_thread::sleep_for(1ms);
    m_windowThread.synchronize([&] { check.checkForUpdate(); });
    release = true;
  });
  check.checkForUpdate();
  user.join();
  EXPECT_EQ(m_messages.log, std::vector<std::string>{kLatest});
  EXPECT_EQ(m_window.m_log, "hide show ");
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST(UpdatePaths, FoldersOnTheMakersServer) {
  const UpdatePaths paths = makeUpdatePaths("/home/u/data");
  EXPECT_EQ(paths.DataDir, "/home/u/data/");
  EXPECT_EQ(paths.UpdateURL, "http://" + updateServerHost() + "/ormelWare/files/ormelCalc/");
  EXPECT_EQ(paths.UpdaterURL, "http://" + updateServerHost() + "/ormelWare/files/ormelUpdater/");
  EXPECT_EQ(paths.UpdateFileName, "ormelCalc2.upd");
  EXPECT_EQ(paths.ProgramFileName, "ormelCalc2.exe");
  EXPECT_EQ(paths.UpdaterFileName, "ormelUpdater.exe");
  EXPECT_EQ(paths.ExecutableName, "ormel_app_tests");
}

}  // namespace
}  // namespace ormel
