// The file table: a header row and one cell group per file (link, size,
// date and time), filled row by row over `file_columns` columns; on a page
// that lists a whole branch grouped by folder, a heading row before each
// folder's files.
#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "html/page_parts.h"
#include "html/text_helpers.h"
#include "platform/characters.h"
#include "platform/ordered_work.h"

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

// The same, with the entries in an array: asks for entries well ahead (an
// entry may straddle two cache lines: both), and for the names of those
// asked for before.
inline void PrefetchAhead(const std::vector<CFileEntry*>& order, size_t at) {
#if defined(__GNUC__)
  constexpr size_t kEntriesAhead = 16;
  constexpr size_t kNamesAhead = 8;
  if (at + kEntriesAhead < order.size()) {
    const CFileEntry* e = order[at + kEntriesAhead];
    __builtin_prefetch(e);
    __builtin_prefetch(reinterpret_cast<const char*>(e) + sizeof(CFileEntry) - 1);
  }
  if (at + kNamesAhead < order.size()) __builtin_prefetch(order[at + kNamesAhead]->name.data());
#else
  (void)order;
  (void)at;
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

// The folder parts of the links of a table, escaped once per folder: a
// branch page lists many files per folder. The entries hold their folder
// records for as long as the table is written, so the addresses stay unique.
// In a list sorted by name nearly every row has another folder than the one
// before, so the lookup is an open-addressed table of record addresses whose
// slots hold the text's place themselves. At a million files in 20,000
// folders the table and the texts outgrow the cache: a row asks for its
// slot, and then for its text, some rows before it is written.
class FolderTargets {
 public:
  // The escaped text of `record`, made by `escape` the first time.
  template <typename Escape>
  std::string_view Find(const CEntryFolder* record, const Escape& escape) {
    if (has_last_ && record == last_record_) return last_target_;
    if (2 * (targets_.size() + 1) > slots_.size()) Grow();
    Entry& slot = slots_[Probe(record)];
    if (slot.record == nullptr) {
      targets_.push_back(escape());
      slot.record = record;
      slot.data = targets_.back().data();
      slot.size = targets_.back().size();
    }
    has_last_ = true;
    last_record_ = record;
    last_target_ = std::string_view(slot.data, slot.size);
    return last_target_;
  }

  // Asks for the slot of `record` ahead of its Find.
  void PrefetchSlot(const CEntryFolder* record) const {
#if defined(__GNUC__)
    if (!slots_.empty()) __builtin_prefetch(&slots_[Slot(record)]);
#else
    (void)record;
#endif
  }

  // Asks for the text of `record`, once its slot was asked for.
  void PrefetchText(const CEntryFolder* record) const {
#if defined(__GNUC__)
    if (slots_.empty()) return;
    const Entry& slot = slots_[Probe(record)];
    if (slot.record != nullptr) __builtin_prefetch(slot.data);
#else
    (void)record;
#endif
  }

 private:
  struct Entry {
    const CEntryFolder* record = nullptr;
    const char* data = nullptr;  // in targets_
    size_t size = 0;
  };

  // The place of the slot that holds `record`, or of the empty one where
  // it would go.
  size_t Probe(const CEntryFolder* record) const {
    size_t at = Slot(record);
    while (slots_[at].record != nullptr && slots_[at].record != record) {
      at = (at + 1) & (slots_.size() - 1);
    }
    return at;
  }

  size_t Slot(const CEntryFolder* record) const {
    const uint64_t key = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(record));
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> 32) & (slots_.size() - 1);
  }

  void Grow() {
    std::vector<Entry> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 1024 : 2 * old.size(), Entry());
    for (const Entry& e : old) {
      if (e.record == nullptr) continue;
      size_t at = Slot(e.record);
      while (slots_[at].record != nullptr) at = (at + 1) & (slots_.size() - 1);
      slots_[at] = e;
    }
  }

  std::vector<Entry> slots_;
  std::deque<std::string> targets_;  // stays in place as it grows
  bool has_last_ = false;
  const CEntryFolder* last_record_ = nullptr;
  std::string_view last_target_;
};

class FileTableWriter {
 public:
  // Writes to `out`, or to the page's output when null. A writer of a block
  // made apart (`block`) counts its files and bytes for itself instead of
  // in the page totals and the progress.
  FileTableWriter(PageContext* page, const CFileList& files, PageOutput* out = nullptr,
                  bool block = false, FolderTargets* targets = nullptr)
      : page_(*page),
        s_(*page->settings),
        out_(out != nullptr ? *out : *page->out),
        block_(block),
        files_(files),
        grouped_(IsGroupedListing(*page)),
        cells_(CellsPerFile(*page->settings)),
        href20_(page->settings->href20 != 0),
        iso_(page->settings->replace_iso_chars != 0),
        xhtml_(page->settings->xml_compliant != 0),
        targets_(targets != nullptr ? *targets : own_targets_) {
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
    WriteTableStart();
    if (!WriteRows(files_.head(), 0, files_.size(), 0)) return false;
    WriteTableEnd();
    return true;
  }

