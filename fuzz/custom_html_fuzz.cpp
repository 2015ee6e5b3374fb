// Loads arbitrary bytes as a custom HTML file and expands "%%FILE" tokens of
// arbitrary section text against in-memory files (one of them including
// itself), checking the loader's and the expansion's invariants.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../tests/custom/memory_env.h"
#include "custom/custom_html.h"
#include "custom/text_file.h"

namespace {

void Fail(int line) {
  std::fprintf(stderr, "check failed at line %d\n", line);
  std::abort();
}

}  // namespace

#define Check(ok) ((ok) ? (void)0 : Fail(__LINE__))

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellora;
  const std::string input(reinterpret_cast<const char*>(data), size);
  MemoryEnv env;
  const std::string sep(1, kSeparator);
  const std::string folder = sep + "data";
  env.files[env.ProgramFolder() + "custom.txt"] = input;

  CCustomHtml html;
  html.Load("custom.txt", &env);
  for (int s : {kFolderHrefAppend, kFileHrefAppend}) {
    Check(html.section(s).empty() || html.section(s)[0] == ' ');
  }
  for (int s : {kFolderFileLink, kFolderPrefix}) {
    Check(html.section(s).find('\n') == std::string::npos);
  }
  size_t total = 0;
  for (int s = 0; s < kSectionCount; ++s) total += html.section(s).size();
  Check(total <= 2 * input.size() + 4);

  // Loading again gives the same sections.
  CCustomHtml again;
  again.Load("custom.txt", &env);
  for (int s = 0; s < kSectionCount; ++s) Check(again.section(s) == html.section(s));

  // The input split in two: included files and a section naming them.
  const size_t half = size / 2;
  env.files[folder + sep + "a"] = input.substr(0, half);
  env.files[env.ProgramFolder() + "b"] = input.substr(half);
  env.files[folder + sep + "self"] = input.substr(half) + "%%FILEself%";
  for (const std::string& section :
       {input, "%%FILEa%" + input + "%%FILEb%", input + "%%FILEself%"}) {
    // A small size limit keeps runs fast; the bound is what is checked.
    const size_t limit = size_t{1} << 16;
    std::string copy = section;
    ExpandIncludes(&copy, IncludeScope{folder, folder}, &env, nullptr, limit);
    Check(copy.size() <= limit || copy.size() <= section.size());
  }

  // Text of a file of the tree reads no file outside the tree, whatever it
  // names: neither one of the program's folder nor one named by a full path
  // or through "..".
  env.files[folder + sep + "t"] = input;
  env.reads.clear();
  std::string copy = "%%FILEt%";
  ExpandIncludes(&copy, IncludeScope{folder, folder}, &env, nullptr, size_t{1} << 16);
  for (const std::string& path : env.reads) {
    Check(path.compare(0, folder.size() + 1, folder + sep) == 0);
    Check((path + sep).find(sep + ".." + sep) == std::string::npos);
  }
  return 0;
}
