#include "sine_start_dialog.h"

#include <algorithm>
#include <cmath>

#include "decimal.h"
#include "edit_field.h"
#include "number_text.h"
#include "analysis_state.h"
#include "numlib_state.h"
#include "program_state.h"
#include "term.h"
#include "ui_sine_start_dialog.h"

namespace kalvo {

namespace {

int Decimals() { return std::clamp(gRegression.RegressionNachkommastellen, 1, 6); }

QString Blanks(double v) { return QString::fromStdString(FormatNumberCommaBlanks(Decimals(), v)); }

// One period of the sine for the rate b; none for b = 0.
QString Period(double b) {
    const double p = 6.283185308 / b;
    return std::isfinite(p) ? Blanks(p) : QString::fromUtf8(kNotFiniteText.data(), kNotFiniteText.size());
}

double& StartValue(int i) {
    SinusFitState& s = SinusFit;
    switch (i) {
        case 1: return s.SinusStartA;
        case 2: return s.SinusStartB;
        case 3: return s.SinusStartC;
        default: return s.SinusStartD;
    }
}

}  // namespace

TForm50::TForm50(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm50>()) {
    ui_->setupUi(this);
    for (int i = 1; i <= 4; ++i) {
        auto* edit = static_cast<TermEdit*>(Edit(i));
        edit->setKind(TermEdit::Kind::Number);
        connect(edit, &TermEdit::fieldLeft, this, [this, i] { EditExit(i); });
    }
    ui_->Edit7->setKind(TermEdit::Kind::Number);
    connect(ui_->Edit7, &TermEdit::fieldLeft, this, &TForm50::Edit7Exit);
    connect(ui_->BitCheckBox1, &TBitCheckBox::OnClick, this, &TForm50::BitCheckBox1Click);
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm50::Button1Click);
}

TForm50::~TForm50() = default;

QLineEdit* TForm50::Edit(int i) const {
    switch (i) {
        case 1: return ui_->Edit1;
        case 2: return ui_->Edit2;
        case 3: return ui_->Edit3;
        case 4: return ui_->Edit4;
        default: return ui_->Edit7;
    }
}

QString TForm50::LabelText(const char* name) const {
    const auto* label = findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QString();
}

void TForm50::LoadControls() {
    SinusFitState& s = SinusFit;
    if (s.SinusAutomatisch) {
        for (int i = 1; i <= 4; ++i) StartValue(i) = s.SinusDefaultStart[static_cast<size_t>(i - 1)];
        s.SinusIterationen = s.SinusDefaultIterationen;
    }
    ShowStartValues();
    ui_->Label1->setText(Blanks(s.SinusParameter[0]));
    ui_->Label2->setText(Blanks(s.SinusParameter[1]));
    ui_->Label3->setText(Blanks(s.SinusParameter[2]));
    ui_->Label4->setText(Blanks(s.SinusParameter[3]));
    ui_->Label6->setText(Period(s.SinusParameter[1]));
    ui_->BitCheckBox1->SetChecked(s.SinusAutomatisch);
    EnableEdits(!s.SinusAutomatisch);
}

void TForm50::ShowStartValues() {
    for (int i = 1; i <= 4; ++i) Edit(i)->setText(Blanks(StartValue(i)));
    ui_->Label5->setText(Period(SinusFit.SinusStartB));
    ui_->Edit7->setText(QString::fromStdString(IntToText(SinusFit.SinusIterationen)));
}

void TForm50::EnableEdits(bool on) {
    for (int i = 1; i <= 4; ++i) Edit(i)->setEnabled(on);
    ui_->Edit7->setEnabled(on);
}

void TForm50::BitCheckBox1Click() {
    SinusFitState& s = SinusFit;
    s.SinusAutomatisch = ui_->BitCheckBox1->Checked();
    EnableEdits(!s.SinusAutomatisch);
    if (s.SinusAutomatisch) {
        for (int i = 1; i <= 4; ++i) StartValue(i) = s.SinusDefaultStart[static_cast<size_t>(i - 1)];
        ShowStartValues();
    }
}

void TForm50::EditExit(int i) {
    QLineEdit* edit = Edit(i);
    double v = StartValue(i);
    if (!ReadNumberEdit(edit, v, v) && LastSyntaxErrorCode() != kNoSyntaxError) return;
    // A start value of (almost) 0 would leave the sine without amplitude or period.
    if (std::fabs(v) < 0.001) v = SinusFit.SinusDefaultStart[static_cast<size_t>(i - 1)];
    StartValue(i) = v;
    edit->setText(QString::fromStdString(FormatNumberCommaTight(Decimals(), v)));
    if (i == 2) ui_->Label5->setText(Period(v));
}

void TForm50::Edit7Exit() {
    int n = 15;
    if (!ParseInteger(ui_->Edit7->text().trimmed().toStdString(), n)) n = 15;
    if (n < 1 || n > 30) n = 10;
    SinusFit.SinusIterationen = n;
    ui_->Edit7->setText(QString::fromStdString(IntToText(n)));
}

void TForm50::Button1Click() {
    if (!CommitFocusedField()) return;
    accept();
}

}  // namespace kalvo
