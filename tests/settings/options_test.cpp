#include "settings/options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace vellora {
namespace {

TEST(OptionsTest, EveryKeyOnceWithOnePlaceInTheWritersOrder) {
  std::set<std::string> keys;
  std::vector<int> positions;
  for (const COption& o : Options()) {
    // Keys match without regard to case in the file.
    std::string lower = o.key;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    EXPECT_TRUE(keys.insert(lower).second) << o.key;
    EXPECT_EQ(FindOption(o.key), &o);
    positions.push_back(o.write_position);
  }
  EXPECT_EQ(keys.count(kSingleFileKey), 0u);  // read, never written
  std::sort(positions.begin(), positions.end());
  for (size_t i = 0; i < positions.size(); ++i) EXPECT_EQ(positions[i], static_cast<int>(i));
  ASSERT_EQ(OptionsInWriteOrder().size(), Options().size());
  EXPECT_STREQ(OptionsInWriteOrder().front()->key, "multi_recurse_title");
  EXPECT_STREQ(OptionsInWriteOrder().back()->key, "manifest_checksums");
}

TEST(OptionsTest, EveryControlShowsOneOptionOfItsKind) {
  for (int i = 0; i < kControlCount; ++i) {
    const ControlId id = static_cast<ControlId>(i);
    const CControlInfo& info = ControlInfo(id);
    EXPECT_EQ(info.id, id) << i;
    const COption* shown = OptionShownBy(id);
    // All links in one file stands for both recursion flags being clear.
    if (id == ControlId::kAllInOneFile) {
      EXPECT_EQ(shown, nullptr);
      continue;
    }
    ASSERT_NE(shown, nullptr) << i;
    EXPECT_EQ(std::count_if(Options().begin(), Options().end(),
                            [id](const COption& o) { return o.control == id; }),
              1)
        << shown->key;
    switch (info.kind) {
      case ControlKind::kEditBox:
        EXPECT_TRUE(IsTextForm(shown->form)) << shown->key;
        break;
      case ControlKind::kList:
        EXPECT_EQ(shown->form, OptionForm::kColumns) << shown->key;
        break;
      default:
        EXPECT_FALSE(IsTextForm(shown->form) || shown->form == OptionForm::kColumns)
            << shown->key;
        break;
    }
  }
  // What a control shows is written from the control; the rest from the
  // stored values, but for the page now shown.
  for (const COption& o : Options()) {
    const bool stored = o.source == WriteSource::kStored;
    EXPECT_EQ(stored, o.control == ControlId::kNone && o.form != OptionForm::kPage) << o.key;
  }
}

TEST(OptionsTest, ControlsByIdKeepTheirKindsApart) {
  CControlValues c;
  c.SetChecked(ControlId::kFramedSite, true);
  EXPECT_EQ(c.recursion_mode, RecursionMode::kFramedSite);
  EXPECT_FALSE(c.Checked(ControlId::kOnePagePerFolder));
  c.SetChecked(ControlId::kFramedSite, false);  // one radio stays chosen
  EXPECT_TRUE(c.Checked(ControlId::kFramedSite));
  c.SetChecked(ControlId::kAllInOneFile, true);
  EXPECT_EQ(c.recursion_mode, RecursionMode::kAllInOneFile);

  c.SetText(ControlId::kHref20, "x");
  c.SetChecked(ControlId::kPath, true);
  c.SetSelection(ControlId::kTitle, 3);
  EXPECT_EQ(c.href20, 0);
  EXPECT_EQ(c.path, "");
  EXPECT_EQ(c.title, "");
  EXPECT_EQ(c.Text(ControlId::kNone), "");

  c.SetSelection(ControlId::kFileColumns, 25);
  EXPECT_EQ(c.file_columns, 20);
  c.folder_columns = 0;
  EXPECT_EQ(c.Selection(ControlId::kFolderColumns), 0);
}

}  // namespace
}  // namespace vellora
