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
  /// caller knows them (say, from filling it); otherwise, or if their number is not the
  /// document's, the document is read.
  QtContentMirror(QTextDocument& document, ReadLine readLine, StyledText lines);

  /// The content as it is now.
  [[nodiscard]] ContentSnapshot snapshot();
  /// Called after each change of the content.
  void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }
  /// Reads every line again (when the way lines are read has changed).
  void rebuild();

 private:
  void follow(int position, int added);

  QTextDocument& m_document;
  ReadLine m_readLine;
  SharedLines m_lines;
  std::function<void()> m_onChange;
};

}  // namespace ormel
