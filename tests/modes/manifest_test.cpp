// The manifest beside each page: every build mode, checksums (parallel,
// unreadable files, links out of the tree), cancel, and no file when off.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "settings/build_settings.h"
#include "html/manifest.h"
#include "modes/index_builder.h"
#include "modes/modes_test_env.h"
#include "platform/sha256.h"
#include "support/json_check.h"
#include "support/progress_view.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Reads files through the real system, except those it is told to refuse;
// may run a function when a file is first read.
class ManifestEnv : public ModesTestEnv {
 public:
  std::set<std::string> refused;
  std::function<void()> on_read;
  bool ReadInBlocks(const std::string& path, size_t block_size,
                    const std::function<bool(std::string_view)>& consume) override {
    if (on_read) on_read();
    if (refused.count(path) != 0) return false;
    return ModesTestEnv::ReadInBlocks(path, block_size, consume);
  }
};

class ManifestTest : public ::testing::Test {
 protected:
  // web/{x.txt, a/{y.txt, a1/z.txt}, b/w.txt}
  void SetUp() override {
    tmp_.WriteFile("web/x.txt", "x");
    tmp_.WriteFile("web/a/y.txt", "yy");
    tmp_.WriteFile("web/a/a1/z.txt", "zzz");
    tmp_.WriteFile("web/b/w.txt", "w");
    web_ = tmp_.Path("web");
    PlainSettings(&s_, &words_, web_);
    s_.include_subfolders = 1;
    s_.supress_parent_link = 0;
    s_.manifest = "json";
  }

  // Every page written has a valid manifest beside it (the frameset, which
  // lists nothing, has none); returns the manifests by page.
  std::map<std::string, std::string> Manifests(const std::string& frameset = "") {
    std::map<std::string, std::string> manifests;
    for (const std::string& path : env_.writes) {
      if (EndsWith(path, kManifestSuffix)) continue;
      const auto found = env_.pages.find(path + kManifestSuffix);
      if (path == frameset) {
        EXPECT_TRUE(found == env_.pages.end()) << path;
        continue;
      }
      if (found == env_.pages.end()) {
        ADD_FAILURE() << "no manifest beside " << path;
        continue;
      }
      EXPECT_TRUE(JsonCheck::Valid(found->second)) << found->second;
      manifests[path] = found->second;
    }
    return manifests;
  }

  std::string At(const std::string& relative) const { return tmp_.Path(relative); }

  TempFolder tmp_;
  std::string web_;
  CDefaultWords words_;
  CBuildSettings s_;
  ManifestEnv env_;
};

TEST_F(ManifestTest, SitsBesideEveryPageOfEveryMode) {
  struct Mode {
    const char* name;
    std::function<void(CBuildSettings*)> set;
    std::vector<std::pair<std::string, std::vector<std::string>>> expected;  // page, parts
  };
  const std::vector<Mode> modes = {
      {"one page", [](CBuildSettings*) {},
       {{"web/index.html",
         {"\"folder\":\"\"", "{\"name\":\"a\",\"link\":\"a/\",\"is_folder\":true,\"modified\":\"",
          "{\"name\":\"x.txt\",\"link\":\"x.txt\",\"is_folder\":false,\"size\":1,"}}}},
      {"branch in one page",
       [](CBuildSettings* s) { s->recursive_build = 1; },
       {{"web/index.html",
         {"{\"name\":\"z.txt\",\"folder\":\"a/a1\",\"link\":\"a/a1/z.txt\",\"is_folder\":false,"
          "\"size\":3,",
          "{\"name\":\"x.txt\",\"folder\":\"\",\"link\":\"x.txt\","}}}},
      {"per folder",
       [](CBuildSettings* s) {
         s->recursive_build = 1;
         s->multi_recurse_link = 1;
       },
       {{"web/index.html", {"\"link\":\"a/index.html\"", "\"link\":\"b/index.html\""}},
        {"web/a/index.html",
         {"\"folder\":\"a\"", "{\"name\":\"..\",\"link\":\"../index.html\",\"is_folder\":true",
          "\"link\":\"a1/index.html\"", "\"link\":\"y.txt\",\"is_folder\":false,\"size\":2,"}},
        {"web/a/a1/index.html", {"\"folder\":\"a/a1\"", "\"link\":\"z.txt\""}},
        {"web/b/index.html", {"\"link\":\"w.txt\""}}}},
  };
  for (const Mode& mode : modes) {
    SCOPED_TRACE(mode.name);
    s_.recursive_build = 0;
    s_.multi_recurse_link = 0;
    s_.skip_files = "index.html;*.json";
    mode.set(&s_);
    ManifestEnv env;
    CIndexBuilder b(&s_, &env);
    ASSERT_GE(b.Build(nullptr), 1);
    env_.writes = env.writes;
    env_.pages = env.pages;
    const auto manifests = Manifests();
    EXPECT_EQ(mode.expected.size(), manifests.size());
    for (const auto& [page, parts] : mode.expected) {
      const auto found = manifests.find(At(page));
      ASSERT_TRUE(found != manifests.end()) << page;
      for (const std::string& part : parts) EXPECT_TRUE(Has(found->second, part)) << part;
    }
    for (const auto& [page, manifest] : manifests) {
      EXPECT_TRUE(Has(manifest, "{\"format\":\"vellora-manifest\",\"version\":1,"));
      EXPECT_TRUE(Has(manifest, "\"checksums\":false")) << page;
      EXPECT_FALSE(Has(manifest, "sha256")) << page;
    }
  }
}

