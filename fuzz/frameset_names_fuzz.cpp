// Runs the frameset template's source rewrite and frame-name extraction on
// arbitrary templates: no crash, and names that are found lie inside the
// template and hold no double quote.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "modes/framed_site.h"

namespace {

void Check(bool ok, int line) {
  if (ok) return;
  std::fprintf(stderr, "check failed at line %d\n", line);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellora;
  std::string frameset(reinterpret_cast<const char*>(data), size);
  LowerFrameSources(&frameset);
  Check(frameset.size() == size, __LINE__);
  Check(frameset.find("SRC=") == std::string::npos, __LINE__);

  std::string left = "unchanged";
  std::string right = "unchanged";
  if (FrameSourceNames(frameset, &left, &right)) {
    Check(!left.empty() && !right.empty(), __LINE__);
    Check(left.find('"') == std::string::npos && right.find('"') == std::string::npos, __LINE__);
    Check(frameset.find(left) != std::string::npos, __LINE__);
    Check(frameset.find(right) != std::string::npos, __LINE__);
  } else {
    Check(left == "unchanged" && right == "unchanged", __LINE__);
  }
  return 0;
}
