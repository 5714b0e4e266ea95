#pragma once

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "app/HTTPGet.h"
#include "app/ThreadTimer.h"
#include "app/app_window_port.h"
#include "app/appmanager.h"
#include "engine/parser.h"
#include "scratchpad/error_marks.h"
#include "scratchpad/forwarding_text_control.h"
#include "ui/qt_message_box.h"
#include "ui/qt_text_control.h"
#include "ui/qt_update_window.h"
#include "ui/qt_widgets.h"
#include "ui/qt_window_ports.h"
#include "ui/qt_window_thread.h"

class QComboBox;
class QFileDialog;
class QLabel;
class QMenu;
class QToolBar;

namespace ormel {

class AnswerHighlight;
class Command;
class CommandKeys;
class CompletionPopup;
class ErrorMarkView;
class InstanceServer;
class MainWindowLogic;
class MenuEntry;
class RecoveryCopy;
class NameCompleter;
class ScratchPadEdit;

/// The main window: the scratch pad with the toolbars, the status line, the commands with their
/// keys and the scratch pad's context menu, plugged into the scratch pad's logic and the
/// application manager. Owns the parser, the download component and the trim timer.
class TForm1 : public QMainWindow, public AppWindow {
  Q_OBJECT

 public:
  /// The window's design size.
  static constexpr int kDesignWidth = 458;
  static constexpr int kDesignHeight = 334;
  /// The edit width the drop-downs have before the first resize.
  static constexpr int kDropDownDesignWidth = 150;
  /// How often the trim timer ticks, in milliseconds.
  static constexpr int kTrimInterval = 25000;

  /// Builds the window; nothing is loaded before FormCreate.
  explicit TForm1(TAppManager::Folders folders, QWidget* parent = nullptr);
  ~TForm1() override;

  /// The start-up: caption, application manager and its Init, the logic, the one-instance
  /// rule. False when another instance runs and was brought forward: this one then ends
  /// without saving anything.
  [[nodiscard]] bool FormCreate();
  /// For a start-up that is to end before the window opens: closes the message box that shows
  /// and keeps later ones from showing.
  void abandonStartUp();

  /// The commands in action-list order.
  [[nodiscard]] const std::vector<Command*>& commands() const { return m_commands; }
  /// A command by its component name (ClearScreen, SaveSheet, ...); null when none has it.
  [[nodiscard]] Command* command(const QString& name) const;

  [[nodiscard]] ScratchPadEdit* scratchPadEdit() const { return m_scratchPad; }
  [[nodiscard]] QToolBar* toolbar(const QString& name) const;
  [[nodiscard]] QComboBox* varsDropDownBox() const { return m_varsDropDown; }
  [[nodiscard]] QComboBox* funcsDropDownBox() const { return m_funcsDropDown; }
  [[nodiscard]] QLabel* statusTextLabel() const { return m_statusText; }
  [[nodiscard]] QLabel* varsTextLabelWidget() const { return m_varsTextLabel; }
  [[nodiscard]] QMenu* commandMenu() const { return m_commandMenu; }
  [[nodiscard]] QMenu* functionPopupMenu() const { return m_functionPopupMenu; }
  [[nodiscard]] TAppManager* appManager() const { return m_appManager.get(); }
  [[nodiscard]] TParser& parser() { return m_parser; }
  [[nodiscard]] QtTextControl& textControl() { return m_textControl; }
  [[nodiscard]] TThreadTimer& trimWorkTimer() { return m_trimWorkTimer; }
  /// The recovery copy of the pad and the variables; null before FormCreate and without a
  /// writable data folder.
  [[nodiscard]] RecoveryCopy* recoveryCopy() const { return m_recovery.get(); }
  /// The marks of the answers the last recalculation changed; null before the first.
  [[nodiscard]] AnswerHighlight* answerHighlight() const { return m_answerHighlight.get(); }
  /// The scratch pad's completion list; null before FormCreate.
  [[nodiscard]] CompletionPopup* completionPopup() const { return m_completionPopup.get(); }
  /// The lines marked with their errors, and their view; null before FormCreate.
  [[nodiscard]] const ErrorMarks* errorMarks() const;
  [[nodiscard]] ErrorMarkView* errorMarkView() const { return m_errorMarkView.get(); }

  /// The edit width of a drop-down on a dock of the given width: half the width less 50,
  /// rounded to the nearest integer, halves to the even one.
  [[nodiscard]] static int dropDownWidthForDock(int dockWidth);
  /// Makes window stay on top of other programs' windows, or not, keeping its bounds.
  static void setStayOnTop(QWidget& window, bool on);

  /// Called with each sheet dialog as it opens, after it is centred (tests answer it here).
  void setOnSheetDialog(std::function<void(QFileDialog&)> onDialog) { m_onSheetDialog = std::move(onDialog); }

