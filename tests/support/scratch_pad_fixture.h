#pragma once

#include <string>
#include <vector>

#include "scratchpad/headless_scratch_pad.h"

namespace ormel::testing_support {

/// The headless scratch pad with its alerts collected.
struct ScratchPadFixture : HeadlessScratchPad {
  std::vector<std::string> alerts;
  ManualTimer* timer = statusTimer;

  ScratchPadFixture() {
    setOnAlert([this](const std::string& text) { alerts.push_back(text); });
  }
};

}  // namespace ormel::testing_support
