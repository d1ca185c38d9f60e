// What the main window is doing, in one value. A run and the confirmations of a drop hand the event loop a
// turn while they are on the stack, so the window's handlers must know what lies below them.
#pragma once

enum class WindowState {
    Idle,        // waiting for the user
    Converting,  // a conversion run is on the stack, from reading the edits to its last message
    Previewing,  // a preview run draws the chosen program; an action of the user stops it and follows it
    Dropping,    // a drop of several files is worked through: its confirmations and the runs they start
    Closing,     // closed while converting or dropping: the stack unwinds and starts nothing new
};

// Puts the window into a state for the length of a scope and back into the one it was in afterwards. Only
// Closing outlasts an inner scope, so that a drop stops after the run that was closed; the outermost scope
// returns the window to Idle.
class WindowStateScope {
public:
    WindowStateScope(WindowState& state, WindowState entered) : state_(state), previous_(state) {
        state_ = entered;
    }
    WindowStateScope(const WindowStateScope&) = delete;
    WindowStateScope& operator=(const WindowStateScope&) = delete;
    ~WindowStateScope() {
        if (state_ != WindowState::Closing || previous_ == WindowState::Idle) {
            state_ = previous_;
        }
    }

private:
    WindowState& state_;
    WindowState previous_;
};
