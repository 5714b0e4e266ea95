#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "cli/cli_options.h"
#include "support/ended_process.h"
#include "support/row_name.h"

namespace ormel {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

/// Runs the program in folder with the arguments (a shell word list) and stdin, after the shell
/// commands of setup (which end in "&&").
struct CliRun {
  int exitCode;
  std::string out;
  std::string err;
};

CliRun runCli(const fs::path& folder, const std::string& arguments, const std::string& input,
              const std::string& setup = "") {
  writeText(folder / "stdin.txt", input);
  const std::string command = "cd '" + folder.string() + "' && " + setup + " '" ORMELCALC_CLI "' " +
                              arguments + " < stdin.txt > stdout.txt 2> stderr.txt";
  const int status = std::system(command.c_str());
  return CliRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(folder / "stdout.txt"),
                readText(folder / "stderr.txt")};
}

class CliTest : public testing::Test {
 protected:
  void SetUp() override {
    m_folder = fs::temp_directory_path() /
               ("ormel-cli-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
    writeText(m_folder / "a.txt", "1+1\n");
    writeText(m_folder / "b.txt", "2+2");
    writeText(m_folder / "q.txt", "q = 7\n");
    // A sheet saved as plain text: an old answer, one missing, one that can no longer come.
    writeText(m_folder / "sheet.txt", "r = 2\nr*3\n 5\n\nr/0\n 1\nr+1\n");
  }
  void TearDown() override { fs::remove_all(m_folder); }
  fs::path m_folder;
};

struct CliCase {
  const char* name;
  const char* arguments;
  const char* input;
  const char* out;
  const char* err;
  int exitCode;
};

class CliRunTest : public CliTest, public testing::WithParamInterface<CliCase> {};

TEST_P(CliRunTest, PrintsThePadAndTheMessages) {
  const CliRun run = runCli(m_folder, GetParam().arguments, GetParam().input);
  EXPECT_EQ(run.out, GetParam().out);
  EXPECT_EQ(run.err, GetParam().err);
  EXPECT_EQ(run.exitCode, GetParam().exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliRunTest,
    testing::Values(
        CliCase{"answers", "", "2+3\n1/3\n", "2+3\n 5\n1/3\n 0.333\n", "", 0},
        CliCase{"crlfAndLastLineWithoutBreak", "", "2*2\r\n3*3", "2*2\n 4\n3*3\n 9\n", "", 0},
        CliCase{"emptyInput", "", "", "", "", 0},
        CliCase{"emptyLinesStayEmpty", "", "\n\n1+1\n", "\n\n1+1\n 2\n", "", 0},
        CliCase{"assignmentThenUse", "", "x = 2\nx*x\n", "x = 2\nx*x\n 4\n",
                "status: Set \"X\" to \"2\" successfully.\n", 0},
        CliCase{"compileErrorIsAnError", "", "2+*\n", "2+*\n", "error: Parsing error\n", 1},
        CliCase{"uncaughtErrorIsAnAlertAndProcessingGoesOn", "", "1/0\n1+1\n", "1/0\n1+1\n 2\n",
                "alert: Floating point division by zero\n", 1},
        CliCase{"leadingZeroFixWhileTyping", "", ".5*(.5)\n", "0.5*(0.5)\n 0.25\n", "", 0},
        CliCase{"invalidUtf8TypesReplacement", "", "\xFF\n", "\xEF\xBF\xBD\n", "error: Parsing error\n", 1},
        CliCase{"filesInOrder", "a.txt b.txt", "", "1+1\n 2\n2+2\n 4\n", "", 0},
        CliCase{"dashIsStandardInput", "a.txt -", "5*5\n", "1+1\n 2\n5*5\n 25\n", "", 0},
        CliCase{"unknownOption", "--frobnicate", "", "",
                "ormelcalc-cli: unknown option --frobnicate\nTry \"ormelcalc-cli --help\".\n", 2},
        CliCase{"missingFile", "nothere.txt", "", "", "ormelcalc-cli: cannot read \"nothere.txt\"\n", 2},
        CliCase{"oneShotPrintsOnlyAnswers", "-e 2+3 -e 'x = 4' -e x*x -e 42 -e '$FF+1'", "", "5\n16\n256\n",
                "", 0},
        CliCase{"oneShotReadsNoStandardInput", "-e 1/4", "5*5\n", "0.25\n", "", 0},
        CliCase{"oneShotAfterTheFilesLines", "-e 'q*2' q.txt", "", "14\n", "", 0},
        CliCase{"oneShotErrorsGoToStandardError", "-e 2+* -e 1/0 -e 1+1", "", "2\n",
                "error: Parsing error\nalert: Floating point division by zero\n", 1},
        CliCase{"oneShotNeedsAnExpression", "-e", "", "",
                "ormelcalc-cli: option -e needs an argument\nTry \"ormelcalc-cli --help\".\n", 2},
        CliCase{"recalculateReplacesTheAnswersOfTheSheet", "--open sheet.txt --recalculate", "9*9\n",
                "r = 2\nr*3\n 6\n\nr/0\nr+1\n 3\n",
                "status: Set \"R\" to \"2\" successfully.\nerror: Floating point division by zero\n"
                "error: Recalculated 4 lines, 3 answers changed. Line 5 failed: Floating point division by "
                "zero\n",
                1},
        CliCase{"recalculateThenFiles", "--open sheet.txt --recalculate a.txt", "",
                "r = 2\nr*3\n 6\n\nr/0\nr+1\n 3\n1+1\n 2\n",
                "status: Set \"R\" to \"2\" successfully.\nerror: Floating point division by zero\n"
                "error: Recalculated 4 lines, 3 answers changed. Line 5 failed: Floating point division by "
                "zero\n",
                1},
        CliCase{"missingSheet", "--open nothere.ocs", "", "",
                "ormelcalc-cli: Cannot open file \"nothere.ocs\". No such file or directory\n", 2}),
    testing_support::RowName());

TEST_F(CliTest, HelpAndVersion) {
  const CliRun help = runCli(m_folder, "--help", "");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: ormelcalc-cli [--data DIR] [--open SHEET] [--save SHEET] [FILE...]"),
            std::string::npos);
  EXPECT_NE(help.out.find("  -e EXPR "), std::string::npos);
  EXPECT_NE(help.out.find("  --recalculate "), std::string::npos);
  const CliRun version = runCli(m_folder, "--version", "");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("ormelcalc-cli ", 0), 0u);
}

