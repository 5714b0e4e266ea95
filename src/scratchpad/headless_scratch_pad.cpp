#include "scratchpad/headless_scratch_pad.h"

#include "base/unicode_text.h"

namespace ormel {

namespace {

// Init writes the defaults only to a file that does not exist; this one always does.
constexpr const char* kNoPrefsFile = "/dev/null";

}  // namespace

HeadlessScratchPad::HeadlessScratchPad() {
  prefs.Init(kNoPrefsFile);
  auto timer = std::make_unique<ManualTimer>();
  statusTimer = timer.get();
  status = std::make_unique<TStatusInfo>(statusLabel, std::move(timer));
  variables = std::make_unique<TSavedVariables>(parser, *status, varsDropDown, varsTextLabel, varsLabelItem);
  logic = std::make_unique<MainWindowLogic>(pad, parser, prefs, *variables, *status, varsDropDown,
                                            [this](const std::string& text) { alert(text); });
  pad.setKeyEventSink(logic.get());
  applyPrefs();
  pad.clear();
}

void HeadlessScratchPad::applyPrefs() {
  prefs.ApplyPrefs();
  pad.setDefaultStyle(CharStyle{window.defaultTextColor(), true});
  pad.setFontFace(window.fontFace());
}

void HeadlessScratchPad::type(std::string_view text) {
  for (const char32_t character : utf8ToCodePoints(text)) pad.typeCharacter(character);
}

void HeadlessScratchPad::enterLine(std::string_view text) {
  pad.setSelStart(-1);
  if (pad.lineLength(pad.lineCount() - 1) > 0) pad.setSelText("\n");
  type(text);
  pad.typeCharacter(U'\r');
}

Color HeadlessScratchPad::answerColor() const { return prefs.color(ColorPref::Answer); }

Color HeadlessScratchPad::regExpColor() const { return prefs.color(ColorPref::RegExp); }

}  // namespace ormel
