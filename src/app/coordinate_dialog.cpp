#include "coordinate_dialog.h"

#include <QButtonGroup>
#include <QFontDialog>
#include <algorithm>
#include <cmath>

#include "app_resources.h"
#include "color_button.h"
#include "draw_combo_box.h"
#include "edit_field.h"
#include "graph_host.h"
#include "graph_link.h"
#include "number_text.h"
#include "program_state.h"
#include "settings_file.h"
#include "ui_coordinate_dialog.h"
#include "user_choices.h"

namespace kalvo {

namespace {


bool AnyLogAxis() {
    const KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
    return k.xSkalierung == 1 || k.ySkalierung == 1;
}

QButtonGroup* MakeGroup(QObject* parent, std::initializer_list<QAbstractButton*> buttons) {
    auto* g = new QButtonGroup(parent);
    int id = 0;
    for (QAbstractButton* b : buttons) {
        b->setCheckable(true);
        g->addButton(b, id++);
    }
    return g;
}

void CheckButton(QButtonGroup* group, int id) {
    if (QAbstractButton* b = group->button(id)) b->setChecked(true);
}

}  // namespace

TForm5::TForm5(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm5>()) {
    ui_->setupUi(this);
    ApplyGlyphs(this);
    SetArrowKeysMoveFocus(true);

    for (TermEdit* e : {ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit4}) e->setKind(TermEdit::Kind::Number);
    for (TermEdit* e : {ui_->Edit5, ui_->Edit6}) {
        e->setKind(TermEdit::Kind::Text);
        e->setMaxLength(static_cast<int>(kAxisTitleChars));
    }

    xGroup_ = MakeGroup(this, {ui_->SpeedButtonXLinear, ui_->SpeedButtonXLog, ui_->SpeedButtonXPi});
    yGroup_ = MakeGroup(this, {ui_->SpeedButtonYLinear, ui_->SpeedButtonYLog, ui_->SpeedButtonYPi});
    gitterGroup_ = MakeGroup(this, {ui_->SpeedButtonGitter0, ui_->SpeedButtonGitter1, ui_->SpeedButtonGitter2,
                                    ui_->SpeedButtonGitter3});
    artGroup_ = MakeGroup(this, {ui_->SpeedButtonArt0, ui_->SpeedButtonArt1});
    beschriftungGroup_ = MakeGroup(this, {ui_->SpeedButtonBeschriftung0, ui_->SpeedButtonBeschriftung1,
                                          ui_->SpeedButtonBeschriftung2});
    connect(xGroup_, &QButtonGroup::idClicked, this, [this](int v) { SkalierungClick(false, v); });
    connect(yGroup_, &QButtonGroup::idClicked, this, [this](int v) { SkalierungClick(true, v); });
    connect(gitterGroup_, &QButtonGroup::idClicked, this, &TForm5::GitterClick);
    connect(artGroup_, &QButtonGroup::idClicked, this, &TForm5::ArtClick);
    connect(beschriftungGroup_, &QButtonGroup::idClicked, this, &TForm5::BeschriftungClick);

    ViewWindowState& v = gView;
    ConnectWindowField(ui_->Edit1, v.BereichX1);
    ConnectWindowField(ui_->Edit2, v.BereichX2);
    ConnectWindowField(ui_->Edit3, v.BereichY1);
    ConnectWindowField(ui_->Edit4, v.BereichY2);
    ConnectTitleField(ui_->Edit5, false);
    ConnectTitleField(ui_->Edit6, true);

    auto& k = gDisplay.Koordinatensystem;
    connect(ui_->ColorButton1, &TColorButton::OnChange, this, [this, &k] {
        if (initialising_) return;
        k.Gitterfarbe = static_cast<int32_t>(ui_->ColorButton1->SelectionColor());
        ui_->LineWidthComboBox2->SetLineColor(ui_->ColorButton1->SelectionColor());
    });
    connect(ui_->ColorButton2, &TColorButton::OnChange, this, [this, &k] {
        if (initialising_) return;
        k.Achsenfarbe = static_cast<int32_t>(ui_->ColorButton2->SelectionColor());
        ui_->LineWidthComboBox1->SetLineColor(ui_->ColorButton2->SelectionColor());
    });
    connect(ui_->LineWidthComboBox1, &TLineWidthComboBox::OnClick, this,
            [this, &k] { k.Achsendicke = std::max(ui_->LineWidthComboBox1->LineWidth(), 1) - 1; });
    connect(ui_->LineWidthComboBox2, &TLineWidthComboBox::OnClick, this,
            [this, &k] { k.Gitterdicke = std::max(ui_->LineWidthComboBox2->LineWidth(), 1) - 1; });

    connect(ui_->SpeedButtonSchrift, &QToolButton::clicked, this, &TForm5::SchriftClick);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TForm5::OkClick);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm5::SpeichernClick);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TForm5::VorgabeClick);
}

