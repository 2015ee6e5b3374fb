#include "settings/main_sheet.h"

#include <algorithm>
#include <cstdint>

#include "settings/ini_file.h"
#include "platform/env.h"
#include "platform/path.h"

namespace vellora {

const char kSheetCaption[] = "vellora v4.6";
const char kConfigSection[] = "VELLORA";
const char kDefaultConfigName[] = "vellora.ini";

namespace {

const char kTrue[] = "TRUE";
const char kFalse[] = "FALSE";

// The leading decimal number of a value (an optional sign, then digits),
// 0 when there is none; numbers beyond the int32 range are held at its ends.
int32_t LeadingNumber(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value <= INT32_MAX) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

const char* FlagWord(int32_t flag) { return flag ? kTrue : kFalse; }

// A flag value other than TRUE that a person plainly meant as on ("1",
// "yes", "true", "on" in any case). It still reads as off; the reader only
// notes it so that batch mode can say so.
bool MeantAsTrue(const std::string& value) {
  if (value == kTrue) return false;
  std::string lower;
  for (char c : value) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return lower == "1" || lower == "yes" || lower == "y" || lower == "true" || lower == "on";
}

// The value as the writer writes it from the stored values.
std::string StoredText(const COption& o, const CMainSheet& sheet) {
  if (IsTextForm(o.form)) return *o.field.Text(sheet);
  const int32_t value = *o.field.Number(sheet);
  switch (o.form) {
    case OptionForm::kTitleMode:
      return TitleModeWord(value);
    case OptionForm::kSortCode:
      return SortTypeCode(value, sheet.settings.sort_order);
    case OptionForm::kColumns:
    case OptionForm::kPage:
      return std::to_string(value);
    default:
      return FlagWord(value);
  }
}

// The value as the writer writes it from the controls; an edit box gives at
// most kShortValue bytes of its text, cut between whole characters.
std::string ControlText(const COption& o, const CControlValues& c, const CharacterCut& cut) {
  if (IsTextForm(o.form)) {
    const std::string& text = c.Text(o.control);
    return text.substr(0, cut(text, kShortValue));
  }
  switch (o.form) {
    case OptionForm::kRecursionLink:
      // The framed site is built from per-folder pages too.
      return FlagWord(!c.Checked(ControlId::kAllInOneFile));
    case OptionForm::kColumns:
      return std::to_string(c.Selection(o.control) + 1);
    case OptionForm::kPage:
      return std::to_string(c.active_page);
    default:
      return FlagWord(c.Checked(o.control));
  }
}

// Takes the control's value into the option's field: of `target` for a
// field of the build settings, of `sheet` otherwise.
void TakeControlValue(const COption& o, const CControlValues& c, CMainSheet* sheet,
                      CBuildSettings* target) {
  if (IsTextForm(o.form)) {
    *o.field.Text(sheet, target) = c.Text(o.control);
    return;
  }
  int32_t* value = o.field.Number(sheet, target);
  switch (o.form) {
    case OptionForm::kColumns:
      *value = c.Selection(o.control) + 1;
      break;
    case OptionForm::kPage:
      *value = c.active_page;
      break;
    default:
      // A radio counts as ticked when it is the chosen one: multi_recurse_link
      // is one page per folder alone.
      *value = c.Checked(o.control) ? 1 : 0;
      break;
  }
}

// Shows the stored value on the option's control.
void ShowStoredValue(const COption& o, const CMainSheet& sheet, CControlValues* c) {
  if (IsTextForm(o.form)) {
    c->SetText(o.control, *o.field.Text(sheet));
    return;
  }
  const int32_t value = *o.field.Number(sheet);
  switch (o.form) {
    case OptionForm::kRecursionLink:
      // The framed site wins over one page per folder.
      if (!c->Checked(ControlId::kFramedSite)) {
        c->SetChecked(value ? ControlId::kOnePagePerFolder : ControlId::kAllInOneFile, true);
      }
      break;
    case OptionForm::kColumns:
      c->SetSelection(o.control, std::clamp(value, int32_t{1}, kColumnListEntries) - 1);
      break;
    case OptionForm::kPage:
      c->active_page = value;
      break;
    default:
      // Clearing a radio leaves the choice to the other options.
      c->SetChecked(o.control, value != 0);
      break;
  }
}

}  // namespace

CMainSheet::CMainSheet(Env* env) : caption(kSheetCaption), env_(env) {
  // The frame file names and the default words start at the values a file
  // without them gives; the build settings keep their construction values.
  for (const COption& o : Options()) {
    if (o.field.owner() != COptionField::Owner::kSettings && IsTextForm(o.form)) {
      *o.field.Text(this) = o.default_value;
    }
  }
  // The pages take their bitmap from the file of the current folder, which
  // is the program's folder when the program is started from there.
  const COption& bitmap = *FindOption("background_bitmap");
  background_bitmap = ReadIniString(env_, kDefaultConfigName, kConfigSection, bitmap.key,
                                    bitmap.default_value, bitmap.longest);
  program_folder = ProgramFolder(env_);
  default_config_path = program_folder + kDefaultConfigName;
  config_path = default_config_path;
}

std::string CMainSheet::ResolveConfigName(const std::string& name) const {
  return ContainsSeparator(name, env_) ? name : program_folder + name;
}

int CMainSheet::Exchange(int mode, CBuildSettings* target) {
  if (mode != 1) return 0;  // the controls are not at hand
  return Exchange(mode, target, CControlValues());
}

int CMainSheet::Exchange(int mode, CBuildSettings* target, const CControlValues& controls,
                         const RecursiveBuildOptionsDialog& dialog) {
  if (target == nullptr || (mode != 0 && mode != 1)) return 0;
  CBuildSettings& t = *target;
  if (mode == 1) {
    for (const COption& o : Options()) {
      if (int32_t* number = o.field.Number(&t)) *number = *o.field.Number(&settings);
      if (std::string* text = o.field.Text(&t)) *text = *o.field.Text(&settings);
    }
    t.sort_order = settings.sort_order;  // beside sort_key
    t.framed_right_pass = 0;
    t.root_folder = t.path;
  } else {
    // What no control shows comes from the stored values (nothing to do
    // when the target is the sheet's own record).
    if (target != &settings) {
      for (const COption& o : Options()) {
        if (o.control != ControlId::kNone) continue;
        if (int32_t* number = o.field.Number(&t)) *number = *o.field.Number(&settings);
        if (std::string* text = o.field.Text(&t)) *text = *o.field.Text(&settings);
      }
      t.sort_order = settings.sort_order;
    }
    for (const COption& o : Options()) {
      if (o.before_recursion_dialog) TakeControlValue(o, controls, this, &t);
    }
    if (t.recursive_build && t.multi_recurse_link && dialog && !dialog(&t)) return 0;
    for (const COption& o : Options()) {
      if (o.control != ControlId::kNone && !o.before_recursion_dialog) {
        TakeControlValue(o, controls, this, &t);
      }
    }
  }
  t.default_words = &default_words;
  return 1;
}

bool CMainSheet::ReadConfiguration(const std::string& name) {
  IniDocument doc;
  const bool read = LoadIniFile(env_, ResolveConfigName(name), &doc);
  config_warnings.clear();
  auto text = [&doc](const COption& o) {
    return doc.Get(kConfigSection, o.key, o.default_value, o.longest);
  };
  auto flag = [this, &doc](const char* key, const char* def, size_t longest) {
    const std::string value = doc.Get(kConfigSection, key, def, longest);
    if (MeantAsTrue(value)) {
      config_warnings.push_back("the value \"" + value + "\" of the key \"" + key +
                                "\" reads as FALSE: only TRUE turns an option on");
    }
    return static_cast<int32_t>(value == kTrue);
  };

  for (const COption& o : Options()) {
    if (IsTextForm(o.form)) {
      std::string& value = *o.field.Text(this);
      value = text(o);
      if (o.form == OptionForm::kTextNotEmpty && value.empty()) value = o.default_value;
      if (o.form == OptionForm::kBitmapName) background_bitmap = value;
      continue;
    }
    int32_t& value = *o.field.Number(this);
    switch (o.form) {
      case OptionForm::kRecursionLink:
        // All links in one file was once chosen by a key of its own.
        value = flag(o.key, o.default_value, o.longest);
        if (value && flag(kSingleFileKey, kFalse, o.longest)) value = 0;
        break;
      case OptionForm::kTimeFlag: {
        // Times are shown only with dates (read before).
        const int32_t on = flag(o.key, o.default_value, o.longest);
        value = settings.include_date && on;
        break;
      }
      case OptionForm::kColumns:
        // Column counts below 1 would leave a table without columns.
        value = std::max(LeadingNumber(text(o)), int32_t{1});
        break;
      case OptionForm::kPage:
        value = LeadingNumber(text(o));
        break;
      case OptionForm::kTitleMode:
        value = ParseTitleMode(text(o));
        break;
      case OptionForm::kSortCode:
        ParseSortType(text(o), &value, &settings.sort_order);
        break;
      default:
        value = flag(o.key, o.default_value, o.longest);
        break;
    }
  }
  return read;
}

CControlValues CMainSheet::StoredControlValues() const {
  CControlValues c;
  for (const COption& o : Options()) {
    if (o.control != ControlId::kNone || o.form == OptionForm::kPage) ShowStoredValue(o, *this, &c);
  }
  return c;
}

bool CMainSheet::WriteConfiguration(const std::string& full_name) {
  return WriteConfiguration(full_name, StoredControlValues());
}

bool CMainSheet::WriteConfiguration(const std::string& full_name, const CControlValues& controls) {
  IniDocument doc;
  bool ok = OpenIniForUpdate(env_, full_name, &doc);
  const CharacterCut cut = CharacterCutFor(env_);
  for (const COption* o : OptionsInWriteOrder()) {
    std::string value;
    switch (o->source) {
      case WriteSource::kStored:
        value = StoredText(*o, *this);
        break;
      case WriteSource::kControl:
        value = ControlText(*o, controls, cut);
        break;
      case WriteSource::kControlKept:
        TakeControlValue(*o, controls, this, &settings);
        value = StoredText(*o, *this);
        break;
    }
    ok = doc.Set(kConfigSection, o->key, value) && ok;
  }
  caption = std::string(kSheetCaption) + " - " + full_name;
  return ok && SaveIniFile(env_, full_name, doc);
}

}  // namespace vellora
