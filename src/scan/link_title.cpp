// Link titles: the text of an HTML page's title element, shown instead of
// the file name when titles are used for links.
#include <cstdint>
#include <new>
#include <string>

#include "platform/path.h"
#include "platform/text_case.h"
#include "scan/index_builder.h"

namespace vellora {

namespace {

// Pages larger than this are not read for their title: a title sits in the
// head of a page, and reading a file of gigabytes (or a sparse one) whole
// into memory twice would exhaust it.
constexpr int64_t kMaxTitlePageBytes = 64 * 1024 * 1024;

bool IsHtmlName(const std::string& upper_name) {
  return upper_name.find(".HTM") != std::string::npos ||
         upper_name.find(".SHTML") != std::string::npos;
}

}  // namespace

std::string CIndexBuilder::ReadLinkTitle(const std::string& folder, const CFileEntry& entry) {
  if (!IsHtmlName(UpperCased(entry.name, env))) return entry.name;
  if (entry.size > kMaxTitlePageBytes) return entry.name;
  try {
    std::string content;
    if (!env->ReadWholeFile(WithTrailingSeparator(folder, env) + entry.name, &content)) {
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
  } catch (const std::bad_alloc&) {
    return entry.name;
  }
}

}  // namespace vellora
