#pragma once

namespace widgets {

// What screen readers are told beyond Qt's own accessibility, for the whole application:
// - A window made of a plain widget (the panel, the rules window) is a window, where Qt
//   would call it a container ("filler") that belongs to nothing.
// - A drop-down is named by its label and tells its choice as its value. Qt names it by
//   its choice on Linux, so "after 10 minutes" would be all a listener hears.
// Safe to call more than once; every window calls it before it is shown.
void installAccessibility();

} // namespace widgets
