#include "term_tree_window.h"

#include <QMouseEvent>

#include "canvas_qpainter.h"
#include "program_state.h"
#include "term.h"
#include "term_tree_drawing.h"
#include "ui_term_tree_window.h"

namespace kalvo {

TForm19::TForm19(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm19>()) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    ui_->setupUi(this);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    setWindowState(windowState() | Qt::WindowMaximized);

    // The title shows the term as the field shows it once read, whoever
    // opens the window with whatever was typed.
    termText_ = TermFieldText(gTerms.TermF.str());
    QuietParsing quiet;
    if (!ParseTerm(tree_, termText_, true)) ResetTermbaum(tree_);
}

TForm19::~TForm19() = default;

void TForm19::paintEvent(QPaintEvent*) {
    // Inside the four margin panels.
    const CanvasRect area{ui_->Panel2->geometry().right() + 1, ui_->Panel1->geometry().bottom() + 1,
                          ui_->Panel3->geometry().left(), ui_->Panel4->geometry().top()};
    QPainterCanvas canvas(this);
    DrawTermbaumBild(canvas, termText_, tree_.Root(), width(), area);
}

void TForm19::mousePressEvent(QMouseEvent*) { close(); }

}  // namespace kalvo
