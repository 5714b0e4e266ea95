#pragma once

#include <QObject>
#include <functional>

#include "scratchpad/content_snapshot.h"

class QTextBlock;
class QTextDocument;

namespace ormel {

/// A copy of a document's lines, as the text control reads them, that follows every change of
/// the document: a change costs the lines it touches, and a snapshot of the whole content costs
/// a pointer per chunk of lines.
class QtContentMirror final : public QObject {
 public:
  using ReadLine = std::function<StyledLine(const QTextBlock&)>;

  /// The document must outlive the mirror. Lines are its lines as readLine reads them, when the
  /// caller knows them (say, from filling it), followed by unwritten lines that the document
  /// is still to be given at its end; if their number does not add up, the document is read.
  QtContentMirror(QTextDocument& document, ReadLine readLine, StyledText lines, std::size_t unwritten = 0);

  /// The content as it is now.
  [[nodiscard]] ContentSnapshot snapshot();
  /// Called after each change of the content.
  void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }
  /// Reads every line of the document again (when the way lines are read has changed); lines
  /// still unwritten stay as they are.
  void rebuild();
  /// The document gains the next unwritten lines at its end through write, which says how
  /// many it wrote; they are the mirror's already, so nothing is read back or announced.
  void followWriting(const std::function<std::size_t()>& write);

 private:
  void follow(int position, int added);
  /// The document's lines and the unwritten ones.
  [[nodiscard]] std::size_t expectedSize() const;

  QTextDocument& m_document;
  ReadLine m_readLine;
  SharedLines m_lines;
  std::size_t m_unwritten = 0;
  bool m_writing = false;
  std::function<void()> m_onChange;
};

}  // namespace ormel
