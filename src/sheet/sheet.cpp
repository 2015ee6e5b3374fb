#include "sheet/sheet.h"

#include <cctype>

#include "html/text_helpers.h"
#include "platform/env.h"
#include "platform/path.h"
#include "modes/run_build.h"
#include "settings/ini_file.h"
#include "sheet/option_dialogs.h"
#include "sheet/sheet_paths.h"

namespace vellora {

namespace {

const char kCancelBuildCaption[] = "取消创建 HTML";
const char kHelpDocument[] = "vellora_help.html";
const char kIniFilter[] = ".ini 文件 |*.ini|";

#ifdef _WIN32
// The batch file starts the program with its configuration file.
const char kBatchFilter[] = "批处理文件 |*.bat|";
const char kBatchExtension[] = "bat";
const char kBatchDefaultName[] = "bld_html.bat";
#else
// A shell script stands in for the batch file.
const char kBatchFilter[] = "Shell 脚本 |*.sh|";
const char kBatchExtension[] = "sh";
const char kBatchDefaultName[] = "bld_html.sh";
#endif

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The configuration file saved with a batch file: the dot before the
// extension taken out and ".ini" added ("run.BAT" gives "runBAT.ini").
std::string BatchConfigPath(const std::string& batch) {
  const size_t dot = batch.size() - std::string(kBatchExtension).size() - 1;
  return batch.substr(0, dot) + batch.substr(dot + 1) + ".ini";
}

// The batch file's text: on Windows one line without a line end, as batch
// mode takes the whole command line as the file name; on POSIX a script.
std::string BatchFileText(const std::string& config, Env* env) {
#ifdef _WIN32
  (void)env;
  return "vellora.exe " + config;
#else
  return "#!/bin/sh\nexec " + ShellQuoted(env->ExecutablePath()) + " " + ShellQuoted(config) +
         "\n";
#endif
}

}  // namespace

CProgressLines ProgressLinesFor(const CBuildProgress& p) {
  CProgressLines lines;
  if (p.phase == 1) {
    lines.folder_line = "文件，文件夹搜索结束";
    lines.file_line = "正排序 " + insert_thousands_separators(std::to_string(p.links_total), true,
                                                                false) +
                      " 链接 ...";
  } else if (p.phase == 3) {
    lines.folder_changed = false;
    lines.file_line = "保存 html 文件...";
  } else {
    lines.folder_is_path = true;
    lines.folder_line = p.current_folder;
    lines.file_line = "链接已处理: " + std::to_string(p.links_done) + " 共 " +
                      std::to_string(p.links_total);
    if (p.links_total > 0) {
      lines.bar_changed = true;
      lines.bar_high = p.links_total;
      lines.bar_position = p.links_done;
    }
  }
  return lines;
}

CSheetModel::CSheetModel(CMainSheet* stored, CDesktop* desktop)
    : stored_(stored), desktop_(desktop), env_(stored->env()) {
  if (stored_->batch_file_name == "bld_html.bat") stored_->batch_file_name = kBatchDefaultName;
  controls = stored_->StoredControlValues();
}

void CSheetModel::Open() {
  stored_->ReadConfiguration(stored_->config_path);
  Refresh();
  const int page = stored_->active_page;
  controls.active_page = page >= 0 && page < kPageCount ? page : 0;
}

void CSheetModel::Refresh() {
  const int page = controls.active_page;
  controls = stored_->StoredControlValues();
  controls.active_page = page;
}

void CSheetModel::SetIncludeTime(bool on) {
  controls.include_time = on ? 1 : 0;
  if (on) controls.include_date = 1;
}

void CSheetModel::SetIncludeDate(bool on) {
  controls.include_date = on ? 1 : 0;
  if (!on) controls.include_time = 0;
}

bool CSheetModel::OnFunctionKey(int function_key, bool ctrl) {
  const SheetKey* key = FindSheetKey(function_key, ctrl);
  if (key == nullptr) return false;
  Run(key->command);
  return true;
}

void CSheetModel::Run(SheetCommand command) {
  switch (command) {
    case SheetCommand::kAbout: return About();
    case SheetCommand::kHelp: return Help();
    case SheetCommand::kBuild: return Build();
    case SheetCommand::kSortOptions: return SortOptions();
    case SheetCommand::kDefaultWords: return DefaultWords();
    case SheetCommand::kMoreOptions: return MoreOptions();
    case SheetCommand::kSaveBatchFile: return SaveBatchFile();
    case SheetCommand::kReadConfiguration: return ReadConfigurationFile();
    case SheetCommand::kWriteConfiguration: return WriteConfigurationFile();
    case SheetCommand::kEditCustomHtml: return EditCustomHtmlFile();
    case SheetCommand::kOpenOutputFile: return OpenOutputFile();
    case SheetCommand::kChangeBackground: return ChangeBackground();
    case SheetCommand::kDistributionTerms: return DistributionTerms();
    case SheetCommand::kExit: return Exit();
  }
}

void CSheetModel::ShowMessage(const std::string& text, const std::string& caption) {
  desktop_->MessageBox(text, caption, MessageIcon::kNone);
}

int CSheetModel::ExchangeFromControls() {
  auto dialog = [this](CBuildSettings* settings) {
    CRecursiveOptionsModel options(*settings);
    if (desktop_->ShowRecursiveOptions(&options) != DialogResult::kOk) return false;
    options.Apply(settings);
    return true;
  };
  return stored_->Exchange(0, &stored_->settings, controls, dialog);
}

void CSheetModel::ProgressRelay::Notify(CBuildProgress& progress) {
  model->desktop_->ShowProgress(ProgressLinesFor(progress));
}

CSheetModel::EngineResult CSheetModel::RunEngine(const FrameFiles& frames) {
  BuildResult built;
  CBuildRun run;
  run.work = [&] { built = vellora::RunBuild(stored_->settings, frames, &progress_, env_); };
  run.cancel = [this] { progress_.cancel = 1; };
  desktop_->RunBuild(run);
  EngineResult result;
  result.main_file_path = built.main_file_path;
  result.pages_written = built.pages_written;
  result.cancelled = built.cancelled;
  return result;
}

void CSheetModel::Build() {
  CMainSheet& m = *stored_;
  const std::string folder = controls.path;
  std::string before;
  const bool have_before = env_->GetCurrentFolder(&before);
  if (folder.empty() || !env_->SetCurrentFolder(folder)) {
    ShowMessage("所选文件夹不存在，请点文件夹按钮。", kCancelBuildCaption);
    if (have_before) env_->SetCurrentFolder(before);
    return;
  }
  // The engine takes full paths: a folder typed relative to the current
  // folder is the one just entered.
  std::string full_folder;
  const bool have_full = env_->GetCurrentFolder(&full_folder);
  if (ExchangeFromControls() == 0) return;
  CBuildSettings& s = m.settings;
  if (have_full && s.path == folder && !IsFullPath(folder)) {
    s.path = full_folder;
    s.root_folder = full_folder;
  }
  progress_.update_interval = 15;
  progress_.notify = &relay_;
  progress_.notify_enabled = 1;

  EngineResult result;
  bool built = true;
  if (controls.recursion_mode == RecursionMode::kFramedSite && controls.recursive_build != 0) {
    CFrameFilesModel frames(m.program_folder, m.frameset_file, m.left_frame_file,
                            m.right_frame_file, desktop_);
    built = desktop_->ShowFrameFiles(&frames) == DialogResult::kOk;
    if (built) {
      result = RunEngine(FrameFiles{frames.boxes[CFrameFilesModel::kFrameset],
                                    frames.Resolve(frames.boxes[CFrameFilesModel::kLeft]),
                                    frames.Resolve(frames.boxes[CFrameFilesModel::kRight])});
    }
    m.frameset_file = frames.boxes[CFrameFilesModel::kFrameset];
    m.left_frame_file = frames.boxes[CFrameFilesModel::kLeft];
    m.right_frame_file = frames.boxes[CFrameFilesModel::kRight];
  } else {
    // One page, a branch on one page, or one page per folder from the top:
    // the build call tells them apart by the settings.
    result = RunEngine(FrameFiles());
  }

  // Only a build that ran can have been cancelled: the record's flag may
  // still hold an earlier build's cancel.
  if (result.cancelled) {
    ShowMessage("被用户取消", kCancelBuildCaption);
    return;
  }
  const bool per_folder = s.recursive_build != 0 && s.multi_recurse_link != 0;
  // A per-folder build names the root folder's page, written or not.
  const std::string reported = s.build_framed_site == 0 && per_folder
                                   ? WithTrailingSeparator(s.path, env_) + s.output_filename
                                   : result.main_file_path;
  if (built) {
    CFileCreatedModel created(reported, result.pages_written, per_folder, desktop_);
    created.shown_path = env_->NameAsText(reported);
    desktop_->ShowFileCreated(&created);
  }
  env_->SetCurrentFolder(m.program_folder);
}

void CSheetModel::SaveBatchFile() {
  CMainSheet& m = *stored_;
  const CharacterCut cut = CharacterCutFor(env_);
  const std::string folder = controls.path.substr(0, cut(controls.path, 259));
  bool valid = false;
  if (!folder.empty()) {
    std::string before;
    const bool have_before = env_->GetCurrentFolder(&before);
    valid = env_->SetCurrentFolder(folder);
    if (have_before) env_->SetCurrentFolder(before);
  }
  if (!valid) {
    ShowMessage("没有选择有效文件夹 - 批处理文件创建被取消", "错误");
    return;
  }
  CFileDialogRequest request;
  request.initial_name = m.program_folder + m.batch_file_name;
  request.default_extension = kBatchExtension;
  request.filter = kBatchFilter;
  request.prompt_overwrite = true;
  std::string chosen;
  if (!desktop_->SaveFileDialog(request, &chosen)) return;
  m.batch_file_name = SplitPath(chosen, env_).name;

  const std::string extension = std::string(".") + kBatchExtension;
  if (!EndsWith(Upper(chosen), Upper(extension)) ||
      chosen.find("*" + extension) != std::string::npos) {
    ShowMessage("取消保存批处理文件.", "批处理文件名错误");
    return;
  }
  const std::string config = BatchConfigPath(chosen);
  m.WriteConfiguration(config, controls);
  if (env_->WriteFileSafely(chosen, BatchFileText(config, env_))) env_->MakeExecutable(chosen);
}

void CSheetModel::ReadConfigurationFile() {
  CMainSheet& m = *stored_;
  CFileDialogRequest request;
  request.initial_name = m.last_config_folder + m.last_config_name;
  request.default_extension = "ini";
  request.filter = kIniFilter;
  request.must_exist = true;
  std::string chosen;
  if (!desktop_->OpenFileDialog(request, &chosen)) return;
  m.ReadConfiguration(chosen);
  const CSplitPath split = SplitPath(chosen, env_);
  m.last_config_folder = split.drive + split.folder;
  m.last_config_name = split.name;
  Refresh();
  m.caption = std::string(kSheetCaption) + " - " + m.last_config_name;
}

void CSheetModel::WriteConfigurationFile() {
  CMainSheet& m = *stored_;
  CFileDialogRequest request;
  request.initial_name = m.last_config_folder + m.last_config_name;
  request.default_extension = "ini";
  request.filter = ".ini 文件 |*.ini";
  request.prompt_overwrite = true;
  std::string chosen;
  if (!desktop_->SaveFileDialog(request, &chosen)) return;
  const CSplitPath split = SplitPath(chosen, env_);
  m.last_config_folder = split.folder;
  m.last_config_name = split.name;
  m.WriteConfiguration(chosen, controls);
  m.caption = std::string(kSheetCaption) + " - " + m.last_config_name;
}

void CSheetModel::OpenOutputFile() {
  const CharacterCut cut = CharacterCutFor(env_);
  // An empty folder box stands for the root, as a lone separator.
  const std::string box = controls.path.substr(0, cut(controls.path, 898));
  std::string folder = WithTrailingSeparator(box, env_);
  if (folder.empty()) folder = std::string(1, kSeparator);
  const std::string output =
      controls.output_filename.substr(0, cut(controls.output_filename, 499));
  const std::string full = IsFullOutputName(output) ? output : folder + output;
  std::string probe;
  if (env_->ReadFile(full, 1, &probe) == ReadResult::kFailed) {
    ShowMessage("没找到文件: " + env_->NameAsText(full), "输出文件不存在");
    return;
  }
  if (!desktop_->ShellOpen(full)) ShowMessage(env_->NameAsText(full) + "\n", "报告错误，无法打开这个文件:");
}

void CSheetModel::EditCustomHtmlFile() {
  const CharacterCut cut = CharacterCutFor(env_);
  const std::string& box = controls.custom_html_filename;
  const std::string name = box.substr(0, cut(box, 498));
  const std::string full =
      ContainsSeparator(name, env_) ? name : stored_->program_folder + name;
  std::string probe;
  if (env_->ReadFile(full, 1, &probe) == ReadResult::kFailed) {
    ShowMessage("没找到文件: " + env_->NameAsText(full), "自定义 HTML 文件不存在");
    return;
  }
  if (!desktop_->ShellOpen(full)) ShowMessage("文件: " + env_->NameAsText(full) + " 无法被 Windows 打开", "错误");
}

void CSheetModel::SortOptions() {
  CBuildSettings& s = stored_->settings;
  CSortOptionsModel dialog(s.sort_key, s.sort_order, s.sort_folders_first, s.column_wise_sort);
  dialog.background_bitmap = stored_->default_words.background_bitmap;
  if (desktop_->ShowSortOptions(&dialog) == DialogResult::kOk) dialog.Apply(&s);
}

void CSheetModel::DefaultWords() {
  CDefaultWordsModel dialog(stored_->default_words);
  if (desktop_->ShowDefaultWords(&dialog) == DialogResult::kOk) {
    dialog.Apply(&stored_->default_words, env_);
  }
}

void CSheetModel::MoreOptions() {
  CMoreOptionsModel dialog(stored_->settings);
  dialog.background_bitmap = stored_->default_words.background_bitmap;
  if (desktop_->ShowMoreOptions(&dialog) == DialogResult::kOk) {
    dialog.Apply(&stored_->settings, env_);
  }
}

void CSheetModel::ChangeBackground() {
  CFileDialogRequest request;
  request.initial_folder = stored_->program_folder;
  request.default_extension = "bmp";
  request.filter = "位图文件    |*.bmp|";
  std::string chosen;
  if (!desktop_->OpenFileDialog(request, &chosen)) return;
  ShowMessage("新的背景将在 vellora 重新启动后显示。", "背景已更改");
  // The pages keep their picture; dialogs opened from now on take the new one.
  stored_->default_words.background_bitmap = chosen;
}

void CSheetModel::About() { desktop_->ShowAbout(); }

void CSheetModel::DistributionTerms() {
  // The terms take the background as it is now, like the other bitmap dialogs.
  desktop_->ShowDistributionTerms(stored_->default_words.background_bitmap);
}

void CSheetModel::Help() {
  if (!desktop_->ShellOpen(stored_->program_folder + kHelpDocument)) {
    ShowMessage("启动帮助失败。", kSheetCaption);
  }
}

void CSheetModel::Exit() { stored_->WriteConfiguration(stored_->default_config_path, controls); }

std::string CSheetModel::StartFolder() const {
  if (!controls.path.empty()) return controls.path;
  const std::string& folder = stored_->program_folder;
  if (folder.empty() || IsFileSystemRoot(folder)) return folder;
  return folder.substr(0, folder.size() - 1);
}

void CSheetModel::BrowseFolder() {
  CFolderBrowseRequest request;
  request.title = "选择要创建 HTML 文件的文件夹...";
  request.start_folder = StartFolder();
  std::string chosen;
  if (desktop_->BrowseForFolder(request, &chosen)) controls.path = chosen;
}

void CSheetModel::BrowseSkipFolder() {
  CFolderBrowseRequest request;
  request.title = "选择要跳过的文件夹...";
  request.start_folder = StartFolder();
  std::string chosen;
  if (!desktop_->BrowseForFolder(request, &chosen)) return;
  if (!controls.skip_folders.empty()) controls.skip_folders += ";";
  controls.skip_folders += chosen;
}

void CSheetModel::ChooseOutputFile() {
  const std::string name =
      controls.output_filename.empty() ? "index.html" : controls.output_filename;
  std::string folder = controls.path.empty() ? stored_->program_folder : controls.path;
  folder = WithTrailingSeparator(folder, env_);
  CFileDialogRequest request;
  request.initial_name = ContainsSeparator(name, env_) ? name : folder + name;
  request.filter = "超文本文件     |*.html;*.shtml;*.htm|所有文件 |*.*|";
  request.must_exist = true;
  std::string chosen;
  if (desktop_->SaveFileDialog(request, &chosen)) {
    controls.output_filename = NameRelativeTo(chosen, folder, env_);
  }
}

void CSheetModel::ChooseCustomFile() {
  const std::string name =
      controls.custom_html_filename.empty() ? "insert.txt" : controls.custom_html_filename;
  CFileDialogRequest request;
  request.initial_name = ContainsSeparator(name, env_) ? name : stored_->program_folder + name;
  request.filter = CFrameFilesModel::kFilter;
  request.must_exist = true;
  std::string chosen;
  if (desktop_->OpenFileDialog(request, &chosen)) {
    controls.custom_html_filename = NameRelativeTo(chosen, stored_->program_folder, env_);
  }
}

}  // namespace vellora
