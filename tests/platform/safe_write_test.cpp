#include "platform/safe_write.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace vellora {
namespace {

// A target held in strings, whose steps can be made to fail.
struct FakeFiles {
  bool has_old = true;
  std::string target = "<html>old page</html>";
  std::string temp;
  bool temp_exists = false;
  bool temp_made = false;
  size_t read_at = 0;
  int writes_before_failure = -1;  // -1: writes never fail
  bool old_changed = false;
  bool rename_fails = false;
};

class FakeTarget : public CReplaceTarget {
 public:
  explicit FakeTarget(FakeFiles* f) : f_(*f) {}
  bool Open(const std::string&) override { return true; }
  bool failed() const override { return false; }
  int64_t ReadOld(char* buffer, size_t size) override {
    const size_t n = std::min(size, f_.target.size() - f_.read_at);
    std::memcpy(buffer, f_.target.data() + f_.read_at, n);
    f_.read_at += n;
    return static_cast<int64_t>(n);
  }
  bool RewindOld() override { return f_.read_at = 0, true; }
  bool OldUnchanged() override { return !f_.old_changed; }
  void CloseOld() override {}
  bool CreateTemp() override { return f_.temp_exists = f_.temp_made = true; }
  bool WriteTemp(std::string_view text) override {
    if (f_.writes_before_failure == 0) return false;
    if (f_.writes_before_failure > 0) --f_.writes_before_failure;
    f_.temp.append(text);
    return true;
  }
  bool PutTempInPlace() override {
    if (f_.rename_fails) return false;
    f_.target = f_.temp;
    f_.temp_exists = false;
    return true;
  }
  void RemoveTemp() override { f_.temp_exists = false; }

 private:
  FakeFiles& f_;
};

// The text is compared with the old file as it comes; a temporary file is
// made only once it differs, holds exactly the new text, and never stays.
TEST(ReplacingWriteTest, WritesOnlyWhatChangedAndLeavesNoTemporaryFile) {
  const std::string old_page = "<html>old page</html>";
  struct Case {
    const char* what;
    std::vector<std::string> appends;
    void (*setup)(FakeFiles*);
    bool commit;
    bool ok;
    std::string target;  // afterwards
    bool temp_made;
  };
  const auto none = [](FakeFiles*) {};
  const std::vector<Case> cases = {
      {"unchanged", {"<html>", "old page", "</html>"}, none, true, true, old_page, false},
      {"changed in a later append", {"<html>old ", "PAGE</html>"}, none, true, true,
       "<html>old PAGE</html>", true},
      {"longer", {"<html>old page</html>", "!"}, none, true, true, old_page + "!", true},
      {"shorter", {"<html>old"}, none, true, true, "<html>old", true},
      {"no old file", {"new"}, [](FakeFiles* f) { f->has_old = false; }, true, true, "new",
       true},
      {"dropped", {"<html>new"}, none, false, false, old_page, true},
      {"write fails", {"<html>n", "ew", "</html>"},
       [](FakeFiles* f) { f->writes_before_failure = 2; }, true, false, old_page, true},
      {"old file changed meanwhile", {"<html>NEW"}, [](FakeFiles* f) { f->old_changed = true; },
       true, false, old_page, true},
      {"rename fails", {"x"}, [](FakeFiles* f) { f->rename_fails = true; }, true, false,
       old_page, true},
  };
  for (const Case& c : cases) {
    FakeFiles files;
    c.setup(&files);
    if (!files.has_old) files.target.clear();
    bool ok = false;
    {
      CReplacingWrite write(std::make_unique<FakeTarget>(&files), files.has_old);
      for (const std::string& text : c.appends) write.Append(text);
      if (c.commit) {
        ok = write.Commit();
        EXPECT_FALSE(write.Commit()) << c.what;  // only once
      }
    }
    EXPECT_EQ(ok, c.ok) << c.what;
    EXPECT_EQ(files.target, c.target) << c.what;
    EXPECT_EQ(files.temp_made, c.temp_made) << c.what;
    EXPECT_FALSE(files.temp_exists) << c.what;
  }
}

}  // namespace
}  // namespace vellora
