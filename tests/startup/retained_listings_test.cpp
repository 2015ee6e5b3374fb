// Which listings are kept between builds of watch mode, and when they are
// read again.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/forwarding_env.h"
#include "startup/retained_listings.h"

namespace vellora {
namespace {

// Folders with scripted items; counts the listings asked of it.
class ScriptedFolders : public CForwardingEnv {
 public:
  ScriptedFolders() : CForwardingEnv(Env::Default()) {}
  bool ListFolder(const std::string& folder, const std::string&,
                  const std::function<void(const FolderItem&)>& visit) override {
    ++reads[folder];
    const auto it = items.find(folder);
    if (it == items.end()) return false;
    for (const FolderItem& item : it->second) visit(item);
    return true;
  }
  bool ListSubfolders(const std::string& folder,
                      const std::function<void(const FolderItem&)>& visit) override {
    return ListFolder(folder, "*.*", [&](const FolderItem& item) {
      if (item.is_folder) visit(item);
    });
  }
  std::map<std::string, std::vector<FolderItem>> items;
  std::map<std::string, int> reads;
};

FolderItem File(const std::string& name, bool is_link = false) {
  FolderItem item;
  item.name = name;
  item.is_link = is_link;
  return item;
}

FolderItem Folder(const std::string& name) {
  FolderItem item = File(name);
  item.is_folder = true;
  return item;
}

std::vector<std::string> Names(Env* env, const std::string& folder, bool subfolders = false) {
  std::vector<std::string> names;
  const auto take = [&](const FolderItem& item) { names.push_back(item.name); };
  if (subfolders) {
    env->ListSubfolders(folder, take);
  } else {
    env->ListFolder(folder, "*.*", take);
  }
  return names;
}

TEST(RetainedListingsTest, KeepsWholeListingsOfRetainedFoldersUntilForgotten) {
  ScriptedFolders system;
  const std::string sep(1, kSeparator);
  const std::string top = sep + "t", a = top + sep + "a", b = a + sep + "b";
  const std::string linked = top + sep + "l", other = top + sep + "o";
  system.items[top] = {File("x"), Folder("a")};
  system.items[a] = {File("y"), Folder("b")};
  system.items[b] = {File("z")};
  system.items[linked] = {File("to", true)};
  system.items[other] = {File("w")};
  CRetainedListings listings(&system);
  for (const std::string& f : {top, a, b, linked}) listings.Retain(f);

  // Twice each; the subfolders of a kept listing come from it.
  for (int round = 0; round < 2; ++round) {
    for (const std::string& f : {top, a, b, linked, other}) Names(&listings, f);
    EXPECT_EQ((std::vector<std::string>{"a"}), Names(&listings, top, true));
  }
  const std::map<std::string, int> once = {{top, 1}, {a, 1}, {b, 1}, {linked, 2}, {other, 2}};
  EXPECT_EQ(once, system.reads) << "a link's folder and one never retained are read each time";

  // Other patterns always reach the system; so do failed listings.
  listings.ListFolder(top, "*.txt", [](const FolderItem&) {});
  listings.Retain(top + sep + "gone");
  Names(&listings, top + sep + "gone");
  Names(&listings, top + sep + "gone");
  EXPECT_EQ(2, system.reads[top]);
  EXPECT_EQ(2, system.reads[top + sep + "gone"]);

  // A change in a folder reads it again; a branch that went is read again
  // and no longer kept until retained anew.
  system.items[a].push_back(File("new"));
  listings.ForgetFolder(a + sep);  // either spelling
  EXPECT_EQ((std::vector<std::string>{"y", "b", "new"}), Names(&listings, a));
  listings.ForgetBranch(a);
  for (int i = 0; i < 2; ++i) Names(&listings, b);
  EXPECT_EQ(3, system.reads[b]);
  EXPECT_EQ(2, system.reads[a]);
  Names(&listings, top);
  EXPECT_EQ(2, system.reads[top]) << "the folder above stays kept";
  listings.ForgetAll();
  Names(&listings, top);
  Names(&listings, top);
  EXPECT_EQ(3, system.reads[top]) << "still retained after everything was forgotten";
}

TEST(RetainedListingsTest, KeepsNoMoreItemsThanItsBound) {
  ScriptedFolders system;
  system.items["/p"] = {File("1"), File("2")};
  system.items["/q"] = {File("3"), File("4"), File("5")};
  CRetainedListings listings(&system, 4);
  listings.Retain("/p");
  listings.Retain("/q");
  for (int i = 0; i < 2; ++i) {
    Names(&listings, "/p");
    Names(&listings, "/q");
  }
  EXPECT_EQ(1, system.reads["/p"]);
  EXPECT_EQ(2, system.reads["/q"]);
}

}  // namespace
}  // namespace vellora
