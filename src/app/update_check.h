#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "app/process_starter.h"
#include "app/update_downloader.h"
#include "app/update_paths.h"
#include "base/message_box_port.h"

namespace ormel {

/// The version this program is.
inline constexpr std::string_view kVersionText = "2.0 public beta";
/// The product name in the version file and in the messages.
inline constexpr std::string_view kProductName = "ormelCalc";

/// The largest version file and updater the check accepts: a server that sends more is broken.
inline constexpr std::int64_t kMaxVersionFileSize = 64 * 1024;
inline constexpr std::int64_t kMaxUpdaterSize = 512 * 1024 * 1024;

/// What the update check does to the main window.
class UpdateWindow {
 public:
  virtual ~UpdateWindow() = default;
  virtual void hide() = 0;
  virtual void show() = 0;
  /// Closes the window the normal way (its close handler saves everything and frees the
  /// application manager) and ends the program.
  virtual void close() = 0;
};

/// "Check For Update": fetches the version file, compares its version with this program's, tells
/// the user and, when the user agrees, fetches the updater if it is not there yet, starts it with
/// the update folder's address, the program's file name and the running executable's name, and
/// closes the program. A version file that cannot be fetched or names no version, and an updater
/// that cannot be fetched or started, are reported and the program goes on.
///
/// Run on the window thread; the objects given must outlive the check.
class UpdateCheck {
 public:
  UpdateCheck(UpdatePaths paths, UpdateDownloader& downloader, MessageBox& messages, UpdateWindow& window,
              ProcessStarter& starter);
  ~UpdateCheck() { *m_alive = false; }
  UpdateCheck(const UpdateCheck&) = delete;
  UpdateCheck& operator=(const UpdateCheck&) = delete;

  /// Runs the check; a check started while one runs (from an event during its download) returns at once.
  void checkForUpdate();

 private:
  enum class Ending { kGoOn, kClose, kGone };
  Ending runCheck();
  /// Fetches the updater unless a usable one is there, makes it executable and starts it.
  bool startUpdater();
  /// True when the updater is in the data folder or could be fetched there.
  bool provideUpdater(const std::string& updater);

  UpdatePaths m_paths;
  UpdateDownloader& m_downloader;
  MessageBox& m_messages;
  UpdateWindow& m_window;
  ProcessStarter& m_starter;
  bool m_running = false;
  // Tells a check whose download ran the window's events whether this object still exists.
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

/// Fills each "%s" of pattern, in order, with the next value as plain text.
[[nodiscard]] std::string formatPlain(std::string_view pattern,
                                      std::initializer_list<std::string_view> values);

}  // namespace ormel
