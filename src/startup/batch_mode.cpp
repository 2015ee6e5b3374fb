#include "startup/batch_mode.h"

#include <memory>

#include "settings/build_settings.h"
#include "settings/main_sheet.h"
#include "custom/text_file.h"
#include "modes/framed_site.h"
#include "platform/path.h"
#include "modes/run_build.h"

namespace vellora {

BatchOutcome Failure(int status, const std::string& message) {
  BatchOutcome outcome;
  outcome.status = status;
  outcome.message = message;
  return outcome;
}

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Checks that the folder to list can be entered. A relative folder is
// replaced by its full path: the pages are written from inside the folders
// they list, where a relative name no longer leads anywhere. The current
// folder is restored.
bool PrepareFolder(Env* env, CBuildSettings* s) {
  std::string start;
  const bool have_start = env->GetCurrentFolder(&start);
  if (!env->IsFolder(s->path) || !env->SetCurrentFolder(s->path)) return false;
  bool ok = true;
  if (!IsFullPath(s->path)) {
    std::string full;
    ok = env->GetCurrentFolder(&full);
    if (ok) {
      s->path = full;
      s->root_folder = full;
    }
  }
  if (have_start) env->SetCurrentFolder(start);
  return ok;
}

}  // namespace

BatchOutcome PrepareBatchBuild(CMainSheet* sheet, const std::string& config_name,
                               CBuildSettings* settings) {
  if (!sheet->ReadConfiguration(config_name)) {
    return Failure(kExitNoConfig, "cannot read the configuration file " +
                                      Quoted(sheet->ResolveConfigName(config_name)));
  }
  sheet->Exchange(1, settings);
  CBuildSettings& s = *settings;

  Env* env = sheet->env();
  if (s.path.empty()) {
    return Failure(kExitBuildFailed, "no folder to index: the key \"path\" is empty in " +
                                         Quoted(sheet->ResolveConfigName(config_name)));
  }
  if (!PrepareFolder(env, &s)) {
    return Failure(kExitBuildFailed,
                   "the folder " + Quoted(s.path) + " does not exist or cannot be entered");
  }

  const bool framed = s.build_framed_site != 0 && s.recursive_build != 0;
  if (framed) {
    std::string frameset = LoadTextFile(sheet->frameset_file, std::string(), env);
    if (frameset.empty()) {
      return Failure(kExitBuildFailed, "the frameset template " + Quoted(sheet->frameset_file) +
                                           " is missing or empty");
    }
    LowerFrameSources(&frameset, env);
    std::string left, right;
    if (!FrameSourceNames(frameset, &left, &right, env)) {
      return Failure(kExitBuildFailed, "the frameset template " + Quoted(sheet->frameset_file) +
                                           " does not name two frame pages with src=\"...\"");
    }
  }
  return BatchOutcome();
}

namespace {

BatchOutcome BuildFromConfiguration(CMainSheet* sheet, const std::string& config_name) {
  auto settings = std::make_unique<CBuildSettings>();
  BatchOutcome prepared = PrepareBatchBuild(sheet, config_name, settings.get());
  if (prepared.status != kExitBuilt) return prepared;
  return RunPreparedBuild(sheet, settings.get());
}

}  // namespace

BatchOutcome RunPreparedBuild(CMainSheet* sheet, CBuildSettings* settings, Env* env) {
  CBuildSettings& s = *settings;
  if (env == nullptr) env = sheet->env();
  const BuildResult result = RunBuild(
      s, FrameFiles{sheet->frameset_file, sheet->left_frame_file, sheet->right_frame_file}, nullptr,
      env);
  const std::vector<FailedPage>& failed = result.failed_pages;
  if (failed.empty()) return BatchOutcome();
  if (failed.front().reason == PageFailure::kFolderUnreadable) {
    return Failure(kExitBuildFailed,
                   "cannot read the folder " + Quoted(s.path) + "; its page was left as it was");
  }
  std::string message = "could not write " + Quoted(failed.front().path);
  if (failed.front().reason == PageFailure::kLink) {
    message += " (a link: pages are never written through links)";
  }
  if (failed.size() > 1) {
    message += " and " + std::to_string(failed.size() - 1) + " more page(s)";
  }
  return Failure(kExitBuildFailed, message);
}

BatchOutcome RunBatchMode(CMainSheet* sheet, const std::string& config_name) {
  BatchOutcome outcome = BuildFromConfiguration(sheet, config_name);
  outcome.warnings = sheet->config_warnings;
  return outcome;
}

}  // namespace vellora
