#include "ui/ormelCalcMain.h"

#include <QApplication>
#include <QComboBox>
#include <QKeySequence>
#include <QLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>

#include <cmath>

#include "ui/command_keys.h"
#include "ui/key_codes.h"
#include "ui/scratch_pad_edit.h"

namespace ormel {
namespace {

constexpr auto kCuts = "ormelCuts";
constexpr std::uint16_t kEsc = 27;
constexpr std::uint16_t kF1 = 112;
constexpr std::uint16_t kF2 = 113;
constexpr std::uint16_t kF3 = 114;

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

QString qtKeyName(std::uint16_t code) {
  return QKeySequence(keyCombinationOf(code)).toString(QKeySequence::NativeText);
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), m_keyName(qtKeyName) {
  setObjectName(QStringLiteral("Form1"));
  resize(kDesignWidth, kDesignHeight);
  m_scratchPad = new ScratchPadEdit(this);
  setCentralWidget(m_scratchPad);
  buildActions();
  buildToolbars();
  buildStatusBar();
  buildMenus();
  m_commandKeys = new CommandKeys(this, m_scratchPad, m_commandMenu, m_actions, this);
}

TForm1::~TForm1() = default;

void TForm1::buildActions() {
  const QString cuts = QString::fromLatin1(kCuts);
  const auto add = [this](const char* name, const char* caption, const QString& category, std::uint16_t key) {
    auto* command = new Command(QString::fromLatin1(name), QString::fromLatin1(caption), category, key, this);
    connect(command, &Command::shortcutCodeChanged, this, &TForm1::refreshMenuKeys);
    m_actions.push_back(command);
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
}

Command* TForm1::command(const QString& name) const {
  for (Command* action : m_actions) {
    if (action->objectName() == name) return action;
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

  m_funcsToolbar = dockableToolbar(QStringLiteral("FuncsToolbar"), QStringLiteral("Functions"), this);
  m_funcsDropDown = editableDropDown(QStringLiteral("FuncsDropDown"), m_funcsToolbar);
  m_funcsToolbar->addWidget(captionLabel(QStringLiteral("func"), QStringLiteral("FuncsLabelItem"), m_funcsToolbar));
  m_funcsToolbar->addWidget(m_funcsDropDown);
  QLineEdit* funcsEdit = m_funcsDropDown->lineEdit();
  connect(funcsEdit, &QLineEdit::textEdited, funcsEdit, [funcsEdit](const QString& text) {
    const QString upper = text.toUpper();
    if (upper == text) return;
    const int caret = funcsEdit->cursorPosition();
    funcsEdit->setText(upper);
    funcsEdit->setCursorPosition(caret);
  });

  m_varsTextToolbar = dockableToolbar(QStringLiteral("VarsTextToolbar"), QStringLiteral("Variables List"), this);
  m_varsTextLabel = new QLabel(m_varsTextToolbar);
  m_varsTextLabel->setObjectName(QStringLiteral("VarsTextLabel"));
  m_varsTextLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  m_varsTextLabel->setContentsMargins(4, 0, 4, 0);
  m_varsTextToolbar->addWidget(m_varsTextLabel);

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
    auto* item = new MenuEntry(QString::fromLatin1(caption), command(QString::fromLatin1(commandName)), ownKey, menu);
    menu->addAction(item);
    m_menuEntries.push_back(item);
  };
  m_commandMenu = new QMenu(this);
  m_commandMenu->setObjectName(QStringLiteral("commandMenu"));
  entry(m_commandMenu, "Clear Screen", "ClearScreen", 0);
  entry(m_commandMenu, "Clear Variables", "ClearVariables", 0);
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

  m_scratchPad->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_scratchPad, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { m_commandMenu->popup(m_scratchPad->viewport()->mapToGlobal(at)); });

  m_functionPopupMenu = new QMenu(this);
  m_functionPopupMenu->setObjectName(QStringLiteral("functionPopupMenu"));
  QAction* paste = m_functionPopupMenu->addAction(QStringLiteral("Paste"));
  paste->setObjectName(QStringLiteral("Paste"));
  refreshMenuKeys();
}

void TForm1::setKeyNames(std::function<QString(std::uint16_t)> keyName) {
  m_keyName = std::move(keyName);
  refreshMenuKeys();
}

void TForm1::refreshMenuKeys() {
  for (MenuEntry* item : m_menuEntries) item->refreshText(m_keyName);
}

void TForm1::commandMenuPopup() {
  m_variablesMenuItem->setChecked(m_varsToolbar->isVisible());
  m_functionsMenuItem->setChecked(m_funcsToolbar->isVisible());
  m_variablesTextMenuItem->setChecked(m_varsTextToolbar->isVisible());
}

void TForm1::ToolbarMenuItemClick(QAction* item) {
  // The checkable entry has already inverted its check mark.
  const bool visible = item->isChecked();
  switch (item->property("Tag").toInt()) {
    case 0: m_varsToolbar->setVisible(visible); break;
    case 1: m_funcsToolbar->setVisible(visible); break;
    case 2: m_varsTextToolbar->setVisible(visible); break;
    default: break;
  }
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
  if (m_ignoreResizes) return;
  // The top and bottom toolbar areas span the window's width.
  const int dockWidth = event->size().width();
  m_varsDropDown->setFixedWidth(dropDownWidthForDock(dockWidth));
  m_funcsDropDown->setFixedWidth(dropDownWidthForDock(dockWidth));
}

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !m_alwaysOnTop) return;
  if (QWidget* active = QApplication::activeWindow()) setStayOnTop(*active, m_alwaysOnTop());
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

}  // namespace ormel
