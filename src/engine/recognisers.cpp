#include "engine/recognisers.h"

#include <locale.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>

#include "base/exceptions.h"
#include "base/number_format.h"
#include "engine/constants.h"
#include "engine/fpu_status.h"
#include "engine/parser_errors.h"

namespace ormel {

namespace {

enum Form : std::uint16_t {
  kVariable = 1 << 0,
  kConstant = 1 << 1,
  kBracket = 1 << 2,
  kNegation = 1 << 3,
  kSum = 1 << 4,
  kDifference = 1 << 5,
  kProduct = 1 << 6,
  kIntegerDivision = 1 << 7,
  kModulo = 1 << 8,
  kQuotient = 1 << 9,
  kPower = 1 << 10,
  kCallOne = 1 << 11,
  kCallTwo = 1 << 12,
};

enum Rule : std::uint8_t {
  kRuleBracket,
  kRuleTerm,
  kRuleNegate,
  kRuleAdd,
  kRuleSubtract,
  kRuleMultiply,
  kRuleIntegerDiv,
  kRuleModulo,
  kRuleRealDivision,
  kRulePower,
  kRuleFuncOne,
  kRuleFuncTwo,
  kRuleComma,
};

using Forms = std::uint16_t;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// A character a constant in its fixed form may hold.
bool isConstantCharacter(char c) { return isDigit(c) || c == '.' || c == 'E' || c == '+' || c == '-'; }

locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

// The fixed constant form: sign, digits, ".", digits, "E", sign, at least one digit.
bool isPascalNumber(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  if (i == t.size()) return false;
  while (i < t.size() && isDigit(t[i])) ++i;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && isDigit(t[i])) ++i;
  }
  if (i < t.size() && t[i] == 'E') {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (i == t.size() || !isDigit(t[i])) return false;
    while (i < t.size() && isDigit(t[i])) ++i;
  }
  return i == t.size();
}

long double pascalNumberValue(std::string_view t) {
  // strtold needs a digit in the mantissa; "." and "E5" read as 0.
  std::string normal;
  normal.reserve(t.size() + 2);
  std::size_t i = 0;
  if (t[0] == '+' || t[0] == '-') normal.push_back(t[i++]);
  bool digit = false;
  for (; i < t.size() && t[i] != 'E'; ++i) {
    digit = digit || isDigit(t[i]);
    normal.push_back(t[i]);
  }
  if (!digit) normal.push_back('0');
  normal.append(t.substr(i));
  const long double value = strtold_l(normal.c_str(), nullptr, cLocale());
  if (std::isinf(value)) throw EOverflow();
  return value;
}

// Sorting by this key groups the occurrences by bracket level, each group in text order.
std::uint64_t levelKey(std::int32_t level, std::uint32_t offset) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(level) ^ 0x80000000U) << 32) | offset;
}

// A match of the operand spans alone: no kind of its own, no function.
Match operands(Span first, Span second = {}) {
  Match match;
  match.first = first;
  match.second = second;
  return match;
}

std::uint32_t offsetOf(std::uint64_t key) { return static_cast<std::uint32_t>(key); }

// Only a power's constant exponent of magnitude 2^63 or more (which truncates out of range) and a
// constant beyond the extended range make a recogniser throw; without either, refusing a span
// early changes nothing but the time taken. A number of m digits (leading zeros aside) and
// exponent x stays below 10^(m+x), and so does every number that a piece of its text forms. An
// exponent's text starts right after its "^" (a sign may lead it), so only numbers written there
// are held to the exponent's bound; any other one need only stay in the extended range.
bool mayThrowWhileRecognising(std::string_view t) {
  constexpr int kSafeExponentDigits = 18;
  constexpr int kSafeDigits = 4900;
  int limit = kSafeDigits;  // the bound for the number being read
  int run = 0;              // digits of the current digit run, from its first non-zero digit
  int mantissa = 0;         // the same over the current run of digits and points
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (isDigit(c)) {
      if (c != '0' || run > 0) ++run;
      if (c != '0' || mantissa > 0) ++mantissa;
      if (run > limit) return true;
      continue;
    }
    if (c == '.') {
      run = 0;
      continue;
    }
    if (c == 'E' && mantissa > 0) {
      std::size_t j = i + 1;
      const bool negative = j < t.size() && t[j] == '-';
      if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
      int exponent = 0;
      for (; j < t.size() && isDigit(t[j]) && exponent <= limit; ++j) exponent = exponent * 10 + (t[j] - '0');
      if ((negative ? mantissa - exponent : mantissa + exponent) > limit) return true;
    }
    run = 0;
    mantissa = 0;
    const bool exponentStarts = c == '^' || ((c == '+' || c == '-') && i > 0 && t[i - 1] == '^');
    limit = exponentStarts ? kSafeExponentDigits : kSafeDigits;
  }
  return false;
}

