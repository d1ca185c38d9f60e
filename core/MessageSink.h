// Where the program's messages go. Each front end installs one sink at start-up: the window shows a modal box
// with the caption, the command line writes a line to stderr. Nothing here knows about either.
#pragma once

#include <string_view>

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows `text` under `caption` and returns once the user has seen it (modal in a window).
    virtual void showMessage(std::string_view caption, std::string_view text) = 0;
};

// Installs the sink used by ShowMessageBox and the file helpers; null restores the stderr fallback. Returns
// the sink installed before.
MessageSink* SetMessageSink(MessageSink* sink);
MessageSink& CurrentMessageSink();

// Installs a sink for the length of a scope and puts the earlier one back, so that every message of, say, a
// conversion run reaches that run's host whoever else installed a sink.
class ScopedMessageSink {
public:
    explicit ScopedMessageSink(MessageSink& sink) : previous_(SetMessageSink(&sink)) {}
    ~ScopedMessageSink() { SetMessageSink(previous_); }
    ScopedMessageSink(const ScopedMessageSink&) = delete;
    ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

private:
    MessageSink* previous_;
};

inline constexpr std::string_view kMessageCaption = "メッセージ";

// The one message helper: `text` under the caption "メッセージ".
void ShowMessageBox(std::string_view text);
