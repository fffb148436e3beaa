#pragma once
// All messages of the program pass through one sink. The program installs a
// sink that shows a message box; tests install one that records. Code that
// computes or draws never opens a window itself.

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kalvo {

enum class MessageKind { Info, Warning, Error };

using MessageHandler = std::function<void(MessageKind, const std::string&)>;

// Shows a message (UTF-8) through the installed handler; without one, it goes to stderr.
void ShowMessage(const std::string& text, MessageKind kind = MessageKind::Info);

// Installs a handler and returns the previous one.
MessageHandler SetMessageHandler(MessageHandler handler);

// Holds back the messages shown while it lives (the innermost one, when
// several live); those it still holds when it ends go on as if shown then,
// so that none is lost.
class MessageDeferral {
public:
    MessageDeferral();
    ~MessageDeferral();
    MessageDeferral(const MessageDeferral&) = delete;
    MessageDeferral& operator=(const MessageDeferral&) = delete;

    // The messages held so far, in the order shown; they are no longer held.
    std::vector<std::pair<MessageKind, std::string>> Take();

private:
    friend void ShowMessage(const std::string& text, MessageKind kind);
    std::vector<std::pair<MessageKind, std::string>> held_;
    MessageDeferral* outer_;
};

// Records every message while it lives; restores the previous handler on destruction.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<std::string>& messages() const { return messages_; }
    void clear() { messages_.clear(); }

private:
    std::vector<std::string> messages_;
    MessageHandler previous_;
};

}  // namespace kalvo
