#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/compiler.h"
#include "engine/eval_step.h"
#include "engine/function_table.h"
#include "engine/variable_table.h"

namespace ormel {

/// A piece of the prepared expression text, by offsets: every operand is a substring of it.
struct Span {
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
  [[nodiscard]] std::uint32_t size() const { return end - begin; }
  [[nodiscard]] bool empty() const { return begin == end; }
  bool operator==(const Span&) const = default;
};

/// A Match that names no function.
inline constexpr int kNoFunction = -1;

/// What a recogniser found: the operand spans (first, second; second empty for one operand) and,
/// for powers and calls, the kind; for calls, the index of the function in its table.
struct Match {
  Span first;
  Span second;
  TermKind kind = kKindVariable;
  int function = kNoFunction;
};

/// The term forms the compiler knows, deciding by trial splitting where a text divides. All
/// answers are pure functions of the text and the tables, so within one compile they can be
/// remembered; the uncached mode re-examines every operand at every candidate split.
class Recognisers {
 public:
  Recognisers(std::string_view text, const VariableTable& variables, const FunctionTable& functionsOne,
              const FunctionTable& functionsTwo, bool pascalNumberformat, RecogniserMode mode);

  [[nodiscard]] std::string_view text(Span s) const { return m_text.substr(s.begin, s.size()); }
  [[nodiscard]] Span whole() const { return {0, static_cast<std::uint32_t>(m_text.size())}; }

  [[nodiscard]] bool CheckNumberBrackets(Span s) const;
  /// The constant's value; throws EOverflow for a constant beyond the extended range.
  [[nodiscard]] std::optional<long double> CheckNumber(Span s) const;
  /// The variable's index in the table, or -1.
  [[nodiscard]] int CheckVariable(Span s) const;
  [[nodiscard]] std::optional<Span> CheckBracket(Span s);
  [[nodiscard]] std::optional<Span> CheckTerm(Span s);
  [[nodiscard]] std::optional<Match> CheckNegate(Span s);
  [[nodiscard]] std::optional<Match> CheckAdd(Span s);
  [[nodiscard]] std::optional<Match> CheckSubtract(Span s);
  [[nodiscard]] std::optional<Match> CheckMultiply(Span s);
  [[nodiscard]] std::optional<Match> CheckIntegerDiv(Span s);
  [[nodiscard]] std::optional<Match> CheckModulo(Span s);
  [[nodiscard]] std::optional<Match> CheckRealDivision(Span s);
  /// Base, exponent and kind kKindIntPower to kKindFourth; throws EInvalidOp for an exponent constant of 2^63
  /// or more.
  [[nodiscard]] std::optional<Match> CheckPower(Span s);
  [[nodiscard]] std::optional<Match> CheckFuncOneVar(Span s);
  [[nodiscard]] std::optional<Match> CheckFuncTwoVar(Span s);
  [[nodiscard]] std::optional<Match> CheckComma(Span s);

 private:
  /// The operand accepted as one of the forms (bracket replaced by its inside), or nothing.
  std::optional<Span> acceptAs(Span s, std::uint16_t forms);
  std::optional<Match> splitAtCharacter(std::uint8_t rule, char op, Span s, std::uint16_t leftForms,
                                        std::uint16_t rightForms);
  /// Splits at a "DIV" or "MOD" of the list, both operands in the division forms.
  std::optional<Match> splitAtWord(const std::vector<std::uint64_t>& at, Span s);
  using Compute = std::optional<Match> (Recognisers::*)(Span);
  /// A question left open because answering it in place would have needed a deeper stack.
  struct Deferred {
    std::uint8_t rule;
    Span span;
    Compute compute;
  };
  /// Counts one open rule call for as long as it lives; throws EExpressionTooDeep past the budget
  /// (reached only without the memo, which defers deep questions instead).
  class DepthGuard {
   public:
    explicit DepthGuard(int& depth);
    ~DepthGuard() { --m_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

   private:
    int& m_depth;
  };
  std::optional<Match> remembered(std::uint8_t rule, Span s, Compute compute);
  /// Answers a question from the outermost call, settling the deeper questions it leads to first.
  std::optional<Match> settle(const Deferred& question);

