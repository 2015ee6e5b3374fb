// The links of an index page as a browser follows them: a small tolerant
// reader of href and src attributes, and the decoding of their values into
// the paths they lead to on this system.
#ifndef VELLORA_STARTUP_PAGE_LINKS_H_
#define VELLORA_STARTUP_PAGE_LINKS_H_

#include <string>
#include <vector>

namespace vellora {

// The values of every href and src attribute of `html` (any element, names
// in any letter case), as they stand in the page, in page order. Values in
// double or single quotes or unquoted; comments, declarations such as the
// document type, and the bodies of script and style elements are passed
// over. Never fails: broken markup yields what can be read of it.
std::vector<std::string> PageLinks(const std::string& html);

// Character references of an attribute value decoded: "&amp;" "&lt;"
// "&gt;" "&quot;" "&apos;", decimal "&#40;" and hexadecimal "&#x28;" (the
// final ';' required). Numeric references above 127 become UTF-8 where
// `utf8`, and are kept as written otherwise; anything else is kept.
std::string DecodeReferences(const std::string& value, bool utf8);

// Every "%XX" (hexadecimal, either case) turned into its byte; a '%' not
// followed by two hexadecimal digits is kept.
std::string PercentDecode(const std::string& text);

// Where a link value leads.
struct LinkPath {
  enum Kind {
    kSkipped,   // empty, a fragment of the page itself, another scheme, or //host
    kRelative,  // `path` is relative to the page's folder
    kFull,      // `path` is a full path (a file: link, or a drive path on Windows)
  };
  Kind kind = kSkipped;
  // Native separators, decoded; no query or fragment.
  std::string path;
  // The link ends with a separator: only a folder answers it.
  bool folder = false;
};

// Decodes a link value read by PageLinks: character references, then the
// query and fragment cut off, then percent escapes. "file:" links with a
// local path ("file:///srv/x", "File://C:/x/" as the full_pathname_links
// option writes them) are full paths. `windows`: '/' and '\' both separate,
// and "C:\x" or "C:/x" is a drive path rather than a scheme; elsewhere '\'
// is a character of a name.
LinkPath DecodeLink(const std::string& value, bool utf8, bool windows);

}  // namespace vellora

#endif  // VELLORA_STARTUP_PAGE_LINKS_H_
