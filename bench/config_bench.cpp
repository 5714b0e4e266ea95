// Loading and writing a large settings file: a variables file with many entries, and a deeply
// nested one, which the loader handles without recursion.
#include <benchmark/benchmark.h>

#include <string>

#include "config/xmlnode.h"

namespace {

std::string variablesFile(int count) {
  ormel::TXMLNode root("variables");
  for (int i = 0; i < count; ++i) {
    ormel::TXMLNode& child = root.AddChild("variable");
    child.AddField("name", "VALUE_" + std::to_string(i));
    child.AddField("value", "3.14159265358979 &amp; \"more\"");
  }
  return root.GetCode();
}

void BM_LoadVariables(benchmark::State& state) {
  const std::string document = variablesFile(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ormel::LoadXMLFromBuffer(document));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
}
BENCHMARK(BM_LoadVariables)->Arg(100)->Arg(100000);

void BM_SaveVariables(benchmark::State& state) {
  const std::unique_ptr<ormel::TXMLNode> root =
      ormel::LoadXMLFromBuffer(variablesFile(static_cast<int>(state.range(0))));
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string code = root->GetCode();
    bytes += code.size();
    benchmark::DoNotOptimize(code.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_SaveVariables)->Arg(100)->Arg(100000);

void BM_LoadDeeplyNested(benchmark::State& state) {
  std::string document;
  for (int i = 0; i < state.range(0); ++i) document += "<a>";
  for (auto _ : state) benchmark::DoNotOptimize(ormel::LoadXMLFromBuffer(document));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
}
BENCHMARK(BM_LoadDeeplyNested)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
