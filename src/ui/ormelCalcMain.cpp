#include "ui/ormelCalcMain.h"

#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "app/recovery_offer.h"
#include "base/atomic_file.h"
#include "base/utility_routines.h"
#include "config/shortcut_text.h"
#include "scratchpad/main_window_logic.h"
#include "scratchpad/memory_text_control.h"
#include "scratchpad/name_completion.h"
#include "ui/aboutbox.h"
#include "ui/answer_highlight.h"
#include "ui/command_keys.h"
#include "ui/completion_popup.h"
#include "ui/error_mark_view.h"
#include "ui/hint_timing_style.h"
#include "ui/hotkeysform.h"
#include "ui/instance_server.h"
#include "ui/ormelMisc.h"
#include "ui/prefsform.h"
#include "ui/qt_timer.h"
#include "ui/scratch_pad_edit.h"
#include "ui/settingsform.h"
#include "ui/shutdown_signals.h"
#include "ui/toolbar_close_button.h"

namespace ormel {
namespace {

constexpr auto kCuts = "ormelCuts";
constexpr std::uint16_t kEsc = 27;
constexpr std::uint16_t kF1 = 112;
constexpr std::uint16_t kF2 = 113;
constexpr std::uint16_t kF3 = 114;
constexpr std::uint16_t kF5 = 116;
constexpr auto kSheetFilter = "ormelCalc sheet (*.ocs)";
constexpr auto kTopDock = "TopDock";
constexpr auto kBottomDock = "BottomDock";
constexpr auto kFloating = "+";

QLabel* captionLabel(const QString& text, const QString& name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  QFont font = label->font();
  font.setBold(true);
  font.setUnderline(true);
  label->setFont(font);
  label->setContentsMargins(2, 0, 3, 0);
  return label;
}

QComboBox* editableDropDown(const QString& name, QWidget* parent) {
  auto* dropDown = new QComboBox(parent);
  dropDown->setObjectName(name);
  dropDown->setEditable(true);
  dropDown->setCompleter(nullptr);
  dropDown->setInsertPolicy(QComboBox::NoInsert);
  dropDown->setFixedWidth(TForm1::kDropDownDesignWidth);
  // The width is fixed, so only the height of the minimum size hint counts, and the items do
  // not change it. Taken now, while the list is empty, the hint is kept: the first layout does
  // not shape every function name's text before the window shows.
  dropDown->minimumSizeHint();
  return dropDown;
}

QToolBar* dockableToolbar(const QString& name, const QString& offeredAs, QWidget* parent) {
  auto* toolbar = new QToolBar(offeredAs, parent);
  toolbar->setObjectName(name);
  toolbar->setFloatable(false);
  toolbar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
  // Two drop-downs of half the window's width less 50 share the top row: keep the frame lean.
  toolbar->setContentsMargins(0, 0, 0, 0);
  toolbar->layout()->setSpacing(0);
  return toolbar;
}

bool isEnter(const QEvent* event, QEvent::Type type) {
  if (event->type() != type) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

/// Wheel notches and the arrow keys that step through a closed drop-down's items.
bool choosesWithoutTheList(const QEvent& event) {
  if (event.type() == QEvent::Wheel) return true;
  if (event.type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent&>(event).key();
  return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}

/// Shows the hint of the entry highlighted in menu and its submenus. A menu is a window of its
/// own, so the hints it sends by itself stop there and never reach the main window.
void showHintsInStatusBar(QMenu* menu, QStatusBar* statusBar) {
  QObject::connect(menu, &QMenu::hovered, statusBar,
                   [statusBar](QAction* action) { statusBar->showMessage(action->statusTip()); });
  QObject::connect(menu, &QMenu::aboutToHide, statusBar, &QStatusBar::clearMessage);
  for (QAction* action : menu->actions()) {
    if (QMenu* submenu = action->menu()) showHintsInStatusBar(submenu, statusBar);
  }
}

const char* dockName(Qt::ToolBarArea area) { return area == Qt::BottomToolBarArea ? kBottomDock : kTopDock; }

}  // namespace

TForm1::TForm1(TAppManager::Folders folders, QWidget* parent)
    : QMainWindow(parent),
      m_trimWorkTimer(m_windowThread),
      m_getUpdate(m_windowThread),
      m_folders(std::move(folders)),
      m_scratchPad(new ScratchPadEdit(this)),
      m_textControl(*m_scratchPad),
      m_frame(*this),
      m_messageBox(this),
      m_updateWindow(*this, [this] { return m_closed; }) {
  HintTimingStyle::installed();
  setObjectName(QStringLiteral("Form1"));
  resize(kDesignWidth, kDesignHeight);
  setCentralWidget(m_scratchPad);
  buildActions();
  buildToolbars();
  buildStatusBar();
  buildMenus();
  m_commandKeys = new CommandKeys(this, m_scratchPad, m_commandMenu, m_commands, this);
  m_actionList = std::make_unique<QtActionList>(m_commands);
  m_funcsBox = std::make_unique<QtComboBox>(*m_funcsDropDown);
  m_varsBox = std::make_unique<QtComboBox>(*m_varsDropDown);
  m_varsTextLabelPort = std::make_unique<QtLabel>(*m_varsTextLabel);
  m_varsLabelItemPort = std::make_unique<QtLabel>(*m_varsLabelItem);
  m_statusTextPort = std::make_unique<QtLabel>(*m_statusText);
  m_getUpdate.SetAcceptTypes("*/*");
  m_getUpdate.SetBinaryData(false);
  m_getUpdate.SetUseCache(false);
  m_getUpdate.SetWaitThread(true);
  m_trimWorkTimer.SetInterval(kTrimInterval);
  m_trimWorkTimer.SetOnTimer([](TThreadTimer&) { TrimWorkingSet(); });
  m_trimWorkTimer.SetEnabled(true);
}

TForm1::~TForm1() {
  m_textControl.setOnContentChange(nullptr);
  if (m_recovery) m_appManager->SavedVariables().setOnChange(nullptr);
  m_recovery.reset();
  m_scratchPad->setKeyEventSink(nullptr);
  m_textControl.setKeyEventSink(nullptr);
  // Events can still arrive while the members go (a closing popup changes the active window):
  // they must find the logic and the application manager gone, not freed.
  m_closed = true;
  // The views below hold references into the logic (its error marks, its names): they go first.
  m_errorMarkView.reset();
  m_completionPopup.reset();
  m_nameCompleter.reset();
  m_answerHighlight.reset();
  m_logic.reset();
  m_appManager.reset();
}

bool TForm1::FormCreate() {
  setWindowTitle(QString::fromUtf8(kWindowCaption));
  m_appManager = std::make_unique<TAppManager>(*this, m_parser, m_folders);
  m_appManager->Init();
  m_logic = std::make_unique<MainWindowLogic>(
      m_logicPad, m_parser, m_appManager->OrmelPrefs(), m_appManager->SavedVariables(),
      m_appManager->StatusInfo(), *m_varsBox,
      [this](const std::string& text) { m_messageBox.showError(text); });
  m_scratchPad->setKeyEventSink(m_logic.get());
  m_textControl.setKeyEventSink(m_logic.get());
  m_nameCompleter = std::make_unique<NameCompleter>(
      m_textControl, m_parser,
      [this](const std::string& text, bool isFunction) { m_logic->pasteVariable(text, isFunction); });
  m_completionPopup = std::make_unique<CompletionPopup>(
      *m_scratchPad, *m_nameCompleter, [this](const std::function<void()>& change) { runCommand(change); });
  m_errorMarkView = std::make_unique<ErrorMarkView>(*m_scratchPad, m_logic->errorMarks());
  connectCommands();
  const QString title = QString::fromUtf8(kApplicationTitle);
  if (m_appManager->OrmelSettings().oneInstance() && isApplicationRunning(title)) {
    m_closed = true;
    return false;
  }
  m_appManager->takeOverDataFolder();
  m_instanceServer = new InstanceServer(
      title, [this] { bringForward(*this); }, this);
  // After the first show: the window comes sooner, and a later start waits for the listener.
  QMetaObject::invokeMethod(
      m_instanceServer, [server = m_instanceServer] { server->listen(); }, Qt::QueuedConnection);
  startRecoveryCopy();
  FormResize();
  return true;
}

void TForm1::abandonStartUp() {
  m_messageBox.setSilent(true);
  rejectModalDialogs();
}

void TForm1::buildActions() {
  const QString cuts = QString::fromLatin1(kCuts);
  const auto add = [this](const char* name, const char* caption, const QString& category, std::uint16_t key) {
    auto* command = new Command(QString::fromLatin1(name), QString::fromLatin1(caption), category, key, this);
    connect(command, &Command::shortcutCodeChanged, this, &TForm1::refreshMenuKeys);
    m_commands.push_back(command);
    return command;
  };
  add("ClearScreen", "Clear Screen", cuts, kEsc);
  add("ClearVariables", "Clear Variables", cuts, kF1);
  add("SaveSheet", "Save Sheet As", cuts, kF2);
  add("LoadSheet", "Open Sheet", cuts, kF3);
  add("QuitApp", "Quit", cuts, 0);
  add("CheckForUpdate", "Check For Update", cuts, 0);
  add("SettingsAction", "Switches", QString(), 0)->setStatusTip(QStringLiteral("Show the switches dialog."));
  add("PrefrencesAction", "Preferences", QString(), 0);
  add("HotkeysAction", "Hotkeys", QString(), 0);
  add("AboutAction", "About", QString(), 0);
  // A fixed key outside the hot-key categories, so the hot-key file keeps its layout.
  add("Recalculate", "Recalculate", QString(), kF5)
      ->setStatusTip(QStringLiteral("Recalculate every line of the pad from the top."));
}

const ErrorMarks* TForm1::errorMarks() const { return m_logic ? &m_logic->errorMarks() : nullptr; }

Command* TForm1::command(const QString& name) const {
  const auto found = std::find_if(m_commands.begin(), m_commands.end(),
                                  [&](const Command* item) { return item->objectName() == name; });
  return found != m_commands.end() ? *found : nullptr;
}

QToolBar* TForm1::toolbar(const QString& name) const {
  for (QToolBar* bar : {m_varsToolbar, m_funcsToolbar, m_varsTextToolbar}) {
    if (bar->objectName() == name) return bar;
  }
  return nullptr;
}

void TForm1::buildToolbars() {
  m_varsToolbar = dockableToolbar(QStringLiteral("VarsToolbar"), QStringLiteral("Variable Editor"), this);
  m_varsLabelItem = captionLabel(QStringLiteral("var"), QStringLiteral("VarsLabelItem"), m_varsToolbar);
  m_varsDropDown = editableDropDown(QStringLiteral("VarsDropDown"), m_varsToolbar);
  m_varsToolbar->addWidget(m_varsLabelItem);
  m_varsToolbar->addWidget(m_varsDropDown);
  m_varsToolbar->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_varsToolbar, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { m_functionPopupMenu->popup(m_varsToolbar->mapToGlobal(at)); });
  m_varsDropDown->installEventFilter(this);
  new ToolbarCloseButton(*m_varsToolbar);

  m_funcsToolbar = dockableToolbar(QStringLiteral("FuncsToolbar"), QStringLiteral("Functions"), this);
  m_funcsDropDown = editableDropDown(QStringLiteral("FuncsDropDown"), m_funcsToolbar);
  m_funcsToolbar->addWidget(
      captionLabel(QStringLiteral("func"), QStringLiteral("FuncsLabelItem"), m_funcsToolbar));
  m_funcsToolbar->addWidget(m_funcsDropDown);
  QLineEdit* funcsEdit = m_funcsDropDown->lineEdit();
  m_funcsDropDown->installEventFilter(this);
  new ToolbarCloseButton(*m_funcsToolbar);
  connect(funcsEdit, &QLineEdit::textEdited, funcsEdit, [funcsEdit](const QString& text) {
    const QString upper = text.toUpper();
    if (upper == text) return;
    const int caret = funcsEdit->cursorPosition();
    funcsEdit->setText(upper);
    funcsEdit->setCursorPosition(caret);
  });

  m_varsTextToolbar =
      dockableToolbar(QStringLiteral("VarsTextToolbar"), QStringLiteral("Variables List"), this);
  m_varsTextLabel = new QLabel(m_varsTextToolbar);
  m_varsTextLabel->setObjectName(QStringLiteral("VarsTextLabel"));
  m_varsTextLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  // A long list of variables must not make the window wider than the screen: the label shows
  // what fits, and its hint shows the whole list.
  m_varsTextLabel->setMinimumWidth(1);
  m_varsTextLabel->setContentsMargins(4, 0, 4, 0);
  m_varsTextToolbar->addWidget(m_varsTextLabel);
  new ToolbarCloseButton(*m_varsTextToolbar);

  addToolBar(Qt::TopToolBarArea, m_varsToolbar);
  addToolBar(Qt::TopToolBarArea, m_funcsToolbar);
  addToolBar(Qt::BottomToolBarArea, m_varsTextToolbar);
}

void TForm1::buildStatusBar() {
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("StatusBar"));
  setStatusBar(bar);
  m_statusText = new QLabel(QStringLiteral("Ready"), bar);
  m_statusText->setObjectName(QStringLiteral("StatusText"));
  m_statusText->setToolTip(QStringLiteral("Ready"));
  QPalette palette = m_statusText->palette();
  palette.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x00));
  m_statusText->setPalette(palette);
  bar->addWidget(m_statusText, 1);
}

