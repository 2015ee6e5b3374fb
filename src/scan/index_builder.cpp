#include "scan/index_builder.h"

namespace vellora {

CIndexBuilder::CIndexBuilder(CBuildSettings* build_settings, Env* system)
    : settings(build_settings),
      page_text(std::make_unique<std::string>()),
      env(system != nullptr ? system : Env::Default()) {}

CIndexBuilder::~CIndexBuilder() = default;

void CIndexBuilder::PageNotWritten(const std::string& path) {
  failed_pages.push_back(
      FailedPage{path, env->IsLink(path) ? PageFailure::kLink : PageFailure::kNotWritten});
}

}  // namespace vellora
