#pragma once

#include <QObject>
#include <QTextCursor>
#include <cstdint>
#include <unordered_map>

#include "scratchpad/error_marks.h"

class QTextEdit;

namespace ormel {

/// Draws the scratch pad's error marks as red wavy underlines over the text (extra selections:
/// the document never holds them, so they are neither saved nor copied), shows a mark's message
/// as the tooltip of its span, and lets a mark go when its line is edited.
class ErrorMarkView final : public QObject, public ErrorMarks::Listener {
  Q_OBJECT

 public:
  /// The editor and the marks must outlive the view.
  ErrorMarkView(QTextEdit& editor, ErrorMarks& marks);
  ~ErrorMarkView() override;
  ErrorMarkView(const ErrorMarkView&) = delete;
  ErrorMarkView& operator=(const ErrorMarkView&) = delete;

  void markAdded(const ErrorMark& mark) override;
  void markRemoved(std::uint64_t id) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// Where each mark's line is after an edit: the block its anchor starts.
  void followEdit();
  /// Marks come in bursts (a whole sheet evaluated): the underlines are laid once afterwards.
  void scheduleRedraw();
  void redraw();

  QTextEdit& m_editor;
  ErrorMarks& m_marks;
  /// A cursor at the start of each marked line; the document moves it with every edit.
  std::unordered_map<std::uint64_t, QTextCursor> m_anchors;
  bool m_redrawPending = false;
};

}  // namespace ormel