// The same question asked of every piece of a text of constants in the fixed form, and answered
// exactly enough that constants which fit pass: for each offset, the end of the shortest piece
// starting there or later that a piece must hold for a check within it to throw (the size plus
// one where there is none). A constant with d digits before its point (or "E") and exponent x is
// below 10^(d+x): it overflows only if d+x > 4932, and as an exponent it reaches 2^63 only if
// d+x > 18. Such a constant holds 4933 digits in a row, or its "E" with a large enough exponent;
// an exponent also holds its "^" and the digits up to where it exceeds 2^63 - 2.
std::vector<std::uint32_t> throwingPieceEnds(std::string_view t) {
  constexpr std::uint32_t kOverflowDigits = 4933;
  constexpr std::string_view kLargestSafeExponent = "9223372036854775806";
  const auto n = static_cast<std::uint32_t>(t.size());
  constexpr std::uint32_t kNone = UINT32_MAX;
  // A constant that is checked is a whole operand, and operands start and end only next to an
  // operator, a bracket or a comma: a piece counts only as part of the run of constant characters
  // around it that reaches such places on both sides. For each offset, the nearest such start at
  // or before it, and end at or after it, with only constant characters in between.
  const auto word = [&](std::uint32_t i) { return t.substr(i, 3) == "DIV" || t.substr(i, 3) == "MOD"; };
  std::vector<std::uint32_t> operandStart(n + 1, kNone);
  for (std::uint32_t i = 0; i <= n; ++i) {
    if (i == 0 || std::string_view("+-*/^(,").find(t[i - 1]) != std::string_view::npos ||
        (i >= 3 && word(i - 3))) {
      operandStart[i] = i;
    } else if (isConstantCharacter(t[i - 1])) {
      operandStart[i] = operandStart[i - 1];
    }
  }
  std::vector<std::uint32_t> operandEnd(n + 1, kNone);
  for (std::uint32_t i = n + 1; i-- > 0;) {
    if (i == n || std::string_view("+-*/^),").find(t[i]) != std::string_view::npos || word(i)) {
      operandEnd[i] = i;
    } else if (isConstantCharacter(t[i])) {
      operandEnd[i] = operandEnd[i + 1];
    }
  }
  std::vector<std::uint32_t> end(n + 1, n + 1);
  // A piece [from, to), widened to the operand it must lie in; an exponent's piece starts at its "^".
  const auto piece = [&](std::uint32_t from, std::uint32_t to) {
    const std::uint32_t begin = t[from] == '^' ? from : operandStart[from];
    if (begin == kNone || operandEnd[to] == kNone) return;
    end[begin] = std::min(end[begin], operandEnd[to]);
  };
  const auto digitsFrom = [&](std::uint32_t i) {
    while (i < n && isDigit(t[i])) ++i;
    return i;
  };
  // The exponent written from offset i on ("+" or digits), or nothing for a negative or missing one.
  const auto exponentAt = [&](std::uint32_t i) -> std::optional<std::uint32_t> {
    if (i < n && t[i] == '-') return std::nullopt;
    if (i < n && t[i] == '+') ++i;
    if (i == n || !isDigit(t[i])) return std::nullopt;
    std::uint32_t x = 0;
    for (; i < n && isDigit(t[i]); ++i)
      x = std::min<std::uint32_t>(x * 10 + static_cast<std::uint32_t>(t[i] - '0'), 1U << 20);
    return x;
  };
  for (std::uint32_t i = 0; i < n; ++i) {
    if (isDigit(t[i]) && (i == 0 || !isDigit(t[i - 1]))) {
      const std::uint32_t runEnd = digitsFrom(i);
      for (std::uint32_t j = i; j + kOverflowDigits <= runEnd; ++j) {
        if (t[j] != '0') piece(j, j + kOverflowDigits);
      }
    }
    if (t[i] == 'E') {
      // The digits before the "E", and those before a point in front of them: either may be the
      // digits before the point of a piece.
      std::uint32_t begin = i;
      while (begin > 0 && isDigit(t[begin - 1])) --begin;
      std::uint32_t digits = i - begin;
      if (begin > 0 && t[begin - 1] == '.') {
        std::uint32_t before = begin - 1;
        while (before > 0 && isDigit(t[before - 1])) --before;
        digits = std::max(digits, begin - 1 - before);
      }
      const auto x = exponentAt(i + 1);
      if (x && digits + *x >= kOverflowDigits) piece(i, i + 1);
    }
    if (t[i] == '^') {
      std::uint32_t j = i + 1;
      if (j < n && (t[j] == '+' || t[j] == '-')) ++j;
      const std::uint32_t runEnd = digitsFrom(j);
      while (j < runEnd && t[j] == '0') ++j;
      const std::uint32_t significant = runEnd - j;
      const auto safeDigits = static_cast<std::uint32_t>(kLargestSafeExponent.size());
      if (significant >= safeDigits) {
        const bool exceeds = t.substr(j, safeDigits) > kLargestSafeExponent;
        if (exceeds || significant > safeDigits) piece(i, j + safeDigits + (exceeds ? 0 : 1));
      }
      std::uint32_t e = runEnd;
      if (e < n && t[e] == '.') e = digitsFrom(e + 1);
      if (e < n && t[e] == 'E') {
        const auto x = exponentAt(e + 1);
        if (x && significant + *x > 18) piece(i, e + 1);
      }
    }
  }
  for (std::uint32_t i = n; i-- > 0;) end[i] = std::min(end[i], end[i + 1]);
  return end;
}

