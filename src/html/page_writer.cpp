// write_page: the index page of one folder, from the document type to
// "</body></html>", assembled in memory and saved in one piece, or, for a
// page of many files, written to its file as it is made.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "html/page_writer.h"

#include "custom/text_file.h"
#include "html/breadcrumbs.h"
#include "html/manifest.h"
#include "html/page_output.h"
#include "html/page_saver.h"
#include "html/page_parts.h"
#include "html/text_helpers.h"
#include "platform/characters.h"
#include "platform/path.h"
#include "platform/safe_write.h"

namespace vellora {

std::vector<std::string> SplitSkipFiles(const std::string& skip_files) {
  std::vector<std::string> patterns;
  if (skip_files.empty()) return patterns;
  std::string piece;
  for (char c : skip_files) {
    if (c == ';') {
      patterns.push_back(piece);
      piece.clear();
    } else {
      piece.push_back(c);
    }
  }
  if (skip_files.back() != ';') patterns.push_back(piece);
  return patterns;
}

namespace {

constexpr int32_t kMaxColumns = 20;

const char kHtmlDoctype[] =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
    "\"http://www.w3.org/TR/html4/loose.dtd\">";
const char kXhtmlDoctype[] =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/transitional.dtd\">";

int32_t ClampColumns(int32_t columns) { return std::max(1, std::min(columns, kMaxColumns)); }

void Notify(CBuildProgress* progress) {
  if (progress != nullptr) progress->Notify();
}

// The trail of the page from the build's top folder. Its links lead to the
// page of each folder above, named as the folder table names them; a
// per-folder build that skips the top folder has no page there to link.
std::string PageTrail(const PageContext& page) {
  const CBuildSettings& s = *page.settings;
  TrailOptions options;
  options.page_name = page.section(kFolderFileLink);
  options.link_top = !(s.recursive_build && s.multi_recurse_link && s.multi_recurse_skip_root);
  options.replace_iso_chars = s.replace_iso_chars != 0;
  options.xhtml = s.xml_compliant != 0;
  return BreadcrumbTrail(page.tree_folder, page.folder, options, page.env);
}

// Places one of the sections that take the page tokens and included files.
void AddTokenSection(PageContext* page, int section, const std::string& page_date) {
  const std::string& text = page->section(section);
  if (text.empty()) return;
  std::string copy = text;
  TextSpans file_text;
  ReplaceTokens(&copy, page->settings->path, page_date, page->settings->xml_compliant != 0,
                page->env, &file_text);
  if (copy.find(kBreadcrumbsToken) != std::string::npos) {
    if (!page->breadcrumbs_made) {
      page->breadcrumbs = PageTrail(*page);
      page->breadcrumbs_made = true;
    }
    ReplaceTokenWithFileText(&copy, kBreadcrumbsToken, page->breadcrumbs, &file_text);
  }
  ExpandIncludes(&copy, IncludeScope{page->settings->path, page->tree_folder}, page->env,
                 &file_text);
  page->out->AddHtml(copy, &file_text);
}

// A value of the user's for an attribute in double quotes: the characters
// that could end the attribute or start markup become references.
std::string AttributeText(const std::string& value) {
  std::string text;
  for (char c : value) {
    switch (c) {
      case '&': text += "&amp;"; break;
      case '"': text += "&quot;"; break;
      case '<': text += "&lt;"; break;
      case '>': text += "&gt;"; break;
      default: text += c;
    }
  }
  return text;
}

void WriteHead(PageContext* page) {
  const CBuildSettings& s = *page->settings;
  PageOutput& out = *page->out;
  const std::string& doctype = page->section(kDoctype);
  if (doctype.empty()) {
    out.Add(s.xml_compliant ? kXhtmlDoctype : kHtmlDoctype);
    out.Add(kCrLf);
  } else if (doctype != kCrLf) {
    out.AddHtml(doctype);
  }
  if (s.html_lang.empty()) {
    out.Add("<html>");
  } else {
    out.Add("<html lang=\"");
    out.Add(AttributeText(s.html_lang));
    out.Add("\">");
  }
  out.Add(kCrLf);
  out.Add("<head>");
  out.Add(kCrLf);
  if (s.xml_compliant) {
    // The charset the page's bytes are really in.
    out.Add("<meta http-equiv=\"Content-type\" content=\"text/html; charset=");
    out.Add(page->env->CharsetName());
    out.Add("\"/>");
    out.Add(kCrLf);
  }
#ifndef _WIN32
  // Pages in UTF-8 must say so: a browser given an unlabelled page takes it
  // for its locale's legacy charset. On Windows the page is in the system's
  // code page, which is the browser's default there.
  if (!s.xml_compliant) {
    out.Add("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    out.Add(kCrLf);
  }
#endif
  out.Add("<meta name=\"generator\" content=\"vellora\"");
  if (s.xml_compliant) out.Add('/');
  out.Add('>');
  out.Add(kCrLf);
  if (!s.title.empty()) {
    out.Add("<title>");
    // A title made from folder names is text, the user's own one HTML.
    if (page->builder->title_from_names) {
      out.Add(s.title);
    } else {
      out.AddHtml(s.title);
    }
    out.Add("</title>");
    out.Add(kCrLf);
  }
  const std::string& head = page->section(kHead);
  if (!head.empty()) {
    std::string copy = head;
    TextSpans file_text;
    ExpandIncludes(&copy, IncludeScope{page->folder, page->tree_folder}, page->env, &file_text);
    out.AddHtml(copy, &file_text);
  }
  out.Add("</head>");
  out.Add(kCrLf);
  const std::string& body_header = page->section(kBodyHeader);
  if (body_header.empty()) {
    out.Add("<body>");
    out.Add(kCrLf);
  } else {
    out.AddHtml(body_header);
  }
}

std::string WithoutLeadingSlash(const std::string& folder) {
  return !folder.empty() && folder[0] == '/' ? folder.substr(1) : folder;
}

std::string WithoutTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() == '/') folder.pop_back();
  return folder;
}

// The rows of the folder table, linked as the table links them.
void AddFolderManifest(const PageContext& page, const CFileList& folders,
                       std::vector<ManifestEntry>* entries) {
  const std::string& file_link = page.section(kFolderFileLink);
  for (const CFileEntry* e = folders.head(); e != nullptr; e = e->next) {
    ManifestEntry m;
    m.name = e->name;
    m.link = e->name + "/";
    if (page.links_out.count(e->name) == 0) m.link += file_link;
    m.is_folder = true;
    m.time = e->time;
    m.has_time = e->time != 0;
    entries->push_back(std::move(m));
  }
}

// The files of the file table, linked as the table links them; with
// `paths` each with its full path, to be read.
void AddFileManifest(const PageContext& page, const CFileList& files, bool paths,
                     std::vector<ManifestEntry>* entries) {
  const CBuildSettings& s = *page.settings;
  const bool branch = page.builder->recurse_scan != 0;
  const std::string base = WithTrailingSeparator(page.folder, page.env);
  for (const CFileEntry* e = files.head(); e != nullptr; e = e->next) {
    ManifestEntry m;
    m.name = e->name;
    std::string relative;
    if (branch) {
      relative = WithoutLeadingSlash(e->folder());
      m.folder = WithoutTrailingSlash(relative);
    }
    m.link = relative + e->name;
    m.has_link = s.non_functional_links == 0;
    m.has_size = true;
    m.size = e->size;
    m.time = e->time;
    m.has_time = true;
    if (paths) {
      if (kSeparator != '/') ReplaceCharacter(&relative, '/', kSeparator, page.env);
      m.path = base + relative + e->name;
      m.is_link = e->is_link;
    }
    entries->push_back(std::move(m));
  }
}

// The listed folder relative to the build's top folder, '/' between names.
std::string ManifestFolder(const PageContext& page) {
  const std::string top = WithTrailingSeparator(page.tree_folder, page.env);
  const std::string here = WithTrailingSeparator(page.folder, page.env);
  if (here.compare(0, top.size(), top) != 0) return std::string();
  return WithoutTrailingSlash(WithSlashes(here.substr(top.size()), page.env));
}

// Links out of the tree are not read, as for link titles.
class TreeCheck : public ManifestFileCheck {
 public:
  explicit TreeCheck(CPageWriter* builder) : builder_(*builder) {}
  bool LeadsOutOfTree(const std::string& path) override {
    return builder_.FileLeadsOutOfTree(path);
  }

