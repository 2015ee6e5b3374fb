#include "html/breadcrumbs.h"

#include <vector>

#include "html/text_helpers.h"
#include "platform/characters.h"
#include "platform/path.h"

namespace vellora {

const char kBreadcrumbsToken[] = "%%BREADCRUMBS";

namespace {

// "路径" (path) as character references: a page may be in any code page.
const char kTrailStart[] = "<nav class=\"trail\" aria-label=\"&#36335;&#24452;\">";
const char kTrailStep[] = "<span aria-hidden=\"true\"> / </span>";

std::string TrailText(const std::string& name, const TrailOptions& options) {
  std::string text = EscapeNameText(name, options.replace_iso_chars, options.xhtml);
  ReplaceAll(&text, "%", "&#37;");
  return text;
}

// The folder's own name; a file-system root is its own name.
std::string OwnName(const std::string& folder, Env* env) {
  std::string trimmed = folder;
  while (!IsFileSystemRoot(trimmed) && EndsWithCharacter(trimmed, kSeparator, env)) {
    trimmed.pop_back();
  }
  if (IsFileSystemRoot(trimmed)) return trimmed;
  const std::string name = TextAfterLastSeparator(trimmed, env);
  return name.empty() ? folder : name;
}

// The names of the folders from `top` (excluded) down to `folder`; false
// when `folder` does not lie below `top`.
bool StepsBelow(const std::string& top, const std::string& folder, Env* env,
                std::vector<std::string>* steps) {
  if (folder == top) return true;
  const std::string prefix = WithTrailingSeparator(top, env);
  if (prefix.empty() || folder.size() <= prefix.size() ||
      folder.compare(0, prefix.size(), prefix) != 0) {
    return false;
  }
  const std::string rest = folder.substr(prefix.size());
  size_t from = 0;
  for (;;) {
    const size_t at = FindCharacter(rest, kSeparator, from, env);
    const std::string step = rest.substr(from, at == std::string::npos ? at : at - from);
    if (!step.empty()) steps->push_back(step);
    if (at == std::string::npos) return true;
    from = at + 1;
  }
}

}  // namespace

std::string BreadcrumbTrail(const std::string& top, const std::string& folder,
                            const TrailOptions& options, Env* env) {
  std::vector<std::string> names;
  std::vector<std::string> steps;
  if (StepsBelow(top, folder, env, &steps)) {
    names.push_back(OwnName(top, env));
    names.insert(names.end(), steps.begin(), steps.end());
  } else {
    names.push_back(OwnName(folder, env));
  }
  std::string trail = kTrailStart;
  const size_t last = names.size() - 1;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) trail += kTrailStep;
    const std::string text = TrailText(names[i], options);
    if (i == last) {
      trail += "<span aria-current=\"page\">" + text + "</span>";
    } else if (i == 0 && !options.link_top) {
      trail += text;
    } else {
      trail += "<a href=\"";
      for (size_t up = i; up < last; ++up) trail += "../";
      trail += options.page_name;
      trail += "\">" + text + "</a>";
    }
  }
  trail += "</nav>";
  return trail;
}

}  // namespace vellora
