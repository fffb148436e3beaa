#pragma once
// Printing the graph on one page: the dialog "Grafik drucken" that chooses
// the printed size in percent or centimetres, the margins and centring, with
// a preview on an A4 sheet; and the printout itself, the central redraw on
// the printer scaled so that the graph has the chosen size.

#include <QImage>
#include <QWidget>

#include <memory>

#include "dialog_base.h"

namespace Ui {
class TGrafikDruckenDlg;
}

namespace kalvo {

class PrintJob;

// The A4 sheet of the preview, one pixel per millimetre, with the graph's
// picture where the printout will have it.
class TA4Sheet : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSheetWidth = 210;
    static constexpr int kSheetHeight = 297;

    explicit TA4Sheet(QWidget* parent = nullptr);
    // The picture and, where it is not whole, a note at the foot of the
    // sheet, whose width it has whatever the size of the picture.
    void SetPicture(QImage picture, QPoint at, QString note = {});
    const QImage& Picture() const { return picture_; }
    QPoint PictureAt() const { return at_; }
    const QString& Note() const { return note_; }
    QSize sizeHint() const override { return {kSheetWidth, kSheetHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QPoint at_;
    QString note_;
};

class TGrafikDruckenDlg : public KalvoDialog {
    Q_OBJECT
public:
    explicit TGrafikDruckenDlg(QWidget* parent = nullptr);
    ~TGrafikDruckenDlg() override;

    Ui::TGrafikDruckenDlg* Controls() const { return ui_.get(); }

    // Natural size of the graph, chosen size and the same in percent.
    double OriginalBreite = 0, OriginalHoehe = 0;
    double DruckBreite = 0, DruckHoehe = 0;
    double ProzentBreite = 100, ProzentHoehe = 100;

    // The preview of the graph on the sheet.
    void ZeigeBlatt();

    void OkClick();
    void AbbrechenClick();
    void VorgabeClick();
    void HorizontalClick();
    void VertikalClick();

protected:
    void LoadControls() override;

private:
    // The rules of the fields, each when its field is left.
    void BreiteProzentExit();
    void HoeheProzentExit();
    void BreiteCmExit();
    void HoeheCmExit();
    void RandLinksExit();
    void RandObenExit();
    void ClampWidth();
    void ClampHeight();
    void WriteFields();

    std::unique_ptr<Ui::TGrafikDruckenDlg> ui_;
};

// Prints the graph with the size and margins the dialog left in the shared
// state (PrintScaleX/Y, RandLinks, RandOben) on one page of the printer.
// The screen's output context comes back afterwards. False, with a message,
// when the printer cannot print.
bool PrintGraphPage(PrintJob& printer);

}  // namespace kalvo
