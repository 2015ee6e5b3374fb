// The folder table: the subfolders of the listed folder and the link to its
// parent, above the file table.
#include <memory>
#include <string>
#include <vector>

#include "html/page_parts.h"
#include "html/text_helpers.h"
#include "platform/path.h"

namespace vellora {

namespace {

const char kParentName[] = "..";

void AddFolderEntry(PageContext* page, CFileList* folders, const std::string& name,
                    FileTime time = 0) {
  auto entry = std::make_unique<CFileEntry>();
  entry->SetName(name, page->env);
  entry->time = time;  // for the manifest; the table shows none
  folders->AddHead(std::move(entry));
  ++page->folders_listed;
}

// The parent link is left off a file-system root, and off the top page of a
// one-page-per-folder build (the right frames of a framed site keep it).
bool ShowsParentLink(const PageContext& page) {
  const CBuildSettings& s = *page.settings;
  if (s.supress_parent_link) return false;
  if (IsFileSystemRoot(s.path)) return false;
#ifdef _WIN32
  if (s.path.size() <= 3) return false;
#endif
  if (!(s.recursive_build && s.multi_recurse_link)) return true;
  return (!s.framed_right_pass || s.build_framed_site) && page.folder != s.root_folder;
}

}  // namespace

bool ScanSubfolders(PageContext* page, CFileList* folders) {
  Env* env = page->env;
  bool read = env->CanEnterFolder(page->folder);
  if (read) {
    std::vector<FolderItem> found;
    read = env->ListSubfolders(page->folder, [&found](const FolderItem& item) {
      if (!item.name.empty() && item.name[0] != '.') found.push_back(item);
    });
    const std::string base = WithTrailingSeparator(page->folder, env);
    for (const FolderItem& item : found) {
      // A folder that cannot be entered is not listed.
      const std::string sub = base + item.name;
      const bool out = page->builder->LeadsOutOfTree(sub, item.is_link);
      if (!env->CanEnterFolder(sub)) continue;
      if (page->builder->SkipFolder(sub)) continue;
      AddFolderEntry(page, folders, item.name, item.write_time);
      if (out) page->links_out.insert(item.name);
    }
  }
  if (ShowsParentLink(*page)) AddFolderEntry(page, folders, kParentName);
  return read;
}

void WriteFolderTable(PageContext* page, CFileList* folders) {
  if (folders->empty()) return;
  const CBuildSettings& s = *page->settings;
  const CDefaultWords& words = *page->words;
  PageOutput& out = *page->out;
  const int columns = s.folder_columns;

  folders->Sort(CBuildSettings::kSortByName, CBuildSettings::kSortAscending, false,
                s.use_html_titles_for_links != 0, page->env, s.natural_sort != 0);
  if (s.column_wise_sort) page->builder->ArrangeInColumns(*folders, columns);

  const std::string& table_header = page->section(kFolderTableHeader);
  if (table_header.empty()) {
    out.Add("<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\">");
  } else {
    out.AddHtml(table_header);
  }
  if (!s.supress_headers) {
    out.Add("<tr><td colspan=\"");
    out.Add(std::to_string(columns));
    out.Add('"');
    const std::string& header_td = page->section(kFolderHeaderTd);
    if (!header_td.empty()) {
      out.Add(' ');
      out.AddHtml(header_td);
    }
    out.Add('>');
    out.AddHtml(words.folder_word);
    out.Add("&nbsp;</td></tr>");
    out.Add(kCrLf);
  }
  out.Add("<tr>");

  const std::string& folder_td = page->section(kFolderTd);
  const std::string& prefix = page->section(kFolderPrefix);
  const std::string& file_link = page->section(kFolderFileLink);
  const std::string& href_append = page->section(kFolderHrefAppend);
  const std::string& pre_name = page->section(kPreFnameFolder);
  const std::string& post_name = page->section(kPostFnameFolder);
  const bool href20 = s.href20 != 0;
  const bool iso = s.replace_iso_chars != 0;
  const bool xhtml = s.xml_compliant != 0;
  int count = 0;
  for (const CFileEntry* e = folders->head(); e != nullptr; e = e->next) {
    const bool parent = e->name == kParentName;
    if (folder_td.empty()) {
      out.Add("<td>");
    } else {
      out.AddHtml(folder_td);
    }
    out.Add("<a href=\"");
    out.AddHtml(prefix);
    if (s.full_pathname_links) {
      out.Add("File://");
      out.Add(page->link_base);
    }
    out.AddLinkTarget(e->name, href20, iso, xhtml);
    out.Add('/');
    if (page->links_out.count(e->name) == 0) out.AddHtml(file_link);
    out.Add('"');
    out.AddHtml(href_append);
    out.Add('>');
    out.AddHtml(pre_name);
    if (parent) {
      out.AddHtml(words.parent_word);
    } else {
      out.AddNameText(e->name, iso, xhtml);
    }
    out.AddHtml(post_name);
    out.Add("</a>&nbsp;&nbsp;</td>");
    if (++count % columns == 0) {
      out.Add("</tr>");
      out.Add(kCrLf);
      if (e->next != nullptr) out.Add("<tr>");
    }
  }
  if (count % columns != 0) out.Add("</tr>");
  out.Add("</table>");
  out.Add(kCrLf);
  out.Add("<p></p>");
  out.Add(kCrLf);
}

}  // namespace vellora
