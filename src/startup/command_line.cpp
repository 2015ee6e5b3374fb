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

namespace {

const char kCheckOption[] = "--check";
const char kWatchOption[] = "--watch";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// True when `command_line` is `option` alone or followed by blanks.
bool StartsWithOption(const std::string& command_line, const std::string& option) {
  return command_line.compare(0, option.size(), option) == 0 &&
         (command_line.size() == option.size() || IsBlank(command_line[option.size()]));
}

// The text after `option` and its blanks (on Windows without one pair of
// enclosing quotes); empty when the command line does not start with it.
std::string ConfigAfterOption(const std::string& command_line, const std::string& option) {
  if (command_line.compare(0, option.size(), option) != 0) return std::string();
  size_t at = option.size();
  while (at < command_line.size() && IsBlank(command_line[at])) ++at;
  const std::string name = command_line.substr(at);
#ifdef _WIN32
  return StripEnclosingQuotes(name);
#else
  return name;
#endif
}

}  // namespace

std::string CheckConfigName(const std::string& command_line) {
  return ConfigAfterOption(command_line, kCheckOption);
}

std::string WatchConfigName(const std::string& command_line) {
  return ConfigAfterOption(command_line, kWatchOption);
}

CommandLineAction ClassifyCommandLine(const std::string& command_line) {
  if (command_line.empty()) return CommandLineAction::kUsage;
  if (StartsWithOption(command_line, kCheckOption)) {
    return CheckConfigName(command_line).empty() ? CommandLineAction::kUsage
                                                 : CommandLineAction::kCheck;
  }
  if (StartsWithOption(command_line, kWatchOption)) {
    return WatchConfigName(command_line).empty() ? CommandLineAction::kUsage
                                                 : CommandLineAction::kWatch;
  }
  if (command_line == "-h" || command_line == "--help") return CommandLineAction::kHelp;
  if (command_line == "--version") return CommandLineAction::kVersion;
  return CommandLineAction::kBatch;
}

const char* UsageText() {
  return "usage: vellora CONFIG.ini\n"
         "       vellora --check CONFIG.ini\n"
         "       vellora --watch CONFIG.ini\n"
         "       vellora --help | --version\n"
         "\n"
         "Builds the index pages that the configuration file CONFIG.ini describes,\n"
         "without any window. A name without a folder is read from the program's folder.\n"
         "Exit status: 0 built, 1 the build failed, 2 the configuration file could not be read.\n"
         "\n"
         "--check reads the pages that CONFIG.ini builds, writes nothing, and lists\n"
         "their links to nothing, the files and folders no page links to and the\n"
         "missing pages. Exit status: 0 all well, 1 problems found, 2 as above.\n"
         "\n"
         "--watch builds, then keeps the pages current as the folders change, until\n"
         "it is stopped (Ctrl+C). Exit status: 0 stopped, 1 the folders cannot be\n"
         "watched, 2 as above.\n";
}

}  // namespace vellora
