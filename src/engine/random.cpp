#include "engine/random.h"

#include <unistd.h>

#include <chrono>

#include "engine/parser.h"

namespace ormel {

namespace {

// xoshiro256**: fast, 2^256 - 1 period, good equidistribution of the 64-bit outputs.
struct Generator {
  std::uint64_t s[4] = {0x9E3779B97F4A7C15ULL, 0xBF58476D1CE4E5B9ULL, 0x94D049BB133111EBULL, 1};

  static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

  std::uint64_t next() {
    const std::uint64_t result = rotl(s[1] * 5, 7) * 9;
    const std::uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = rotl(s[3], 45);
    return result;
  }

  void seed(std::uint64_t value) {
    // splitmix64 spreads any seed, 0 included, over the whole state.
    for (auto& word : s) {
      value += 0x9E3779B97F4A7C15ULL;
      std::uint64_t z = value;
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
      word = z ^ (z >> 31);
    }
  }
};

Generator& generator() {
  static Generator instance;
  return instance;
}

}  // namespace

long double nextRandom() { return static_cast<long double>(generator().next()) * 0x1p-64L; }

void seedRandomGenerator(std::uint64_t seed) { generator().seed(seed); }

void seedRandomGeneratorFromClock() {
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  seedRandomGenerator(static_cast<std::uint64_t>(now) ^ (static_cast<std::uint64_t>(getpid()) << 32));
}

}  // namespace ormel
