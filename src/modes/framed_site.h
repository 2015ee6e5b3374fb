// The frameset template of a framed site: its spelling of the frame sources
// and the two page names it gives the left and right frames.
#ifndef VELLORA_MODES_FRAMED_SITE_H_
#define VELLORA_MODES_FRAMED_SITE_H_

#include <string>

namespace vellora {

class Env;

// Turns every "SRC=" of the template into "src=" (exact spelling only). The
// template is searched character by character in the encoding of `env`
// (null: the system's), so the trail byte of a double-byte character never
// starts a match; the same holds for FrameSourceNames.
void LowerFrameSources(std::string* frameset, Env* env = nullptr);

// The values of the first two "src=" attributes of `frameset`: each starts
// one character after "src=" (past the opening quote, whatever it is) and
// runs to the next double quote. False, with both names untouched, when the
// template has fewer than two such attributes or a value is empty or lacks
// its closing double quote.
bool FrameSourceNames(const std::string& frameset, std::string* left, std::string* right,
                      Env* env = nullptr);

}  // namespace vellora

#endif  // VELLORA_MODES_FRAMED_SITE_H_
