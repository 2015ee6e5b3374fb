// vellora: writes HTML index pages for folders.
#include <cstdio>
#include <cstring>

namespace {

const char kVersion[] = "vellora v4.6";

void PrintUsage(FILE* out) {
  std::fprintf(out,
               "usage: vellora CONFIG.ini\n"
               "       vellora --help | --version\n"
               "\n"
               "Builds the index pages that the configuration file CONFIG.ini describes,\n"
               "without any window. A name without a folder is read from the program's folder.\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s\n", kVersion);
    return 0;
  }
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(stdout);
    return 0;
  }
  PrintUsage(stderr);
  return 2;
}
