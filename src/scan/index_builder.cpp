#include "scan/index_builder.h"

namespace vellora {

CIndexBuilder::CIndexBuilder(CBuildSettings* build_settings, Env* system)
    : settings(build_settings),
      page_text(std::make_unique<std::string>()),
      env(system != nullptr ? system : Env::Default()) {}

CIndexBuilder::~CIndexBuilder() = default;

}  // namespace vellora
