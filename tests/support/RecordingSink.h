// A message sink that records what would have been shown; it installs itself for as long as it lives.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/MessageSink.h"

struct ShownMessage {
    std::string caption;
    std::string text;
    bool operator==(const ShownMessage&) const = default;
};

inline void PrintTo(const ShownMessage& message, std::ostream* os) {
    *os << message.caption << ": " << message.text;
}

class RecordingSink : public MessageSink {
public:
    RecordingSink() { SetMessageSink(this); }
    ~RecordingSink() override { SetMessageSink(nullptr); }
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;

    void showMessage(std::string_view caption, std::string_view text) override {
        shown.push_back({std::string(caption), std::string(text)});
    }

    std::vector<ShownMessage> shown;
};
