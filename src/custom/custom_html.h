// The custom HTML file: the user's template, divided by directive lines
// ("/HEAD", "/FILE_TD", ...) into 29 sections that the page writer places
// at fixed points of every page. Sections are stored with CR LF line breaks;
// an empty section means "not given" and the writer uses its own default.
#ifndef VELLORA_CUSTOM_CUSTOM_HTML_H_
#define VELLORA_CUSTOM_CUSTOM_HTML_H_

#include <cstddef>
#include <string>

namespace vellora {

class Env;

// Section numbers, in the order the loader knows them.
enum CustomSection {
  kHead = 0,
  kStart,
  kEnd,
  kBodyHeader,
  kTableHeader,
  kFolderHrefAppend,
  kFileHrefAppend,
  kFolderFileLink,
  kFolderPrefix,
  kBetweenFilesAndFolders,
  kFolderTableHeader,
  kAnchor,
  kDoctype,
  kFolderTd,
  kFileTd,
  kSizeDateTd,
  kFolderHeaderTd,
  kFileHeaderTd,
  kBeforeSummary,
  kAnchorTd,
  kAnchorTableTd,
  kAnchorTableHeader,
  kAnchorHeaderTd,
  kPostHrefFolder,
  kPostHrefFile,
  kPreFnameFile,
  kPostFnameFile,
  kPreFnameFolder,
  kPostFnameFolder,
  kSectionCount
};

// The directive line of a section ("/HEAD" for kHead, ...); "" for a
// number outside 0..kSectionCount-1.
const char* SectionDirective(int section);

// The longest custom HTML file (or frame template) that is loaded; a
// longer one is treated as missing. Templates are a few kilobytes, and
// every page carries its sections.
constexpr size_t kMaxCustomHtmlBytes = size_t{16} << 20;

class CCustomHtml {
 public:
  CCustomHtml() = default;

  // Empties every section, then fills them from the named file (a name
  // without a separator is read from the program's folder). A missing or
  // unreadable file, or one longer than kMaxCustomHtmlBytes, leaves every
  // section empty. Any bytes are accepted:
  // lines end at LF (a CR right before it is dropped), a physical line
  // longer than 998 bytes is read as pieces of 998, and NUL bytes are kept.
  void Load(const std::string& file_name, Env* env);

  const std::string& section(int n) const { return sections_[n]; }
  std::string& section(int n) { return sections_[n]; }

 private:
  // Files one line of the file into the section `*current` (-1: none yet).
  void AddLine(int* current, const char* line, size_t length);

  std::string sections_[kSectionCount];
};

}  // namespace vellora

#endif  // VELLORA_CUSTOM_CUSTOM_HTML_H_
