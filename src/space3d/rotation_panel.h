#pragma once
// The "Rotation" panel of both 3D windows: four direction buttons that stay
// down, the angular speed and the switch that starts the animation. The
// window's camera control runs the animation from them.

#include <QGroupBox>
#include <memory>

#include "scene3d.h"

namespace Ui {
class TRotation3D;
}

namespace kalvo {

class TRotation3D : public QGroupBox {
    Q_OBJECT
public:
    explicit TRotation3D(QWidget* parent = nullptr);
    ~TRotation3D() override;

    Ui::TRotation3D* Controls() const { return ui_.get(); }

    // The directions whose buttons are down.
    Drehrichtungen Richtungen() const;
    // Degrees per frame: half the speed track bar's position.
    double DrehSchritt() const;

private:
    std::unique_ptr<Ui::TRotation3D> ui_;
};

}  // namespace kalvo
