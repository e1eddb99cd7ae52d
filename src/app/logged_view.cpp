#include "app/logged_view.h"

namespace app {

void LoggedView::SetBarPosition(ProgressBar bar, int position) {
    shown_.SetBarPosition(bar, position);
}

// The step texts mark where the run is; the member names are logged as files by the run.
void LoggedView::SetLabelText(StatusLabel label, const std::string& text) {
    if (label == StatusLabel::kStep && !text.empty()) log_.Line("step: " + text);
    shown_.SetLabelText(label, text);
}

void LoggedView::ShowProgressPanel() {
    shown_.ShowProgressPanel();
}

int LoggedView::ShowMessageBox(const MessageBoxRequest& request) {
    log_.Line("box: " + request.text);
    const int answer = shown_.ShowMessageBox(request);
    if ((request.flags & kButtonsMask) != kButtonsOk)
        log_.Line(answer == kAnswerYes  ? "answer: yes"
                  : answer == kAnswerNo ? "answer: no"
                                        : "answer: " + std::to_string(answer));
    return answer;
}

void LoggedView::ShowMessageDialog(DialogKind kind, const std::string& text) {
    log_.Line((kind == DialogKind::Error ? "error: " : "box: ") + text);
    shown_.ShowMessageDialog(kind, text);
}

void LoggedView::ShowErrorReport(const std::string& message) {
    log_.Line("error: " + message);
    shown_.ShowErrorReport(message);
}

void LoggedView::ProcessMessages() {
    shown_.ProcessMessages();
}

void LoggedView::Close() {
    shown_.Close();
}

} // namespace app
