#include "custom/custom_html.h"

#include <cstring>

#include "custom/text_file.h"
#include "platform/env.h"

namespace vellora {

namespace {

const char* const kDirectives[kSectionCount] = {
    "/HEAD",
    "/START",
    "/END",
    "/BODYHEADER",
    "/TABLEHEADER",
    "/FOLDER_HREF_APPEND",
    "/FILE_HREF_APPEND",
    "/FOLDER_FILE_LINK",
    "/FOLDER_PREFIX",
    "/BETWEEN_FILES_AND_FOLDERS",
    "/FOLDER_TABLE_HEADER",
    "/ANCHOR",
    "/DOCTYPE",
    "/FOLDER_TD",
    "/FILE_TD",
    "/SIZE_DATE_TD",
    "/FOLDER_HEADER_TD",
    "/FILE_HEADER_TD",
    "/BEFORE_SUMMARY",
    "/ANCHOR_TD",
    "/ANCHOR_TABLE_TD",
    "/ANCHOR_TABLE_HEADER",
    "/ANCHOR_HEADER_TD",
    "/POST_HREF_FOLDER",
    "/POST_HREF_FILE",
    "/PRE_FNAME_FILE",
    "/POST_FNAME_FILE",
    "/PRE_FNAME_FOLDER",
    "/POST_FNAME_FOLDER",
};

const char kCrLf[] = "\r\n";

// A physical line longer than this is read as several lines.
constexpr size_t kMaxLinePiece = 998;

// The section a line names, or -1 when it is content.
int DirectiveOf(const char* line, size_t length) {
  if (length < 2 || line[0] != '/') return -1;
  for (int s = 0; s < kSectionCount; ++s) {
    const char* d = kDirectives[s];
    if (std::strlen(d) == length && std::memcmp(d, line, length) == 0) return s;
  }
  return -1;
}

// Sections that keep only non-empty lines.
bool DropsEmptyLines(int s) {
  return s == kBodyHeader || s == kTableHeader || s == kFolderHrefAppend ||
         s == kFileHrefAppend || s == kFolderFileLink || s == kFolderPrefix;
}

// Sections whose lines are concatenated without line breaks.
bool ConcatenatesLines(int s) { return s == kFolderFileLink || s == kFolderPrefix; }

// Sections whose lines are joined by CR LF (no break after the last one).
bool JoinsLines(int s) {
  switch (s) {
    case kAnchor:
    case kFolderTd:
    case kFileTd:
    case kSizeDateTd:
    case kFolderHeaderTd:
    case kFileHeaderTd:
    case kAnchorTd:
    case kAnchorTableTd:
    case kAnchorTableHeader:
    case kAnchorHeaderTd:
    case kPreFnameFile:
    case kPostFnameFile:
    case kPreFnameFolder:
    case kPostFnameFolder:
      return true;
    default:
      return false;
  }
}

bool EndsWithCrLf(const std::string& s) {
  return s.size() >= 2 && s[s.size() - 2] == '\r' && s[s.size() - 1] == '\n';
}

void DropTrailingCrLf(std::string* s) {
  if (EndsWithCrLf(*s)) s->resize(s->size() - 2);
}

}  // namespace

const char* SectionDirective(int section) {
  if (section < 0 || section >= kSectionCount) return "";
  return kDirectives[section];
}

void CCustomHtml::AddLine(int* current, const char* line, size_t length) {
  int directive = DirectiveOf(line, length);
  if (directive >= 0) {
    *current = directive;
    return;
  }
  if (*current < 0) return;  // before the first directive line
  if (length == 0 && DropsEmptyLines(*current)) return;
  std::string& section = sections_[*current];
  section.append(line, length);
  if (!ConcatenatesLines(*current)) section.append(kCrLf);
}

void CCustomHtml::Load(const std::string& file_name, Env* env) {
  for (std::string& s : sections_) s.clear();
  if (file_name.empty()) return;
  std::string data;
  if (!env->ReadWholeFile(ResolveProgramRelative(file_name, env), kMaxCustomHtmlBytes, &data)) {
    return;
  }

  // Lines end at LF (a CR right before it is dropped); a LF at the very end
  // starts no further line. Long lines are read in pieces of kMaxLinePiece.
  int current = -1;
  const char* p = data.data();
  const char* end = p + data.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* line_end = lf != nullptr ? lf : end;
    size_t length = static_cast<size_t>(line_end - p);
    if (lf != nullptr && length > 0 && p[length - 1] == '\r') --length;
    if (length == 0) {
      AddLine(&current, p, 0);
    } else {
      for (size_t at = 0; at < length; at += kMaxLinePiece) {
        size_t piece = length - at < kMaxLinePiece ? length - at : kMaxLinePiece;
        AddLine(&current, p + at, piece);
      }
    }
    p = lf != nullptr ? lf + 1 : end;
  }

  for (int s : {kFolderHrefAppend, kFileHrefAppend}) {
    std::string& section = sections_[s];
    if (section.empty()) continue;
    DropTrailingCrLf(&section);
    if (section.empty() || section[0] != ' ') section.insert(section.begin(), ' ');
  }
  for (int s = 0; s < kSectionCount; ++s) {
    if (JoinsLines(s)) DropTrailingCrLf(&sections_[s]);
  }
}

}  // namespace vellora
