#pragma once
// "Startwerte und Einstellungen y = a sin(bx+c)+d": the start values and
// the iteration count of the sine fit beside the values it fitted. With
// "Defaultwerte (automatisch)" the fit takes its start values from the data.
// It only edits the shared values; the next fit uses them. The curve-fitting
// window opens it modally:
//     (new TForm50(this))->exec();   // deletes itself on close

#include <memory>

#include "dialog_base.h"

class QLineEdit;

namespace Ui {
class TForm50;
}

namespace kalvo {

class TForm50 : public KalvoDialog {
    Q_OBJECT
public:
    explicit TForm50(QWidget* parent = nullptr);
    ~TForm50() override;

    // Leaving start field i (1..4, a to d) and the iteration field.
    void EditExit(int i);
    void Edit7Exit();
    void BitCheckBox1Click();
    void Button1Click();

    // The texts of the fields and labels by their control names.
    QLineEdit* Edit(int i) const;
    QString LabelText(const char* name) const;

protected:
    void LoadControls() override;

private:
    void ShowStartValues();
    void EnableEdits(bool on);

    std::unique_ptr<Ui::TForm50> ui_;
};

}  // namespace kalvo
