#pragma once
// The function list: eight further terms f1(x) to f8(x) that are drawn
// together with f whenever one of the slots f, f', f'', f''' is drawn.

#include <memory>

#include "dialog_base.h"

namespace Ui {
class TForm4;
}

namespace kalvo {

class TermEdit;

class TForm4 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;

    Ui::TForm4* Controls() const { return ui_.get(); }
    TermEdit* Field(int i) const;

    void OkClick();
    void ListeLoeschenClick();

protected:
    // The fields are loaded when the window is shown and after "Liste
    // löschen", never by a repaint, which would wipe what the user typed.
    void LoadControls() override;

private:
    std::unique_ptr<Ui::TForm4> ui_;
};

}  // namespace kalvo
