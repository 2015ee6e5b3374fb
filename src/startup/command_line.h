// The command line of the program: how its text is taken from the platform
// and which few words are options rather than a configuration file name.
#ifndef VELLORA_APP_COMMANDS_COMMAND_LINE_H_
#define VELLORA_APP_COMMANDS_COMMAND_LINE_H_

#include <string>

namespace vellora {

// POSIX: the arguments after the program name joined by single blanks (the
// shell has already removed quotes, so "my settings.ini" and my settings.ini
// give the same text).
std::string JoinArguments(int argc, const char* const* argv);

// Windows: the text after the program name of a full command line, as the
// platform hands it to a windowed program: a quoted program name ends at its
// closing quote, an unquoted one at the first blank or tab; the blanks and
// tabs that follow are skipped.
std::string CommandLineTail(const std::string& full_command_line);

// `text` without one pair of enclosing double quotes; unchanged otherwise.
std::string StripEnclosingQuotes(const std::string& text);

enum class CommandLineAction {
  kUsage,    // nothing given: print the usage text, exit status 2
  kHelp,     // "-h" or "--help": usage text on standard output, status 0
  kVersion,  // "--version"
  kCheck,    // "--check CONFIG": check the pages of a configuration's build
  kWatch,    // "--watch CONFIG": build, then keep the pages current
  kBatch,    // anything else names a configuration file
};

// What the command line asks for. Only the whole text counts as an option,
// but for "--check" and "--watch" followed by blanks and a configuration name.
CommandLineAction ClassifyCommandLine(const std::string& command_line);

// The configuration name of a "--check" command line: the text after
// "--check" and its blanks (on Windows without one pair of enclosing quotes).
std::string CheckConfigName(const std::string& command_line);
// The same for a "--watch" command line.
std::string WatchConfigName(const std::string& command_line);

// The usage text, ending with a line break.
const char* UsageText();

}  // namespace vellora

#endif  // VELLORA_APP_COMMANDS_COMMAND_LINE_H_
