#include "ui/answer_highlight.h"

#include <QPlainTextEdit>
#include <QTextBlock>

namespace ormel {

namespace {

// Tells this highlight's selections from those that others give the editor.
constexpr int kMarkProperty = QTextFormat::UserProperty + 0x16A;

QColor mixed(const QColor& background, const QColor& text) {
  constexpr double kTextShare = 0.35;
  const auto mix = [](int a, int b) { return static_cast<int>(a + (b - a) * kTextShare); };
  return {mix(background.red(), text.red()), mix(background.green(), text.green()),
          mix(background.blue(), text.blue())};
}

QList<QTextEdit::ExtraSelection> othersOf(const QList<QTextEdit::ExtraSelection>& selections) {
  QList<QTextEdit::ExtraSelection> others;
  for (const QTextEdit::ExtraSelection& selection : selections) {
    if (!selection.format.hasProperty(kMarkProperty)) others.push_back(selection);
  }
  return others;
}

}  // namespace

AnswerHighlight::AnswerHighlight(QPlainTextEdit& editor, QObject* parent)
    : QObject(parent), m_editor(editor) {
  m_timer.setSingleShot(true);
  m_timer.setInterval(kDuration);
  connect(&m_timer, &QTimer::timeout, this, &AnswerHighlight::clear);
}

void AnswerHighlight::show(const std::vector<TextSpan>& spans) {
  QList<QTextEdit::ExtraSelection> selections = othersOf(m_editor.extraSelections());
  const QColor background = m_editor.palette().color(QPalette::Base);
  // Only what shows can catch the eye; thousands of extra selections would slow every paint.
  const QRect view = m_editor.viewport()->rect();
  const int firstShown = m_editor.cursorForPosition(view.topLeft()).block().position();
  const QTextBlock lastBlock = m_editor.cursorForPosition(view.bottomRight()).block();
  const int lastShown = lastBlock.position() + lastBlock.length();
  for (const TextSpan& span : spans) {
    if (span.start + span.length < firstShown || span.start > lastShown) continue;
    QTextEdit::ExtraSelection selection;
    selection.cursor = QTextCursor(m_editor.document());
    selection.cursor.setPosition(span.start + 1);
    const QColor text = selection.cursor.charFormat().foreground().color();
    selection.cursor.setPosition(span.start);
    selection.cursor.setPosition(span.start + span.length, QTextCursor::KeepAnchor);
    selection.format.setBackground(mixed(background, text));
    selection.format.setProperty(kMarkProperty, true);
    selections.push_back(selection);
  }
  m_editor.setExtraSelections(selections);
  if (spans.empty()) {
    m_timer.stop();
  } else {
    m_timer.start();
  }
}

void AnswerHighlight::clear() {
  m_timer.stop();
  const QList<QTextEdit::ExtraSelection> selections = m_editor.extraSelections();
  const QList<QTextEdit::ExtraSelection> others = othersOf(selections);
  if (others.size() != selections.size()) m_editor.setExtraSelections(others);
}

std::vector<TextSpan> AnswerHighlight::spans() const {
  std::vector<TextSpan> spans;
  for (const QTextEdit::ExtraSelection& selection : m_editor.extraSelections()) {
    if (!selection.format.hasProperty(kMarkProperty)) continue;
    spans.push_back(TextSpan{selection.cursor.selectionStart(),
                             selection.cursor.selectionEnd() - selection.cursor.selectionStart()});
  }
  return spans;
}

}  // namespace ormel
