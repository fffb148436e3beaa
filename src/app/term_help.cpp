#include "term_help.h"

#include <QEvent>

#include "app_resources.h"
#include "ui_term_help.h"

namespace kalvo {

TForm18::TForm18(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm18>()) {
    ui_->setupUi(this);
    ui_->Memo1->setPlainText(TermHelpText());
    viewport_ = ui_->Memo1->viewport();
    viewport_->installEventFilter(this);
    viewport_->setCursor(Qt::PointingHandCursor);
}

TForm18::~TForm18() = default;

bool TForm18::eventFilter(QObject* watched, QEvent* event) {
    // The dialog base watches every event of the application, some of them
    // while the form is still being built.
    if (viewport_ && watched == viewport_ && event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return KalvoDialog::eventFilter(watched, event);
}

}  // namespace kalvo
