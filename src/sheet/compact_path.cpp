#include "sheet/compact_path.h"

#include <vector>

#include "platform/characters.h"
#include "platform/env.h"

namespace vellora {
namespace {

const char kEllipsis[] = "...";

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

// Offsets at which the characters of `text` start.
std::vector<size_t> CharacterStarts(const std::string& text, Env* env) {
  env = env != nullptr ? env : Env::Default();
  const bool utf8 = env->CharsetName() == "utf-8";
  std::vector<size_t> starts;
  for (size_t at = 0; at < text.size();) {
    starts.push_back(at);
    if (utf8) {
      ++at;
      while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    } else {
      at += CharacterLength(text, at, env);
    }
  }
  return starts;
}

// The last of `count` candidates that fits, by bisection: the candidates
// come from short to long, so once one is too wide every later one is too.
// Only a candidate that was measured to fit is returned; -1 when none fits.
template <typename Fits>
long LastFitting(size_t count, const Fits& fits) {
  long fitting = -1;
  long too_wide = static_cast<long>(count);
  while (too_wide - fitting > 1) {
    const long mid = fitting + (too_wide - fitting) / 2;
    if (fits(static_cast<size_t>(mid))) {
      fitting = mid;
    } else {
      too_wide = mid;
    }
  }
  return fitting;
}

}  // namespace

std::string CompactPathToFit(const std::string& path, int width,
                             const std::function<int(const std::string&)>& measure, Env* env) {
  auto fits = [&](const std::string& text) { return measure(text) <= width; };
  if (fits(path)) return path;

  const std::vector<size_t> starts = CharacterStarts(path, env);
  std::vector<size_t> separators;
  size_t name_separator = std::string::npos;  // the one before the last component
  for (size_t at : starts) {
    if (!IsSeparator(path[at])) continue;
    separators.push_back(at);
    if (at + 1 < path.size() && !IsSeparator(path[at + 1])) name_separator = at;
  }

  std::string lead;  // what stands before a cut last component
  size_t cut_from = 0;
  if (name_separator != std::string::npos) {
    const std::string tail = path.substr(name_separator);
    // Heads to keep: nothing, then each leading run of components that
    // leaves at least one folder component to replace.
    std::vector<size_t> heads = {0};
    for (size_t at : separators) {
      if (at + 1 < name_separator) heads.push_back(at + 1);
    }
    auto shortened = [&](size_t i) { return path.substr(0, heads[i]) + kEllipsis + tail; };
    const long head = LastFitting(heads.size(), [&](size_t i) { return fits(shortened(i)); });
    if (head >= 0) return shortened(static_cast<size_t>(head));
    lead = kEllipsis;
    cut_from = name_separator;
  }

  // Cut the last component (with its separator) after one character or more.
  const size_t shortest = cut_from + (lead.empty() ? 1 : 2);
  std::vector<size_t> cuts;
  for (size_t at : starts) {
    if (at >= shortest) cuts.push_back(at);
  }
  auto cut = [&](size_t i) { return lead + path.substr(cut_from, cuts[i] - cut_from) + kEllipsis; };
  const long longest = LastFitting(cuts.size(), [&](size_t i) { return fits(cut(i)); });
  if (longest >= 0) return cut(static_cast<size_t>(longest));

  std::string dots = kEllipsis;
  while (!dots.empty() && !fits(dots)) dots.pop_back();
  return dots;
}

}  // namespace vellora
