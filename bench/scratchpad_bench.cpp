// The scratch pad through the in-memory text control: a line typed and evaluated, a key typed
// into pads of different sizes, a long line typed, the terminal companion over many lines and
// one long line, and sheet save and load.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "cli/cli_session.h"
#include "scratchpad/content_file.h"
#include "scratchpad/headless_scratch_pad.h"

namespace ormel {
namespace {

constexpr const char* kTypicalLine = "12.5*(3+4)/2-SQRT(16)";

/// A pad that already holds lines lines of expressions and answers.
void fill(HeadlessScratchPad& scratchPad, int lines) {
  std::string text;
  for (int n = 0; n < lines / 2; ++n) text += "12.5*(3+4)/2\n 43.75\n";
  scratchPad.pad.setSelText(text);
}

void BM_TypeAndEvaluateLine(benchmark::State& state) {
  HeadlessScratchPad scratchPad;
  fill(scratchPad, static_cast<int>(state.range(0)));
  for (auto _ : state) scratchPad.enterLine(kTypicalLine);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TypeAndEvaluateLine)->Arg(0)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_TypeKey(benchmark::State& state) {
  HeadlessScratchPad scratchPad;
  fill(scratchPad, static_cast<int>(state.range(0)));
  scratchPad.pad.setSelStart(scratchPad.pad.lineStart(scratchPad.pad.lineCount() / 2));
  for (auto _ : state) {
    scratchPad.pad.typeCharacter(U'7');
    scratchPad.pad.typeCharacter(U'\b');
  }
  state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_TypeKey)->Arg(0)->Arg(100000)->Unit(benchmark::kMicrosecond);

/// The terminal companion over input as one run, its pad and messages thrown away.
void runCliOn(const std::string& input) {
  static std::FILE* const sink = std::fopen("/dev/null", "w");
  const CliOptions options;
  CliSession session(options, sink);
  std::istringstream lines(input);
  session.start();
  session.enterLines(lines, false, sink);
  session.printPad(sink);
}

// A sum of N terms typed key by key and finished with Enter: the time per character must not
// grow with the line's length.
void BM_TypeLongLine(benchmark::State& state) {
  std::string line = "1";
  for (int64_t n = 1; n < state.range(0); ++n) line += "+1";
  for (auto _ : state) {
    HeadlessScratchPad scratchPad;
    scratchPad.enterLine(line);
    benchmark::DoNotOptimize(scratchPad.pad.lineCount());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(line.size() + 1));
}
BENCHMARK(BM_TypeLongLine)->Arg(1000)->Arg(8000)->Arg(64000)->Unit(benchmark::kMillisecond);

void BM_CliLongLine(benchmark::State& state) {
  std::string input = "1";
  while (static_cast<int64_t>(input.size()) < state.range(0)) input += "+1";
  input += "\n";
  for (auto _ : state) runCliOn(input);
}
BENCHMARK(BM_CliLongLine)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CliSums(benchmark::State& state) {
  // 60-character sums: "1+2+...".
  std::string line = "1";
  for (int term = 2; line.size() < 60; ++term) line += "+" + std::to_string(term % 10);
  std::string input;
  for (int64_t n = 0; n < state.range(0); ++n) input += line.substr(0, 60) + "\n";
  for (auto _ : state) runCliOn(input);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CliSums)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CliLines(benchmark::State& state) {
  std::string input;
  for (int64_t n = 0; n < state.range(0); ++n)
    input += n % 4 == 0 ? "x = " + std::to_string(n) + "\n" : "x/7+.5\n";
  for (auto _ : state) runCliOn(input);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CliLines)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

StyledText sheet(int lines) {
  HeadlessScratchPad scratchPad;
  for (int n = 0; n < lines / 2; ++n) scratchPad.enterLine(std::to_string(n) + "/7");
  return scratchPad.pad.content();
}

void BM_SaveSheet(benchmark::State& state) {
  const StyledText content = sheet(static_cast<int>(state.range(0)));
  const std::string path = (std::filesystem::temp_directory_path() / "ormel-bench-save.ocs").string();
  for (auto _ : state) saveContentFile(path, content);
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveSheet)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LoadSheet(benchmark::State& state) {
  const std::string path = (std::filesystem::temp_directory_path() / "ormel-bench-load.ocs").string();
  saveContentFile(path, sheet(static_cast<int>(state.range(0))));
  MemoryTextControl pad;
  for (auto _ : state) pad.loadContent(path);
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadSheet)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ormel

BENCHMARK_MAIN();
