// Configuration (INI) files: sections in brackets and key=value lines.
//
// The document is read the way the system's profile functions read it: a
// line ends at any run of CR and LF; blanks (space, tab, VT, FF, CR, LF and
// Ctrl-Z) around lines, section names, key names, '=' and values are
// dropped; section and key names match without regard to ASCII case; a line
// that is not a section header is a key up to its first '=' (a line without
// '=' is a key without a value); of several equal sections or keys the first
// one counts; a value in matching quotes loses them. Nothing else is special:
// comment lines are keys that nobody asks for.
//
// Changes are made in the text itself: a changed key's line gets the new
// value in place, a new key goes after the last line of its section, a new
// section goes at the end. Every other byte stays as it was.
#ifndef VELLORA_APP_INI_FILE_H_
#define VELLORA_APP_INI_FILE_H_

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>

namespace vellora {

class Env;

// The longest cut of `text`, at most `max_bytes` long, that splits no
// character.
using CharacterCut = std::function<size_t(const std::string& text, size_t max_bytes)>;

// The cut for the narrow strings of `env`: whole UTF-8 sequences, or whole
// double-byte characters of the active code page.
CharacterCut CharacterCutFor(Env* env);

class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::string bytes) { Parse(std::move(bytes)); }

  // Replaces the document by the file content `bytes`. A leading UTF-8
  // byte-order mark is set aside and written back by Serialize.
  void Parse(std::string bytes);

  // The value of `key` in `section`, or `default_value` (less its trailing
  // spaces) when the section, the key or its '=' is missing. At most
  // `max_chars` bytes are kept, as a buffer of max_chars + 1 would keep them,
  // and no character is split when a character cut is set.
  std::string Get(const std::string& section, const std::string& key,
                  const std::string& default_value, size_t max_chars) const;

  // True when `key` has a value (a line with '=') in `section`.
  bool Has(const std::string& section, const std::string& key) const;

  // Gives `key` the value `value` (leading blanks dropped; a value stops at
  // its first line break or NUL, which could not be read back). False, with
  // the document unchanged, for names that cannot be written as a header or
  // key, and for a UTF-16 document, which this reader cannot interpret.
  bool Set(const std::string& section, const std::string& key, const std::string& value);

  // The file content: the byte-order mark, if any, and the text.
  std::string Serialize() const;

  // The file began with a UTF-16 byte-order mark.
  bool is_utf16() const { return utf16_; }

  // Without one, values are cut between any two bytes.
  void set_character_cut(CharacterCut cut) { cut_ = std::move(cut); }

 private:
  // Where a section lies in text_, and the first line of each of its keys.
  struct SectionIndex {
    bool found = false;
    size_t body_begin = 0;  // after the header line's break
    size_t body_end = 0;    // the next header line, or the end
    size_t append_at = 0;   // after the last non-blank line's break
    // Lower-case key name -> start of its first line.
    std::unordered_map<std::string, size_t> keys;
  };
  struct Line;

  Line ReadLine(size_t pos) const;
  const SectionIndex& Find(const std::string& section) const;
  // Start of the first line of `key` in `section` with a '=' or without;
  // npos when missing.
  size_t FindKey(const std::string& section, const std::string& key) const;
  void Shift(size_t from, ptrdiff_t delta, const SectionIndex* keep_body_begin);
  const char* LineBreak() const;

  std::string CopyEntry(const std::string& value, size_t max_chars) const;

  std::string text_;
  CharacterCut cut_;
  bool bom_ = false;
  bool utf16_ = false;
  // Sections looked up so far, by trimmed lower-case name.
  mutable std::unordered_map<std::string, SectionIndex> sections_;
};

// The longest configuration file that is read; a longer one reads as a
// file that cannot be read (and is therefore never written over).
constexpr size_t kMaxIniFileBytes = size_t{4} << 20;

// Reads the file at `path` into `doc`, which then cuts values as the
// narrow strings of `env` need. False, with an empty document, when the file
// cannot be read or is longer than kMaxIniFileBytes.
bool LoadIniFile(Env* env, const std::string& path, IniDocument* doc);

// Writes `doc` to `path` through a temporary file, so that a failed write
// leaves the old file as it was.
bool SaveIniFile(Env* env, const std::string& path, const IniDocument& doc);

// The document to change and write back to `path`: the file as it is, or an
// empty document when there is no such file. False when the file exists but
// cannot be read, so that writing it would lose its content.
bool OpenIniForUpdate(Env* env, const std::string& path, IniDocument* doc);

// One value, as the profile function would read it.
std::string ReadIniString(Env* env, const std::string& path, const std::string& section,
                          const std::string& key, const std::string& default_value,
                          size_t max_chars);

// One value written into the file, the file and section being created when
// missing. False when nothing was written.
bool WriteIniString(Env* env, const std::string& path, const std::string& section,
                    const std::string& key, const std::string& value);

}  // namespace vellora

#endif  // VELLORA_APP_INI_FILE_H_
