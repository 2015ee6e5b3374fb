// The file table: a header row and one cell group per file (link, size,
// date and time), filled row by row over `file_columns` columns; on a page
// that lists a whole branch grouped by folder, a heading row before each
// folder's files.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "html/page_parts.h"
#include "html/text_helpers.h"
#include "platform/characters.h"

namespace vellora {

namespace {

bool IsGroupedListing(const PageContext& page) {
  const CBuildSettings& s = *page.settings;
  return page.builder->recurse_scan && s.sort_folders_first && s.show_folder_names;
}

int CellsPerFile(const CBuildSettings& s) {
  return 1 + (s.include_filesize ? 1 : 0) + (s.include_date ? 2 : 0);
}

std::string WithoutLeadingSlash(const std::string& folder) {
  return !folder.empty() && folder[0] == '/' ? folder.substr(1) : folder;
}

// The root's own files need no heading: the folder "/" of a branch, or ""
// for the files of a branch that starts at a file-system root.
bool IsRootGroup(const std::string& folder) { return folder.empty() || folder == "/"; }

// Writes a section with every "%%F" replaced by `name`; the name is the
// file's, never a place of the folder-anchor table.
void AddWithFileName(PageOutput* out, const std::string& section, const std::string& name) {
  size_t from = 0;
  for (size_t at = section.find("%%F"); at != std::string::npos; at = section.find("%%F", from)) {
    out->AddHtml(section.substr(from, at - from));
    out->Add(name);
    from = at + 3;
  }
  out->AddHtml(section.substr(from));
}

// True when two entries belong to one folder heading: the same folder
// record, or folders that upper-case alike.
bool SameFolder(const CFileEntry& a, const CFileEntry& b) {
  return a.folder_record() == b.folder_record() || a.folder_upper() == b.folder_upper();
}

// The sorted entries lie anywhere in memory: asks for the next ones early.
inline void Prefetch(const CFileEntry* e) {
#if defined(__GNUC__)
  if (e->next == nullptr) return;
  __builtin_prefetch(e->next->name.data());
  if (e->next->next != nullptr) __builtin_prefetch(e->next->next);
#else
  (void)e;
#endif
}

// What a folder heading shows and the in-page anchor it holds, for the
// heading before the first file (`opening`) or one between two folders'
// files: the file table writes the headings and the folder-anchor table
// lists the anchors by this one rule.
struct FolderHeading {
  std::string shown;
  bool anchored = false;
  FolderAnchor anchor;
};

FolderHeading HeadingOf(const CBuildSettings& s, const std::string& folder, bool opening,
                        Env* env) {
  FolderHeading h;
  const std::string id_text = WithoutLeadingSlash(folder);
  std::string text = id_text;
  if ((opening || s.folder_anchors) && !text.empty() && text.back() == '/') text.pop_back();
  const std::string separator(1, kSeparator);
  if (opening) {
    h.shown = text;
    h.anchored = s.folder_anchors && text != separator;
    if (h.anchored) h.anchor = FolderAnchor{FolderAnchorId(text), text};
    return h;
  }
  // Tested on the '/' form: a final '\\' there may be a trail byte.
  h.shown = text;
  if (h.shown.size() > 3 && h.shown.back() == '/') h.shown.pop_back();
  if (kSeparator != '/') ReplaceCharacter(&h.shown, '/', kSeparator, env);
  h.anchored = s.folder_anchors && h.shown != separator;
  if (h.anchored) h.anchor = FolderAnchor{FolderAnchorId(id_text), text};
  return h;
}

// The anchors of the folder headings the table of `files` will have, in
// its order.
void CollectFolderAnchors(PageContext* page, const CFileList& files) {
  if (!IsGroupedListing(*page) || files.empty()) return;
  const CBuildSettings& s = *page->settings;
  if (!s.folder_anchors) return;
  const CFileEntry* head = files.head();
  if (!IsRootGroup(head->folder())) {
    FolderHeading h = HeadingOf(s, head->folder(), true, page->env);
    if (h.anchored) page->anchors.push_back(std::move(h.anchor));
  }
  for (const CFileEntry* e = head; e->next != nullptr; e = e->next) {
    if (SameFolder(*e->next, *e)) continue;
    FolderHeading h = HeadingOf(s, e->next->folder(), false, page->env);
    if (h.anchored) page->anchors.push_back(std::move(h.anchor));
  }
}

class FileTableWriter {
 public:
  FileTableWriter(PageContext* page, const CFileList& files)
      : page_(*page),
        s_(*page->settings),
        out_(*page->out),
        files_(files),
        grouped_(IsGroupedListing(*page)),
        cells_(CellsPerFile(*page->settings)),
        href20_(page->settings->href20 != 0),
        iso_(page->settings->replace_iso_chars != 0),
        xhtml_(page->settings->xml_compliant != 0) {
    cell_format_.sizes_by_k = s_.sizes_by_k != 0;
    cell_format_.insert_commas = s_.insert_commas != 0;
    cell_format_.euro_date_style = s_.euro_date_style != 0;
    cell_format_.include_time = s_.include_time != 0;
    cell_format_.size_date_td = page_.section(kSizeDateTd);
    cell_format_.open_tag = CellOpenTag(cell_format_.size_date_td);
    cell_format_.size_form = SizeFormOf(s_.size_style);
    cell_format_.date_form = DateFormOf(s_.date_style, xhtml_);
    cells_hold_marker_ = cell_format_.open_tag.find(kAnchorMarker) != std::string::npos;
  }