  void WriteTableStart() {
    const std::string& table_header = page_.section(kTableHeader);
    if (table_header.empty()) {
      out_.Add("<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\">");
      out_.Add(kCrLf);
    } else {
      out_.AddHtml(table_header);
    }
    if (!s_.supress_headers) WriteHeaderRow();
  }

  void WriteTableEnd() {
    out_.Add("</table>");
    out_.Add(kCrLf);
  }

  // The rows of `count` entries from `first`, the entry at `index` of the
  // list, after `c` cells of the current row (0 or file_columns: a new row
  // begins). False when cancelled.
  bool WriteRows(const CFileEntry* first, size_t index, size_t count, int c) {
    const int columns = s_.file_columns;
    const std::vector<CFileEntry*>* order = files_.order();
    size_t after = files_.size() - index;  // entries after the current one
    const CFileEntry* e = first;
    for (size_t n = 0; n < count && e != nullptr; ++n, e = e->next) {
      if (order != nullptr) {
        PrefetchAhead(*order, index + n);
        if (page_.builder->recurse_scan) PrefetchTargetAhead(*order, index + n);
      } else {
        Prefetch(e);
      }
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
    return true;
  }

  // What a block writer counted.
  int32_t block_files() const { return block_files_; }
  int64_t block_bytes() const { return block_bytes_; }

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

  // The folder part of the links of `e`'s folder.
  // Asks for the folder part of the link 8 rows ahead: first its slot,
  // then, 4 rows later, its text. The entries are asked for 16 rows ahead.
  void PrefetchTargetAhead(const std::vector<CFileEntry*>& order, size_t at) const {
    constexpr size_t kSlotAhead = 8;
    constexpr size_t kTextAhead = 4;
    if (at + kSlotAhead < order.size()) {
      targets_.PrefetchSlot(order[at + kSlotAhead]->folder_record().get());
    }
    if (at + kTextAhead < order.size()) {
      targets_.PrefetchText(order[at + kTextAhead]->folder_record().get());
    }
  }

  std::string_view FolderTarget(const CFileEntry& e) {
    return targets_.Find(e.folder_record().get(), [&] {
      return EscapeLinkTarget(WithoutLeadingSlash(e.folder()), href20_, false, xhtml_);
    });
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
    if (block_) {
      ++block_files_;
      block_bytes_ = SaturatingAdd(block_bytes_, e.size);
      return true;
    }
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
  const bool block_;
  int32_t block_files_ = 0;
  int64_t block_bytes_ = 0;
  const CFileList& files_;
  const bool grouped_;
  const int cells_;
  const bool href20_;
  const bool iso_;
  const bool xhtml_;
  CellFormat cell_format_;
  bool cells_hold_marker_ = false;
  std::string cells_text_;  // the cells of one file, reused
  FolderTargets own_targets_;
  FolderTargets& targets_;
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

namespace {

// A long streamed table is made in blocks of rows on worker threads, at
// most this many blocks per thread ahead of the one being written.
constexpr size_t kBlocksAhead = 4;

struct TableBlock {
  std::string text;
  int32_t files = 0;
  int64_t bytes = 0;
};

// Counts a written block in the page totals and reports progress for
// every `update_interval` files passed. False when the build was cancelled.
bool CountBlock(PageContext* page, const TableBlock& block) {
  const int32_t before = page->files_listed;
  page->files_listed += block.files;
  page->total_bytes = SaturatingAdd(page->total_bytes, block.bytes);
  CBuildProgress* progress = page->builder->progress;
  if (progress == nullptr || progress->update_interval <= 0) return true;
  const int32_t interval = progress->update_interval;
  for (int32_t passed = page->files_listed / interval - before / interval; passed > 0; --passed) {
    progress->links_done += interval;
    progress->Notify();
    if (progress->cancelled()) return false;
  }
  return true;
}

// Where the blocks of a table begin, found block by block: the maker of a
// block walks to the start of the next before it writes its own rows, so
// the walk along the list is shared out and overlaps the writing. A block
// begins where the table begins a row of its own: a row boundary, or in a
// grouped listing a folder's first file (its heading ends the row before),
// so the rows of each block are the same whoever writes them.
class BlockStarts {
 public:
  BlockStarts(const CFileList& files, size_t blocks, size_t block_rows, bool grouped, int columns)
      : starts_(blocks + 1),
        block_rows_(std::max<size_t>(block_rows, 1)),
        order_(files.order()),
        grouped_(grouped),
        span_(static_cast<size_t>(std::max(columns, 1))) {
    starts_[0] = Start{files.head(), 0, 0, true};
  }

  // Waits for the start of block `i`, finds and hands out the start of the
  // block after it, and returns both (a block past the list's end is empty).
  void Take(size_t i, const CFileEntry** first, size_t* index, size_t* end) {
    Start start;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      found_.wait(lock, [&] { return starts_[i].known; });
      start = starts_[i];
    }
    const Start next = order_ != nullptr && !grouped_ ? StartByPosition(start) : StartByWalk(start);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (i + 1 < starts_.size()) {
        starts_[i + 1] = next;
        starts_[i + 1].known = true;
      }
    }
    found_.notify_all();
    *first = start.entry;
    *index = start.index;
    *end = next.index;
  }

 private:
  struct Start {
    const CFileEntry* entry = nullptr;
    size_t index = 0;
    size_t group_start = 0;  // index of the first file of the entry's folder
    bool known = false;
  };

  // Without headings rows begin at every span_-th entry: the array of the
  // entries gives the next start without a walk.
  Start StartByPosition(const Start& start) const {
    Start next = start;
    if (start.entry == nullptr) return next;
    const size_t n = order_->size();
    next.index = std::min((start.index + block_rows_ + span_ - 1) / span_ * span_, n);
    next.entry = next.index < n ? (*order_)[next.index] : nullptr;
    return next;
  }

  Start StartByWalk(const Start& start) const {
    Start next = start;
    const CFileEntry* previous = nullptr;
    for (size_t rows = 0; next.entry != nullptr; ++rows) {
      if (grouped_ && previous != nullptr && !SameFolder(*next.entry, *previous)) {
        next.group_start = next.index;
      }
      if (rows >= block_rows_ && (next.index - next.group_start) % span_ == 0) break;
      previous = next.entry;
      next.entry = next.entry->next;
      ++next.index;
    }
    return next;
  }

  std::mutex mutex_;
  std::condition_variable found_;
  std::vector<Start> starts_;
  const size_t block_rows_;
  const std::vector<CFileEntry*>* order_;
  const bool grouped_;
  const size_t span_;
};

// The rows of a long table made in blocks on `threads` worker threads and
// written in order as they come.
bool WriteRowsInBlocks(PageContext* page, const CFileList& files, int threads) {
  // Each block but the last has at least `block_rows` rows, so there are no
  // more blocks than this; those past the end are empty.
  const size_t block_rows = std::max<size_t>(page->builder->table_block_rows, 1);
  const size_t blocks = (files.size() + block_rows - 1) / block_rows;
  BlockStarts starts(files, blocks, block_rows, IsGroupedListing(*page),
                     page->settings->file_columns);
  std::vector<FolderTargets> targets(static_cast<size_t>(threads));
  const std::string& anchor_table = page->out->anchor_table();
  // The texts of written blocks are used again: a block's text is made in
  // room that is already there.
  std::mutex spare_mutex;
  std::vector<std::string> spare;
  const auto make = [&](size_t i, int worker, TableBlock* block) {
    const CFileEntry* first = nullptr;
    size_t index = 0;
    size_t end = 0;
    starts.Take(i, &first, &index, &end);
    if (first == nullptr || end == index) return;
    {
      std::lock_guard<std::mutex> lock(spare_mutex);
      if (!spare.empty()) {
        block->text.swap(spare.back());
        spare.pop_back();
      }
    }
    block->text.clear();
    PageOutput out(&block->text, anchor_table);
    FileTableWriter writer(page, files, &out, true, &targets[static_cast<size_t>(worker)]);
    writer.WriteRows(first, index, end - index, 0);
    block->files = writer.block_files();
    block->bytes = writer.block_bytes();
  };
  const auto take = [&](size_t, TableBlock* block) {
    if (!block->text.empty()) page->out->AddStreamed(block->text);
    {
      std::lock_guard<std::mutex> lock(spare_mutex);
      spare.push_back(std::move(block->text));
    }
    return CountBlock(page, *block);
  };
  return RunOrdered<TableBlock>(blocks, threads, kBlocksAhead * static_cast<size_t>(threads), make,
                                take);
}

}  // namespace

bool WriteFileTable(PageContext* page, const CFileList& files) {
  FileTableWriter writer(page, files);
  const int threads = std::min(page->env->ListingThreads(), kMaxListingThreads);
  if (threads < 2 || !page->out->streaming() ||
      files.size() < page->builder->parallel_table_from_files) {
    return writer.Write();
  }
  writer.WriteTableStart();
  if (!WriteRowsInBlocks(page, files, threads)) return false;
  writer.WriteTableEnd();
  return true;
}

}  // namespace vellora