  std::optional<Match> computeBracket(Span s);
  std::optional<Match> computeTerm(Span s);
  /// The span inside every layer of brackets that encloses s with its outer brackets matching
  /// each other; s itself when its first and last characters are no such pair.
  [[nodiscard]] Span innermostLayer(Span s) const;
  std::optional<Match> computeNegate(Span s);
  std::optional<Match> computeAdd(Span s);
  std::optional<Match> computeSubtract(Span s);
  std::optional<Match> computeMultiply(Span s);
  std::optional<Match> computeIntegerDiv(Span s);
  std::optional<Match> computeModulo(Span s);
  std::optional<Match> computeRealDivision(Span s);
  std::optional<Match> computePower(Span s);
  std::optional<Match> computeFuncOneVar(Span s);
  std::optional<Match> computeFuncTwoVar(Span s);
  std::optional<Match> computeComma(Span s);

  /// The occurrences (from one of the lists below) within s, in order, of those at the bracket
  /// level of s's start: only there can both sides of a split have equal bracket counts.
  [[nodiscard]] std::pair<const std::uint64_t*, const std::uint64_t*> occurrences(
      const std::vector<std::uint64_t>& at, Span s) const;
  /// True where no check on any piece of s can throw: only there may a split be passed over
  /// because it would fail, for skipping it cannot skip an exception the full rules would raise.
  [[nodiscard]] bool safe(Span s) const { return m_throwingPieceEnd[s.begin] > s.end; }
  /// False for a span that no form can accept: one whose brackets are not properly nested.
  /// Decided only when refusing it cannot skip an exception the full rules would raise.
  [[nodiscard]] bool mayBeTerm(Span s) const;
  /// The first and the last of the listed signs strictly inside s, or nothing.
  [[nodiscard]] std::optional<std::pair<std::uint32_t, std::uint32_t>> signsInside(
      const std::vector<std::uint64_t>& at, Span s) const;
  [[nodiscard]] bool hasOccurrence(const std::vector<std::uint64_t>& at, Span s) const;
  /// The offset of the last "DIV" or "MOD" that lies wholly within s at s's own level and can
  /// belong to no name, or nothing; always nothing where refusing spans early is not safe.
  [[nodiscard]] std::optional<std::uint32_t> lastOperatorWord(Span s) const;
  /// Fills m_operatorWords from the occurrences of "DIV" and "MOD".
  void findOperatorWords();
  /// Positions of "(" and "," within s, at any bracket level.
  [[nodiscard]] std::pair<const std::uint32_t*, const std::uint32_t*> positions(
      const std::vector<std::uint32_t>& at, Span s) const;

  std::string_view m_text;
  const VariableTable& m_variables;
  const FunctionTable& m_functionsOne;
  const FunctionTable& m_functionsTwo;
  bool m_pascalNumberformat;
  bool m_cached;
  // The operators' occurrences keyed by bracket level, then offset; the offsets of "(" and ",";
  // and the running bracket counts: an operand's splits and its balance cost no scan of its text.
  std::vector<std::uint64_t> m_plus, m_minus, m_times, m_slash, m_caret, m_div, m_mod;
  std::vector<std::uint32_t> m_comma, m_open;
  // The "+" and "-" that stand between two terms (not a sign right after an operator, another
  // sign or "E"): no form but a sum or a difference holds one inside, and no form but a sum holds
  // such a "+". Keyed like the operators.
  std::vector<std::uint64_t> m_binarySigns, m_binaryPlus;
  // The "+" and "-" that can split: not right after an operator, "(" or ",", nor right before an
  // operator, ")" or ",", where an operand would end or start; a constant in the fixed form holds
  // none of these at its edges. Used only for such constants; keyed like the operators.
  std::vector<std::uint64_t> m_splitPlus, m_splitMinus;
  // The "DIV" and "MOD" that no variable or function name written there can hold: no operand of
  // a division, power or call holds one at its own level. Keyed like the operators.
  std::vector<std::uint64_t> m_operatorWords;
  std::vector<std::int32_t> m_balance;
  // For each offset, the first later one (or itself) that holds no character of a fixed-form constant.
  std::vector<std::uint32_t> m_constantRunEnd;
  // For each offset, the first later offset whose running count falls below it.
  std::vector<std::uint32_t> m_firstDip;
  // For each offset, the end of the shortest piece from there on within which some check may
  // throw; 0 throughout where that is not known.
  std::vector<std::uint32_t> m_throwingPieceEnd;
  // Rule calls open on the stack right now; while a question is deferred every open call returns
  // at once without keeping its answer.
  int m_depth = 0;
  bool m_deferring = false;
  Deferred m_deferred{};
  std::unordered_map<std::uint64_t, std::optional<Match>> m_cache;
};

}  // namespace ormel