// An answer asked for below this many open rule calls is settled first from the outermost call,
// so that a line of any length or depth needs no more stack than this.
constexpr int kDeferDepth = 48;
// The rules without memo recurse as deep as the text nests; past this they refuse the text
// rather than overflow the stack. The memo's deferral keeps it far below.
constexpr int kDepthBudget = 400;

std::uint64_t cacheKey(std::uint8_t rule, Span s) {
  return (static_cast<std::uint64_t>(rule) << 60) | (static_cast<std::uint64_t>(s.begin) << 30) | s.end;
}

}  // namespace

Recognisers::Recognisers(std::string_view text, const VariableTable& variables,
                         const FunctionTable& functionsOne, const FunctionTable& functionsTwo,
                         bool pascalNumberformat, RecogniserMode mode)
    : m_text(text),
      m_variables(variables),
      m_functionsOne(functionsOne),
      m_functionsTwo(functionsTwo),
      m_pascalNumberformat(pascalNumberformat),
      m_cached(mode == RecogniserMode::kCached),
      // Other constants are held to a cruder bound, over the whole line.
      m_throwingPieceEnd(m_cached && (pascalNumberformat || !mayThrowWhileRecognising(text))
                             ? throwingPieceEnds(text)
                             : std::vector<std::uint32_t>(text.size() + 1, 0)) {
  m_balance.resize(text.size() + 1);
  std::int32_t balance = 0;
  for (std::uint32_t i = 0; i < text.size(); ++i) {
    m_balance[i] = balance;
    const std::uint64_t key = levelKey(balance, i);
    switch (text[i]) {
      case '+':
        m_plus.push_back(key);
        break;
      case '-':
        m_minus.push_back(key);
        break;
      case '*':
        m_times.push_back(key);
        break;
      case '/':
        m_slash.push_back(key);
        break;
      case '^':
        m_caret.push_back(key);
        break;
      case ',':
        m_comma.push_back(i);
        break;
      case '(':
        m_open.push_back(i);
        ++balance;
        break;
      case ')':
        --balance;
        break;
      default:
        break;
    }
    if ((text[i] == '+' || text[i] == '-') && i > 0 &&
        std::string_view("*/^EVD(,+-").find(text[i - 1]) == std::string_view::npos) {
      m_binarySigns.push_back(key);
      if (text[i] == '+') m_binaryPlus.push_back(key);
    }
    // No operand ends with an operator, "(" or ",", nor starts with an operator, ")" or ",".
    if ((text[i] == '+' || text[i] == '-') && i > 0 && i + 1 < text.size() &&
        std::string_view("*/^(,+-").find(text[i - 1]) == std::string_view::npos &&
        std::string_view("*/^),").find(text[i + 1]) == std::string_view::npos) {
      (text[i] == '+' ? m_splitPlus : m_splitMinus).push_back(key);
    }
    if (text.substr(i, 3) == "DIV") m_div.push_back(key);
    if (text.substr(i, 3) == "MOD") m_mod.push_back(key);
  }
  m_constantRunEnd.resize(text.size() + 1);
  m_constantRunEnd[text.size()] = static_cast<std::uint32_t>(text.size());
  for (std::uint32_t i = static_cast<std::uint32_t>(text.size()); i-- > 0;) {
    m_constantRunEnd[i] = isConstantCharacter(text[i]) ? m_constantRunEnd[i + 1] : i;
  }
  // Next-smaller scan over the running counts, right to left.
  m_firstDip.assign(text.size() + 1, static_cast<std::uint32_t>(text.size() + 1));
  std::vector<std::uint32_t> pending;
  for (std::uint32_t i = static_cast<std::uint32_t>(text.size()) + 1; i-- > 0;) {
    while (!pending.empty() && m_balance[pending.back()] >= m_balance[i]) pending.pop_back();
    if (!pending.empty()) m_firstDip[i] = pending.back();
    pending.push_back(i);
  }
  for (auto* list : {&m_plus, &m_minus, &m_times, &m_slash, &m_caret, &m_div, &m_mod, &m_binarySigns,
                     &m_binaryPlus, &m_splitPlus, &m_splitMinus}) {
    std::sort(list->begin(), list->end());
  }
  m_balance[text.size()] = balance;
  if (m_cached) findOperatorWords();
  // Nor does an operand end with an operator word.
  for (auto* list : {&m_splitPlus, &m_splitMinus}) {
    std::erase_if(*list, [&](std::uint64_t key) {
      return offsetOf(key) >= 3 &&
             std::binary_search(m_operatorWords.begin(), m_operatorWords.end(), key - 3);
    });
  }
}

