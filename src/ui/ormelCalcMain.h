#pragma once

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QMenu;
class QToolBar;

namespace ormel {

class Command;
class CommandKeys;
class MenuEntry;
class ScratchPadEdit;

/// The main window: the scratch pad with the toolbars, the status line, the commands with their
/// keys and the scratch pad's context menu.
class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  /// The window's design size.
  static constexpr int kDesignWidth = 458;
  static constexpr int kDesignHeight = 334;
  /// The edit width the drop-downs have before the first resize.
  static constexpr int kDropDownDesignWidth = 150;

  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  /// The commands in action-list order.
  [[nodiscard]] const std::vector<Command*>& actions() const { return m_actions; }
  /// A command by its component name (ClearScreen, SaveSheet, ...); null when none has it.
  [[nodiscard]] Command* command(const QString& name) const;

  [[nodiscard]] ScratchPadEdit* scratchPad() const { return m_scratchPad; }
  [[nodiscard]] QToolBar* varsToolbar() const { return m_varsToolbar; }
  [[nodiscard]] QToolBar* funcsToolbar() const { return m_funcsToolbar; }
  [[nodiscard]] QToolBar* varsTextToolbar() const { return m_varsTextToolbar; }
  [[nodiscard]] QComboBox* varsDropDown() const { return m_varsDropDown; }
  [[nodiscard]] QComboBox* funcsDropDown() const { return m_funcsDropDown; }
  [[nodiscard]] QLabel* varsLabelItem() const { return m_varsLabelItem; }
  [[nodiscard]] QLabel* varsTextLabel() const { return m_varsTextLabel; }
  [[nodiscard]] QLabel* statusText() const { return m_statusText; }
  [[nodiscard]] QMenu* commandMenu() const { return m_commandMenu; }
  [[nodiscard]] QMenu* functionPopupMenu() const { return m_functionPopupMenu; }
  [[nodiscard]] const CommandKeys& commandKeys() const { return *m_commandKeys; }

  /// The edit width of a drop-down on a dock of the given width: half the width less 50,
  /// rounded to the nearest integer, halves to the even one.
  [[nodiscard]] static int dropDownWidthForDock(int dockWidth);

  /// While set, resizes leave the drop-downs' widths alone (the start-up sets it).
  void setIgnoreResizes(bool ignore) { m_ignoreResizes = ignore; }

  /// Makes window stay on top of other programs' windows, or not, keeping its bounds.
  static void setStayOnTop(QWidget& window, bool on);
  /// Where the stay-on-top rule reads the switch on activation; none leaves windows alone.
  void setAlwaysOnTopSwitch(std::function<bool()> alwaysOnTop) { m_alwaysOnTop = std::move(alwaysOnTop); }

  /// Names shortcut codes in the menus; refreshes them.
  void setKeyNames(std::function<QString(std::uint16_t)> keyName);

 public slots:
  /// Sets the menu's check marks from the toolbars' visibility (also done when it opens).
  void commandMenuPopup();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void buildActions();
  void buildToolbars();
  void buildStatusBar();
  void buildMenus();
  void refreshMenuKeys();
  void ToolbarMenuItemClick(QAction* item);

  std::vector<Command*> m_actions;
  std::vector<MenuEntry*> m_menuEntries;
  ScratchPadEdit* m_scratchPad = nullptr;
  QToolBar* m_varsToolbar = nullptr;
  QToolBar* m_funcsToolbar = nullptr;
  QToolBar* m_varsTextToolbar = nullptr;
  QLabel* m_varsLabelItem = nullptr;
  QComboBox* m_varsDropDown = nullptr;
  QComboBox* m_funcsDropDown = nullptr;
  QLabel* m_varsTextLabel = nullptr;
  QLabel* m_statusText = nullptr;
  QMenu* m_commandMenu = nullptr;
  QMenu* m_functionPopupMenu = nullptr;
  QAction* m_variablesMenuItem = nullptr;
  QAction* m_functionsMenuItem = nullptr;
  QAction* m_variablesTextMenuItem = nullptr;
  CommandKeys* m_commandKeys = nullptr;
  std::function<QString(std::uint16_t)> m_keyName;
  std::function<bool()> m_alwaysOnTop;
  bool m_ignoreResizes = false;
};

}  // namespace ormel
