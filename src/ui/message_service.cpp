#include "ui/message_service.h"

#include <windows.h>

#include "platform/code_page.h"
#include "ui/window.h"

namespace ui {
namespace {

MessageService::Answerer& CurrentAnswerer() {
    static MessageService::Answerer answerer;
    return answerer;
}

} // namespace

int MessageService::Box(NativeWindow owner, const std::string& text, const std::string& caption,
                        unsigned flags) {
    const MessageRequest request{owner, text, caption, flags};
    if (const Answerer& answerer = CurrentAnswerer()) return answerer(request);
    return MessageBoxW(owner, platform::Widen(text).c_str(), platform::Widen(caption).c_str(),
                       flags);
}

int MessageService::ApplicationBox(const std::string& text, const std::string& caption,
                                   unsigned flags) {
    Window* main = Application::MainWindow();
    return Box(main ? main->Handle() : nullptr, text, caption, flags);
}

std::string MessageService::DialogCaption(DialogKind kind) {
    switch (kind) {
    case DialogKind::kError: return "Error";
    case DialogKind::kWarning: return "Warning";
    case DialogKind::kInformation: return "Information";
    case DialogKind::kConfirmation: return "Confirm";
    }
    return {};
}

void MessageService::Dialog(DialogKind kind, const std::string& text) {
    unsigned icon = kIconInformation;
    if (kind == DialogKind::kError) icon = kIconError;
    if (kind == DialogKind::kWarning) icon = kIconExclamation;
    if (kind == DialogKind::kConfirmation) icon = kIconQuestion;
    HWND owner = GetActiveWindow();
    Box(owner, text, DialogCaption(kind), kButtonsOk | icon);
}

void MessageService::ErrorReport(const std::string& text) {
    ApplicationBox(text, Application::Title(), kButtonsOk | kIconError);
}

MessageService::Answerer MessageService::SetAnswerer(Answerer answerer) {
    Answerer previous = std::move(CurrentAnswerer());
    CurrentAnswerer() = std::move(answerer);
    return previous;
}

ScopedMessageAnswerer::ScopedMessageAnswerer(int answer)
    : ScopedMessageAnswerer([answer](const MessageRequest&) { return answer; }) {}

ScopedMessageAnswerer::ScopedMessageAnswerer(MessageService::Answerer answerer) {
    previous_ = MessageService::SetAnswerer([this, answerer](const MessageRequest& request) {
        requests_.push_back(request);
        return answerer(request);
    });
}

ScopedMessageAnswerer::~ScopedMessageAnswerer() {
    MessageService::SetAnswerer(std::move(previous_));
}

} // namespace ui
