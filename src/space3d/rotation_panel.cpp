#include "rotation_panel.h"

#include "switch.h"
#include "ui_rotation_panel.h"

namespace kalvo {

TRotation3D::TRotation3D(QWidget* parent) : QGroupBox(parent), ui_(std::make_unique<Ui::TRotation3D>()) {
    ui_->setupUi(this);
}

TRotation3D::~TRotation3D() = default;

Drehrichtungen TRotation3D::Richtungen() const {
    Drehrichtungen r;
    r.rechts = ui_->SpeedButtonRechts->isChecked();
    r.links = ui_->SpeedButtonLinks->isChecked();
    r.oben = ui_->SpeedButtonOben->isChecked();
    r.unten = ui_->SpeedButtonUnten->isChecked();
    return r;
}

double TRotation3D::DrehSchritt() const { return ui_->TrackBarTempo->value() / 2.0; }

}  // namespace kalvo
