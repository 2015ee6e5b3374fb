// Pages saved on worker threads: what came of each save is told in the
// order the pages were given, a manifest is written only after its page.
#include "html/page_saver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace vellora {
namespace {

TEST(PageSaverTest, SavesAreToldInTheOrderGiven) {
  for (const int threads : {0, 1, 3}) {
    SCOPED_TRACE(threads);
    TempFolder tmp;
    std::filesystem::create_directory(tmp.Path("taken.html"));  // no page can go there
    const std::string missing = tmp.Path("missing/p.html");
    std::vector<std::string> handed;
    CPageSaver saver(Env::Default(), threads,
                     [&handed](const std::string& path) { handed.push_back(path); });
    std::vector<CPageSaver::Page> pages;
    for (int i = 0; i < 40; ++i) {
      const std::string name = "p" + std::to_string(i) + ".html";
      pages.push_back({tmp.Path(name), "page " + std::to_string(i), "", ""});
    }
    pages[3].path = tmp.Path("taken.html");
    pages[3].manifest_path = tmp.Path("never.json");  // its page failed
    pages[5].manifest_path = tmp.Path("p5.html.json");
    pages[5].manifest_text = "{}";
    pages[7].manifest_path = missing;  // written page, manifest fails
    std::vector<std::string> given;
    for (CPageSaver::Page& page : pages) {
      given.push_back(page.path);
      saver.Save(page);
    }
    EXPECT_EQ(handed, given);
    const std::vector<CPageSaver::Saved> saved = saver.Finish();
    ASSERT_EQ(saved.size(), pages.size());
    for (size_t i = 0; i < saved.size(); ++i) {
      EXPECT_EQ(saved[i].path, pages[i].path);
      EXPECT_EQ(saved[i].written, i != 3) << i;
      EXPECT_EQ(saved[i].manifest_written, i == 5) << i;
      if (i != 3) {
        EXPECT_EQ(ReadFileForTest(pages[i].path), pages[i].text);
      }
    }
    EXPECT_EQ(ReadFileForTest(tmp.Path("p5.html.json")), "{}");
    EXPECT_FALSE(std::filesystem::exists(tmp.Path("never.json")));
    EXPECT_TRUE(saver.Finish().empty());

    // Too few pages to wake a saver: Finish has them saved.
    saver.Save({tmp.Path("last.html"), "last", "", ""});
    const std::vector<CPageSaver::Saved> last = saver.Finish();
    ASSERT_EQ(last.size(), 1u);
    EXPECT_TRUE(last[0].written);
    EXPECT_EQ(ReadFileForTest(tmp.Path("last.html")), "last");
  }
}

}  // namespace
}  // namespace vellora
