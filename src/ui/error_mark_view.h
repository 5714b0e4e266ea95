#pragma once

#include <QObject>
#include <QTextCursor>
#include <cstdint>
#include <unordered_map>

#include "scratchpad/error_marks.h"

class QPainter;

namespace ormel {

class ScratchPadEdit;

/// Draws the scratch pad's error marks as red wavy underlines over the text (the document never
/// holds them, so they are neither saved nor copied), shows a mark's message as the tooltip of
/// its span, and lets a mark go when its line is edited.
class ErrorMarkView final : public QObject, public ErrorMarks::Listener {
  Q_OBJECT

 public:
  /// The pad and the marks must outlive the view.
  ErrorMarkView(ScratchPadEdit& editor, ErrorMarks& marks);
  ~ErrorMarkView() override;
  ErrorMarkView(const ErrorMarkView&) = delete;
  ErrorMarkView& operator=(const ErrorMarkView&) = delete;

  /// For text rewritten wholesale from a copy on which the marks were kept (a run over every
  /// line): while held, edits neither move nor drop marks; release anchors each mark at the line
  /// the marks give it and drops those whose line reads otherwise.
  void hold() { m_held = true; }
  void release();

  void markAdded(const ErrorMark& mark) override;
  void markRemoved(std::uint64_t id) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// Where each mark's line is after an edit: the block its anchor starts.
  void followEdit();
  /// Paints the underlines of the lines that show, where area of the viewport is repainted.
  void paintMarks(QPainter& painter, const QRect& area) const;
  /// Where mark's underline goes, in the editor's viewport.
  [[nodiscard]] QRect spanRect(const ErrorMark& mark) const;

  ScratchPadEdit& m_editor;
  ErrorMarks& m_marks;
  /// A cursor at the start of each marked line; the document moves it with every edit.
  std::unordered_map<std::uint64_t, QTextCursor> m_anchors;
  bool m_held = false;
};

}  // namespace ormel
