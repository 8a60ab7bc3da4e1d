#pragma once

class RuleStore;
class RulesEditor;

// The one rules window of a run. It is made on the first show() and afterwards only
// hidden and shown again, so it comes back with the selection, size and place it had.
class RulesWindow {
  public:
    RulesWindow() = delete;

    // Shows the window (made with `store` the first time) and brings it to the front.
    // Later calls keep the store the window was made with.
    static void show(RuleStore& store);

    // The window once made, else nullptr. It goes away with its store.
    static RulesEditor* window();
};
