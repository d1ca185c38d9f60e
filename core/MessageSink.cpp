#include "core/MessageSink.h"

#include <cstdio>
#include <string>

namespace {

// Until a front end installs its sink, messages still reach the user on the terminal.
class StandardErrorSink : public MessageSink {
public:
    void showMessage(std::string_view caption, std::string_view text) override {
        std::string line;
        line.reserve(caption.size() + text.size() + 3);
        line.append(caption).append(": ").append(text).push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
    }
};

StandardErrorSink fallbackSink;
MessageSink* installedSink = nullptr;

}  // namespace

MessageSink* SetMessageSink(MessageSink* sink) {
    MessageSink* const previous = installedSink;
    installedSink = sink;
    return previous;
}

MessageSink& CurrentMessageSink() {
    return installedSink != nullptr ? *installedSink : fallbackSink;
}

void ShowMessageBox(std::string_view text) {
    CurrentMessageSink().showMessage(kMessageCaption, text);
}