  bool Write() {
    if (files_.empty()) return true;
    const std::string& table_header = page_.section(kTableHeader);
    if (table_header.empty()) {
      out_.Add("<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\">");
      out_.Add(kCrLf);
    } else {
      out_.AddHtml(table_header);
    }
    if (!s_.supress_headers) WriteHeaderRow();

    const int columns = s_.file_columns;
    int c = 0;
    size_t after = files_.size();  // entries after the current one
    for (const CFileEntry* e = files_.head(); e != nullptr; e = e->next) {
      Prefetch(e);
      --after;
      ++c;
      if (grouped_ && e == files_.head() && !IsRootGroup(e->folder())) OpeningHeading(*e);
      if (c > columns) {
        c = 1;
        out_.Add("<tr>");
      } else if (c == 1) {
        out_.Add("<tr>");
      }
      if (!WriteFileCells(*e, c)) return false;
      if (grouped_ && e->next != nullptr && !SameFolder(*e->next, *e)) {
        BetweenHeading(*e->next, after);
        c = columns;
      }
      if (columns == 1 || c == columns || e->next == nullptr) {
        out_.Add("</tr>");
        out_.Add(kCrLf);
      }
    }
    out_.Add("</table>");
    out_.Add(kCrLf);
    return true;
  }

 private:
  void HeaderCellOpen(const char* open) {
    out_.Add(open);
    const std::string& header_td = page_.section(kFileHeaderTd);
    if (!header_td.empty()) {
      out_.Add(' ');
      out_.AddHtml(header_td);
    }
    out_.Add('>');
  }

  void WriteHeaderRow() {
    const CDefaultWords& words = *page_.words;
    const size_t groups = std::min(files_.size(), static_cast<size_t>(s_.file_columns));
    out_.Add("<tr>");
    for (size_t g = 0; g < groups; ++g) {
      if (s_.suppress_visible_links) {
        out_.Add("<td></td>");
      } else {
        HeaderCellOpen("<td align=\"left\"");
        out_.AddHtml(words.filename_word);
        out_.Add("&nbsp;</td>");
      }
      if (s_.include_filesize) {
        HeaderCellOpen("<td align=\"center\"");
        out_.AddHtml(words.size_word);
        out_.Add("&nbsp;</td>");
      }
      if (s_.include_date) {
        HeaderCellOpen(s_.include_time ? "<td align=\"center\" colspan=\"2\""
                                       : "<td align=\"center\"");
        out_.AddHtml(words.date_word);
        out_.Add("&nbsp;</td>");
      }
    }
    out_.Add("</tr>");
    out_.Add(kCrLf);
  }

  // The folder part of the links of `e`'s folder. A branch page lists many
  // files per folder, so it is escaped once per folder, not once per file.
  const std::string& FolderTarget(const CFileEntry& e) {
    const CEntryFolder* record = e.folder_record().get();
    if (last_folder_target_ == nullptr || record != last_folder_record_) {
      auto found = folder_targets_.find(record);
      if (found == folder_targets_.end()) {
        found = folder_targets_
                    .emplace(record, EscapeLinkTarget(WithoutLeadingSlash(e.folder()), href20_,
                                                      false, xhtml_))
                    .first;
      }
      last_folder_record_ = record;
      last_folder_target_ = &found->second;
    }
    return *last_folder_target_;
  }

