// The "%%BREADCRUMBS" token of custom sections: the way from the build's top
// folder down to the listed folder, each folder above the listed one linked
// to its page, the listed folder itself marked as the current page.
#ifndef VELLORA_HTML_BREADCRUMBS_H_
#define VELLORA_HTML_BREADCRUMBS_H_

#include <string>

#include "platform/env.h"

namespace vellora {

// The token, replaced in the sections that take "%%DIR".
extern const char kBreadcrumbsToken[];

struct TrailOptions {
  // Put after the "../" steps of every link: the /FOLDER_FILE_LINK section,
  // as the folder table puts it after a folder's name (the user's HTML).
  std::string page_name;
  // False when the top folder has no page (a per-folder build that skips
  // it): its name is then shown without a link.
  bool link_top = true;
  bool replace_iso_chars = false;
  bool xhtml = false;
};

// The trail of `folder` below `top` (both full paths as the build holds
// them): a nav element labelled "路径" (path) holding the top folder's
// own name and the name of every folder below it down to `folder`,
// separated by a '/' that screen readers skip. Folders above `folder` are
// links of "../" steps only, so no name ever reaches a link target and each
// link works from the page's own folder; `folder` itself is a span with
// aria-current="page". A `folder` that does not lie below `top` shows its
// own name alone. Names are escaped as link texts (EscapeNameText) and '%'
// is written "&#37;", so that no name can form a token. The top folder of a
// file-system root is shown as its path ("/", "C:\").
std::string BreadcrumbTrail(const std::string& top, const std::string& folder,
                            const TrailOptions& options, Env* env);

}  // namespace vellora

#endif  // VELLORA_HTML_BREADCRUMBS_H_