TEST_F(CliTest, RecalculatedSheetSavesAndRecalculatesToTheSame) {
  ASSERT_EQ(runCli(m_folder, "--save sheet.ocs", "k = 2\nk*k\n").exitCode, 0);
  const CliRun first = runCli(m_folder, "--open sheet.ocs --recalculate -e k+1", "");
  EXPECT_EQ(first.out, "3\n");
  const CliRun again = runCli(m_folder, "--open sheet.ocs --recalculate --save sheet.ocs", "");
  EXPECT_EQ(again.out, "k = 2\nk*k\n 4\n");
  EXPECT_EQ(again.err,
            "status: Set \"K\" to \"2\" successfully.\nstatus: Recalculated 2 lines, 0 answers changed.\n");
  EXPECT_EQ(runCli(m_folder, "--open sheet.ocs", "").out, "k = 2\nk*k\n 4\n");
}

TEST_F(CliTest, DataFolderGivesPreferencesAndKeepsVariables) {
  fs::create_directories(m_folder / "data");
  writeText(m_folder / "data" / "prefs.xml",
            "<preferences>\r\n <DecimalSeparator value=\",\" />\r\n <DecimalPlaces value=\"2\" "
            "/>\r\n</preferences>\r\n");
  const CliRun first = runCli(m_folder, "--data data", "r = 1/4\nr*2\n1/3\n");
  EXPECT_EQ(first.out, "r = 1/4\nr*2\n 0,5\n1/3\n 0,33\n");
  EXPECT_EQ(first.exitCode, 0);
  EXPECT_EQ(readText(m_folder / "data" / "vars.xml"),
            "<variables>\r\n <variable name=\"R\" value=\"0.25\" />\r\n</variables>\r\n");
  const CliRun second = runCli(m_folder, "--data data", "r*4\n");
  EXPECT_EQ(second.out, "r*4\n 1\n");
}

