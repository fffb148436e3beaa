#include "info_window.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

#include "app_resources.h"
#include "graph_host.h"
#include "ui_info_window.h"

namespace kalvo {

TForm10::TForm10(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm10>()) {
    ui_->setupUi(this);
    ApplyGlyphs(this);
    setWindowIcon(Glyph(QStringLiteral("kalvograf")));
    ui_->LabelMail->setText(QString::fromUtf8(kInfoMailAddress));
    ui_->LabelWeb->setText(QString::fromUtf8(kInfoWebAddress));
    for (QLabel* l : {ui_->LabelMail, ui_->LabelWeb}) {
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }
    mail_ = ui_->LabelMail;
    web_ = ui_->LabelWeb;
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

TForm10::~TForm10() = default;

bool TForm10::eventFilter(QObject* watched, QEvent* event) {
    // The dialog base watches every event of the application, some of them
    // while the window is still being built.
    if (event->type() == QEvent::MouseButtonRelease && watched && (watched == mail_ || watched == web_) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == mail_)
            MailClick();
        else
            WebClick();
        return true;
    }
    return KalvoDialog::eventFilter(watched, event);
}

void TForm10::MailClick() { QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + ui_->LabelMail->text())); }

void TForm10::WebClick() { QDesktopServices::openUrl(QUrl(ui_->LabelWeb->text())); }

void TForm10::done(int result) {
    KalvoDialog::done(result);
    Host().RedrawMainGraph(true);
}

}  // namespace kalvo