 private:
  CPageWriter& builder_;
};

}  // namespace

std::string WithSlashes(const std::string& path, Env* env) {
  std::string slashed = path;
  if (kSeparator != '/') ReplaceCharacter(&slashed, kSeparator, '/', env);
  return slashed;
}

CPageWriter::CPageWriter(CBuildSettings* build_settings, Env* system)
    : CFolderScanner(build_settings, system), page_text(std::make_unique<std::string>()) {}

CPageWriter::~CPageWriter() = default;

void CPageWriter::TakeSavedPages() {
  if (page_saver == nullptr) return;
  const std::vector<CPageSaver::Saved> saves = page_saver->Finish();
  for (const CPageSaver::Saved& saved : saves) {
    if (!saved.written) {
      PageNotWritten(saved.path);
      continue;
    }
    ++pages_written;
    if (!saved.manifest_path.empty() && !saved.manifest_written) PageNotWritten(saved.manifest_path);
  }
  if (main_file_save_ != 0 && main_file_save_ <= saves.size() &&
      !saves[main_file_save_ - 1].written) {
    main_file_path.clear();
  }
  main_file_save_ = 0;
}

void CPageWriter::PageNotWritten(const std::string& path) {
  failed_pages.push_back(
      FailedPage{path, env->IsLink(path) ? PageFailure::kLink : PageFailure::kNotWritten});
}

