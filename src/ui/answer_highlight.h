#pragma once

#include <QObject>
#include <QTimer>
#include <vector>

#include "scratchpad/recalculation.h"

class QPlainTextEdit;

namespace ormel {

/// Marks runs of an editor's text with a background for a moment, so the eye finds them. The
/// marks are extra selections of the editor, not part of its document: they are neither saved
/// nor copied, and extra selections that others set stay as they are.
class AnswerHighlight : public QObject {
  Q_OBJECT

 public:
  /// How long the marks show, in milliseconds.
  static constexpr int kDuration = 1500;

  /// The editor must outlive the highlight.
  explicit AnswerHighlight(QPlainTextEdit& editor, QObject* parent = nullptr);

  /// Replaces the marks by the spans that show in the editor's viewport; each takes a mix of the
  /// background and its own text colour.
  void show(const std::vector<TextSpan>& spans);
  /// Removes the marks.
  void clear();
  /// The spans marked now.
  [[nodiscard]] std::vector<TextSpan> spans() const;

 private:
  QPlainTextEdit& m_editor;
  QTimer m_timer;
};

}  // namespace ormel