  // Link, size and date cells of one file. False when cancelled.
  bool WriteFileCells(const CFileEntry& e, int column) {
    const std::string& file_td = page_.section(kFileTd);
    if (file_td.empty()) {
      out_.Add("<td align=\"left\">");
    } else {
      out_.AddHtml(file_td);
    }
    if (s_.non_functional_links) {
      out_.Add("<a");
    } else {
      out_.Add("<a href=\"");
      out_.AddHtml(page_.section(kFolderPrefix));
      if (s_.full_pathname_links) {
        out_.Add("File://");
        out_.Add(page_.link_base);
      }
      if (page_.builder->recurse_scan) out_.Add(FolderTarget(e));
      out_.AddLinkTarget(e.name, href20_, iso_, xhtml_);
      out_.Add('"');
    }
    if (!CountFile(e)) return false;

    // Names reach the custom sections as markup-safe text.
    const std::string& href_append = page_.section(kFileHrefAppend);
    if (!href_append.empty()) AddWithFileName(&out_, href_append, EscapeNameText(e.name, false, xhtml_));
    out_.Add('>');
    out_.AddHtml(page_.section(kPreFnameFile));
    if (s_.show_folder_names && !grouped_ && e.folder() != "/") out_.Add(FolderPrefix(e));

    // The name shown, without its extension when asked.
    const size_t dot = s_.suppress_extensions ? e.name.rfind('.') : std::string::npos;
    const std::string cut = dot == std::string::npos ? std::string() : e.name.substr(0, dot);
    const std::string& name = dot == std::string::npos ? e.name : cut;
    // A title is HTML of its own, except when the scan found none and fell
    // back to the file name.
    const bool has_title = s_.use_html_titles_for_links && e.title && *e.title != e.name;
    if (!s_.suppress_visible_links) {
      if (has_title) {
        out_.Add(EscapeTitleText(*e.title, iso_));
      } else {
        out_.AddNameText(name, iso_, xhtml_);
      }
    }
    out_.AddHtml(page_.section(kPostFnameFile));
    out_.Add("</a>");
    const std::string& post_href = page_.section(kPostHrefFile);
    if (!post_href.empty()) AddWithFileName(&out_, post_href, EscapeNameText(name, false, xhtml_));
    out_.Add("&nbsp;</td>");

    if (s_.include_filesize || s_.include_date) {
      cells_text_.clear();
      if (s_.include_filesize) AppendSizeCell(&cells_text_, e.size, cell_format_);
      if (s_.include_date) {
        AppendDateCell(&cells_text_, page_.env, e.time, cell_format_, column, s_.file_columns);
      }
      if (cells_hold_marker_) {
        out_.AddHtml(cells_text_);
      } else {
        out_.Add(cells_text_);
      }
    }
    return true;
  }

  // Counts the file in the page totals and reports progress every
  // `update_interval` files. False when the build was cancelled.
  bool CountFile(const CFileEntry& e) {
    ++page_.files_listed;
    page_.total_bytes = SaturatingAdd(page_.total_bytes, e.size);
    out_.CountFile();
    CBuildProgress* progress = page_.builder->progress;
    if (progress == nullptr || progress->update_interval <= 0) return true;
    if (page_.files_listed % progress->update_interval != 0) return true;
    progress->links_done += progress->update_interval;
    progress->Notify();
    return !progress->cancelled();
  }

  // The file's folder in front of its name, on a page that shows folder
  // names without headings: relative to the listed folder.
  std::string FolderPrefix(const CFileEntry& e) const {
    std::string prefix = e.folder();
    std::string path = WithSlashes(s_.path, page_.env);
    if (path.empty() || path.back() != '/') path.push_back('/');
    ReplaceAll(&prefix, path, "");
    if (kSeparator != '/') ReplaceCharacter(&prefix, '/', kSeparator, page_.env);
#ifdef _WIN32
    // The folder of a drive root's files ("C:/") ends its prefix with '\'.
    const std::string& f = e.folder();
    if (f.size() == 3 && f[1] == ':' && f[2] == '/' && !prefix.empty() && prefix.back() != '\\') {
      prefix.push_back('\\');
    }
#endif
    return EscapeNameText(prefix, false, xhtml_);
  }

  // Starts the heading cell of a folder spanning `file_columns` groups.
  void HeadingCellOpen(int span_columns) {
    out_.Add("<tr><td colspan=\"");
    out_.Add(std::to_string(cells_ * span_columns));
    out_.Add('"');
    const std::string& anchor_td = page_.section(kAnchorTd);
    if (!anchor_td.empty()) {
      out_.Add(' ');
      out_.AddHtml(anchor_td);
    }
    out_.Add('>');
  }

  void AfterHeadingTitle() {
    const std::string& anchor = page_.section(kAnchor);
    if (!anchor.empty()) {
      out_.AddHtml(anchor);
      out_.Add("&nbsp;&nbsp;");
    }
  }

