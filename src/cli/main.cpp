#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "engine/parser.h"

#ifndef ORMEL_VERSION
#define ORMEL_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  using namespace ormel;
  std::string error;
  const std::optional<CliOptions> options =
      parseCliOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "ormelcalc-cli: %s\nTry \"ormelcalc-cli --help\".\n", error.c_str());
    return kCliFailed;
  }
  if (options->help) {
    std::fputs(cliUsage().c_str(), stdout);
    return kCliOk;
  }
  if (options->version) {
    std::puts("ormelcalc-cli " ORMEL_VERSION);
    return kCliOk;
  }

  // Every input must be readable before anything is typed.
  std::vector<std::unique_ptr<std::ifstream>> inputs;
  for (const std::string& file : options->files) {
    if (file == "-") {
      inputs.push_back(nullptr);
      continue;
    }
    auto stream = std::make_unique<std::ifstream>(file, std::ios::binary);
    if (!*stream) {
      std::fprintf(stderr, "ormelcalc-cli: cannot read \"%s\"\n", file.c_str());
      return kCliFailed;
    }
    inputs.push_back(std::move(stream));
  }

  seedRandomGeneratorFromClock();
  CliSession session(*options, stderr);
  if (!session.start()) return kCliFailed;
  if (options->recalculate) session.recalculate();
  const bool oneShot = !options->expressions.empty();
  if (inputs.empty() && !oneShot && !options->recalculate) {
    session.enterLines(std::cin, ::isatty(STDIN_FILENO) != 0, stdout);
  } else {
    for (const std::unique_ptr<std::ifstream>& input : inputs) {
      session.enterLines(input ? static_cast<std::istream&>(*input) : std::cin, false, stdout);
    }
  }
  if (oneShot) {
    session.evaluate(options->expressions, stdout);
  } else {
    session.printPad(stdout);
  }
  if (!session.finish()) return kCliFailed;
  if (std::fflush(stdout) != 0) return kCliFailed;
  return session.status();
}
