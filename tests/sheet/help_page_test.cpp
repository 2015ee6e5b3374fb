// The help page shipped beside the program: its table of configuration keys
// names exactly the keys the program writes (and the one it only reads).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/env.h"
#include "settings/main_sheet.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

// The help page of the source tree this test was built from.
std::string HelpPagePath() {
  std::string here = __FILE__;
  size_t tests = here.rfind("tests");
  std::string path = here.substr(0, tests == std::string::npos ? 0 : tests) + "help/vellora_help.html";
#ifdef _WIN32
  // Cross-built tests run under Wine, which shows the build machine's root as Z:.
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (!path.empty() && path[0] == '\\') path = "Z:" + path;
#endif
  return path;
}

// The keys of a configuration file written with every value at its default.
std::set<std::string> WrittenKeys() {
  TempFolder folder;
  CMainSheet sheet(Env::Default());
  const std::string file = folder.Path("all.ini");
  EXPECT_TRUE(sheet.WriteConfiguration(file));
  std::set<std::string> keys;
  const std::string text = ReadFileForTest(file);
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    const size_t equals = line.find('=');
    if (equals != std::string::npos && line[0] != ';' && line[0] != '[') keys.insert(line.substr(0, equals));
    at = end + 1;
  }
  return keys;
}

// The keys in the first cell of each row of the page's key table.
std::set<std::string> DocumentedKeys(const std::string& page) {
  std::set<std::string> keys;
  const size_t table = page.find("<table id=\"config-keys\">");
  const size_t end = page.find("</table>", table);
  if (table == std::string::npos || end == std::string::npos) return keys;
  const std::string row = "<tr><td><code>";
  for (size_t at = page.find(row, table); at < end; at = page.find(row, at + 1)) {
    const size_t name = at + row.size();
    keys.insert(page.substr(name, page.find("</code>", name) - name));
  }
  return keys;
}

TEST(HelpPageTest, DocumentsEveryConfigurationKey) {
  const std::string page = ReadFileForTest(HelpPagePath());
#ifdef _WIN32
  if (page == "<missing>") GTEST_SKIP() << "the source tree cannot be reached";
#endif
  ASSERT_NE(page, "<missing>") << HelpPagePath();
  EXPECT_NE(page.find("<meta charset=\"utf-8\"/>"), std::string::npos);

  std::set<std::string> read = WrittenKeys();
  ASSERT_GT(read.size(), 50u);
  read.insert("recursive_build_single_file");  // read, never written
  const std::set<std::string> documented = DocumentedKeys(page);
  for (const std::string& key : read) {
    EXPECT_TRUE(documented.count(key)) << key << " is missing from the help page's key table";
  }
  for (const std::string& key : documented) {
    EXPECT_TRUE(read.count(key)) << key << " in the help page's key table is no key of the program";
  }
}

}  // namespace
}  // namespace vellora
