#include "cli/cli_options.h"

namespace ormel {

std::optional<CliOptions> parseCliOptions(const std::vector<std::string>& arguments, std::string& error) {
  CliOptions options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument == "-" || argument.rfind("-", 0) != 0) {
      options.files.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "--recalculate") {
      options.recalculate = true;
    } else if (argument == "-e") {
      if (i + 1 >= arguments.size()) {
        error = "option -e needs an argument";
        return std::nullopt;
      }
      if (arguments[i + 1].find_first_of("\r\n") != std::string::npos) {
        error = "option -e takes one line";
        return std::nullopt;
      }
      options.expressions.push_back(arguments[++i]);
    } else if (argument == "--data" || argument == "--open" || argument == "--save") {
      if (i + 1 >= arguments.size()) {
        error = "option " + argument + " needs an argument";
        return std::nullopt;
      }
      std::optional<std::string>& target =
          argument == "--data" ? options.dataDir
                               : (argument == "--open" ? options.openSheet : options.saveSheet);
      if (target) {
        error = "option " + argument + " given twice";
        return std::nullopt;
      }
      target = arguments[++i];
    } else {
      error = "unknown option " + argument;
      return std::nullopt;
    }
  }
  return options;
}

std::string cliUsage() {
  return "Usage: ormelcalc-cli [--data DIR] [--open SHEET] [--save SHEET] [FILE...]\n"
         "       ormelcalc-cli [OPTION...] --recalculate | -e EXPR... [FILE...]\n"
         "Types each input line into a scratch pad, presses Enter, and prints the pad.\n"
         "\n"
         "  --data DIR     load prefs.xml and vars.xml from DIR, save vars.xml back at the end\n"
         "  --open SHEET   start with the content of a sheet file\n"
         "  --save SHEET   write the pad to a sheet file at the end\n"
         "  --recalculate  evaluate every line of the opened sheet again from the top, replacing\n"
         "                 the answers in it\n"
         "  -e EXPR        enter EXPR as a line and print only its answer (repeatable)\n"
         "  --help         show this text\n"
         "  --version      show the version\n"
         "\n"
         "Lines come from the FILEs in order, or from standard input; with --recalculate or -e\n"
         "only from the FILEs. Messages go to standard error as \"status: TEXT\", \"error: TEXT\"\n"
         "or \"alert: TEXT\"; with -e only errors and alerts.\n"
         "Exit status: 0 when no error was reported, 1 when one was, 2 for a usage error or a\n"
         "file that cannot be read or written.\n";
}

}  // namespace ormel
