#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "scratchpad/name_completion.h"

class QListWidget;

namespace ormel {

class ScratchPadEdit;

/// The completion list of the scratch pad: shown under the caret while a name is typed, it
/// never takes the focus and takes only the keys that have no use in the pad while it shows:
/// Tab (inserts the chosen name), Esc (closes the list and nothing else), Up and Down (move in
/// the list). Enter closes it and finishes the line as ever; any character that cannot continue
/// a name closes it and is typed as usual. A click on an entry inserts it.
class CompletionPopup final : public QObject {
  Q_OBJECT

 public:
  /// Runs a change of the text as the window runs its handlers (errors reported).
  using Run = std::function<void(const std::function<void()>& change)>;

  /// The pad and the completer must outlive the popup.
  CompletionPopup(ScratchPadEdit& pad, NameCompleter& completer, Run run);
  ~CompletionPopup() override;
  CompletionPopup(const CompletionPopup&) = delete;
  CompletionPopup& operator=(const CompletionPopup&) = delete;

  [[nodiscard]] bool isShown() const;
  /// The list widget; null until the list first shows.
  [[nodiscard]] QListWidget* list() const { return m_list; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void keyTyped(const QString& text, int key);
  /// Shows the choices for the name at the caret, or hides the list when there are none.
  void refresh();
  void hide();
  void accept(int row);
  void place();
  /// Tab, Esc, Up and Down while the list shows; true when the key was taken.
  bool takeKey(int key, Qt::KeyboardModifiers modifiers, bool press);

  ScratchPadEdit& m_pad;
  NameCompleter& m_completer;
  Run m_run;
  QListWidget* m_list = nullptr;
  std::vector<NameCompletion> m_choices;
  /// Where the caret stood when the list was filled: any other move closes it.
  int m_caret = -1;
};

}  // namespace ormel
