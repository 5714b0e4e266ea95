// Download throughput from a server on this machine: the component (1025-byte reads, each
// written at once, with and without a progress hand-off per chunk) beside plain libcurl with
// its default buffer writing through stdio, the usual way to fetch a file with it.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/HTTPGet.h"
#include "app/support/local_http_server.h"
#include "base/task_queue_window_thread.h"

namespace {

using ormel::testing_support::httpResponse;
using ormel::testing_support::LocalHttpServer;

std::string target() {
  return (std::filesystem::temp_directory_path() / ("ormel-bench-" + std::to_string(::getpid()))).string();
}

LocalHttpServer& serverOf(std::size_t size) {
  static const std::string body(size, 'b');
  static LocalHttpServer server(ormel::testing_support::fixedResponse(httpResponse(200, body)));
  return server;
}

void download(benchmark::State& state, bool withProgress) {
  const auto size = static_cast<std::size_t>(state.range(0));
  LocalHttpServer& server = serverOf(size);
  ormel::TaskQueueWindowThread window;
  ormel::THTTPGet get(window);
  get.SetURL(server.url("/body"));
  get.SetFileName(target());
  get.SetWaitThread(true);
  std::int64_t progress = 0;
  if (withProgress)
    get.SetOnProgress([&](ormel::THTTPGetThread&, std::int64_t, std::int64_t readed) { progress = readed; });
  for (auto _ : state) {
    get.GetFile();
    if (!get.Success()) state.SkipWithError("download failed");
  }
  benchmark::DoNotOptimize(progress);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
  std::filesystem::remove(target());
}

void BM_HTTPGet(benchmark::State& state) { download(state, false); }
void BM_HTTPGetWithProgress(benchmark::State& state) { download(state, true); }

std::size_t writeToFile(char* data, std::size_t, std::size_t size, void* file) {
  return std::fwrite(data, 1, size, static_cast<std::FILE*>(file));
}

void BM_PlainLibcurl(benchmark::State& state) {
  LocalHttpServer& server = serverOf(static_cast<std::size_t>(state.range(0)));
  const std::string url = server.url("/body");
  for (auto _ : state) {
    CURL* easy = curl_easy_init();
    std::FILE* file = std::fopen(target().c_str(), "wb");
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, file);
    if (curl_easy_perform(easy) != CURLE_OK) state.SkipWithError("download failed");
    std::fclose(file);
    curl_easy_cleanup(easy);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
  std::filesystem::remove(target());
}

constexpr std::int64_t kSize = 16 << 20;
BENCHMARK(BM_HTTPGet)->Arg(kSize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HTTPGetWithProgress)->Arg(kSize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainLibcurl)->Arg(kSize)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