int CPageWriter::write_page(const std::string& folder) {
  // 1-7: one-shot skip, progress, options of this page.
  page_unreadable = 0;
  if (skip_next_page) {
    skip_next_page = 0;
    return 0;
  }
  if (progress != nullptr) {
    ++progress->folders_entered;
    progress->links_done = 0;
    progress->links_total = 0;
  }
  main_file_path.clear();
  main_file_save_ = 0;
  if (settings == nullptr || folder.empty()) return 0;
  CBuildSettings& s = *settings;
  static const CDefaultWords kNoWords;
  s.file_columns = ClampColumns(s.file_columns);
  s.folder_columns = ClampColumns(s.folder_columns);
  if (s.reload_custom_html) s.custom_html.Load(s.custom_html_filename, env);
  if (!folder_link_override.empty()) s.custom_html.section(kFolderFileLink) = folder_link_override;
  skip_file_patterns = SplitSkipFiles(s.skip_files);

  PageOutput out(this);
  PageContext page;
  page.builder = this;
  page.settings = &s;
  page.words = s.default_words != nullptr ? s.default_words : &kNoWords;
  page.env = env;
  page.out = &out;
  page.folder = folder;
  page.tree_folder = tree_folder.empty() ? s.path : tree_folder;

  // 8-17: document type, head, body start.
  WriteHead(&page);
  const std::string page_date = FormatPageDate(env, env->Now(), s.euro_date_style != 0,
                                               DateFormOf(s.date_style, s.xml_compliant != 0));
  AddTokenSection(&page, kStart, page_date);

  // 18-21: folder table, then the place of the folder-anchor table.
  page.link_base = MakeLinkBase(s.path, s.href20 != 0, s.xml_compliant != 0, env);
  // A folder that cannot be read gets no page: an empty one would replace
  // a good page with a false one.
  bool read = true;
  CFileList folders;
  if (s.include_subfolders && !first_right_frame_page) {
    read = ScanSubfolders(&page, &folders);
    WriteFolderTable(&page, &folders);
  }
  const bool listed_folders = !folders.empty();
  const bool manifest = ManifestWanted(s.manifest);
  std::vector<ManifestEntry> manifest_entries;
  if (manifest) AddFolderManifest(page, folders, &manifest_entries);
  folders.Clear();
  AddTokenSection(&page, kBetweenFilesAndFolders, page_date);
  WriteReadme(&page);
  out.AddMarker();

  // 22-25: the files.
  CFileList files;
  if (!env->CanEnterFolder(folder) || !Scan(files, folder, s.file_spec)) read = false;
  if (progress != nullptr) {
    progress->current_folder = folder;
    progress->phase = 1;
    Notify(progress);
  }
  OrderFileList(&page, &files);
  if (progress != nullptr) {
    progress->phase = 2;
    Notify(progress);
  }
  const std::string output_path = ContainsSeparator(s.output_filename, env)
                                      ? s.output_filename
                                      : WithTrailingSeparator(folder, env) + s.output_filename;
  // A page of many files is written as it is made rather than held: it
  // lists files, so it is written once its folder was read. The anchors
  // are known now, so the anchor table is too.
  if (read && !files.empty() && files.size() >= stream_from_files) {
    out.StreamTo(env->StartSafeWrite(output_path), BuildAnchorTable(&page));
  }
  if (!WriteFileTable(&page, files)) {
    // Cancelled: nothing is written. The text is dropped so that no later
    // page is joined with it.
    files.Clear();
    page_text->clear();
    page_chunks.clear();
    page_chunk_count = 0;
    skip_file_patterns.clear();
    return 0;
  }
  const bool listed_files = !files.empty();
  if (manifest) AddFileManifest(page, files, s.manifest_checksums != 0, &manifest_entries);
  // A long list is freed while the page is finished and saved.
  const CListRelease release(std::move(files));

  // 26-29: summary and end.
  AddTokenSection(&page, kBeforeSummary, page_date);
  if (s.include_summary) WriteSummary(&page);
  if (progress != nullptr) {
    progress->links_done = progress->links_total;
    progress->phase = 2;
    Notify(progress);
  }
  AddTokenSection(&page, kEnd, page_date);
  out.Add("</body></html>");

  // 30-34: save the page, unless it lists nothing.
  int result = 0;
  if (!read) {
    page_unreadable = 1;
  } else if (listed_files || listed_folders || first_right_frame_page) {
    if (progress != nullptr) {
      progress->phase = 3;
      progress->links_done = progress->links_total;
      Notify(progress);
      progress->phase = 2;
    }
    std::string manifest_text;
    bool go_on = true;
    if (manifest) {
      ManifestPage about;
      about.title = s.title;
      about.folder = ManifestFolder(page);
      about.branch = recurse_scan != 0;
      about.checksums = s.manifest_checksums != 0;
      if (about.checksums) {
        TreeCheck check(this);
        go_on = HashFiles(env, &manifest_entries, &check,
                          progress != nullptr ? &progress->cancel : nullptr);
      }
      if (go_on) manifest_text = ManifestJson(about, manifest_entries, env);
      manifest_entries.clear();
    }
    // Cancelled while reading the files: neither the page nor its manifest
    // (a streamed page is dropped with `out`).
    if (go_on && page_saver != nullptr && !out.streaming()) {
      // Saved on a worker; what came of it is told by TakeSavedPages.
      CPageSaver::Page handed;
      handed.path = output_path;
      handed.text = out.Join(BuildAnchorTable(&page));
      if (manifest) {
        handed.manifest_path = output_path + kManifestSuffix;
        handed.manifest_text = std::move(manifest_text);
      }
      // The last page made is the main file, unless its save fails.
      main_file_save_ = page_saver->Save(std::move(handed)) + 1;
      main_file_path = output_path;
      result = 1;
    } else if (go_on) {
      bool written = false;
      if (out.streaming()) {
        written = out.Commit();
      } else {
        const std::string anchor_table = BuildAnchorTable(&page);
        written = env->WritePiecesSafely(output_path, out.Pieces(anchor_table));
      }
      if (written) {
        main_file_path = output_path;
        ++pages_written;
        result = 1;
        const std::string manifest_path = output_path + kManifestSuffix;
        if (manifest && !env->WriteFileSafely(manifest_path, manifest_text)) {
          PageNotWritten(manifest_path);
        }
      } else {
        PageNotWritten(output_path);
      }
    }
  }

  // 35: clean up.
  skip_file_patterns.clear();
  page_text->clear();
  page_chunks.clear();
  page_chunk_count = 0;
  first_right_frame_page = 0;
  return result;
}

}  // namespace vellora
