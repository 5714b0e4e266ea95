#pragma once

namespace ormel {

class TCustomParser;

/// Registers the 57 conversion and extended functions (lengths, trigonometric and hyperbolic,
/// factorial, permutations and combinations, angles, temperatures), in their fixed order.
void registerConversionFunctions(TCustomParser& parser);

/// x! in single precision: the argument rounded to single, n its nearest integer (ties to even,
/// low 32 bits), the product x (n-1) ... 1 rounded to single at each step; 0 gives 1.
/// Throws EOverflow beyond the single range, EInvalidOp when n falls outside 64 bits.
[[nodiscard]] float factorial(long double x);

}  // namespace ormel
