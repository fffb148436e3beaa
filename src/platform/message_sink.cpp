#include "message_sink.h"

#include <cstdio>

namespace kalvo {

namespace {
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}
MessageDeferral*& InnermostDeferral() {
    static MessageDeferral* innermost = nullptr;
    return innermost;
}
}  // namespace

void ShowMessage(const std::string& text, MessageKind kind) {
    if (MessageDeferral* d = InnermostDeferral()) {
        d->held_.emplace_back(kind, text);
    } else if (Handler()) {
        Handler()(kind, text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    MessageHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}

MessageDeferral::MessageDeferral() : outer_(InnermostDeferral()) { InnermostDeferral() = this; }

MessageDeferral::~MessageDeferral() {
    InnermostDeferral() = outer_;
    for (auto& [kind, text] : held_) ShowMessage(text, kind);
}

std::vector<std::pair<MessageKind, std::string>> MessageDeferral::Take() { return std::exchange(held_, {}); }

MessageRecorder::MessageRecorder() {
    previous_ = SetMessageHandler([this](MessageKind, const std::string& text) { messages_.push_back(text); });
}

MessageRecorder::~MessageRecorder() { SetMessageHandler(std::move(previous_)); }

}  // namespace kalvo
