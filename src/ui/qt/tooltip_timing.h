// Tooltip timing of the window: every tooltip shows 500 ms after the mouse
// comes to rest on its control. How long a tooltip stays is the control's
// own (QWidget::setToolTipDuration).
#ifndef VELLORA_UI_QT_TOOLTIP_TIMING_H_
#define VELLORA_UI_QT_TOOLTIP_TIMING_H_

namespace vellora {

constexpr int kTooltipDelayMs = 500;
constexpr int kTooltipShownMs = 4000;
constexpr int kRecursionTooltipShownMs = 10000;

// Puts the delay into the application's style (the delay is asked of the
// style of the widget under the mouse, and widgets share the application's
// style). Does nothing when it is there already.
void InstallTooltipTiming();

}  // namespace vellora

#endif  // VELLORA_UI_QT_TOOLTIP_TIMING_H_