  // The heading before the first file, when that file is not the root's.
  void OpeningHeading(const CFileEntry& e) {
    const FolderHeading h = HeadingOf(s_, e.folder(), true, page_.env);
    const std::string& text = h.shown;
    HeadingCellOpen(s_.file_columns);
    if (h.anchored) {
      const std::string id_attribute = AnchorIdAttribute(h.anchor.id);
      out_.Add("<a id=\"");
      out_.Add(id_attribute);
      out_.Add("\" name=\"");
      out_.Add(id_attribute);
      out_.Add("\"></a>");
    }
    if (!text.empty()) {
      out_.Add("<b>");
      out_.AddHtml(page_.words->folder_sort_word);
      out_.Add(' ');
      out_.Add(EscapeNameText(text, false, xhtml_));
      out_.Add("&nbsp;&nbsp;</b>");
    }
    AfterHeadingTitle();
    if (!text.empty()) {
      out_.Add("</td></tr>");
      out_.Add(kCrLf);
    }
  }

  // The heading between the last file of a folder and the first of `next`.
  void BetweenHeading(const CFileEntry& next, size_t entries_after) {
    const int span =
        static_cast<int>(std::min(entries_after, static_cast<size_t>(s_.file_columns)));
    out_.Add("</tr>");
    out_.Add(kCrLf);
    HeadingCellOpen(span);
    const FolderHeading h = HeadingOf(s_, next.folder(), false, page_.env);
    const std::string& shown = h.shown;
    if (h.anchored) {
      out_.Add("<a id=\"");
      out_.Add(AnchorIdAttribute(h.anchor.id));
      out_.Add("\"></a>");
    }
    if (!shown.empty()) {
      out_.Add("<b>");
      out_.AddHtml(page_.words->folder_sort_word);
      out_.Add(' ');
      out_.Add(EscapeNameText(shown, false, xhtml_));
      out_.Add("</b>");
    }
    AfterHeadingTitle();
    out_.Add("</td>");
  }

  PageContext& page_;
  const CBuildSettings& s_;
  PageOutput& out_;
  const CFileList& files_;
  const bool grouped_;
  const int cells_;
  const bool href20_;
  const bool iso_;
  const bool xhtml_;
  CellFormat cell_format_;
  bool cells_hold_marker_ = false;
  std::string cells_text_;  // the cells of one file, reused
  // See FolderTarget. The entries hold their folder records for as long as
  // the table is written, so the addresses stay unique.
  std::unordered_map<const CEntryFolder*, std::string> folder_targets_;
  const CEntryFolder* last_folder_record_ = nullptr;
  const std::string* last_folder_target_ = nullptr;
};

}  // namespace

std::string FolderAnchorId(const std::string& folder_text) {
  std::string id = "ID" + folder_text;
  for (char& c : id) {
    if (c == ' ') {
      c = '_';
    } else if (c == '/') {
      c = '-';
    }
  }
  return id;
}

void OrderFileList(PageContext* page, CFileList* files) {
  if (files->empty()) return;
  CBuildSettings& s = *page->settings;
  CPageWriter& builder = *page->builder;
  const bool grouped = IsGroupedListing(*page);
  if (s.sort_key == CBuildSettings::kSortByType) files->FillTypes();
  files->Sort(s.sort_key, s.sort_order, s.sort_folders_first && builder.recurse_scan,
              s.use_html_titles_for_links != 0, page->env, s.natural_sort != 0);

  if (!grouped) {
    if (s.file_columns > 1 && s.column_wise_sort) builder.ArrangeInColumns(*files, s.file_columns);
    return;
  }
  // Each folder's run of files is laid out for the columns on its own. The
  // entries move from run to run; none is copied.
  CFileList regrouped;
  size_t widest = 0;
  while (!files->empty()) {
    const CFileEntry* first = files->head();
    const CFileEntry* stop = first->next;
    while (stop != nullptr && SameFolder(*stop, *first)) stop = stop->next;
    CFileList run = files->DetachHead(stop);
    widest = std::max(widest, std::min(run.size(), static_cast<size_t>(s.file_columns)));
    if (s.column_wise_sort) builder.ArrangeInColumns(run, s.file_columns);
    regrouped.Append(std::move(run));
  }
  if (widest < static_cast<size_t>(s.file_columns)) s.file_columns = static_cast<int32_t>(widest);
  *files = std::move(regrouped);
  CollectFolderAnchors(page, *files);
}

bool WriteFileTable(PageContext* page, const CFileList& files) {
  FileTableWriter writer(page, files);
  return writer.Write();
}

}  // namespace vellora
