// Link titles: the text of an HTML page's title element, shown instead of
// the file name when titles are used for links.
#include <cstdint>
#include <string>

#include "platform/path.h"
#include "platform/text_case.h"
#include "scan/folder_scanner.h"

namespace vellora {

namespace {

bool IsHtmlName(const std::string& upper_name) {
  return upper_name.find(".HTM") != std::string::npos ||
         upper_name.find(".SHTML") != std::string::npos;
}

}  // namespace

std::string CFolderScanner::ReadLinkTitle(const std::string& folder, const CFileEntry& entry) {
  if (!IsHtmlName(UpperCased(entry.name, env))) return entry.name;
  // Of a longer page only the head is searched.
  std::string content;
  if (env->ReadFile(WithTrailingSeparator(folder, env) + entry.name, kTitleHeadBytes, &content) ==
      ReadResult::kFailed) {
    return entry.name;
  }
  // The search stops at the first zero byte. Upper-casing keeps every
  // character's length, so positions in the copy hold in the content.
  const size_t end = content.find('\0');
  std::string upper(content, 0, end == std::string::npos ? content.size() : end);
  UpperCaseInPlace(&upper, env);
  const size_t open = upper.find("<TITLE>");
  if (open == std::string::npos) return entry.name;
  const size_t start = open + 7;
  const size_t close = upper.find("</TITLE>", start);
  if (close == std::string::npos || close == start) return entry.name;
  return content.substr(start, close - start);
}

}  // namespace vellora
