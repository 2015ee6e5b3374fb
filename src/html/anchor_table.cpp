// The folder-anchor table: in-page links to the folder headings of a page
// that lists a whole branch, put where the page holds its anchor marker.
#include <algorithm>
#include <memory>
#include <string>

#include "html/page_parts.h"
#include "html/text_helpers.h"
#include "platform/characters.h"

namespace vellora {

namespace {

bool HasAnchorTable(const PageContext& page) {
  const CBuildSettings& s = *page.settings;
  return s.folder_anchors && s.sort_folders_first && s.recursive_build && s.show_folder_names &&
         !s.multi_recurse_link && !s.build_framed_site && !page.anchors.empty();
}

}  // namespace

std::string BuildAnchorTable(PageContext* page) {
  if (!HasAnchorTable(*page)) return std::string();
  const CBuildSettings& s = *page->settings;
  Env* env = page->env;

  // Entries by anchor id; the folder text rides along.
  CFileList list;
  for (const FolderAnchor& anchor : page->anchors) {
    std::string text = anchor.text;
    // Texts are kept with '/' separators, so a trailing one is a '/'.
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    if (text.empty()) continue;
    auto entry = std::make_unique<CFileEntry>();
    entry->SetName(anchor.id, env);
    entry->SetFolder(text, env);
    list.CopyAppend(*entry);
  }
  if (list.empty()) return std::string();
  list.Sort(CBuildSettings::kSortByName, s.sort_order, false, false, env);
  if (s.column_wise_sort) page->builder->ArrangeInColumns(list, s.folder_columns);

  std::string table;
  const std::string& header = page->section(kAnchorTableHeader);
  table += header.empty() ? "<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\">" : header;
  table += kCrLf;
  const std::string& anchor_word = page->words->anchor_word;
  if (!anchor_word.empty()) {
    table += "<tr><td colspan=\"";
    table += std::to_string(s.folder_columns);
    table += '"';
    const std::string& header_td = page->section(kAnchorHeaderTd);
    if (!header_td.empty()) {
      table += ' ';
      table += header_td;
    }
    table += '>';
    table += anchor_word;
    table += s.xml_compliant ? "<br />" : "<br>";
    table += "</td></tr>";
    table += kCrLf;
  }
  table += "<tr>";
  const std::string& cell_td = page->section(kAnchorTableTd);
  int i = 0;
  for (const CFileEntry* e = list.head(); e != nullptr; e = e->next) {
    std::string text = e->folder();
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    if (kSeparator != '/') ReplaceCharacter(&text, '/', kSeparator, env);
    table += "<td";
    if (!cell_td.empty()) {
      table += ' ';
      table += cell_td;
    }
    table += "><a href=\"#";
    table += AnchorFragment(e->name);
    table += "\">";
    table += EscapeNameText(text, false, s.xml_compliant != 0);
    table += "</a>&nbsp;&nbsp;</td>";
    if (++i == s.folder_columns && e->next != nullptr) {
      table += "</tr>";
      table += kCrLf;
      table += "<tr>";
      i = 0;
    }
  }
  table += "</tr>";
  table += kCrLf;
  table += "</table>";
  table += kCrLf;
  table += s.xml_compliant ? "<p></p>" : "<br>";
  table += kCrLf;
  return table;
}

}  // namespace vellora
