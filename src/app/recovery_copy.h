#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "base/timer_port.h"
#include "scratchpad/content_snapshot.h"

namespace ormel {

/// The two recovery files of one running instance, named by its process id.
struct RecoveryFiles {
  std::string pad;
  std::string vars;
};

/// The recovery files of the process pid in the data folder dataDir (which ends with "/"):
/// "workspace.dat.recovery-<pid>" and "vars.xml.recovery-<pid>".
[[nodiscard]] RecoveryFiles recoveryFilesOf(const std::string& dataDir, long pid);

/// What one recovery write holds, taken on the window thread.
struct RecoverySnapshot {
  ContentSnapshot pad;
  /// The variables file's text, as vars.xml is written.
  std::string vars;
  /// The pad's font face, which the workspace file names.
  std::string fontFace;
};

/// Writes the snapshot: the pad as the workspace file is written (RTF), then the variables,
/// each atomically. False when either could not be written.
bool writeRecoveryFiles(const RecoveryFiles& files, const RecoverySnapshot& snapshot);

/// Keeps a recovery copy of the pad and the variables while the program runs, so that a crash,
/// a kill or a power cut loses at most the last few seconds of work. A change is written
/// kQuietMs after the last change, and at least every kLongestMs while changes go on. The
/// window thread only takes the snapshot; a worker of its own serialises and writes it.
class RecoveryCopy {
 public:
  static constexpr int kQuietMs = 2000;
  static constexpr int kLongestMs = 30000;

  /// take runs on the window thread and must be cheap; the timers are window timers, off.
  RecoveryCopy(RecoveryFiles files, std::unique_ptr<Timer> quiet, std::unique_ptr<Timer> longest,
               std::function<RecoverySnapshot()> take);
  /// Lets a write in progress end; the files stay, since only a normal end may remove them.
  ~RecoveryCopy();
  RecoveryCopy(const RecoveryCopy&) = delete;
  RecoveryCopy& operator=(const RecoveryCopy&) = delete;

  [[nodiscard]] const RecoveryFiles& files() const { return m_files; }

  /// The pad or the variables changed.
  void noteChange();
  /// Takes a snapshot now and hands it to the worker; a snapshot still waiting is replaced.
  void writeNow();
  /// Takes over the files a start restored from: a copy is written now, and once it is written
  /// the left files are removed (they stay when the write fails, so nothing is lost).
  void adopt(const RecoveryFiles& left);
  /// Returns once the worker has written everything handed to it.
  void waitUntilWritten();
  /// The normal end: no more writes. With removeFiles the recovery files are removed once a
  /// write in progress has ended; without (the data files could not all be saved) the latest
  /// state is written first and the files stay for the next start to offer.
  void finish(bool removeFiles);

 private:
  void work();

  RecoveryFiles m_files;
  std::unique_ptr<Timer> m_quiet;
  std::unique_ptr<Timer> m_longest;
  std::function<RecoverySnapshot()> m_take;
  bool m_finished = false;

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::optional<RecoverySnapshot> m_pending;
  std::optional<RecoveryFiles> m_superseded;
  bool m_writing = false;
  bool m_stop = false;
  std::thread m_worker;
};

}  // namespace ormel
