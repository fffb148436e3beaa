#pragma once
// A read-only table of the terms f and g of every stored function set,
// the set stored last first.

#include <memory>

#include "dialog_base.h"

namespace Ui {
class TForm20;
}

namespace kalvo {

class TForm20 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm20(QWidget* parent = nullptr);
    ~TForm20() override;

    Ui::TForm20* Controls() const { return ui_.get(); }

protected:
    void LoadControls() override;

private:
    std::unique_ptr<Ui::TForm20> ui_;
};

}  // namespace kalvo
