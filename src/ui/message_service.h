// Every message box and message dialog of the program goes through here, so that tests can
// answer them automatically: with an answerer installed nothing is shown, the request is
// handed to the answerer and its answer is returned as the user's.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/message_box_flags.h"
#include "ui/paint_surface.h"

namespace ui {

using namespace platform::message_box;

// The toolkit's message dialogs: caption "Error", "Warning", "Information" or "Confirm".
enum class DialogKind : std::uint8_t { kError, kWarning, kInformation, kConfirmation };

struct MessageRequest {
    NativeWindow owner = nullptr;
    std::string text;
    std::string caption;
    unsigned flags = 0;
};

class MessageService {
  public:
    using Answerer = std::function<int(const MessageRequest&)>;

    // A message box; `owner` may be null (no owner window).
    static int Box(NativeWindow owner, const std::string& text, const std::string& caption,
                   unsigned flags);
    // A message box owned by the application's main window.
    static int ApplicationBox(const std::string& text, const std::string& caption, unsigned flags);
    // A message dialog with one OK button.
    static void Dialog(DialogKind kind, const std::string& text);
    // The standard error report: caption the application's title, error icon, OK.
    static void ErrorReport(const std::string& text);

    static std::string DialogCaption(DialogKind kind);

    // Installs an answerer (empty: show real boxes again); returns the previous one.
    static Answerer SetAnswerer(Answerer answerer);
};

// While it lives, every message is recorded and answered with `answer` (or by the function).
class ScopedMessageAnswerer {
  public:
    explicit ScopedMessageAnswerer(int answer = kAnswerOk);
    explicit ScopedMessageAnswerer(MessageService::Answerer answerer);
    ~ScopedMessageAnswerer();
    ScopedMessageAnswerer(const ScopedMessageAnswerer&) = delete;
    ScopedMessageAnswerer& operator=(const ScopedMessageAnswerer&) = delete;

    const std::vector<MessageRequest>& Requests() const { return requests_; }

  private:
    std::vector<MessageRequest> requests_;
    MessageService::Answerer previous_;
};

} // namespace ui
