// The tooltip of every control on the option pages, and how long tooltips
// wait and stay on each page.
#ifndef VELLORA_UI_WIN32_PAGE_TOOLTIPS_H_
#define VELLORA_UI_WIN32_PAGE_TOOLTIPS_H_

#include <cstddef>

namespace vellora {

struct CPageTooltip {
  int page;  // 0 to 4, in tab order
  int item;  // the control's id on that page
  const wchar_t* text;
};
extern const CPageTooltip kPageTooltips[];
extern const size_t kPageTooltipCount;

constexpr int kTooltipInitialDelay = 500;  // milliseconds
// The recursion page's long texts stay longer.
inline int TooltipDisplayTime(int page) { return page == 2 ? 10000 : 4000; }

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_PAGE_TOOLTIPS_H_
