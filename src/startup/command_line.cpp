#include "startup/command_line.h"

namespace vellora {

std::string JoinArguments(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

std::string CommandLineTail(const std::string& full_command_line) {
  const std::string& s = full_command_line;
  size_t i = 0;
  if (!s.empty() && s[0] == '"') {
    i = s.find('"', 1);
    i = (i == std::string::npos) ? s.size() : i + 1;
  } else {
    while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
  }
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  return s.substr(i);
}

std::string StripEnclosingQuotes(const std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

CommandLineAction ClassifyCommandLine(const std::string& command_line) {
  if (command_line.empty()) return CommandLineAction::kUsage;
  if (command_line == "-h" || command_line == "--help") return CommandLineAction::kHelp;
  if (command_line == "--version") return CommandLineAction::kVersion;
  return CommandLineAction::kBatch;
}

const char* UsageText() {
  return "usage: vellora CONFIG.ini\n"
         "       vellora --help | --version\n"
         "\n"
         "Builds the index pages that the configuration file CONFIG.ini describes,\n"
         "without any window. A name without a folder is read from the program's folder.\n"
         "Exit status: 0 built, 1 the build failed, 2 the configuration file could not be read.\n";
}

}  // namespace vellora
