#include "scratchpad/statusbar.h"

namespace ormel {

TStatusInfo::TStatusInfo(Label& statusText, std::unique_ptr<Timer> timer) : m_timer(std::move(timer)) {
  m_items[0] = &statusText;
  m_history.push_back(statusText.hint());
  m_timer->setInterval(kStatusClearInterval);
  m_timer->setEnabled(false);
  m_timer->setOnTimer([this] { ClearInfoTimerTimer(); });
}

void TStatusInfo::StatusText(int index, const std::string& text) {
  show(index, text, kStatusMessageColor, false);
}

void TStatusInfo::StatusErrorText(int index, const std::string& text) {
  show(index, text, kStatusErrorColor, true);
}

void TStatusInfo::show(int index, const std::string& text, Color color, bool error) {
  if (index < 0 || index > 2 || m_items[static_cast<std::size_t>(index)] == nullptr) return;
  Label& label = *m_items[static_cast<std::size_t>(index)];
  label.setCaption(text);
  label.setTextColor(color);
  m_timer->setEnabled(false);
  m_timer->setEnabled(true);
  if (error) {
    ++m_errorCount;
    m_lastError = text;
  }
  if (m_onMessage) m_onMessage(text, error);
}

void TStatusInfo::ClearInfoTimerTimer() {
  Label& label = *m_items[0];
  label.setTextColor(kStatusMessageColor);
  addToHistory(label.caption());
  label.setCaption("Ready");
  m_timer->setEnabled(false);
  label.setCaptionGlow(false);
}

void TStatusInfo::addToHistory(const std::string& text) {
  m_history.push_front(text);
  if (m_history.size() > kStatusHintHistory) m_history.pop_back();
  std::string hint;
  for (std::size_t i = 0; i < m_history.size(); ++i) {
    if (i > 0) hint += "\r\n";
    hint += m_history[i];
  }
  m_items[0]->setHint(hint);
}

}  // namespace ormel
