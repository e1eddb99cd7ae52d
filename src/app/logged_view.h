// The views a run can have besides the window itself: one that writes every box, dialog and
// step to the run's log before the view behind it shows them, and the view of an unattended
// run, which shows nothing and answers as the administrator who chose it would.
#pragma once

#include "app/installer_view.h"
#include "app/run_log.h"

namespace app {

class LoggedView : public InstallerView {
  public:
    LoggedView(InstallerView& shown, RunLog& log) : shown_(shown), log_(log) {}

    void SetBarPosition(ProgressBar bar, int position) override;
    void SetLabelText(StatusLabel label, const std::string& text) override;
    void ShowProgressPanel() override;
    int ShowMessageBox(const MessageBoxRequest& request) override;
    void ShowMessageDialog(DialogKind kind, const std::string& text) override;
    void ShowErrorReport(const std::string& message) override;
    void ProcessMessages() override;
    void Close() override;

  private:
    InstallerView& shown_;
    RunLog& log_;
};

// No window: a question is answered Yes (the administrator's /S is the consent: to use a
// folder that holds files, to uninstall), any other box OK.
class QuietView : public InstallerView {
  public:
    void SetBarPosition(ProgressBar, int) override {}
    void SetLabelText(StatusLabel, const std::string&) override {}
    void ShowProgressPanel() override {}
    int ShowMessageBox(const MessageBoxRequest& request) override {
        return (request.flags & kButtonsMask) == kButtonsYesNo ? kAnswerYes : kAnswerOk;
    }
    void ShowMessageDialog(DialogKind, const std::string&) override {}
    void ShowErrorReport(const std::string&) override {}
    void ProcessMessages() override {}
    void Close() override {}
};

// /PASSIVE: the window's progress panel, and otherwise as quiet as /S: every question answered
// as /S answers it, no box shown (the log keeps them all).
class PassiveView : public QuietView {
  public:
    explicit PassiveView(InstallerView& shown) : shown_(shown) {}
    void SetBarPosition(ProgressBar bar, int position) override {
        shown_.SetBarPosition(bar, position);
    }
    void SetLabelText(StatusLabel label, const std::string& text) override {
        shown_.SetLabelText(label, text);
    }
    void ShowProgressPanel() override { shown_.ShowProgressPanel(); }
    void ProcessMessages() override { shown_.ProcessMessages(); }
    void Close() override { shown_.Close(); }

  private:
    InstallerView& shown_;
};

} // namespace app
