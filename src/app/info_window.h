#pragma once
// The info window: the product, what it draws, who makes it, and two links
// that open the mail program and the web browser.

#include <memory>

#include "dialog_base.h"

class QLabel;

namespace Ui {
class TForm10;
}

namespace kalvo {

inline constexpr const char* kInfoMailAddress = "kontakt@kalvograf.example";
inline constexpr const char* kInfoWebAddress = "https://kalvograf.example";

class TForm10 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent = nullptr);
    ~TForm10() override;

    Ui::TForm10* Controls() const { return ui_.get(); }

    // A click on the mail or the web label.
    void MailClick();
    void WebClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    std::unique_ptr<Ui::TForm10> ui_;
    QLabel* mail_ = nullptr;
    QLabel* web_ = nullptr;
};

}  // namespace kalvo