TForm5::~TForm5() = default;

QAbstractButton* TForm5::SkalierungButton(bool yAxis, int value) const {
    return (yAxis ? yGroup_ : xGroup_)->button(value);
}
QAbstractButton* TForm5::GitterButton(int value) const { return gitterGroup_->button(value); }
QAbstractButton* TForm5::ArtButton(int value) const { return artGroup_->button(value); }
QAbstractButton* TForm5::BeschriftungButton(int value) const { return beschriftungGroup_->button(value); }

void TForm5::ConnectWindowField(TermEdit* edit, double& value) {
    connect(edit, &TermEdit::fieldLeft, this, [edit, &value] { ReadNumberEdit(edit, value, value); });
}

void TForm5::ConnectTitleField(TermEdit* edit, bool yAxis) {
    connect(edit, &TermEdit::fieldLeft, this, [edit, yAxis] {
        auto& k = gDisplay.Koordinatensystem;
        (yAxis ? k.yAchsentext : k.xAchsentext) = edit->text().toStdString();
    });
}

void TForm5::LoadControls() {
    gControl.ErstesZeichnen = false;
    initialising_ = true;
    const ViewWindowState& v = gView;
    const auto& k = gDisplay.Koordinatensystem;
    ShowButtons();
    ui_->Edit1->setText(NumberFieldText(v.BereichX1));
    ui_->Edit2->setText(NumberFieldText(v.BereichX2));
    ui_->Edit3->setText(NumberFieldText(v.BereichY1));
    ui_->Edit4->setText(NumberFieldText(v.BereichY2));
    ui_->Edit5->setText(QString::fromStdString(k.xAchsentext));
    ui_->Edit6->setText(QString::fromStdString(k.yAchsentext));
    ShowFont();
    const auto gitterfarbe = static_cast<Color>(k.Gitterfarbe);
    const auto achsenfarbe = static_cast<Color>(k.Achsenfarbe);
    ui_->ColorButton1->SetSelectionColor(gitterfarbe);
    ui_->ColorButton2->SetSelectionColor(achsenfarbe);
    ui_->LineWidthComboBox2->SetLineWidth(k.Gitterdicke + 1);
    ui_->LineWidthComboBox2->SetLineColor(gitterfarbe);
    ui_->LineWidthComboBox1->SetLineWidth(k.Achsendicke + 1);
    ui_->LineWidthComboBox1->SetLineColor(achsenfarbe);
    initialising_ = false;
    ui_->Edit1->selectAll();
    ui_->Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm5::ShowButtons() {
    const auto& k = gDisplay.Koordinatensystem;
    CheckButton(xGroup_, k.xSkalierung);
    CheckButton(yGroup_, k.ySkalierung);
    CheckButton(gitterGroup_, k.Gitter);
    CheckButton(artGroup_, k.Art == 0 ? 0 : 1);
    CheckButton(beschriftungGroup_, k.Beschriftung);
}

void TForm5::ShowFont() {
    const DisplayState& d = gDisplay;
    QFont font(QString::fromStdString(d.Schriftname));
    font.setPointSize(std::clamp(d.Schriftgroesse, kSmallestLabelFont, kLargestLabelFont));
    font.setBold(d.SchriftFett);
    ui_->SpeedButtonSchrift->setFont(font);
    ui_->SpeedButtonSchrift->setText(QString::fromStdString(d.Schriftname));
}

void TForm5::ApplyLayoutRule() {
    auto& k = gDisplay.Koordinatensystem;
    // A logarithmic axis needs the margins for its decade labels, and the
    // margins need the labels.
    if (AnyLogAxis()) k.Art = 1;
    if (k.Art == 1 && k.Beschriftung == 0) k.Beschriftung = 1;
    ShowButtons();
}

void TForm5::SkalierungClick(bool yAxis, int value) {
    auto& k = gDisplay.Koordinatensystem;
    (yAxis ? k.ySkalierung : k.xSkalierung) = static_cast<uint8_t>(std::clamp(value, 0, 2));
    if (value == 1 && k.Gitter == 0) k.Gitter = 1;
    ApplyLayoutRule();
}

void TForm5::GitterClick(int value) {
    auto& k = gDisplay.Koordinatensystem;
    // Crosses at the tick intersections have no place on a logarithmic axis.
    k.Gitter = static_cast<uint8_t>(value == 0 && AnyLogAxis() ? 1 : std::clamp(value, 0, 3));
    ApplyLayoutRule();
}

void TForm5::ArtClick(int value) {
    gDisplay.Koordinatensystem.Art = static_cast<uint8_t>(value == 0 ? 0 : 1);
    ApplyLayoutRule();
}

void TForm5::BeschriftungClick(int value) {
    gDisplay.Koordinatensystem.Beschriftung = static_cast<uint8_t>(std::clamp(value, 0, 2));
    ApplyLayoutRule();
}

void TForm5::SchriftClick() {
    if (FontDialog()) return;
    const DisplayState& d = gDisplay;
    QFont current(FamilyToOffer(QString::fromStdString(d.Schriftname)));
    current.setPointSize(std::max(d.Schriftgroesse, 1));
    current.setBold(d.SchriftFett);
    auto* dialog = new QFontDialog(current, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFontDialog::fontSelected, this, &TForm5::SchriftGewaehlt);
    dialog->open();
}

QFontDialog* TForm5::FontDialog() const { return findChild<QFontDialog*>(); }

void TForm5::SchriftGewaehlt(const QFont& font) {
    DisplayState& d = gDisplay;
    d.Schriftname = ChosenFamily(QString::fromStdString(d.Schriftname), font.family()).toStdString();
    // A font sized in pixels has no point size; it keeps the size it had.
    const double points = font.pointSizeF();
    const int size = points > 0 ? RoundToInt(points) : d.Schriftgroesse;
    d.Schriftgroesse = std::clamp(size, kSmallestLabelFont, kLargestLabelFont);
    d.SchriftFett = font.bold();
    ShowFont();
}

void TForm5::OkClick() {
    if (!CommitFocusedField()) return;
    accept();
    UpdateAxesAndTransform();
    Host().RedrawMainGraph(true);
}

void TForm5::SpeichernClick() {
    if (!CommitFocusedField()) return;
    // The file holds the window as it is drawn: put in order and repaired.
    UpdateAxesAndTransform();
    SaveSettings();
    Host().RedrawMainGraph(true);
    LoadControls();
}

void KoordinatensystemVorgabe(int schriftgroesse, Color gitterfarbe) {
    ViewWindowState& v = gView;
    DisplayState& d = gDisplay;
    auto& k = d.Koordinatensystem;
    v.BereichX1 = -8;
    v.BereichX2 = 8;
    v.BereichY1 = -8;
    v.BereichY2 = 8;
    k.xSkalierung = 0;
    k.ySkalierung = 0;
    k.Beschriftung = 1;
    k.Gitter = 2;
    k.Art = 0;
    k.xAchsentext = "x";
    k.yAchsentext = "y";
    gOutput.SamplesPerPixel = 1.0;
    d.Schriftgroesse = schriftgroesse;
    d.Schriftname = "Courier New";
    d.SchriftFett = false;
    d.HintergrundDrucker = 0xFFFFFF;
    d.HintergrundBildschirm = 0xFFFFFF;
    k.Gitterfarbe = static_cast<int32_t>(gitterfarbe);
    k.Gitterdicke = 0;
    k.Achsenfarbe = 0;
    k.Achsendicke = 0;
    d.Aufloesung = 3;
}

void TForm5::VorgabeClick() {
    KoordinatensystemVorgabe(12, 0x808080);
    Host().RedrawMainGraph(true);
    LoadControls();
}

}  // namespace kalvo
