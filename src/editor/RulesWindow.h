#pragma once

#include <QRect>

class DesktopServices;
class RuleStore;
class RulesEditor;

// The one rules window of a run. It is made on the first show() and afterwards only
// hidden and shown again, so it comes back with the selection, size and place it had.
class RulesWindow {
  public:
    RulesWindow() = delete;

    // Shows the window (made with `store` and `services` the first time) and brings it to
    // the front. Later calls keep what the window was made with.
    static void show(RuleStore& store, DesktopServices& services);

    // The window once made, else nullptr. It goes away with its store.
    static RulesEditor* window();

    // Where the window first opens on a screen whose free area is `available`: 680 x 460,
    // smaller where the screen is (never below `minimum`), centred and kept on the screen.
    static QRect initialGeometry(const QRect& available, const QSize& minimum);
};
