// How long the option pages' tooltips wait and stay on each page. Their
// texts are the sheet's own (sheet/page_texts.h).
#ifndef VELLORA_UI_WIN32_PAGE_TOOLTIPS_H_
#define VELLORA_UI_WIN32_PAGE_TOOLTIPS_H_

namespace vellora {

constexpr int kTooltipInitialDelay = 500;  // milliseconds
// The recursion page's long texts stay longer.
inline int TooltipDisplayTime(int page) { return page == 2 ? 10000 : 4000; }

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_PAGE_TOOLTIPS_H_
