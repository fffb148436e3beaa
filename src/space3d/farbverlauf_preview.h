#pragma once
// The 64-pixel preview of a colour spectrum beside its track bar: one
// vertical line per column in the spectrum's colour.

#include <QWidget>

namespace kalvo {

class TFarbverlauf : public QWidget {
    Q_OBJECT
public:
    explicit TFarbverlauf(QWidget* parent = nullptr);

    int Spektrum() const { return spektrum_; }
    void SetSpektrum(int k);

    QSize sizeHint() const override { return {64, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int spektrum_ = 1;
};

}  // namespace kalvo