TEST_F(CliTest, WithoutDataFolderNoFileIsWritten) {
  runCli(m_folder, "", "x=2\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()),
            7);  // a, b, q, sheet, std in/out/err
}

TEST_F(CliTest, SheetsSaveAndOpenWithoutEvaluatingAgain) {
  const CliRun saved = runCli(m_folder, "--save sheet.ocs", "6*7\n");
  EXPECT_EQ(saved.exitCode, 0);
  EXPECT_EQ(readText(m_folder / "sheet.ocs").rfind("{\\rtf1", 0), 0u);
  const CliRun opened = runCli(m_folder, "--open sheet.ocs", "1+1\n");
  EXPECT_EQ(opened.out, "6*7\n 42\n1+1\n 2\n");
  writeText(m_folder / "plain.ocs", "typed by hand\n");
  EXPECT_EQ(runCli(m_folder, "--open plain.ocs", "").out, "typed by hand\n");
  const CliRun unwritable = runCli(m_folder, "--save no/such/folder.ocs", "1+1\n");
  EXPECT_EQ(unwritable.exitCode, 2);
  EXPECT_NE(unwritable.err.find("Cannot create file \"no/such/folder.ocs\""), std::string::npos);
}

// An eighth of the usual stack must do for any line: recognition needs bounded stack, and a
// line too long for the compiled form is refused with its message, not by a crash.
TEST_F(CliTest, LongAndDeepLinesFinishOnASmallStack) {
  std::string sum = "1";
  for (int i = 1; i < 200000; ++i) sum += "+1";
  const std::string deep = std::string(100000, '(') + "6*7" + std::string(100000, ')');
  const CliRun run = runCli(m_folder, "", sum + "\n" + deep + "\n", "ulimit -s 1024 &&");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "error: Expression contains too many nestings\n");
  EXPECT_TRUE(run.out == sum + "\n" + deep + "\n 42\n") << run.out.size();
}

TEST_F(CliTest, ABrokenVariablesFileIsKeptAsideBeforeItIsSavedOver) {
  fs::create_directories(m_folder / "data");
  const std::string broken =
      "<variables><variable name=\"a\" value=\"x\"/><variable name=\"b\" value=\"2\"/></variables>";
  writeText(m_folder / "data" / "vars.xml", broken);
  const CliRun run = runCli(m_folder, "--data data", "b*3\n");
  EXPECT_EQ(run.out, "b*3\n 6\n") << "the entries after the bad one load";
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("variable \"a\" skipped: 'x' is not a valid floating point value"),
            std::string::npos);
  std::vector<fs::path> copies;
  for (const auto& entry : fs::directory_iterator(m_folder / "data")) {
    if (entry.path().filename().string().starts_with("vars.xml.bad-")) copies.push_back(entry.path());
  }
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(readText(copies[0]), broken);
  EXPECT_NE(run.err.find(copies[0].filename().string()), std::string::npos) << "the alert says where";
  EXPECT_EQ(readText(m_folder / "data" / "vars.xml"),
            "<variables>\r\n <variable name=\"B\" value=\"2\" />\r\n</variables>\r\n");
}

