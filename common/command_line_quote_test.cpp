#include "common/command_line_quote.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kam {
namespace {

// The C runtime's splitting of a command line (the rules of CommandLineToArgvW for every
// argument after the program), written out to check the quoting against.
std::vector<std::string> SplitLikeTheRuntime(const std::string& line) {
  std::vector<std::string> args;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      std::size_t backslashes = 0;
      while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
      if (i < line.size() && line[i] == '"') {
        arg.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          arg += '"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          arg += '"';  // "" inside quotes is one quote
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(backslashes, '\\');
        if (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) arg += line[i++];
      }
    }
    args.push_back(arg);
  }
  return args;
}

TEST(CommandLineQuote, EveryArgumentSplitsBackWhole) {
  const std::vector<std::string> arguments = {"plain",
                                              "two words",
                                              "",
                                              "quote\" inside",
                                              "trailing\\",
                                              "dir\\ with\\",
                                              "\\\"",
                                              "a\\\\\"b",
                                              "tab\there",
                                              "\xE7\x89\x88 1.0",
                                              "2.0###shengji###",
                                              "C:\\Program Files\\看吧\\",
                                              "*",
                                              "new\nline"};
  std::string line;
  for (const std::string& a : arguments) {
    if (!line.empty()) line += ' ';
    AppendQuotedArgument(line, a);
  }
  EXPECT_EQ(SplitLikeTheRuntime(line), arguments) << line;
}

TEST(CommandLineQuote, SimpleArgumentsStayAsTheyAre) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"plain", "plain"},
      {"C:\\dir\\file.exe", "C:\\dir\\file.exe"},
      {"", "\"\""},
      {"a b", "\"a b\""},
      {"end\\", "end\\"},
      {"end \\", "\"end \\\\\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
  };
  for (const auto& c : cases) {
    std::string line;
    AppendQuotedArgument(line, c.in);
    EXPECT_EQ(line, c.out) << c.in;
  }
}

}  // namespace
}  // namespace kam