  // AppWindow
  [[nodiscard]] TextControl& scratchPad() override { return m_textControl; }
  [[nodiscard]] ScratchPadLook& scratchPadLook() override { return m_textControl; }
  [[nodiscard]] MainWindowFrame& frame() override { return m_frame; }
  [[nodiscard]] ActionList& actions() override { return *m_actionList; }
  [[nodiscard]] ComboBox& funcsDropDown() override { return *m_funcsBox; }
  [[nodiscard]] ComboBox& varsDropDown() override { return *m_varsBox; }
  [[nodiscard]] Label& varsTextLabel() override { return *m_varsTextLabelPort; }
  [[nodiscard]] Label& varsLabelItem() override { return *m_varsLabelItemPort; }
  [[nodiscard]] Label& statusText() override { return *m_statusTextPort; }
  [[nodiscard]] MessageBox& messageBox() override { return m_messageBox; }
  [[nodiscard]] std::unique_ptr<Timer> createTimer() override;
  [[nodiscard]] THTTPGet& GetUpdate() override { return m_getUpdate; }
  [[nodiscard]] UpdateWindow& updateWindow() override { return m_updateWindow; }
  [[nodiscard]] FileDialog& fileDialog() override { return m_sheetFileDialog; }
  void setHintTiming(int pauseMs, int shortPauseMs) override;
  [[nodiscard]] std::vector<ToolbarPlace> toolbarPlaces() const override;
  void setToolbarVisible(const std::string& name, bool visible) override;
  void placeToolbar(const ToolbarPlace& place) override;
  [[nodiscard]] std::unique_ptr<SettingsDialog> createSettingsDialog() override;
  [[nodiscard]] std::unique_ptr<PrefsDialog> createPrefsDialog() override;
  [[nodiscard]] std::unique_ptr<HotkeysDialog> createHotkeysDialog() override;
  [[nodiscard]] std::unique_ptr<ModalDialog> createAboutDialog() override;

 public slots:
  /// Sets the menu's check marks from the toolbars' visibility (also done when it opens).
  void commandMenuPopup();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// The sheet dialog behind the file-dialog port.
  class SheetFileDialog final : public FileDialog {
   public:
    explicit SheetFileDialog(TForm1& form) : m_form(form) {}
    [[nodiscard]] std::string askSaveFile(const std::string& title, const std::string& folder) override {
      return m_form.askSheetFile(true, QString::fromStdString(title), QString::fromStdString(folder))
          .toStdString();
    }

   private:
    TForm1& m_form;
  };

  /// Where a docked toolbar stands: its dock, row and position along the row.
  struct DockPlace {
    Qt::ToolBarArea area;
    int row;
    int pos;
  };

  void buildActions();
  void buildToolbars();
  void buildStatusBar();
  void buildMenus();
  void connectCommands();
  void refreshMenuKeys();
  void ToolbarMenuItemClick(QAction* item);
  void FormClose();
  /// Offers what an instance that did not end normally left, then keeps this one's copy.
  void startRecoveryCopy();
  /// The drop-downs' widths follow the docks' width, except while the start-up runs.
  void FormResize();
  void SaveSheetExecute();
  void LoadSheetExecute();
  void CheckForUpdateExecute();
  /// Recalculates the pad as one undo step and marks the answers that changed.
  void RecalculateExecute();
  /// The file the user picks in a sheet dialog, which starts in folder (the data folder when
  /// empty); empty when cancelled.
  [[nodiscard]] QString askSheetFile(bool save, const QString& title, const QString& folder = {});
  void CommonSheetDialogShow(QFileDialog& dialog);
  /// Runs a command's handler; an error it raises is reported in a message box.
  void runCommand(const std::function<void()>& handler);
  [[nodiscard]] std::optional<DockPlace> dockPlaceOf(QToolBar* toolbar) const;
  /// The toolbars docked in area as the layout holds them, each with whether a row starts at it.
  [[nodiscard]] std::vector<std::pair<QToolBar*, bool>> dockOrder(Qt::ToolBarArea area) const;
  void relayoutDock(Qt::ToolBarArea area);

  TParser m_parser;
  QtWindowThread m_windowThread;
  TThreadTimer m_trimWorkTimer;
  // After the window thread, which a running download needs until it has been aborted.
  THTTPGet m_getUpdate;
  TAppManager::Folders m_folders;
  std::vector<Command*> m_commands;
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
  InstanceServer* m_instanceServer = nullptr;
  QtTextControl m_textControl;
  /// The pad as the logic sees it: the editor's control, or a copy while a run works on one.
  ForwardingTextControl m_logicPad{m_textControl};
  QtMainWindowFrame m_frame;
  QtMessageBox m_messageBox;
  QtUpdateWindow m_updateWindow;
  SheetFileDialog m_sheetFileDialog{*this};
  std::unique_ptr<QtActionList> m_actionList;
  std::unique_ptr<QtComboBox> m_funcsBox;
  std::unique_ptr<QtComboBox> m_varsBox;
  std::unique_ptr<QtLabel> m_varsTextLabelPort;
  std::unique_ptr<QtLabel> m_varsLabelItemPort;
  std::unique_ptr<QtLabel> m_statusTextPort;
  std::map<QToolBar*, DockPlace> m_dockPlaces;
  std::function<void(QFileDialog&)> m_onSheetDialog;
  std::unique_ptr<TAppManager> m_appManager;
  std::unique_ptr<MainWindowLogic> m_logic;
  std::unique_ptr<RecoveryCopy> m_recovery;
  std::unique_ptr<AnswerHighlight> m_answerHighlight;
  // After the logic, whose marks and paste they use.
  std::unique_ptr<NameCompleter> m_nameCompleter;
  std::unique_ptr<CompletionPopup> m_completionPopup;
  std::unique_ptr<ErrorMarkView> m_errorMarkView;
  bool m_closed = false;
};

}  // namespace ormel
