#include "message_sink.h"

#include <cstdio>

namespace kalvo {

namespace {
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}
}  // namespace

void ShowMessage(const std::string& text, MessageKind kind) {
    if (Handler()) {
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

MessageRecorder::MessageRecorder() {
    previous_ = SetMessageHandler([this](MessageKind, const std::string& text) { messages_.push_back(text); });
}

MessageRecorder::~MessageRecorder() { SetMessageHandler(std::move(previous_)); }

}  // namespace kalvo
