#pragma once
// The small progress dialog of a print job: stays on top, shows the job's
// progress in its caption and offers Cancel. The job polls it between bands;
// a press of Cancel takes effect at the next poll.

#include <QDialog>
#include <QEvent>

#include <cstdint>

class QEventLoop;
class QPushButton;

namespace hvx {

class TAbortDialog : public QDialog {
    Q_OBJECT

public:
    explicit TAbortDialog(QWidget *owner = nullptr);

    // 0 until Cancel is pressed, then 1 for good.
    int32_t Cancelled = 0;
    QPushButton *btnCancel = nullptr;

public slots:
    void btnCancelClick();

protected:
    // The dialog closes only when the job ends: Escape and the window
    // manager's close do nothing.
    void reject() override;
    void closeEvent(QCloseEvent *event) override;
};

// Creates the dialog for a job printing owner (whose transient window it
// becomes), shows it without making it modal, lets it handle its pending
// events once and returns it.
TAbortDialog *CreateProgressDialog(QWidget *owner);
// Sets the caption, then polls.
void SetProgressCaption(TAbortDialog *dialog, const QString &text);
// Handles the events waiting for the dialog and its button; input meant for
// any other window is dropped meanwhile. Returns Cancelled.
int PollCancel(TAbortDialog *dialog);
// Runs loop until it quits or Cancel is pressed, for a wait that is no band
// of the job: the dialog, timers, processes and painting go on meanwhile,
// input meant for any other window is dropped.
void RunWithProgressDialog(TAbortDialog *dialog, QEventLoop &loop);
void FreeProgressDialog(TAbortDialog *dialog);

// Whether an event is user input or a close request: what a window that is
// busy printing must not take.
bool isUserInput(QEvent::Type type);

} // namespace hvx
