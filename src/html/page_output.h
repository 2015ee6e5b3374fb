// The text of the page being assembled. It lives in the builder's
// `page_text` and, every 300 files, is copied into `page_chunks` (each chunk
// exactly as long as its text) while `page_text` keeps its room for the
// next files, so that a page of many files never grows one string in small
// steps nor holds spare room per chunk. The places of the folder-anchor
// marker are recorded as the text is written and filled in when the page is
// handed out in pieces, so no pass over the whole page searches for it and
// the page is never copied whole before it is written.
//
// A page too long to hold is streamed instead: once it is known to be
// written, the text so far goes to a safe write of the page file, and from
// then on the text of every kFilesPerChunk files follows it there, the
// folder-anchor table (known by then) put in at each marker as it comes.
#ifndef VELLORA_HTML_PAGE_OUTPUT_H_
#define VELLORA_HTML_PAGE_OUTPUT_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "custom/text_spans.h"

namespace vellora {

class CPageWriter;
class CSafeFileWrite;

// The marker of the folder-anchor table.
extern const char kAnchorMarker[];

// The line break of every page.
extern const char kCrLf[];

class PageOutput {
 public:
  // Files written between two moves of the page text into the chunks.
  static constexpr int kFilesPerChunk = 300;

  // Empties the builder's page text and chunks.
  explicit PageOutput(CPageWriter* builder);
  // A block of a streamed page made apart from it (on a worker thread): the
  // text goes to `*text`, `anchor_table` at every marker place; nothing is
  // moved or written. Handed to the page with AddStreamed.
  PageOutput(std::string* text, std::string anchor_table);
  // A page streamed and not committed is dropped: the old file stays.
  ~PageOutput();

  // Generated text (names included): written as it is.
  void Add(const std::string& text) { text_->append(text); }
  void Add(const char* text) { text_->append(text); }
  void Add(std::string_view text) { text_->append(text.data(), text.size()); }
  void Add(char c) { text_->push_back(c); }

  // A name escaped as EscapeLinkTarget(name, href20, replace_iso_chars,
  // xhtml) or as EscapeNameText(name, replace_iso_chars, xhtml) does,
  // without temporaries for the usual names.
  void AddLinkTarget(const std::string& name, bool href20, bool replace_iso_chars,
                     bool xhtml = false);
  void AddNameText(const std::string& name, bool replace_iso_chars, bool xhtml = false);

  // The user's own HTML (custom sections, title, default words): every
  // marker in it becomes a place of the folder-anchor table, except where it
  // touches one of the `file_text` spans (names, paths and file content that
  // came from the file system).
  void AddHtml(const std::string& html, const TextSpans* file_text = nullptr);

  // A place of the folder-anchor table.
  void AddMarker();

  // Counts one file of the file table; copies the text aside (or, when
  // streaming, writes it) every kFilesPerChunk files.
  void CountFile();

  // Streams the page to `write`: the text so far with `anchor_table` at its
  // markers, and from now on the text as it comes.
  void StreamTo(std::unique_ptr<CSafeFileWrite> write, std::string anchor_table);
  bool streaming() const { return write_ != nullptr; }

  // Writes `text` (a block made apart) after the text so far of a streamed
  // page.
  void AddStreamed(const std::string& text);
  // The folder-anchor table of a streamed page.
  const std::string& anchor_table() const { return anchor_table_; }

  // Writes the rest of a streamed page and puts it in place; false when it
  // could not be written (the old file is then left as it was).
  bool Commit();

  // Bytes written so far.
  size_t size() const { return moved_ + text_->size(); }

  // The whole page held (not streamed) with `anchor_table` at every marker
  // place, as pieces for Env::WritePiecesSafely. They point into the builder's chunks and
  // text and into `anchor_table`, and stay valid until one of those changes.
  std::vector<std::string_view> Pieces(const std::string& anchor_table) const;

  // The pieces joined into one string; the chunks are freed and the
  // builder's text is left empty.
  std::string Join(const std::string& anchor_table);

 private:
  CPageWriter* builder_;  // null for a block made apart
  std::string* text_;
  size_t moved_ = 0;
  int files_since_move_ = 0;
  std::vector<size_t> markers_;
  std::unique_ptr<CSafeFileWrite> write_;
  std::string anchor_table_;  // put in at the markers of a streamed page
  bool write_ok_ = true;
};

}  // namespace vellora

#endif  // VELLORA_HTML_PAGE_OUTPUT_H_