void TForm1::buildMenus() {
  const auto entry = [this](QMenu* menu, const char* caption, const char* commandName, std::uint16_t ownKey) {
    auto* item =
        new MenuEntry(QString::fromLatin1(caption), command(QString::fromLatin1(commandName)), ownKey, menu);
    menu->addAction(item);
    m_menuEntries.push_back(item);
  };
  m_commandMenu = new QMenu(this);
  m_commandMenu->setObjectName(QStringLiteral("commandMenu"));
  entry(m_commandMenu, "Clear Screen", "ClearScreen", 0);
  entry(m_commandMenu, "Clear Variables", "ClearVariables", 0);
  entry(m_commandMenu, "Recalculate", "Recalculate", 0);
  QMenu* file = m_commandMenu->addMenu(QStringLiteral("File"));
  entry(file, "Open Sheet...", "LoadSheet", kF2);
  entry(file, "Save Sheet As...", "SaveSheet", kF3);
  entry(file, "Check For Update", "CheckForUpdate", 0);
  entry(file, "Quit", "QuitApp", 0);
  QMenu* settings = m_commandMenu->addMenu(QStringLiteral("Settings"));
  entry(settings, "Preferences...", "PrefrencesAction", 0);
  entry(settings, "Switches...", "SettingsAction", 0);
  entry(settings, "Hotkeys...", "HotkeysAction", 0);
  QMenu* toolbars = m_commandMenu->addMenu(QStringLiteral("Toolbars"));
  const auto toggle = [this, toolbars](const char* caption, const char* name, int tag) {
    QAction* item = toolbars->addAction(QString::fromLatin1(caption));
    item->setObjectName(QString::fromLatin1(name));
    item->setCheckable(true);
    item->setChecked(true);
    item->setProperty("Tag", tag);
    connect(item, &QAction::triggered, this, [this, item] { ToolbarMenuItemClick(item); });
    return item;
  };
  m_variablesMenuItem = toggle("Variable Editor", "VariablesMenuItem", 0);
  m_functionsMenuItem = toggle("Functions", "FunctionsMenuItem", 1);
  m_variablesTextMenuItem = toggle("Variables List", "VariablesTextMenuItem", 2);
  entry(m_commandMenu, "About", "AboutAction", 0);
  connect(m_commandMenu, &QMenu::aboutToShow, this, &TForm1::commandMenuPopup);
  showHintsInStatusBar(m_commandMenu, statusBar());

  m_scratchPad->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_scratchPad, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { m_commandMenu->popup(m_scratchPad->viewport()->mapToGlobal(at)); });

  m_functionPopupMenu = new QMenu(this);
  m_functionPopupMenu->setObjectName(QStringLiteral("functionPopupMenu"));
  QAction* paste = m_functionPopupMenu->addAction(QStringLiteral("Paste"));
  paste->setObjectName(QStringLiteral("Paste"));
  showHintsInStatusBar(m_functionPopupMenu, statusBar());
  connect(paste, &QAction::triggered, this, [this] {
    if (m_logic) runCommand([this] { m_logic->PasteClick(); });
  });
  refreshMenuKeys();
}

