// Feeds bytes as a configuration file: to the INI document, to changes of
// it, and to the main sheet's reader and writer over an in-memory Env.
// Stops on a broken invariant as well as on a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "settings/ini_file.h"
#include "settings/main_sheet.h"
#include "custom/memory_env.h"
#include "platform/env.h"

namespace {

using vellora::CMainSheet;
using vellora::IniDocument;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
  }
}


const char* const kSections[] = {"VELLORA", "vellora", "OTHER", ""};
const char* const kKeys[] = {"title", "path", "new_key", "k"};

// Changes made to a document read the same as a fresh parse of its text.
void FuzzDocument(const std::string& bytes) {
  IniDocument doc(bytes);
  for (const char* s : kSections) {
    for (const char* k : kKeys) doc.Get(s, k, "default  ", 998);
  }
  doc.Set("VELLORA", "title", "changed");
  doc.Set("vellora", "new_key", " spaced value ");
  doc.Set("OTHER", "k", "");
  doc.Set("", "path", "p");
  IniDocument fresh(doc.Serialize());
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      Check(doc.Get(s, k, "-", 998) == fresh.Get(s, k, "-", 998),
            "changed document reads as its text");
      Check(doc.Get(s, k, "-", 7).size() <= 7, "values are cut");
    }
  }
  if (!doc.is_utf16()) Check(doc.Get("VELLORA", "title", "-", 998) == "changed", "value set");
}

void FuzzSheet(const std::string& bytes) {
  vellora::MemoryEnv env;
  const std::string folder = std::string(1, vellora::kSeparator) + "fuzz" + vellora::kSeparator;
  env.executable = folder + "vellora";
  env.files[folder + "vellora.ini"] = bytes;
  CMainSheet sheet(&env);
  sheet.ReadConfiguration("vellora.ini");
  const vellora::CBuildSettings& s = sheet.settings;
  Check(s.file_columns >= 1 && s.folder_columns >= 1, "columns at least 1");
  Check(!s.include_time || s.include_date, "time only with date");
  Check(s.sort_key >= 0 && s.sort_key <= 3 && s.sort_order >= 0 && s.sort_order <= 2, "sort code");
  Check(s.multi_recurse_title >= 0 && s.multi_recurse_title <= 2, "title mode");
  Check(!s.output_filename.empty() && !s.title.empty(), "output name and title");
  Check(s.path.size() <= 998 && s.skip_folders.size() <= 498, "cut lengths");

  // What is written reads back the same.
  const std::string out = folder + "out.ini";
  Check(sheet.WriteConfiguration(out), "write");
  CMainSheet again(&env);
  again.ReadConfiguration(out);
  const vellora::CBuildSettings& t = again.settings;
  // The lists show at most 20 columns, and what they show is written.
  auto shown = [](int32_t n) { return n < 1 ? 1 : n > 20 ? 20 : n; };
  Check(t.file_columns == shown(s.file_columns) && t.folder_columns == shown(s.folder_columns),
        "columns kept");
  Check(t.sort_key == s.sort_key && t.sort_order == s.sort_order, "sort kept");
  Check(t.multi_recurse_title == s.multi_recurse_title, "title mode kept");
  Check(t.include_time == s.include_time && t.recursive_build == s.recursive_build, "flags kept");
  Check(again.active_page == sheet.active_page, "active page kept");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FuzzDocument(bytes);
  FuzzSheet(bytes);
  return 0;
}
