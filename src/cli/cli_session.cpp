#include "cli/cli_session.h"

#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "base/atomic_file.h"
#include "base/set_aside_copy.h"
#include "scratchpad/content_file.h"

namespace ormel {

namespace {

std::string dataFile(const std::string& folder, const char* name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

CliSession::CliSession(const CliOptions& options, std::FILE* errors) : m_options(options), m_errors(errors) {
  m_pad.setOnAlert([this](const std::string& text) { report("alert", text); });
  m_pad.status->setOnMessage(
      [this](const std::string& text, bool error) { report(error ? "error" : "status", text); });
}

void CliSession::report(const char* kind, const std::string& text) {
  const bool status = std::string_view(kind) == "status";
  // One-shot evaluation prints answers only; what went wrong still shows.
  if (status && !m_options.expressions.empty()) return;
  if (!status) m_reported = true;
  std::fprintf(m_errors, "%s: %s\n", kind, text.c_str());
}

void CliSession::loadVariables(const std::string& path) {
  std::string bytes;
  const FileResult read = readWholeFile(path, bytes);
  if (!read.ok) {
    if (read.error == ENOENT || read.error == ENOTDIR) return;
    // Defaults written over a file we could not read would lose it for good.
    m_keepVariablesFile = true;
    report("alert", "\"" + path + "\" cannot be read (" + read.reason +
                        "). It is left as it is, and nothing is saved to it.");
    return;
  }
  LoadNotes notes;
  m_pad.logic->runHandler([&] { m_pad.variables->Load(path, &notes); });
  if (notes.empty()) return;
  const SetAside setAside = setAsideUnusableFile(path, bytes, notes);
  m_keepVariablesFile = !setAside.kept;
  report("alert", setAside.message);
}

bool CliSession::start() {
  if (m_options.dataDir) {
    // Like the window, make the data folder one level deep; a failure shows when saving.
    ::mkdir(m_options.dataDir->c_str(), 0777);
    removeStaleTemporaryFiles(*m_options.dataDir);
    m_pad.prefs.Load(dataFile(*m_options.dataDir, "prefs.xml"));
    m_pad.applyPrefs();
    m_pad.pad.clear();
    loadVariables(dataFile(*m_options.dataDir, "vars.xml"));
    m_pad.variables->UpdateVariableListBox();
  }
  if (m_options.openSheet) {
    try {
      std::string bytes;
      if (readWholeFile(*m_options.openSheet, bytes, kContentFileLimit).ok && !rtfIsComplete(bytes)) {
        throw EContentStreamError("Cannot read sheet \"" + *m_options.openSheet +
                                  "\": it ends before all of its groups are closed");
      }
      m_pad.pad.loadContent(*m_options.openSheet);
      // A sheet may not be saved again in its folder, so killed saves' leftovers go when it is opened.
      removeStaleTemporaryFilesBeside(*m_options.openSheet);
    } catch (const Exception& error) {
      std::fprintf(m_errors, "ormelcalc-cli: %s\n", error.message().c_str());
      return false;
    }
  }
  return true;
}

void CliSession::enterLines(std::istream& input, bool echo, std::FILE* output) {
  std::string line;
  while (std::getline(input, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const int count = m_pad.pad.lineCount();
    const int typedLine = m_pad.pad.lineLength(count - 1) == 0 ? count - 1 : count;
    m_pad.enterLine(line);
    if (echo) {
      // The answer stands on the lines below the one just entered.
      printLines(typedLine + 1, m_pad.pad.lineCount(), output);
      std::fflush(output);
    }
  }
}

void CliSession::recalculate() { m_pad.logic->RecalculateExecute(); }

void CliSession::evaluate(const std::vector<std::string>& expressions, std::FILE* output) {
  for (const std::string& expression : expressions) {
    const int count = m_pad.pad.lineCount();
    const int typedLine = m_pad.pad.lineLength(count - 1) == 0 ? count - 1 : count;
    m_pad.enterLine(expression);
    if (const std::optional<AnswerLine> answer = m_pad.logic->answerLineAt(typedLine + 1)) {
      std::fprintf(output, "%s\n", answer->answer.c_str());
    }
  }
  std::fflush(output);
}

bool CliSession::finish() {
  bool ok = true;
  if (m_options.dataDir && !m_keepVariablesFile) {
    const std::string path = dataFile(*m_options.dataDir, "vars.xml");
    try {
      m_pad.variables->Save(path);
    } catch (const Exception& error) {
      std::fprintf(m_errors, "ormelcalc-cli: %s\n", error.message().c_str());
      ok = false;
    }
  }
  if (m_options.saveSheet) {
    try {
      m_pad.pad.saveContent(*m_options.saveSheet);
    } catch (const Exception& error) {
      std::fprintf(m_errors, "ormelcalc-cli: %s\n", error.message().c_str());
      ok = false;
    }
  }
  return ok;
}

void CliSession::printPad(std::FILE* output) const {
  std::string text = m_pad.pad.text();
  if (m_pad.pad.lineLength(m_pad.pad.lineCount() - 1) > 0) text += '\n';
  std::fwrite(text.data(), 1, text.size(), output);
}

void CliSession::printLines(int first, int last, std::FILE* output) const {
  if (last > first && m_pad.pad.lineLength(last - 1) == 0) --last;
  std::string text;
  for (int n = first; n < last; ++n) {
    text += m_pad.pad.line(n);
    text += '\n';
  }
  std::fwrite(text.data(), 1, text.size(), output);
}

}  // namespace ormel
