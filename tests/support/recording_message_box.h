#pragma once

#include <string>
#include <vector>

#include "base/message_box_port.h"

namespace ormel::testing_support {

/// A message box that notes what it was asked to show ("info: ", "ask: " or "error: " before the
/// text) and answers every question with `answer`.
class RecordingMessageBox final : public MessageBox {
 public:
  explicit RecordingMessageBox(bool answerYes = false) : answer(answerYes) {}
  void showMessage(const std::string& text) override { log.push_back("info: " + text); }
  bool askYesNo(const std::string& text) override {
    log.push_back("ask: " + text);
    return answer;
  }
  void showError(const std::string& text) override { log.push_back("error: " + text); }
  std::vector<std::string> log;
  bool answer;
};

}  // namespace ormel::testing_support
