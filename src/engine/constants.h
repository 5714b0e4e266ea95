#pragma once

namespace ormel {

// The extended values nearest to the numbers named, written in hexadecimal so that no decimal
// conversion can move them by a bit.
inline constexpr long double kPi = 0xC90FDAA22168C235P-62L;
inline constexpr long double kHalfPi = 0xC90FDAA22168C235P-63L;
inline constexpr long double kTwoPi = 0xC90FDAA22168C235P-61L;
inline constexpr long double kTwoOverPi = 0xA2F9836E4E44152AP-64L;
inline constexpr long double kPiOver180 = 0x8EFA351294E9C8AEP-69L;
inline constexpr long double k180OverPi = 0xE52EE0D31E0FBDC3P-58L;
inline constexpr long double kPiOver200 = 0x80ADFC90B938CE36P-69L;
/// 200 divided by the extended pi, rounded once: one unit in the last place below the nearest.
inline constexpr long double k200OverPi = 200.0L / kPi;
inline constexpr long double kFiveNinths = 0x8E38E38E38E38E39P-64L;
inline constexpr long double kOnePointEight = 0xE666666666666666P-63L;

}  // namespace ormel
