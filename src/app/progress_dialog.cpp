#include "progress_dialog.h"

#include <QApplication>
#include <QCursor>
#include <QProgressDialog>

namespace kalvo {

ProgressDialog::~ProgressDialog() { delete dialog_.data(); }

bool ProgressDialog::Progress(const CancellableWork& work, long long elapsed) {
    if (!dialog_) {
        if (elapsed < kShowAfter) return true;
        Show(work);
    } else if (elapsed - lastEvents_ < kEventsEvery) {
        return !dialog_->wasCanceled();
    }
    lastEvents_ = elapsed;
    QCoreApplication::processEvents();
    return !(dialog_ && dialog_->wasCanceled());
}

void ProgressDialog::Show(const CancellableWork& work) {
    QWidget* parent = QApplication::activeWindow();
    dialog_ = new QProgressDialog(QString::fromStdString(work.Label()), QStringLiteral("Abbrechen"), 0, 0, parent);
    dialog_->setWindowTitle(QStringLiteral("Kalvograf"));
    // Over every window: none of them may start a second output or a
    // redraw, or close, while this one runs.
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->show();
    // The output's busy cursor would say that "Abbrechen" cannot be pressed.
    QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    arrowCursor_ = true;
}

void ProgressDialog::Finished(const CancellableWork&) {
    delete dialog_.data();
    lastEvents_ = 0;
    if (arrowCursor_) QGuiApplication::restoreOverrideCursor();
    arrowCursor_ = false;
}

void InstallProgressDialog() {
    static ProgressDialog* const dialog = new ProgressDialog;
    SetWorkProgress(dialog);
}

}  // namespace kalvo
