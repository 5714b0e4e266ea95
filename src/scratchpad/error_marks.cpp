#include "scratchpad/error_marks.h"

#include <algorithm>

namespace ormel {

namespace {

template <typename Marks>
auto firstAtOrBelow(Marks& marks, int line) {
  return std::lower_bound(marks.begin(), marks.end(), line,
                          [](const ErrorMark& mark, int n) { return mark.line < n; });
}

}  // namespace

std::vector<ErrorMark>::iterator ErrorMarks::find(int line) { return firstAtOrBelow(m_marks, line); }

void ErrorMarks::removeAt(std::vector<ErrorMark>::iterator at) {
  const std::uint64_t id = at->id;
  m_marks.erase(at);
  if (m_listener != nullptr) m_listener->markRemoved(id);
}

void ErrorMarks::mark(int line, LineSpan span, std::string message, std::string lineText) {
  unmark(line);
  const auto at =
      m_marks.insert(find(line), ErrorMark{m_nextId++, line, span, std::move(message), std::move(lineText)});
  if (m_listener != nullptr) m_listener->markAdded(*at);
}

void ErrorMarks::unmark(int line) {
  if (const auto at = find(line); at != m_marks.end() && at->line == line) removeAt(at);
}

void ErrorMarks::clear() {
  while (!m_marks.empty()) removeAt(m_marks.end() - 1);
}

const ErrorMark* ErrorMarks::markOf(int line) const {
  const auto at = firstAtOrBelow(m_marks, line);
  return at != m_marks.end() && at->line == line ? &*at : nullptr;
}

const ErrorMark* ErrorMarks::markAt(int line, int column) const {
  const ErrorMark* mark = markOf(line);
  if (mark == nullptr || column < mark->span.start || column >= mark->span.start + mark->span.length)
    return nullptr;
  return mark;
}

void ErrorMarks::follow(const std::function<int(const ErrorMark&)>& lineNow,
                        const std::function<std::string(int)>& textOf) {
  std::vector<std::uint64_t> gone;
  int previous = -1;
  for (ErrorMark& mark : m_marks) {
    const int line = lineNow(mark);
    // Lines keep their order whatever is edited, so the marks stay sorted; two that end on one
    // line (the lines between them deleted) keep the first.
    const bool stays = line > previous && textOf(line) == mark.lineText;
    if (stays) previous = line;
    if (!stays) gone.push_back(mark.id);
    mark.line = stays ? line : -1;
  }
  if (gone.empty()) return;
  std::erase_if(m_marks, [](const ErrorMark& mark) { return mark.line < 0; });
  if (m_listener != nullptr) {
    for (const std::uint64_t id : gone) m_listener->markRemoved(id);
  }
}

}  // namespace ormel
