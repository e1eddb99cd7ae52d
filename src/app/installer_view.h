// What the installer's logic needs from the main window: the progress panel's bars and
// labels, message boxes and the toolkit's message dialogs, the message pump and closing.
// The window implements it; tests use a fake that records every call.
#pragma once

#include <string>

#include "platform/message_box_flags.h"

namespace app {

// The progress panel: the bar of the member being extracted and the two of the whole run.
enum class ProgressBar { kMember, kRun, kRunVertical };
// The panel's heading, the file being written and the step's text.
enum class StatusLabel { kHeading, kMemberName, kStep };

using namespace platform::message_box;

enum class BoxOwner {
    None,        // no owner window (shown before the window exists, or apart from it)
    Application, // owned by the application's main window
};

struct MessageBoxRequest {
    BoxOwner owner = BoxOwner::Application;
    std::string text;
    std::string caption;
    unsigned flags = kButtonsOk;
};

// The toolkit's message dialogs: one OK button, caption "Error" or "Information".
enum class DialogKind { Error, Information };

class InstallerView {
  public:
    virtual ~InstallerView() = default;

    virtual void SetBarPosition(ProgressBar bar, int position) = 0; // 0 to 100
    virtual void SetLabelText(StatusLabel label, const std::string& text) = 0;
    // The run's first step: the progress and picture panels placed and shown, the pages hidden.
    virtual void ShowProgressPanel() = 0;

    // Returns the button pressed, a MessageAnswer.
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
    virtual void ShowMessageDialog(DialogKind kind, const std::string& text) = 0;
    // The application's standard error box, for an error a handler did not expect to handle.
    virtual void ShowErrorReport(const std::string& message) = 0;

    // Dispatches the window messages waiting, so the window repaints during long steps.
    virtual void ProcessMessages() = 0;
    // Asks the main window to close (it closes once the running handler has returned).
    virtual void Close() = 0;
};

} // namespace app
