#pragma once

#include <string>

namespace ormel {

/// The modal message box, so that logic can ask and tell without a window system.
class MessageBox {
 public:
  virtual ~MessageBox() = default;
  /// An information box with an OK button.
  virtual void showMessage(const std::string& text) = 0;
  /// A question with Yes and No, Yes the default button; true for Yes.
  virtual bool askYesNo(const std::string& text) = 0;
  /// The application's default error report: a box with the error's text.
  virtual void showError(const std::string& text) = 0;
};

}  // namespace ormel