void Recognisers::findOperatorWords() {
  std::vector<std::string_view> names;
  for (const auto* list : {&m_variables.namesWithOperatorWords(), &m_functionsOne.namesWithOperatorWords(),
                           &m_functionsTwo.namesWithOperatorWords()}) {
    names.insert(names.end(), list->begin(), list->end());
  }
  // Whether some name is written around the word at p, covering all three of its letters.
  const auto inName = [&](std::uint32_t p) {
    return std::any_of(names.begin(), names.end(), [&](std::string_view name) {
      for (std::size_t j = 0; j + 3 <= name.size(); ++j) {
        if (j <= p && m_text.compare(p - j, name.size(), name) == 0) return true;
      }
      return false;
    });
  };
  for (const auto* list : {&m_div, &m_mod}) {
    for (const std::uint64_t key : *list) {
      if (!inName(offsetOf(key))) m_operatorWords.push_back(key);
    }
  }
  std::sort(m_operatorWords.begin(), m_operatorWords.end());
}

std::pair<const std::uint64_t*, const std::uint64_t*> Recognisers::occurrences(
    const std::vector<std::uint64_t>& at, Span s) const {
  const std::int32_t level = m_balance[s.begin];
  const auto* end = at.data() + at.size();
  const auto* first = std::lower_bound(at.data(), end, levelKey(level, s.begin));
  const auto* last = std::lower_bound(first, end, levelKey(level, s.end));
  return {first, last};
}

