// Names with every troublesome character: each link of the page, decoded as
// a browser decodes it, leads to its own file and shows its own name.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "html/page_fixture.h"

namespace vellora {
namespace pagetest {
namespace {

#ifdef _WIN32
const std::vector<std::string> kNames = {"a b.txt",      "a&b.txt",
                                         "x (1).txt",    "hash#1.txt",
                                         "100%.txt",     "%20lit.txt",
                                         "apo's.txt",    "semi;colon=eq+plus.txt",
                                         "&amp;.txt",    "INSERT_FOLDER_ANCHORS.txt",
                                         "%%FILEa%.txt", "中文 名.txt"};
const std::vector<std::string> kFolders = {"d&r", "d (1)", "d#%", "中 文"};
#else
const std::vector<std::string> kNames = {"a b.txt",
                                         "a&b.txt",
                                         "x (1).txt",
                                         "q\"uote.txt",
                                         "<script>.txt",
                                         "gt>.txt",
                                         "hash#1.txt",
                                         "what?.txt",
                                         "100%.txt",
                                         "%20lit.txt",
                                         "back\\slash.txt",
                                         "ctl\x01.txt",
                                         "tab\t.txt",
                                         "apo's.txt",
                                         "semi;colon=eq+plus.txt",
                                         "&amp;.txt",
                                         "INSERT_FOLDER_ANCHORS.txt",
                                         "%%FILEa%.txt",
                                         "中文 名.txt"};
const std::vector<std::string> kFolders = {"d&r",   "d <x>", "d\"q", "d#?%",
                                           "d (1)", "d\\b",  "中 文"};
#endif

// Character references, as in an attribute or a text.
std::string DecodeHtml(const std::string& s) {
  static const std::map<std::string, char> kRefs = {{"&amp;", '&'}, {"&lt;", '<'},
                                                    {"&gt;", '>'},  {"&quot;", '"'},
                                                    {"&#40;", '('}, {"&#41;", ')'}};
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    bool matched = false;
    for (const auto& ref : kRefs) {
      if (s.compare(i, ref.first.size(), ref.first) == 0) {
        out.push_back(ref.second);
        i += ref.first.size() - 1;
        matched = true;
        break;
      }
    }
    if (!matched) out.push_back(s[i]);
  }
  return out;
}

std::string DecodePercent(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() + 0 && isxdigit(static_cast<unsigned char>(s[i + 1])) &&
        isxdigit(static_cast<unsigned char>(s[i + 2]))) {
      out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

class PageLinksTest : public PageTest {
 protected:
  PageLinksTest() { settings.skip_files = "index.html"; }

  // Decoded link target -> decoded link text, over every link of the page.
  std::map<std::string, std::string> Links() const {
    static const std::regex kLink("<a href=\"([^\"]*)\"[^>]*>([^<]*)</a>");
    std::map<std::string, std::string> links;
    for (std::sregex_iterator m(page.begin(), page.end(), kLink), none; m != none; ++m) {
      links[DecodePercent(DecodeHtml((*m)[1].str()))] = DecodeHtml((*m)[2].str());
    }
    return links;
  }
};

TEST_F(PageLinksTest, EveryLinkLeadsToItsOwnFile) {
  std::map<std::string, std::string> expected = {{"../", "{parent folder}"}};
  for (const std::string& name : kNames) {
    File(name);
    expected[name] = name;
  }
  for (const std::string& name : kFolders) {
    Folder(name);
    expected[name + "/"] = name;
  }
  for (int href20 = 0; href20 < 2; ++href20) {
    settings.href20 = href20;
    ASSERT_EQ(Write(), 1);
    EXPECT_EQ(Links(), expected) << page;
    EXPECT_EQ(page.find("<script"), std::string::npos);
  }
}

TEST_F(PageLinksTest, BranchPageWithHeadings) {
  settings.include_subfolders = 0;
  settings.recursive_build = 1;
  settings.multi_recurse_link = 0;
  settings.sort_folders_first = 1;
  settings.show_folder_names = 1;
  builder->recurse_scan = 1;
  std::map<std::string, std::string> expected;
  for (const std::string& folder : kFolders) {
    for (const std::string& name : {kNames[0], kNames[1], kNames.back()}) {
      File(folder + "/" + name);
      expected[folder + "/" + name] = name;
    }
  }
  ASSERT_EQ(Write(), 1);
  // Every in-page link has its anchor, with the folder's name as text.
  static const std::regex kInPage("href=\"#([^\"]*)\"");
  for (std::sregex_iterator m(page.begin(), page.end(), kInPage), none; m != none; ++m) {
    EXPECT_NE(page.find("<a id=\"" + (*m)[1].str() + "\""), std::string::npos) << (*m)[1];
  }
  std::map<std::string, std::string> links = Links();
  std::set<std::string> anchor_texts;
  for (auto it = links.begin(); it != links.end();) {
    if (it->first[0] != '#') {
      ++it;
      continue;
    }
    anchor_texts.insert(it->second);
    it = links.erase(it);
  }
  EXPECT_EQ(links, expected);
  EXPECT_EQ(anchor_texts, std::set<std::string>(kFolders.begin(), kFolders.end()));
}

}  // namespace
}  // namespace pagetest
}  // namespace vellora
