// A progress view for tests that runs a function on every report.
#ifndef VELLORA_TESTS_SUPPORT_PROGRESS_VIEW_H_
#define VELLORA_TESTS_SUPPORT_PROGRESS_VIEW_H_

#include <functional>
#include <utility>

#include "scan/build_progress.h"

namespace vellora {

class FunctionProgressView : public CProgressView {
 public:
  explicit FunctionProgressView(std::function<void(CBuildProgress&)> on_report)
      : on_report_(std::move(on_report)) {}
  void Notify(CBuildProgress& progress) override { on_report_(progress); }

 private:
  std::function<void(CBuildProgress&)> on_report_;
};

}  // namespace vellora

#endif  // VELLORA_TESTS_SUPPORT_PROGRESS_VIEW_H_
