#include "ui/qt_content_mirror.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace ormel {

QtContentMirror::QtContentMirror(QTextDocument& document, ReadLine readLine, StyledText lines,
                                 std::size_t unwritten)
    : m_document(document), m_readLine(std::move(readLine)) {
  if (lines.size() == static_cast<std::size_t>(m_document.blockCount()) + unwritten) {
    m_lines.replace(0, 0, std::move(lines));
    m_unwritten = unwritten;
  } else {
    rebuild();
  }
  connect(&m_document, &QTextDocument::contentsChange, this,
          [this](int position, int /*removed*/, int added) { follow(position, added); });
}

ContentSnapshot QtContentMirror::snapshot() {
  // A change the document did not announce would show as a different number of lines.
  if (m_lines.size() != expectedSize()) rebuild();
  return m_lines.snapshot();
}

std::size_t QtContentMirror::expectedSize() const {
  return static_cast<std::size_t>(m_document.blockCount()) + m_unwritten;
}

void QtContentMirror::followWriting(const std::function<std::size_t()>& write) {
  m_writing = true;
  const std::size_t written = write();
  m_writing = false;
  m_unwritten -= std::min(written, m_unwritten);
}

void QtContentMirror::rebuild() {
  StyledText lines;
  lines.reserve(static_cast<std::size_t>(m_document.blockCount()));
  for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
    lines.push_back(m_readLine(block));
  m_lines.replace(0, m_lines.size() - std::min(m_unwritten, m_lines.size()), std::move(lines));
}

void QtContentMirror::follow(int position, int added) {
  // Text before position and after position + added is as it was, so the lines from the one
  // holding position to the one holding position + added replace as many old lines as the
  // document lost or gained beside them. Unwritten lines follow the document's.
  if (m_writing) return;
  const int count = static_cast<int>(expectedSize());
  const QTextBlock firstBlock = m_document.findBlock(position);
  QTextBlock lastBlock = m_document.findBlock(position + added);
  if (!lastBlock.isValid()) lastBlock = m_document.lastBlock();
  const int first = firstBlock.isValid() ? firstBlock.blockNumber() : m_document.blockCount() - 1;
  const int lastNew = lastBlock.blockNumber();
  const int lastOld = lastNew - (count - static_cast<int>(m_lines.size()));
  if (first > lastNew || lastOld < first || lastOld >= static_cast<int>(m_lines.size())) {
    rebuild();
  } else {
    StyledText changed;
    changed.reserve(static_cast<std::size_t>(lastNew - first + 1));
    for (QTextBlock block = firstBlock; block.isValid() && block.blockNumber() <= lastNew;
         block = block.next()) {
      changed.push_back(m_readLine(block));
    }
    m_lines.replace(static_cast<std::size_t>(first), static_cast<std::size_t>(lastOld - first + 1),
                    std::move(changed));
  }
  if (m_onChange) m_onChange();
}

}  // namespace ormel
