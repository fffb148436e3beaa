#pragma once
// The dialog of long output (printouts, pictures for files and the
// clipboard, documents): shown once the output has run for about a second,
// modal over every window of the program, with "Abbrechen". While it shows,
// the output lets the program's events run a few dozen times a second, so
// that the dialog paints and hears its button; the windows underneath take
// no input meanwhile.

#include <QPointer>

#include "work_budget.h"

class QProgressDialog;

namespace kalvo {

class ProgressDialog : public WorkProgress {
public:
    // On the clock of the work: how long before the dialog shows, and how
    // often events run while it does.
    static constexpr long long kShowAfter = 1'000'000'000;
    static constexpr long long kEventsEvery = 40'000'000;

    ~ProgressDialog() override;
    bool Progress(const CancellableWork& work, long long elapsed) override;
    void Finished(const CancellableWork& work) override;

private:
    void Show(const CancellableWork& work);

    QPointer<QProgressDialog> dialog_;
    long long lastEvents_ = 0;
    bool arrowCursor_ = false;
};

// Puts the program's progress dialog in place of the work budgets' handler
// (once; the main window does it when it is made).
void InstallProgressDialog();

}  // namespace kalvo
