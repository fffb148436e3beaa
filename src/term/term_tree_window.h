#pragma once
// The "Termbaum" window: the main term f(x) as its text and as the tree the
// parser built from it. It fills the screen; a click anywhere or Esc closes
// it. Unlike the other dialogs it is not deleted on close: whoever opens it
// owns it (the function-family dialog sets Qt::WA_DeleteOnClose itself).

#include <memory>
#include <string>

#include "dialog_base.h"
#include "term.h"

namespace Ui {
class TForm19;
}

namespace kalvo {

class TForm19 : public KalvoDialog {
    Q_OBJECT
public:
    // Shows gTerms.TermF, normalised as a term field shows it once read,
    // with a tree of its own compiled from it, so that text and tree agree
    // whatever the program compiles meanwhile; a term with a syntax error
    // shows the tree "0", without a message.
    explicit TForm19(QWidget* parent = nullptr);
    ~TForm19() override;

    const std::string& TermText() const { return termText_; }
    const Termbaum& Tree() const { return tree_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::unique_ptr<Ui::TForm19> ui_;
    std::string termText_;
    Termbaum tree_;
};

}  // namespace kalvo