bool Recognisers::mayBeTerm(Span s) const {
  if (!safe(s)) return true;
  return m_balance[s.end] == m_balance[s.begin] && m_firstDip[s.begin] > s.end;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> Recognisers::signsInside(
    const std::vector<std::uint64_t>& at, Span s) const {
  if (s.size() < 2 || !safe(s)) return std::nullopt;
  const std::int32_t level = m_balance[s.begin];
  const auto* end = at.data() + at.size();
  const auto* first = std::lower_bound(at.data(), end, levelKey(level, s.begin + 1));
  const auto* last = std::lower_bound(first, end, levelKey(level, s.end));
  if (first == last) return std::nullopt;
  return std::pair{offsetOf(*first), offsetOf(*(last - 1))};
}

bool Recognisers::hasOccurrence(const std::vector<std::uint64_t>& at, Span s) const {
  const auto [first, last] = occurrences(at, s);
  return first != last;
}

std::optional<std::uint32_t> Recognisers::lastOperatorWord(Span s) const {
  if (s.size() < 3 || !safe(s)) return std::nullopt;
  const auto [first, last] = occurrences(m_operatorWords, {s.begin, s.end - 2});
  if (first == last) return std::nullopt;
  return offsetOf(*(last - 1));
}

std::pair<const std::uint32_t*, const std::uint32_t*> Recognisers::positions(
    const std::vector<std::uint32_t>& at, Span s) const {
  const auto* end = at.data() + at.size();
  const auto* first = std::lower_bound(at.data(), end, s.begin);
  const auto* last = std::lower_bound(first, end, s.end);
  return {first, last};
}

Recognisers::DepthGuard::DepthGuard(int& depth) : m_depth(depth) {
  if (m_depth >= kDepthBudget) throw EExpressionTooDeep();
  ++m_depth;
}

std::optional<Match> Recognisers::remembered(std::uint8_t rule, Span s, Compute compute) {
  if (!m_cached) {
    const DepthGuard guard(m_depth);
    return (this->*compute)(s);
  }
  const std::uint64_t key = cacheKey(rule, s);
  if (auto found = m_cache.find(key); found != m_cache.end()) return found->second;
  if (m_deferring) return std::nullopt;
  if (m_depth == 0) return settle(Deferred{rule, s, compute});
  if (m_depth >= kDeferDepth) {
    m_deferring = true;
    m_deferred = Deferred{rule, s, compute};
    return std::nullopt;
  }
  std::optional<Match> answer;
  {
    const DepthGuard guard(m_depth);
    answer = (this->*compute)(s);
  }
  // An answer reached while a deeper question stands open is no answer; it is not kept.
  if (m_deferring) return std::nullopt;
  m_cache.emplace(key, answer);
  return answer;
}

// A run that reaches the deferral depth leaves its deepest open question behind, returns at once
// through every open call and starts over with that question; once it is answered the run above
// it is retried and finds it in the memo. The deferred question is exactly the call the run would
// have made next, so the answers, and the first exception of an arithmetic check, are those of
// one uninterrupted run; the work is that of one run plus a retry of the calls above each
// deferral.
std::optional<Match> Recognisers::settle(const Deferred& question) {
  std::vector<Deferred> pending{question};
  for (;;) {
    const Deferred next = pending.back();
    std::optional<Match> answer;
    {
      const DepthGuard guard(m_depth);
      answer = (this->*next.compute)(next.span);
    }
    if (m_deferring) {
      m_deferring = false;
      pending.push_back(m_deferred);
      continue;
    }
    m_cache.emplace(cacheKey(next.rule, next.span), answer);
    pending.pop_back();
    if (pending.empty()) return answer;
  }
}

bool Recognisers::CheckNumberBrackets(Span s) const { return m_balance[s.end] == m_balance[s.begin]; }

std::optional<long double> Recognisers::CheckNumber(Span s) const {
  const std::string_view t = text(s);
  if (t == "PI") return kPi;
  if (t == "-PI") return -kPi;
  if (m_pascalNumberformat) {
    // Without reading it: a long run of digits before a letter made each such span cost its length.
    if (m_constantRunEnd[s.begin] < s.end) return std::nullopt;
    if (!isPascalNumber(t)) return std::nullopt;
    return pascalNumberValue(t);
  }
  return textToFloat(t);
}

int Recognisers::CheckVariable(Span s) const {
  if (s.empty()) return -1;
  return m_variables.find(text(s));
}

std::optional<Span> Recognisers::CheckBracket(Span s) {
  if (s.size() < 2 || m_text[s.begin] != '(' || m_text[s.end - 1] != ')' || !mayBeTerm(s)) {
    return std::nullopt;
  }
  const auto m = remembered(kRuleBracket, s, &Recognisers::computeBracket);
  if (!m) return std::nullopt;
  return m->first;
}

std::optional<Match> Recognisers::computeBracket(Span s) {
  if (s.size() < 2 || m_text[s.begin] != '(' || m_text[s.end - 1] != ')') return std::nullopt;
  const auto inside = CheckTerm({s.begin + 1, s.end - 1});
  if (!inside) return std::nullopt;
  return operands(*inside);
}

std::optional<Span> Recognisers::CheckTerm(Span s) {
  const auto m = remembered(kRuleTerm, s, &Recognisers::computeTerm);
  if (!m) return std::nullopt;
  return m->first;
}

std::optional<Match> Recognisers::computeTerm(Span s) {
  if (s.empty() || !mayBeTerm(s)) return std::nullopt;
  // No form but a bracket accepts a span whose outer brackets match each other (every other rule
  // refuses it at once, without an error), and a bracket means its inside: so each layer of such a
  // span means the term innermost. Answer that once instead of one rule call per layer.
  if (m_cached) {
    const Span inside = innermostLayer(s);
    if (inside != s) {
      const auto term = CheckTerm(inside);
      if (!term) return std::nullopt;
      return operands(*term);
    }
  }
  const Match same = operands(s);
  if (CheckNumber(s) || CheckVariable(s) >= 0 || CheckNegate(s) || CheckAdd(s) || CheckSubtract(s) ||
      CheckMultiply(s) || CheckIntegerDiv(s) || CheckModulo(s) || CheckRealDivision(s) || CheckPower(s) ||
      CheckFuncTwoVar(s) || CheckFuncOneVar(s)) {
    return same;
  }
  if (const auto inside = CheckBracket(s)) return operands(*inside);
  return std::nullopt;
}

Span Recognisers::innermostLayer(Span s) const {
  // Layer k, the span [begin + k, end - k), has its outer brackets matching when the k + 1
  // characters from each end are all "(" and all ")" (the running count climbs, or falls, by one
  // at each) and the count inside stays above the layer's own up to its last character. A layer
  // that matches encloses itself in matching outer layers, so the layers that match are the first
  // ones: search for the last.
  const std::int32_t level = m_balance[s.begin];
  const auto matches = [&](std::uint32_t k) {
    const std::uint32_t open = s.begin + k + 1;
    const std::uint32_t close = s.end - k - 1;
    return open <= close && m_balance[open] - level == static_cast<std::int32_t>(k + 1) &&
           m_balance[close] - m_balance[s.end] == static_cast<std::int32_t>(k + 1) &&
           m_firstDip[open] == close + 1;
  };
  if (s.size() < 2 || !matches(0)) return s;
  std::uint32_t low = 0;              // a layer known to match
  std::uint32_t high = s.size() / 2;  // one known not to
  while (high - low > 1) {
    const std::uint32_t middle = low + (high - low) / 2;
    (matches(middle) ? low : high) = middle;
  }
  return {s.begin + low + 1, s.end - low - 1};
}

std::optional<Span> Recognisers::acceptAs(Span s, Forms forms) {
  if (m_deferring || s.empty() || !mayBeTerm(s)) return std::nullopt;
  if ((forms & kVariable) && CheckVariable(s) >= 0) return s;
  if ((forms & kConstant) && CheckNumber(s)) return s;
  if (forms & kBracket) {
    if (const auto inside = CheckBracket(s)) return inside;
  }
  const bool accepted =
      ((forms & kNegation) && CheckNegate(s)) || ((forms & kSum) && CheckAdd(s)) ||
      ((forms & kDifference) && CheckSubtract(s)) || ((forms & kProduct) && CheckMultiply(s)) ||
      ((forms & kIntegerDivision) && CheckIntegerDiv(s)) || ((forms & kModulo) && CheckModulo(s)) ||
      ((forms & kQuotient) && CheckRealDivision(s)) || ((forms & kPower) && CheckPower(s)) ||
      ((forms & kCallOne) && CheckFuncOneVar(s)) || ((forms & kCallTwo) && CheckFuncTwoVar(s));
  if (accepted) return s;
  return std::nullopt;
}

namespace {
constexpr Forms kCalls = kCallOne | kCallTwo;
constexpr Forms kAtoms = kVariable | kConstant | kBracket;
constexpr Forms kDivisions = kIntegerDivision | kModulo | kQuotient;
constexpr Forms kAddLeft = kAtoms | kNegation | kDifference | kProduct | kDivisions | kPower | kCalls;
constexpr Forms kAddRight = kAtoms | kSum | kDifference | kProduct | kDivisions | kPower | kCalls;
constexpr Forms kSubtractRight = kAtoms | kProduct | kDivisions | kPower | kCalls;
constexpr Forms kMultiplyLeft = kAtoms | kNegation | kDivisions | kPower | kCalls;
constexpr Forms kMultiplyRight = kAtoms | kProduct | kDivisions | kPower | kCalls;
constexpr Forms kDivisionLeft = kAtoms | kNegation | kDivisions | kPower | kCalls;
constexpr Forms kDivisionRight = kAtoms | kPower | kCalls;
constexpr Forms kNegateOperand = kVariable | kPower | kCalls;
constexpr Forms kPowerBase = kAtoms | kCalls;
constexpr Forms kPowerExponent = kVariable | kBracket | kCalls;
}  // namespace

std::optional<Match> Recognisers::CheckNegate(Span s) {
  if (s.empty() || m_text[s.begin] != '-') return std::nullopt;
  return remembered(kRuleNegate, s, &Recognisers::computeNegate);
}

std::optional<Match> Recognisers::computeNegate(Span s) {
  if (s.empty() || m_text[s.begin] != '-') return std::nullopt;
  const Span operand{s.begin + 1, s.end};
  if (const auto inside = CheckBracket(operand)) return operands(*inside);
  if (acceptAs(operand, kNegateOperand)) return operands(operand);
  return std::nullopt;
}

std::optional<Match> Recognisers::splitAtCharacter(std::uint8_t rule, char op, Span s, Forms leftForms,
                                                   Forms rightForms) {
  const std::vector<std::uint64_t>* at = nullptr;
  switch (op) {
    case '+':
      at = &m_plus;
      break;
    case '-':
      at = &m_minus;
      break;
    case '*':
      at = &m_times;
      break;
    case '/':
      at = &m_slash;
      break;
    default:
      at = &m_caret;
      break;
  }
  auto [first, last] = occurrences(*at, s);
  // Splits that would leave a sign between terms inside an operand that cannot hold one are
  // passed over without trying them: they would fail.
  std::uint32_t lastSplit = s.end;
  if (rule == kRuleAdd || rule == kRuleSubtract) {
    if (const auto plus = signsInside(m_binaryPlus, s)) lastSplit = plus->first;
  } else if (signsInside(m_binarySigns, s)) {
    return std::nullopt;
  }
  // Neither operand of a quotient holds a "*" at its own level.
  if (rule == kRuleRealDivision && safe(s) && hasOccurrence(m_times, s)) return std::nullopt;
  // A quotient's right operand holds no "/" at its own level, so only the last "/" can split;
  // skipping the others is safe where no check can throw.
  if (rule == kRuleRealDivision && last - first > 1 && safe(s)) {
    if (offsetOf(*first) == s.begin) return std::nullopt;
    first = last - 1;
  }
  // A product's left operand holds no "*" at its own level, so only the first "*" can split.
  if (rule == kRuleMultiply && last - first > 1 && safe(s)) last = first + 1;
  // Of the signs, only those that no operand's edge can hold can split (see m_splitPlus): a sign
  // at the start ends a sum at once and is passed over by a difference, as in the full rules.
  if ((rule == kRuleAdd || rule == kRuleSubtract) && m_pascalNumberformat && first != last && safe(s)) {
    if (offsetOf(*first) == s.begin && rule == kRuleAdd) return std::nullopt;
    std::tie(first, last) = occurrences(rule == kRuleAdd ? m_splitPlus : m_splitMinus, s);
  }
  if (rule == kRuleSubtract) {
    if (const auto signs = signsInside(m_binarySigns, s)) {
      // By search, not by walking: a long chain of differences would make that quadratic.
      first = std::lower_bound(first, last, levelKey(m_balance[s.begin], signs->second - 1));
    }
  }
  for (const auto* key = first; key != last; ++key) {
    const std::uint32_t p = offsetOf(*key);
    if (m_deferring) return std::nullopt;
    if (p > lastSplit) return std::nullopt;
    if (p == s.begin) {
      if (rule == kRuleSubtract) continue;
      return std::nullopt;
    }
    if (p == s.end - 1) return std::nullopt;
    const Span left{s.begin, p};
    const Span right{p + 1, s.end};
    if (!CheckNumberBrackets(left) || !CheckNumberBrackets(right)) continue;
    const auto l = acceptAs(left, leftForms);
    if (!l) continue;
    const auto r = acceptAs(right, rightForms);
    if (!r) continue;
    return operands(*l, *r);
  }
  return std::nullopt;
}

std::optional<Match> Recognisers::splitAtWord(const std::vector<std::uint64_t>& at, Span s) {
  if (s.size() < 3 || signsInside(m_binarySigns, s)) return std::nullopt;
  // Nor does either operand of "DIV" or "MOD" hold a "*": a product's factors after it would
  // otherwise each ask again about every division in the rest of the line.
  if (safe(s) && hasOccurrence(m_times, s)) return std::nullopt;
  auto [first, last] = occurrences(at, Span{s.begin, s.end - 2});
  // The right operand cannot hold an operator word, so the splits before the last one would all
  // fail: start at it (a word two letters earlier overlaps it, as in "MODIV"). Without this a
  // chain would try every split of every one of its left operands.
  if (const auto word = lastOperatorWord(s)) {
    first = std::lower_bound(first, last, levelKey(m_balance[s.begin], std::max(*word, s.begin + 2) - 2));
  }
  for (const auto* key = first; key != last; ++key) {
    const std::uint32_t p = offsetOf(*key);
    if (m_deferring) return std::nullopt;
    if (p == s.begin) continue;
    const Span left{s.begin, p};
    const Span right{p + 3, s.end};
    if (!CheckNumberBrackets(left) || !CheckNumberBrackets(right)) continue;
    const auto l = acceptAs(left, kDivisionLeft);
    if (!l) continue;
    const auto r = acceptAs(right, kDivisionRight);
    if (!r) continue;
    return operands(*l, *r);
  }
  return std::nullopt;
}

std::optional<Match> Recognisers::CheckAdd(Span s) {
  if (!hasOccurrence(m_plus, s)) return std::nullopt;
  return remembered(kRuleAdd, s, &Recognisers::computeAdd);
}
std::optional<Match> Recognisers::computeAdd(Span s) {
  return splitAtCharacter(kRuleAdd, '+', s, kAddLeft, kAddRight);
}

std::optional<Match> Recognisers::CheckSubtract(Span s) {
  if (!hasOccurrence(m_minus, s)) return std::nullopt;
  return remembered(kRuleSubtract, s, &Recognisers::computeSubtract);
}
std::optional<Match> Recognisers::computeSubtract(Span s) {
  return splitAtCharacter(kRuleSubtract, '-', s, kAddLeft, kSubtractRight);
}

std::optional<Match> Recognisers::CheckMultiply(Span s) {
  if (!hasOccurrence(m_times, s)) return std::nullopt;
  return remembered(kRuleMultiply, s, &Recognisers::computeMultiply);
}
std::optional<Match> Recognisers::computeMultiply(Span s) {
  return splitAtCharacter(kRuleMultiply, '*', s, kMultiplyLeft, kMultiplyRight);
}

std::optional<Match> Recognisers::CheckIntegerDiv(Span s) {
  if (s.size() < 3 || !hasOccurrence(m_div, {s.begin, s.end - 2})) return std::nullopt;
  return remembered(kRuleIntegerDiv, s, &Recognisers::computeIntegerDiv);
}
std::optional<Match> Recognisers::computeIntegerDiv(Span s) { return splitAtWord(m_div, s); }

std::optional<Match> Recognisers::CheckModulo(Span s) {
  if (s.size() < 3 || !hasOccurrence(m_mod, {s.begin, s.end - 2})) return std::nullopt;
  return remembered(kRuleModulo, s, &Recognisers::computeModulo);
}
std::optional<Match> Recognisers::computeModulo(Span s) { return splitAtWord(m_mod, s); }

std::optional<Match> Recognisers::CheckRealDivision(Span s) {
  if (!hasOccurrence(m_slash, s)) return std::nullopt;
  return remembered(kRuleRealDivision, s, &Recognisers::computeRealDivision);
}
std::optional<Match> Recognisers::computeRealDivision(Span s) {
  return splitAtCharacter(kRuleRealDivision, '/', s, kDivisionLeft, kDivisionRight);
}

std::optional<Match> Recognisers::CheckPower(Span s) {
  if (!hasOccurrence(m_caret, s)) return std::nullopt;
  return remembered(kRulePower, s, &Recognisers::computePower);
}

std::optional<Match> Recognisers::computePower(Span s) {
  if (signsInside(m_binarySigns, s) || lastOperatorWord(s)) return std::nullopt;
  auto [first, last] = occurrences(m_caret, s);
  // Neither a base nor an exponent holds a "^" at its own level (no name or constant has one), so
  // only the first "^" can split, and not even that one when there is a second. Trying every "^"
  // made a chain like 2^3/4^5/... quadratic; skipping is safe where no check can throw.
  if (last - first > 1 && safe(s)) return std::nullopt;
  // Nor does a power hold a "*" or "/" there.
  if (safe(s) && (hasOccurrence(m_times, s) || hasOccurrence(m_slash, s))) return std::nullopt;
  for (const auto* key = first; key != last; ++key) {
    const std::uint32_t p = offsetOf(*key);
    if (m_deferring) return std::nullopt;
    if (p == s.begin || p == s.end - 1) return std::nullopt;
    const Span left{s.begin, p};
    const Span right{p + 1, s.end};
    if (!CheckNumberBrackets(left) || !CheckNumberBrackets(right)) continue;
    const auto base = acceptAs(left, kPowerBase);
    if (!base) continue;
    if (const auto v = CheckNumber(right)) {
      if (!fitsInInt64(*v)) throw EInvalidOp();
      const std::int32_t n = low32(static_cast<std::int64_t>(*v));
      TermKind kind = kKindIntPower;
      if (*v != n) {
        kind = kKindPower;
      } else if (n == 2) {
        kind = kKindSquare;
      } else if (n == 3) {
        kind = kKindCube;
      } else if (n == 4) {
        kind = kKindFourth;
      }
      return Match{*base, right, kind, kNoFunction};
    }
    if (const auto exponent = acceptAs(right, kPowerExponent)) {
      return Match{*base, *exponent, kKindPower, kNoFunction};
    }
  }
  return std::nullopt;
}

std::optional<Match> Recognisers::CheckFuncOneVar(Span s) {
  if (s.empty() || m_text[s.end - 1] != ')') return std::nullopt;
  return remembered(kRuleFuncOne, s, &Recognisers::computeFuncOneVar);
}

std::optional<Match> Recognisers::computeFuncOneVar(Span s) {
  const auto [first, last] = positions(m_open, s);
  if (first == last || *first == s.begin) return std::nullopt;
  const int function = m_functionsOne.find(text({s.begin, *first}));
  if (function < 0) return std::nullopt;
  const auto inside = CheckBracket({*first, s.end});
  if (!inside) return std::nullopt;
  return Match{*inside, {}, kKindFunctionOne, function};
}

std::optional<Match> Recognisers::CheckFuncTwoVar(Span s) {
  if (s.empty() || m_text[s.end - 1] != ')') return std::nullopt;
  return remembered(kRuleFuncTwo, s, &Recognisers::computeFuncTwoVar);
}

std::optional<Match> Recognisers::computeFuncTwoVar(Span s) {
  const auto [first, last] = positions(m_open, s);
  if (first == last || *first == s.begin || m_text[s.end - 1] != ')') return std::nullopt;
  const int function = m_functionsTwo.find(text({s.begin, *first}));
  if (function < 0) return std::nullopt;
  if (*first + 1 > s.end - 1) return std::nullopt;
  const auto parts = CheckComma({*first + 1, s.end - 1});
  if (!parts) return std::nullopt;
  return Match{parts->first, parts->second, kKindFunctionTwo, function};
}

std::optional<Match> Recognisers::CheckComma(Span s) {
  const auto [first, last] = positions(m_comma, s);
  if (first == last) return std::nullopt;
  return remembered(kRuleComma, s, &Recognisers::computeComma);
}

std::optional<Match> Recognisers::computeComma(Span s) {
  const auto [first, last] = positions(m_comma, s);
  for (const auto* c = first; c != last; ++c) {
    if (m_deferring) return std::nullopt;
    if (*c == s.begin || *c == s.end - 1) return std::nullopt;
    const auto left = CheckTerm({s.begin, *c});
    if (!left) continue;
    const auto right = CheckTerm({*c + 1, s.end});
    if (!right) continue;
    return operands(*left, *right);
  }
  return std::nullopt;
}

}  // namespace ormel
