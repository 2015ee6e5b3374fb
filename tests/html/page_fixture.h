// A real folder in the temporary folder, settings with the configuration
// file's defaults, and a builder to write its page with.
#ifndef VELLORA_TESTS_HTML_PAGE_FIXTURE_H_
#define VELLORA_TESTS_HTML_PAGE_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "settings/build_settings.h"
#include "platform/env.h"
#include "html/page_writer.h"
#include "scan/scan_test_env.h"
#include "support/temp_folder.h"

namespace vellora {
namespace pagetest {

// The default words of the configuration file, without trailing blanks.
CDefaultWords DefaultWords();

// The lines joined, each followed by CR LF.
std::string Lines(std::initializer_list<const char*> lines);

// Sets the last-write time of a file to a local time.
void SetLocalWriteTime(const std::string& path, int year, int month, int day, int hour, int minute);

// The real system with a clock that can be fixed, and listings whose items
// can be changed (to sizes and times that no test disk holds).
class ClockEnv : public scantest::ForwardingEnv {
 public:
  FileTime now = 0;  // 0: the real clock
  std::function<void(FolderItem*)> change_item;  // applied to every listed item when set
  FileTime Now() override { return now != 0 ? now : ForwardingEnv::Now(); }
  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    if (!change_item) return ForwardingEnv::ListFolder(folder, pattern, visit);
    return ForwardingEnv::ListFolder(folder, pattern, [&](const FolderItem& item) {
      FolderItem changed = item;
      change_item(&changed);
      visit(changed);
    });
  }
};

class PageTest : public ::testing::Test {
 protected:
  PageTest();
  ~PageTest() override;

  // Creates a file of `size` bytes (sparse, when large) in the listed folder.
  std::string File(const std::string& relative, uint64_t size = 0);
  // Creates a folder below the listed folder.
  std::string Folder(const std::string& relative);

  // Writes the page of the listed folder (or `folder`); returns write_page's
  // result and reads the page into `page`.
  int Write();
  int WriteFolder(const std::string& folder);

  // Settings for one page that lists the whole branch, folders first with
  // headings; the page itself and the folder table are left out.
  void GroupedBranch();

  // The page from its line that starts with `first` to the end of its line
  // that starts with `last` (both included); "<none>" when not found.
  std::string Slice(const std::string& first, const std::string& last) const;

  TempFolder temp;
  std::string root;  // the listed folder
  CDefaultWords words;
  CBuildSettings settings;
  std::unique_ptr<ClockEnv> env;
  std::unique_ptr<CPageWriter> builder;
  std::string page;

 private:
  std::string saved_tz_;
  bool had_tz_ = false;
};

// Checks that the page writer's in-place name appenders give the bytes of
// the escaping helpers for every name, under every flag combination.
void ExpectAppendersMatchHelpers(const std::vector<std::string>& names);

}  // namespace pagetest
}  // namespace vellora

#endif  // VELLORA_TESTS_HTML_PAGE_FIXTURE_H_