TEST_F(CliTest, VariablesWrittenWithACommaReadInTheCLocale) {
  fs::create_directories(m_folder / "data");
  // What the window writes under a comma locale.
  writeText(m_folder / "data" / "vars.xml",
            "<variables>\r\n <variable name=\"R\" value=\"0,25\" />\r\n <variable name=\"S\" value=\"3\" "
            "/>\r\n</variables>\r\n");
  const CliRun run = runCli(m_folder, "--data data", "r*s\n");
  EXPECT_EQ(run.out, "r*s\n 0.75\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
}

TEST_F(CliTest, ASheetItCannotReadEndsWithStatusTwo) {
  writeText(m_folder / "cut.ocs", "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue0;\\cf1 6*7\\par 42}");
  const CliRun cut = runCli(m_folder, "--open cut.ocs", "");
  EXPECT_EQ(cut.exitCode, 2);
  EXPECT_NE(cut.err.find("cut.ocs"), std::string::npos) << cut.err;
  ASSERT_EQ(::mkfifo((m_folder / "fifo.ocs").c_str(), 0644), 0);
  const CliRun fifo = runCli(m_folder, "--open fifo.ocs", "");
  EXPECT_EQ(fifo.exitCode, 2) << "a FIFO is refused, not waited on";
  EXPECT_NE(fifo.err.find("Not a regular file"), std::string::npos) << fifo.err;
}

TEST_F(CliTest, SavingOrOpeningASheetRemovesTemporaryFilesOfKilledSavesBesideIt) {
  const pid_t child = testing_support::endedProcessId();
  ASSERT_GT(child, 0);
  const std::string leftoverName = ".ormel-" + std::to_string(child) + "-4.tmp";
  // A linked sheet is written in its target's folder, so that is where killed saves left files.
  fs::create_directories(m_folder / "target");
  writeText(m_folder / "target" / "sheet.ocs", "1+1");
  fs::create_symlink("target/sheet.ocs", m_folder / "link.ocs");
  struct Row {
    const char* arguments;
    fs::path leftover;
  };
  for (const Row& row :
       {Row{"--save sheet.ocs", m_folder / leftoverName}, Row{"--open a.txt", m_folder / leftoverName},
        Row{"--save link.ocs", m_folder / "target" / leftoverName},
        Row{"--open link.ocs", m_folder / "target" / leftoverName}}) {
    writeText(row.leftover, std::string(1 << 20, 'x'));
    EXPECT_EQ(runCli(m_folder, row.arguments, "1+1\n").exitCode, 0) << row.arguments;
    EXPECT_FALSE(fs::exists(row.leftover)) << row.arguments;
    fs::remove(row.leftover);
  }
}

struct OptionCase {
  const char* name;
  std::vector<std::string> arguments;
  bool valid;
  const char* files;
};

class OptionTest : public testing::TestWithParam<OptionCase> {};

TEST_P(OptionTest, ParsesTheContract) {
  std::string error;
  const std::optional<CliOptions> options = parseCliOptions(GetParam().arguments, error);
  ASSERT_EQ(options.has_value(), GetParam().valid) << error;
  if (!options) return;
  std::string files;
  for (const std::string& file : options->files) files += file + ";";
  EXPECT_EQ(files, GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OptionTest,
    testing::Values(
        OptionCase{"allOptions", {"--data", "d", "--open", "o", "--save", "s", "f"}, true, "f;"},
        OptionCase{"dashDashEndsOptions", {"--", "--data"}, true, "--data;"},
        OptionCase{"missingValue", {"--save"}, false, ""},
        OptionCase{"givenTwice", {"--data", "a", "--data", "b"}, false, ""},
        OptionCase{"singleDashIsAFile", {"-"}, true, "-;"},
        OptionCase{"expressionsAndRecalculate", {"-e", "1", "--recalculate", "-e", "-2", "f"}, true, "f;"},
        OptionCase{"expressionOfTwoLines", {"-e", "1\n2"}, false, ""}),
    testing_support::RowName());

}  // namespace
}  // namespace ormel
