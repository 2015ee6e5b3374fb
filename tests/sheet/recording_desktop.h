// A desktop that answers from a script and writes down every call: each
// call takes the next scripted step, and a call of another kind, or one
// past the end of the script, fails the test. Steps left over fail it too.
#ifndef VELLORA_TESTS_SHEET_RECORDING_DESKTOP_H_
#define VELLORA_TESTS_SHEET_RECORDING_DESKTOP_H_

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "sheet/desktop.h"
#include "sheet/option_dialogs.h"

namespace vellora {

class CRecordingDesktop : public CDesktop {
 public:
  struct Step {
    // message, open, save, browse, shell, beep, sort, words, recursive,
    // frames, created, about, terms or build
    std::string call;
    bool ok = true;    // dialogs: OK; choosers: a choice; shell: success; build: not cancelled
    std::string path;  // what a chooser chooses
    std::function<void(void*)> edit;  // changes a dialog's model before it ends
  };

  ~CRecordingDesktop() override {
    for (const Step& s : script) ADD_FAILURE() << "scripted call never made: " << s.call;
  }

  CRecordingDesktop& Then(const std::string& call, bool ok = true, const std::string& path = "") {
    script.push_back({call, ok, path, nullptr});
    return *this;
  }
  template <class Model>
  CRecordingDesktop& ThenDialog(const std::string& call, bool ok,
                                std::function<void(Model&)> edit) {
    script.push_back({call, ok, "", [edit](void* m) { edit(*static_cast<Model*>(m)); }});
    return *this;
  }

  void MessageBox(const std::string& text, const std::string& caption, MessageIcon) override {
    Next("message", caption + " | " + text);
  }
  bool OpenFileDialog(const CFileDialogRequest& r, std::string* chosen) override {
    return Choose("open", r, chosen);
  }
  bool SaveFileDialog(const CFileDialogRequest& r, std::string* chosen) override {
    return Choose("save", r, chosen);
  }
  bool BrowseForFolder(const CFolderBrowseRequest& r, std::string* chosen) override {
    const Step s = Next("browse", r.title + " | " + r.start_folder);
    if (s.ok) *chosen = s.path;
    return s.ok;
  }
  bool ShellOpen(const std::string& path) override { return Next("shell", path).ok; }
  void Beep() override { Next("beep", ""); }
  DialogResult ShowSortOptions(CSortOptionsModel* m) override { return Dialog("sort", m); }
  DialogResult ShowDefaultWords(CDefaultWordsModel* m) override { return Dialog("words", m); }
  DialogResult ShowMoreOptions(CMoreOptionsModel* m) override { return Dialog("more", m); }
  DialogResult ShowRecursiveOptions(CRecursiveOptionsModel* m) override {
    return Dialog("recursive", m);
  }
  DialogResult ShowFrameFiles(CFrameFilesModel* m) override { return Dialog("frames", m); }
  void ShowFileCreated(CFileCreatedModel* m) override {
    // One unit a byte: the test paths fit the line's width whole.
    const auto measure = [](const std::string& t) { return static_cast<int>(t.size()); };
    Dialog("created", m,
           m->CountLine() + " | " + m->PathLine(CFileCreatedModel::kPathWidth, measure));
  }
  void ShowAbout() override { Next("about", ""); }
  void ShowDistributionTerms(const std::string& background_bitmap) override {
    Next("terms", background_bitmap);
  }
  void RunBuild(const CBuildRun& run) override {
    const Step s = Next("build", "");
    cancel_ = s.ok ? nullptr : run.cancel;
    run.work();
    cancel_ = nullptr;
  }
  void ShowProgress(const CProgressLines& lines) override {
    progress.push_back(lines);
    // The user presses Cancel at the first report.
    if (cancel_) cancel_();
  }

  std::deque<Step> script;
  std::vector<std::string> log;  // "call: details", one per call
  std::vector<CFileDialogRequest> file_requests;
  std::vector<CProgressLines> progress;

 private:
  Step Next(const std::string& call, const std::string& details) {
    log.push_back(details.empty() ? call : call + ": " + details);
    if (script.empty()) {
      ADD_FAILURE() << "unscripted call " << log.back();
      return {call, false, "", nullptr};
    }
    Step s = script.front();
    script.pop_front();
    EXPECT_EQ(s.call, call) << "the script expected another call than " << log.back();
    return s;
  }
  bool Choose(const std::string& call, const CFileDialogRequest& r, std::string* chosen) {
    file_requests.push_back(r);
    const Step s = Next(call, r.initial_folder + r.initial_name);
    if (s.ok) *chosen = s.path;
    return s.ok;
  }
  DialogResult Dialog(const std::string& call, void* model, const std::string& details = "") {
    const Step s = Next(call, details);
    if (s.edit) s.edit(model);
    return s.ok ? DialogResult::kOk : DialogResult::kCancel;
  }

  std::function<void()> cancel_;
};

}  // namespace vellora

#endif  // VELLORA_TESTS_SHEET_RECORDING_DESKTOP_H_