TEST_F(ManifestTest, FramedSiteListsTheLeftPageAndEveryRightPage) {
  const std::string frameset = tmp_.WriteFile(
      "tpl/frameset.txt", "<frameset><frame src=\"left.htm\"><frame src=\"right.htm\"></frameset>");
  const std::string left = tmp_.WriteFile("tpl/left.txt", "/START\r\nL\r\n");
  const std::string right = tmp_.WriteFile("tpl/right.txt", "/START\r\nR\r\n");
  s_.recursive_build = 1;
  s_.multi_recurse_link = 1;
  CIndexBuilder b(&s_, &env_);
  b.FramedSiteBuild(nullptr, frameset, left, right);
  auto manifests = Manifests(At("web/index.html"));
  EXPECT_EQ(5u, manifests.size());  // the left page and four right pages
  EXPECT_TRUE(Has(manifests[At("web/left.htm")], "\"link\":\"a/right.htm\""));
  EXPECT_FALSE(Has(manifests[At("web/left.htm")], "x.txt"));
  EXPECT_TRUE(Has(manifests[At("web/right.htm")], "\"link\":\"x.txt\""));
  EXPECT_TRUE(Has(manifests[At("web/a/a1/right.htm")], "\"link\":\"z.txt\""));
}

TEST_F(ManifestTest, ChecksumsComeFromEachFileOrSayWhyNot) {
  s_.manifest_checksums = 1;
  s_.non_functional_links = 1;
  const std::string secret = tmp_.WriteFile("secret.txt", "outside");
  tmp_.WriteFile("web/locked.txt", "locked");
  env_.refused.insert(At("web/locked.txt"));
#ifndef _WIN32
  std::filesystem::create_symlink(secret, At("web/out.txt"));
  std::filesystem::create_symlink(At("web/x.txt"), At("web/in.txt"));
#endif
  CIndexBuilder b(&s_, &env_);
  ASSERT_EQ(1, b.Build(nullptr));
  std::string m = Manifests()[At("web/index.html")];
  EXPECT_TRUE(Has(m, "\"checksums\":true"));
  EXPECT_TRUE(Has(m, "\"name\":\"x.txt\",\"link\":null,\"is_folder\":false,\"size\":1,"));
  EXPECT_TRUE(Has(m, "\"sha256\":\"" + Sha256Hex("x") + "\"}"));
  EXPECT_TRUE(Has(m, "\"unreadable\":true}"));
  EXPECT_FALSE(Has(m, Sha256Hex("locked")));
#ifndef _WIN32
  EXPECT_TRUE(Has(m, "\"outside\":true}"));
  EXPECT_FALSE(Has(m, Sha256Hex("outside")));
  EXPECT_TRUE(Has(m, "{\"name\":\"in.txt\",\"link\":null,\"is_folder\":false,\"size\":1,"));
#endif
  // Folders carry no checksum.
  EXPECT_TRUE(Has(m, "\"is_folder\":true,\"modified\":\"")) << m;
}

TEST_F(ManifestTest, ParallelDigestsLandOnTheirOwnEntries) {
  std::vector<ManifestEntry> entries(60);
  for (size_t i = 0; i < entries.size(); ++i) {
    entries[i].name = "f" + std::to_string(i);
    entries[i].path = tmp_.WriteFile("many/" + entries[i].name, std::string(i * 3000, char('a' + i % 26)));
  }
  entries[7].is_folder = true;
  ASSERT_TRUE(HashFiles(&env_, &entries, nullptr, nullptr, kMaxHashThreads));
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i == 7) {
      EXPECT_EQ(ManifestEntry::Hash::kNone, entries[i].hash);
      continue;
    }
    EXPECT_EQ(Sha256Hex(std::string(i * 3000, char('a' + i % 26))), entries[i].sha256) << i;
  }
}

TEST_F(ManifestTest, CancelWhileReadingLeavesPageAndManifestUnwritten) {
  s_.recursive_build = 1;
  s_.multi_recurse_link = 1;
  s_.manifest_checksums = 1;
  CBuildProgress progress;
  std::atomic<int> reads{0};
  env_.on_read = [&] {
    if (++reads == 1) progress.cancel = 1;
  };
  CIndexBuilder b(&s_, &env_);
  EXPECT_EQ(0, b.Build(&progress));
  EXPECT_TRUE(env_.writes.empty());
  EXPECT_TRUE(b.failed_pages.empty());
}

TEST_F(ManifestTest, NoFileUnlessTheOptionSaysJson) {
  for (const char* option : {"", "JSON", "xml", "json "}) {
    s_.manifest = option;
    s_.manifest_checksums = 1;
    ModesTestEnv env;
    CIndexBuilder b(&s_, &env);
    ASSERT_EQ(1, b.Build(nullptr));
    EXPECT_EQ(std::vector<std::string>{At("web/index.html")}, env.writes) << option;
  }
}

}  // namespace
}  // namespace vellora
