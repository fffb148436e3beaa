#include "function_list.h"

#include "app_resources.h"
#include "edit_field.h"
#include "program_state.h"
#include "ui_function_list.h"

namespace kalvo {

TForm4::TForm4(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm4>()) {
    ui_->setupUi(this);
    ApplyGlyphs(this);
    SetArrowKeysMoveFocus(true);
    for (int i = 1; i <= kListTerms; ++i) {
        TermEdit* e = Field(i);
        // The list keeps the keys as typed; the term is normalised when the field is left.
        e->setDecimalComma(false);
        e->setMaxLength(static_cast<int>(kListTermChars));
        connect(e, &TermEdit::fieldLeft, this, [e] { ReadFunktionstermEdit(e); });
    }
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm4::OkClick);
    connect(ui_->BitBtn4, &QPushButton::clicked, this, &TForm4::ListeLoeschenClick);
}

TForm4::~TForm4() = default;

TermEdit* TForm4::Field(int i) const { return findChild<TermEdit*>(QStringLiteral("Edit%1").arg(i)); }

void TForm4::LoadControls() {
    for (int i = 1; i <= kListTerms; ++i)
        Field(i)->setText(QString::fromStdString(gTerms.Listenterme[static_cast<size_t>(i)]));
    ui_->Edit1->selectAll();
    ui_->Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm4::OkClick() {
    if (!CommitFocusedField()) return;
    for (int i = 1; i <= kListTerms; ++i) gTerms.Listenterme[static_cast<size_t>(i)] = FieldTerm(Field(i));
    accept();
}

void TForm4::ListeLoeschenClick() {
    for (Listenterm& l : gTerms.Listenterme) l = "";
    LoadControls();
}

}  // namespace kalvo