void TForm1::connectCommands() {
  const auto on = [this](const char* name, std::function<void()> handler) {
    connect(command(QString::fromLatin1(name)), &QAction::triggered, this,
            [this, handler = std::move(handler)] { runCommand(handler); });
  };
  on("ClearScreen", [this] { m_logic->ClearScreenExecute(); });
  on("ClearVariables", [this] { m_logic->ClearVariablesExecute(); });
  on("Recalculate", [this] { RecalculateExecute(); });
  on("SaveSheet", [this] { SaveSheetExecute(); });
  on("LoadSheet", [this] { LoadSheetExecute(); });
  on("QuitApp", [this] { close(); });
  on("CheckForUpdate", [this] { CheckForUpdateExecute(); });
  on("SettingsAction", [this] { m_appManager->showSettingsDialog(); });
  on("PrefrencesAction", [this] { m_appManager->showPrefsDialog(); });
  on("HotkeysAction", [this] { m_appManager->showHotkeysDialog(); });
  on("AboutAction", [this] { m_appManager->showAboutDialog(); });
  connect(m_funcsDropDown, &QComboBox::activated, this, [this](int index) {
    const std::string item = m_funcsDropDown->itemText(index).toStdString();
    runCommand([this, &item] { m_logic->FuncsDropDownItemClick(item); });
    m_scratchPad->setFocus();
  });
}

