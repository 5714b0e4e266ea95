#include "ui/command_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

#include "ui/key_codes.h"

namespace ormel {

Command::Command(const QString& name, const QString& caption, const QString& category, std::uint16_t key,
                 QObject* parent)
    : QAction(caption, parent), m_category(category), m_shortcutCode(key) {
  setObjectName(name);
}

void Command::setShortcutCode(std::uint16_t code) {
  if (code == m_shortcutCode) return;
  m_shortcutCode = code;
  emit shortcutCodeChanged();
}

MenuEntry::MenuEntry(const QString& caption, Command* command, std::uint16_t ownKey, QObject* parent)
    : QAction(caption, parent), m_caption(caption), m_command(command), m_ownKey(ownKey) {
  // The status bar shows the command's hint while the entry is highlighted.
  setStatusTip(command->statusTip());
  connect(this, &QAction::triggered, command, [command] { command->trigger(); });
}

std::uint16_t MenuEntry::shortcutCode() const { return m_ownKey != 0 ? m_ownKey : m_command->shortcutCode(); }

void MenuEntry::refreshText(const std::function<QString(std::uint16_t)>& keyName) {
  const std::uint16_t code = shortcutCode();
  const QString name = code != 0 ? keyName(code) : QString();
  // QMenu shows what follows a tab in its shortcut column.
  setText(name.isEmpty() ? m_caption : m_caption + QChar('\t') + name);
}

CommandKeys::CommandKeys(QWidget* window, QWidget* scratchPad, QMenu* scratchPadMenu,
                         std::vector<Command*> commands, QObject* parent)
    : QObject(parent),
      m_window(window),
      m_scratchPad(scratchPad),
      m_menu(scratchPadMenu),
      m_commands(std::move(commands)) {
  qApp->installEventFilter(this);
}

namespace {

Command* menuCommandFor(const QMenu& menu, std::uint16_t code) {
  for (QAction* action : menu.actions()) {
    if (QMenu* submenu = action->menu()) {
      if (Command* found = menuCommandFor(*submenu, code)) return found;
    } else if (auto* entry = qobject_cast<MenuEntry*>(action); entry && entry->isEnabled()) {
      if (entry->shortcutCode() == code) return entry->command();
    }
  }
  return nullptr;
}

}  // namespace

Command* CommandKeys::commandFor(std::uint16_t shortcutCode, bool scratchPadFocused) const {
  if (shortcutCode == 0) return nullptr;
  if (scratchPadFocused && m_menu) {
    if (Command* command = menuCommandFor(*m_menu, shortcutCode)) return command;
  }
  for (Command* command : m_commands) {
    if (command->isEnabled() && command->shortcutCode() == shortcutCode) return command;
  }
  return nullptr;
}

bool CommandKeys::belongsToWindow(QObject* watched) const {
  auto* widget = qobject_cast<QWidget*>(watched);
  return widget != nullptr && m_window && widget->window() == m_window;
}

bool CommandKeys::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
    return false;
  if (!belongsToWindow(watched)) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const int virtualKey = virtualKeyOf(*key);
  if (type == QEvent::KeyRelease) {
    if (key->isAutoRepeat() || m_swallowedReleases.erase(virtualKey) == 0) return false;
    return true;
  }
  const bool scratchPadFocused = m_scratchPad && QApplication::focusWidget() == m_scratchPad;
  Command* command = commandFor(shortcutCodeOf(*key), scratchPadFocused);
  if (command == nullptr) {
    if (type == QEvent::KeyPress) m_swallowedReleases.erase(virtualKey);
    return false;
  }
  if (type == QEvent::ShortcutOverride) {
    // Keeps a widget from claiming the key for itself; the press then comes here.
    key->accept();
    return true;
  }
  m_swallowedReleases.insert(virtualKey);
  command->trigger();
  return true;
}

}  // namespace ormel
