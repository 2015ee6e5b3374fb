#include "scan/folder_scanner.h"

namespace vellora {

CFolderScanner::CFolderScanner(CBuildSettings* build_settings, Env* system)
    : settings(build_settings), env(system != nullptr ? system : Env::Default()) {}

CFolderScanner::~CFolderScanner() = default;

}  // namespace vellora
