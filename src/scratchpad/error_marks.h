#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scratchpad/error_span.h"

namespace ormel {

/// A line that failed, marked where it failed; drawn over the text, never part of it.
struct ErrorMark {
  /// Tells marks apart while their lines move.
  std::uint64_t id = 0;
  int line = 0;
  LineSpan span;
  std::string message;
  /// The line's text when it was marked: a mark goes as soon as its line reads otherwise.
  std::string lineText;
};

/// The error marks of the scratch pad, one a line at most, kept in line order.
class ErrorMarks {
 public:
  /// Told of every mark that comes and goes, so a view can follow it.
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void markAdded(const ErrorMark& mark) = 0;
    virtual void markRemoved(std::uint64_t id) = 0;
  };

  /// At most one listener; null for none. It must outlive the marks or be unset first.
  void setListener(Listener* listener) { m_listener = listener; }

  /// Marks line, whose text is lineText now, replacing the mark it had.
  void mark(int line, LineSpan span, std::string message, std::string lineText);
  /// Removes line's mark, if it has one.
  void unmark(int line);
  void clear();

  /// The mark of line; null when it has none.
  [[nodiscard]] const ErrorMark* markOf(int line) const;
  /// The mark of line whose span holds column; null when none does.
  [[nodiscard]] const ErrorMark* markAt(int line, int column) const;
  [[nodiscard]] const std::vector<ErrorMark>& marks() const { return m_marks; }

  /// After the text changed: lineNow tells where a mark's line stands now (-1 when it is gone,
  /// joined to another line or deleted) and textOf reads a line. A mark whose line is gone or
  /// reads otherwise than when it was marked goes; the others move with their lines.
  void follow(const std::function<int(const ErrorMark&)>& lineNow,
              const std::function<std::string(int)>& textOf);

 private:
  std::vector<ErrorMark>::iterator find(int line);
  void removeAt(std::vector<ErrorMark>::iterator at);

  std::vector<ErrorMark> m_marks;
  std::uint64_t m_nextId = 1;
  Listener* m_listener = nullptr;
};

}  // namespace ormel
