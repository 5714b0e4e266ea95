#include "scratchpad/name_completion.h"

#include <algorithm>

#include "base/number_format.h"
#include "base/text.h"
#include "base/unicode_text.h"

namespace ormel {

namespace {

constexpr int kShortestPrefix = 2;

bool isNameStart(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; }
bool isNameCharacter(char16_t c) { return isNameStart(c) || (c >= u'0' && c <= u'9'); }

template <typename Table>
void addMatches(std::vector<NameCompletion>& into, const Table& table, std::string_view prefix,
                const std::function<NameCompletion(int)>& entry) {
  for (int i = 0; i < table.count(); ++i) {
    const std::string& name = table.name(i);
    if (name.size() >= prefix.size() &&
        sameTextAscii(std::string_view(name).substr(0, prefix.size()), prefix)) {
      into.push_back(entry(i));
    }
  }
}

}  // namespace

std::optional<NamePrefix> namePrefixAt(std::string_view line, int caretColumn) {
  const std::u16string text = utf8ToUtf16(line);
  const auto caret = static_cast<std::size_t>(std::clamp<int>(caretColumn, 0, static_cast<int>(text.size())));
  if (caret < text.size() && isNameCharacter(text[caret])) return std::nullopt;
  std::size_t start = caret;
  while (start > 0 && isNameCharacter(text[start - 1])) --start;
  // A run that starts with a digit is a number (1E5, 2DIV3 while typed); one after "$" a
  // hexadecimal constant; one after a point the digits of a number.
  if (caret - start < kShortestPrefix || !isNameStart(text[start])) return std::nullopt;
  if (start > 0 && (text[start - 1] == u'$' || text[start - 1] == u'.')) return std::nullopt;
  const std::u16string_view name = std::u16string_view(text).substr(start, caret - start);
  return NamePrefix{static_cast<int>(start), static_cast<int>(name.size()), utf16ToUtf8(name)};
}

std::vector<NameCompletion> completionsFor(const TCustomParser& parser, std::string_view prefix) {
  std::vector<NameCompletion> choices;
  const VariableTable& variables = parser.Variables();
  addMatches(choices, variables, prefix, [&](int i) {
    return NameCompletion{variables.name(i), variables.name(i) + " = " + FloatToStr(variables.value(i)),
                          false};
  });
  for (const auto& entry :
       {std::pair{&parser.getFunctionOne(), " [1 Arg]"}, std::pair{&parser.getFunctionTwo(), " [2 Arg]"}}) {
    // Not a structured binding: clang 14 cannot capture one in a lambda.
    const auto* table = entry.first;
    const char* arguments = entry.second;
    addMatches(choices, *table, prefix, [&](int i) {
      return NameCompletion{table->name(i), table->name(i) + arguments, true};
    });
  }
  std::stable_sort(choices.begin(), choices.end(), [](const NameCompletion& a, const NameCompletion& b) {
    return compareTextAscii(a.name, b.name) < 0;
  });
  return choices;
}

NameCompleter::NameCompleter(TextControl& scratchPad, const TCustomParser& parser, Paste paste)
    : m_scratchPad(scratchPad), m_parser(parser), m_paste(std::move(paste)) {}

std::optional<NamePrefix> NameCompleter::prefixAtCaret() const {
  // A selection is typed over, so nothing is being completed.
  if (m_scratchPad.selLength() > 0) return std::nullopt;
  const int n = m_scratchPad.caretLine();
  return namePrefixAt(m_scratchPad.line(n), m_scratchPad.selStart() - m_scratchPad.lineStart(n));
}

std::vector<NameCompletion> NameCompleter::choicesAtCaret() const {
  const std::optional<NamePrefix> prefix = prefixAtCaret();
  return prefix ? completionsFor(m_parser, prefix->text) : std::vector<NameCompletion>{};
}

void NameCompleter::accept(const NameCompletion& choice) {
  const std::optional<NamePrefix> prefix = prefixAtCaret();
  if (!prefix) return;
  const int n = m_scratchPad.caretLine();
  const int start = m_scratchPad.lineStart(n) + prefix->start;
  const std::u16string after = utf8ToUtf16(m_scratchPad.line(n)).substr(prefix->start + prefix->length);
  const bool bracketFollows = choice.isFunction && !after.empty() && after.front() == u'(';
  m_scratchPad.setSelStart(start);
  // The bracket that follows is replaced by the one that goes in with the name, so that the
  // call keeps a single "(" and the caret lands behind it.
  m_scratchPad.setSelLength(prefix->length + (bracketFollows ? 1 : 0));
  if (!choice.isFunction) {
    m_paste(choice.name, false);
  } else if (bracketFollows) {
    m_paste(choice.name + "(", true);
    const CharStyle typing = m_scratchPad.selAttributes();
    m_scratchPad.setSelStart(m_scratchPad.selStart() + 1);
    m_scratchPad.setSelAttributes(typing);
  } else {
    m_paste(choice.name + "()", true);
  }
}

}  // namespace ormel
