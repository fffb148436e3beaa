#pragma once
// The help text on the term syntax; a click into the text closes it.

#include <memory>

#include "dialog_base.h"

namespace Ui {
class TForm18;
}

namespace kalvo {

class TForm18 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm18(QWidget* parent = nullptr);
    ~TForm18() override;

    Ui::TForm18* Controls() const { return ui_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TForm18> ui_;
    QWidget* viewport_ = nullptr;
};

}  // namespace kalvo
