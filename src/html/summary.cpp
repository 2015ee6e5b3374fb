// The summary paragraph: how many folders and files the page lists and how
// large the files are together.
#include <string>

#include "html/page_parts.h"
#include "html/text_helpers.h"

namespace vellora {

void WriteSummary(PageContext* page) {
  const CBuildSettings& s = *page->settings;
  const CDefaultWords& words = *page->words;
  PageOutput& out = *page->out;
  const bool commas = s.insert_commas != 0;
  const bool euro = s.euro_date_style != 0;
  const char* br = s.xml_compliant ? "<br />" : "<br>";

  out.Add("<p>");
  out.Add(kCrLf);
  if (s.include_subfolders && page->folders_listed != 0) {
    out.AddHtml(words.summary_folders_word);
    out.Add("  ");
    out.Add(insert_thousands_separators(std::to_string(page->folders_listed), commas, euro));
    out.Add(kCrLf);
    out.Add(br);
  }
  if (page->files_listed != 0) {
    out.AddHtml(words.summary_files_word);
    out.Add("  ");
    out.Add(insert_thousands_separators(std::to_string(page->files_listed), commas, euro));
    out.Add(kCrLf);
    out.Add(br);
    out.AddHtml(words.summary_size_word);
    out.Add("  ");
    if (SizeFormOf(s.size_style) == SizeForm::kHuman) {
      out.Add("<span title=\"" + ExactSizeTitle(page->total_bytes, commas, euro) + "\">" +
              HumanSize(page->total_bytes, euro) + "</span>");
    } else {
      const int64_t total = s.sizes_by_k ? SizeInKilobytes(page->total_bytes) : page->total_bytes;
      out.Add(insert_thousands_separators(int64_to_text(total), commas, euro));
      if (s.sizes_by_k) out.Add(" K");
    }
    out.Add(br);
  }
  out.Add(kCrLf);
  out.Add("</p>");
  out.Add(kCrLf);
}

}  // namespace vellora
