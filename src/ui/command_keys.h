#pragma once

#include <QAction>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

class QMenu;

namespace ormel {

/// A command of the main window's action list: a caption, a category, a hint and a shortcut
/// code. Its key is never registered with Qt's shortcut map: CommandKeys dispatches it, so that
/// two commands or menu entries with one key are never "ambiguous" and the precedence is ours.
class Command : public QAction {
  Q_OBJECT

 public:
  Command(const QString& name, const QString& caption, const QString& category, std::uint16_t key,
          QObject* parent);

  [[nodiscard]] const QString& category() const { return m_category; }
  [[nodiscard]] std::uint16_t shortcutCode() const { return m_shortcutCode; }
  void setShortcutCode(std::uint16_t code);

 signals:
  void shortcutCodeChanged();

 private:
  QString m_category;
  std::uint16_t m_shortcutCode;
};

/// An entry of a menu that runs a command: its caption, and either a key of its own or the
/// command's key. The key is shown in the menu's shortcut column.
class MenuEntry : public QAction {
  Q_OBJECT

 public:
  /// ownKey 0: the entry takes the command's key.
  MenuEntry(const QString& caption, Command* command, std::uint16_t ownKey, QObject* parent);

  [[nodiscard]] Command* command() const { return m_command; }
  /// The key that invokes this entry (its own or its command's).
  [[nodiscard]] std::uint16_t shortcutCode() const;
  /// Shows the current key in the menu, named by keyName.
  void refreshText(const std::function<QString(std::uint16_t)>& keyName);

 private:
  QString m_caption;
  Command* m_command;
  std::uint16_t m_ownKey;
};

/// The main window's key precedence. While the scratch pad has the keyboard focus, a key is
/// first matched against the entries of its context menu (in menu order, submenus included),
/// then against the commands; elsewhere in the window against the commands alone. A key that
/// is taken runs the command and reaches no widget, its release included.
class CommandKeys : public QObject {
  Q_OBJECT

 public:
  CommandKeys(QWidget* window, QWidget* scratchPad, QMenu* scratchPadMenu, std::vector<Command*> commands,
              QObject* parent);

  /// The command a key runs when pressed with the scratch pad focused or elsewhere in the
  /// window; null when the key runs none.
  [[nodiscard]] Command* commandFor(std::uint16_t shortcutCode, bool scratchPadFocused) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  [[nodiscard]] bool belongsToWindow(QObject* watched) const;

  QPointer<QWidget> m_window;
  QPointer<QWidget> m_scratchPad;
  QPointer<QMenu> m_menu;
  std::vector<Command*> m_commands;
  std::set<int> m_swallowedReleases;
};

}  // namespace ormel
