// Names with every troublesome character: each link of the page, decoded as
// a browser decodes it, leads to its own file and shows its own name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "html/page_fixture.h"

namespace vellora {
namespace pagetest {
namespace {

// Names split at '|'.
std::vector<std::string> Split(const std::string& names) {
  std::vector<std::string> out(1);
  for (char c : names) {
    if (c == '|') {
      out.emplace_back();
    } else {
      out.back().push_back(c);
    }
  }
  return out;
}

#ifdef _WIN32
const std::vector<std::string> kNames = Split(
    "a b.txt|a&b.txt|x (1).txt|hash#1.txt|100%.txt|%20lit.txt|apo's.txt|semi;colon=eq+plus.txt|"
    "&amp;.txt|INSERT_FOLDER_ANCHORS.txt|%%FILEa%.txt|中文 名.txt");
const std::vector<std::string> kFolders = Split("d&r|d (1)|d#%|中 文");
#else
const std::vector<std::string> kNames = Split(
    "a b.txt|a&b.txt|x (1).txt|q\"uote.txt|<script>.txt|gt>.txt|hash#1.txt|what?.txt|100%.txt|"
    "%20lit.txt|back\\slash.txt|ctl\x01.txt|tab\t.txt|apo's.txt|semi;colon=eq+plus.txt|"
    "&amp;.txt|INSERT_FOLDER_ANCHORS.txt|%%FILEa%.txt|中文 名.txt");
const std::vector<std::string> kFolders = Split("d&r|d <x>|d\"q|d#?%|d (1)|d\\b|中 文");
#endif

// Character references and %XX escapes, decoded as a browser does.
std::string Decode(const std::string& s, bool percent) {
  static const char* const kRefs[][2] = {{"&amp;", "&"},   {"&lt;", "<"},  {"&gt;", ">"},
                                         {"&quot;", "\""}, {"&#40;", "("}, {"&#41;", ")"}};
  std::string html;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto* ref = std::find_if(std::begin(kRefs), std::end(kRefs), [&](const auto& r) {
      return s.compare(i, std::strlen(r[0]), r[0]) == 0;
    });
    if (ref == std::end(kRefs)) {
      html.push_back(s[i]);
    } else {
      html += (*ref)[1];
      i += std::strlen((*ref)[0]) - 1;
    }
  }
  if (!percent) return html;
  std::string out;
  for (size_t i = 0; i < html.size(); ++i) {
    if (html[i] == '%' && i + 2 < html.size() &&
        std::isxdigit(static_cast<unsigned char>(html[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(html[i + 2]))) {
      out.push_back(static_cast<char>(std::stoi(html.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(html[i]);
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
      links[Decode((*m)[1].str(), true)] = Decode((*m)[2].str(), false);
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
  GroupedBranch();
  std::map<std::string, std::string> expected;
  for (const std::string& folder : kFolders) {
    for (const std::string& name : {kNames[0], kNames[1], kNames.back()}) {
      File(folder + "/" + name);
      expected[folder + "/" + name] = name;
    }
  }
  ASSERT_EQ(Write(), 1);
  // Every in-page link, decoded as a URL fragment, finds its anchor's id
  // (an attribute text), with the folder's name as text.
  static const std::regex kId("<a id=\"([^\"]*)\"");
  std::set<std::string> ids;
  for (std::sregex_iterator m(page.begin(), page.end(), kId), none; m != none; ++m) {
    ids.insert(Decode((*m)[1].str(), false));
  }
  static const std::regex kInPage("href=\"#([^\"]*)\"");
  for (std::sregex_iterator m(page.begin(), page.end(), kInPage), none; m != none; ++m) {
    EXPECT_EQ(ids.count(Decode((*m)[1].str(), true)), 1u) << (*m)[1];
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
