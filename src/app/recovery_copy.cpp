#include "app/recovery_copy.h"

#include <unistd.h>

#include <utility>

#include "base/atomic_file.h"
#include "scratchpad/content_file.h"

namespace ormel {
namespace {

void deleteFiles(const RecoveryFiles& files) {
  if (!files.pad.empty()) ::unlink(files.pad.c_str());
  if (!files.vars.empty()) ::unlink(files.vars.c_str());
}

}  // namespace

RecoveryFiles recoveryFilesOf(const std::string& dataDir, long pid) {
  const std::string suffix = ".recovery-" + std::to_string(pid);
  return RecoveryFiles{dataDir + "workspace.dat" + suffix, dataDir + "vars.xml" + suffix};
}

bool writeRecoveryFiles(const RecoveryFiles& files, const RecoverySnapshot& snapshot) {
  const bool pad = writeFileAtomically(files.pad, writeRtf(snapshot.pad, snapshot.fontFace)).ok;
  return writeFileAtomically(files.vars, snapshot.vars).ok && pad;
}

RecoveryCopy::RecoveryCopy(RecoveryFiles files, std::unique_ptr<Timer> quiet, std::unique_ptr<Timer> longest,
                           std::function<RecoverySnapshot()> take)
    : m_files(std::move(files)),
      m_quiet(std::move(quiet)),
      m_longest(std::move(longest)),
      m_take(std::move(take)) {
  m_quiet->setInterval(kQuietMs);
  m_longest->setInterval(kLongestMs);
  m_quiet->setOnTimer([this] { writeNow(); });
  m_longest->setOnTimer([this] { writeNow(); });
  m_worker = std::thread([this] { work(); });
}

RecoveryCopy::~RecoveryCopy() {
  {
    const std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_wake.notify_all();
  m_worker.join();
}

void RecoveryCopy::noteChange() {
  if (m_finished) return;
  // The longest wait counts from the first change that is not yet written.
  if (!m_longest->enabled()) m_longest->setEnabled(true);
  m_quiet->setEnabled(true);
}

void RecoveryCopy::writeNow() {
  m_quiet->setEnabled(false);
  m_longest->setEnabled(false);
  if (m_finished) return;
  std::optional<RecoverySnapshot> snapshot = m_take();
  {
    const std::lock_guard lock(m_mutex);
    std::swap(m_pending, snapshot);
  }
  m_wake.notify_all();
  // A snapshot the worker never took is released here, outside the lock the worker needs.
}

void RecoveryCopy::adopt(const RecoveryFiles& left) {
  {
    const std::lock_guard lock(m_mutex);
    // Files of an earlier process with this one's id are simply written over.
    m_superseded =
        RecoveryFiles{left.pad == m_files.pad ? "" : left.pad, left.vars == m_files.vars ? "" : left.vars};
  }
  writeNow();
}

void RecoveryCopy::waitUntilWritten() {
  std::unique_lock lock(m_mutex);
  m_wake.wait(lock, [this] { return !m_pending && !m_writing; });
}

void RecoveryCopy::finish(bool removeFiles) {
  if (m_finished) return;
  if (removeFiles) {
    m_quiet->setEnabled(false);
    m_longest->setEnabled(false);
    const std::lock_guard lock(m_mutex);
    m_pending.reset();
    // What a start restored from is saved now as well.
    if (m_superseded) deleteFiles(*m_superseded);
    m_superseded.reset();
  } else {
    writeNow();
  }
  m_finished = true;
  waitUntilWritten();
  if (removeFiles) deleteFiles(m_files);
}

void RecoveryCopy::work() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_wake.wait(lock, [this] { return m_stop || m_pending; });
    if (!m_pending) return;
    std::optional<RecoverySnapshot> snapshot;
    std::swap(snapshot, m_pending);
    m_writing = true;
    lock.unlock();
    // A failed write keeps the previous copy; the next change tries again.
    const bool written = writeRecoveryFiles(m_files, *snapshot);
    // Released before the lock is taken again: letting go of a long pad's lines takes a while,
    // and the window thread must not wait for it to hand over the next snapshot.
    snapshot.reset();
    lock.lock();
    if (written && m_superseded) {
      deleteFiles(*m_superseded);
      m_superseded.reset();
    }
    m_writing = false;
    m_wake.notify_all();
  }
}

}  // namespace ormel