void TForm1::runCommand(const std::function<void()>& handler) {
  if (m_logic) m_logic->runHandler(handler);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // The keys of an editable drop-down go to the drop-down itself, which hands them to its line
  // edit by calling the edit's event() directly, past any filter there.
  if (m_logic && watched == m_varsDropDown && isEnter(event, QEvent::KeyPress)) {
    // The release of this Enter lands in the scratch pad, where the one-shot flag takes it.
    std::string text = m_varsDropDown->currentText().toStdString();
    bool accept = true;
    runCommand([&] { m_logic->VarsDropDownAcceptText(text, accept); });
    m_scratchPad->setFocus();
    return true;
  }
  if (m_logic && watched == m_funcsDropDown) {
    if (choosesWithoutTheList(*event)) {
      // Each wheel notch or arrow key would choose the next item and insert its call: the
      // arrows open the list to choose from instead, the wheel does nothing.
      if (event->type() == QEvent::KeyPress) m_funcsDropDown->showPopup();
      return true;
    }
    if (isEnter(event, QEvent::KeyPress)) {
      const std::string text = m_funcsDropDown->currentText().toStdString();
      runCommand([&] { m_logic->FuncsDropDownAcceptText(text); });
      return true;
    }
    if (isEnter(event, QEvent::KeyRelease)) {
      m_scratchPad->setFocus();
      return true;
    }
  }
  if (event->type() == QEvent::Show) {
    if (auto* dialog = qobject_cast<QFileDialog*>(watched)) CommonSheetDialogShow(*dialog);
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::refreshMenuKeys() {
  const auto keyName = [](std::uint16_t code) { return QString::fromStdString(shortCutToText(code)); };
  for (MenuEntry* item : m_menuEntries) item->refreshText(keyName);
}

void TForm1::commandMenuPopup() {
  m_variablesMenuItem->setChecked(m_varsToolbar->isVisibleTo(this));
  m_functionsMenuItem->setChecked(m_funcsToolbar->isVisibleTo(this));
  m_variablesTextMenuItem->setChecked(m_varsTextToolbar->isVisibleTo(this));
}

void TForm1::ToolbarMenuItemClick(QAction* item) {
  // The checkable entry has already inverted its check mark.
  const bool visible = item->isChecked();
  switch (item->property("Tag").toInt()) {
    case 0:
      m_varsToolbar->setVisible(visible);
      break;
    case 1:
      m_funcsToolbar->setVisible(visible);
      break;
    case 2:
      m_varsTextToolbar->setVisible(visible);
      break;
    default:
      break;
  }
}

QString TForm1::askSheetFile(bool save, const QString& title, const QString& folder) {
  const QString start =
      !folder.isEmpty() || !m_appManager ? folder : QString::fromStdString(m_appManager->paths().DataDir);
  QFileDialog dialog(this, title, start, QString::fromLatin1(kSheetFilter));
  dialog.setObjectName(save ? QStringLiteral("SaveSheetDialog") : QStringLiteral("LoadSheetDialog"));
  // Qt's own dialog, so that it can be centred over the window.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, save);
  dialog.setDefaultSuffix(QString());
  dialog.setSizeGripEnabled(true);
  dialog.installEventFilter(this);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void TForm1::CommonSheetDialogShow(QFileDialog& dialog) {
  CenterCommonDialogOnForm(*this, dialog);
  if (m_onSheetDialog) m_onSheetDialog(dialog);
}

void TForm1::SaveSheetExecute() {
  const QString file = askSheetFile(true, QStringLiteral("Save Sheet As"));
  if (!file.isEmpty()) m_textControl.saveContent(file.toStdString());
}

void TForm1::LoadSheetExecute() {
  const QString file = askSheetFile(false, QStringLiteral("Open Sheet"));
  if (file.isEmpty()) return;
  m_textControl.loadContent(file.toStdString());
  // A sheet may not be saved again in its folder, so killed saves' leftovers go when the user
  // opens it (not in loads at start-up, which a second instance runs too).
  removeStaleTemporaryFilesBeside(file.toStdString());
}

void TForm1::CheckForUpdateExecute() { m_appManager->checkForUpdate(); }

void TForm1::RecalculateExecute() {
  // A run over every line is far faster on an in-memory copy of the pad; the pad then takes the
  // lines that changed, as one undo step.
  const StyledText before = m_textControl.content();
  MemoryTextControl copy(CharStyle{m_textControl.defaultTextColor(), true});
  copy.setContent(before);
  copy.setSelStart(m_textControl.selStart());
  copy.setKeyEventSink(m_logic.get());
  struct Redirect {
    Redirect(ForwardingTextControl& forwarding, TextControl& target)
        : pad(forwarding), back(forwarding.target()) {
      pad.setTarget(target);
    }
    ~Redirect() { pad.setTarget(back); }
    ForwardingTextControl& pad;
    TextControl& back;
  };
  // The marks made on the copy carry its line numbers; the view anchors them once the pad holds
  // the copy's text, rather than following the rewrite as an edit of every line.
  struct Hold {
    explicit Hold(ErrorMarkView& held) : view(held) { view.hold(); }
    ~Hold() { view.release(); }
    ErrorMarkView& view;
  };
  Recalculation run;
  {
    const Hold marks(*m_errorMarkView);
    {
      const Redirect onCopy(m_logicPad, copy);
      run = m_logic->RecalculateExecute();
    }
    m_textControl.replaceContent(before, copy.content(), copy.selStart());
  }
  m_textControl.scrollToCaret();
  if (!m_answerHighlight) m_answerHighlight = std::make_unique<AnswerHighlight>(*m_scratchPad);
  m_answerHighlight->show(run.changedAnswers);
}

int TForm1::dropDownWidthForDock(int dockWidth) {
  // nearbyint rounds halves to the even integer in the default rounding mode.
  return static_cast<int>(std::nearbyint(dockWidth / 2.0 - 50.0));
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  m_scratchPad->setFocus();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TForm1::FormResize() {
  if (!m_appManager || m_appManager->Initializing()) return;
  // The top and bottom docks span the window's width.
  m_varsDropDown->setFixedWidth(dropDownWidthForDock(width()));
  m_funcsDropDown->setFixedWidth(dropDownWidthForDock(width()));
}

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !m_appManager || m_closed) return;
  if (QApplication::focusWidget() == this) return;
  // The active window may be one of the program's dialogs; none when another program's is.
  if (QWidget* active = QApplication::activeWindow()) {
    setStayOnTop(*active, m_appManager->OrmelSettings().alwaysOnTop());
  }
}

void TForm1::setStayOnTop(QWidget& window, bool on) {
  Qt::WindowFlags flags = window.windowFlags();
  if (flags.testFlag(Qt::WindowStaysOnTopHint) == on) return;
  flags.setFlag(Qt::WindowStaysOnTopHint, on);
  // setWindowFlags would hide and re-create the window; the platform window takes the hint
  // in place, so position and size stay.
  window.overrideWindowFlags(flags);
  if (QWindow* handle = window.windowHandle()) handle->setFlags(flags);
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TForm1::FormClose() {
  if (m_closed || !m_appManager) return;
  m_closed = true;
  m_trimWorkTimer.SetEnabled(false);
  // A check still downloading would otherwise go on asking the user after the program closed.
  m_appManager->endUpdateCheck();
  const bool saved = m_appManager->SaveSettings();
  if (m_recovery) m_recovery->finish(saved);
}

void TForm1::startRecoveryCopy() {
  if (!m_appManager->dataFolder().writable) return;
  const std::string& folder = m_appManager->paths().DataDir;
  const long pid = ::getpid();
  TSavedVariables& variables = m_appManager->SavedVariables();
  const std::optional<RecoveryFiles> restored =
      offerLeftRecovery(folder, pid, RecoveryTarget{m_messageBox, m_textControl, m_parser, variables});
  m_recovery = std::make_unique<RecoveryCopy>(
      recoveryFilesOf(folder, pid), createTimer(), createTimer(), [this, &variables] {
        return RecoverySnapshot{m_textControl.snapshot(), variables.fileText(),
                                m_scratchPad->font().family().toStdString()};
      });
  if (restored) m_recovery->adopt(*restored);
  m_textControl.setOnContentChange([this] { m_recovery->noteChange(); });
  variables.setOnChange([this] { m_recovery->noteChange(); });
}

std::unique_ptr<Timer> TForm1::createTimer() { return std::make_unique<QtTimer>(); }

void TForm1::setHintTiming(int pauseMs, int /*shortPauseMs*/) {
  // Qt shows the next control's hint at once while one is showing.
  HintTimingStyle::installed().setWakeUpDelay(pauseMs);
}

std::optional<TForm1::DockPlace> TForm1::dockPlaceOf(QToolBar* bar) const {
  if (bar->isWindow()) return std::nullopt;
  const Qt::ToolBarArea area = toolBarArea(bar);
  if (const auto known = m_dockPlaces.find(bar); known != m_dockPlaces.end() && known->second.area == area) {
    return known->second;
  }
  // Rows are told apart by their position across the dock, places along a row by position.
  std::vector<int> rows;
  for (QToolBar* other : {m_funcsToolbar, m_varsToolbar, m_varsTextToolbar}) {
    if (!other->isWindow() && toolBarArea(other) == area) rows.push_back(other->y());
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  const int row = static_cast<int>(std::lower_bound(rows.begin(), rows.end(), bar->y()) - rows.begin());
  return DockPlace{area, row, bar->x()};
}

std::vector<ToolbarPlace> TForm1::toolbarPlaces() const {
  std::vector<ToolbarPlace> places;
  for (QToolBar* bar : {m_funcsToolbar, m_varsToolbar, m_varsTextToolbar}) {
    ToolbarPlace place;
    place.name = bar->objectName().toStdString();
    place.visible = bar->isVisibleTo(this);
    if (const std::optional<DockPlace> docked = dockPlaceOf(bar)) {
      place.dockedTo = dockName(docked->area);
      place.lastDock = place.dockedTo;
      place.dockRow = docked->row;
      place.dockPos = docked->pos;
    } else {
      place.dockedTo = kFloating;
      place.lastDock = dockName(toolBarArea(bar));
      place.floatLeft = bar->x();
      place.floatTop = bar->y();
      place.floatRightX = bar->x() + bar->width();
    }
    places.push_back(std::move(place));
  }
  return places;
}

void TForm1::setToolbarVisible(const std::string& name, bool visible) {
  if (QToolBar* bar = toolbar(QString::fromStdString(name))) bar->setVisible(visible);
}

void TForm1::placeToolbar(const ToolbarPlace& place) {
  QToolBar* bar = toolbar(QString::fromStdString(place.name));
  if (bar == nullptr) return;
  if (place.dockedTo == kFloating) {
    // The toolbars cannot be floated by hand; a layout that floats one gets a tool window.
    const bool visible = bar->isVisibleTo(this);
    removeToolBar(bar);
    m_dockPlaces.erase(bar);
    bar->setParent(this, Qt::Tool | Qt::FramelessWindowHint);
    bar->move(place.floatLeft, place.floatTop);
    bar->setVisible(visible);
    return;
  }
  Qt::ToolBarArea area;
  if (place.dockedTo == kTopDock) {
    area = Qt::TopToolBarArea;
  } else if (place.dockedTo == kBottomDock) {
    area = Qt::BottomToolBarArea;
  } else {
    return;
  }
  for (QToolBar* other : {m_funcsToolbar, m_varsToolbar, m_varsTextToolbar}) {
    if (other != bar && !m_dockPlaces.contains(other)) {
      if (const std::optional<DockPlace> current = dockPlaceOf(other)) m_dockPlaces[other] = *current;
    }
  }
  const Qt::ToolBarArea previous = bar->isWindow() ? area : toolBarArea(bar);
  m_dockPlaces[bar] = DockPlace{area, place.dockRow, place.dockPos};
  relayoutDock(area);
  if (previous != area) relayoutDock(previous);
}

std::vector<std::pair<QToolBar*, bool>> TForm1::dockOrder(Qt::ToolBarArea area) const {
  // The main window's layout lists its toolbars dock by dock, row by row, in their order.
  std::vector<std::pair<QToolBar*, bool>> order;
  for (int i = 0; QLayoutItem* item = layout()->itemAt(i); ++i) {
    auto* bar = qobject_cast<QToolBar*>(item->widget());
    if (bar != nullptr && !bar->isWindow() && toolBarArea(bar) == area) {
      order.emplace_back(bar, !order.empty() && toolBarBreak(bar));
    }
  }
  return order;
}

void TForm1::relayoutDock(Qt::ToolBarArea area) {
  struct Docked {
    DockPlace place;
    QToolBar* bar;
    bool visible;
  };
  std::vector<Docked> docked;
  for (const auto& [bar, place] : m_dockPlaces) {
    if (place.area == area) docked.push_back({place, bar, bar->isVisibleTo(this)});
  }
  std::sort(docked.begin(), docked.end(), [](const Docked& a, const Docked& b) {
    return std::pair(a.place.row, a.place.pos) < std::pair(b.place.row, b.place.pos);
  });
  // A saved layout mostly equals the designed one: then nothing is taken out and put back.
  std::vector<std::pair<QToolBar*, bool>> wanted;
  for (std::size_t i = 0; i < docked.size(); ++i) {
    wanted.emplace_back(docked[i].bar, i > 0 && docked[i].place.row != docked[i - 1].place.row);
  }
  if (wanted == dockOrder(area)) return;
  // Taking a toolbar out of the layout hides it and leaves its row break behind.
  for (const Docked& item : docked) {
    if (!item.bar->isWindow() && toolBarBreak(item.bar)) removeToolBarBreak(item.bar);
    removeToolBar(item.bar);
  }
  for (std::size_t i = 0; i < docked.size(); ++i) {
    if (i > 0 && docked[i].place.row != docked[i - 1].place.row) addToolBarBreak(area);
    if (docked[i].bar->isWindow()) docked[i].bar->setParent(this, Qt::Widget);
    addToolBar(area, docked[i].bar);
    docked[i].bar->setVisible(docked[i].visible);
  }
}

std::unique_ptr<SettingsDialog> TForm1::createSettingsDialog() {
  return std::make_unique<TCustomizeSettings>(this);
}

std::unique_ptr<PrefsDialog> TForm1::createPrefsDialog() {
  return std::make_unique<TCustomizePreferences>(this, m_scratchPad->font());
}

std::unique_ptr<HotkeysDialog> TForm1::createHotkeysDialog() {
  return std::make_unique<TCustomizeHotkeys>(this);
}

std::unique_ptr<ModalDialog> TForm1::createAboutDialog() { return std::make_unique<TAboutDialog>(this); }

}  // namespace ormel
