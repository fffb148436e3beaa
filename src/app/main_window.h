#pragma once
// The main window: the square graph area, the two tool panels whose buttons
// open every window of the program, and the status line. It stays open for
// the whole run; closing it asks first and ends the program.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "graph_host.h"
#include "object_lists.h"

class QAbstractButton;
class QDialog;
#include <QMessageBox>
class QToolButton;

namespace Ui {
class TForm1;
}

namespace kalvo {

class TGraphArea;
class TMouseTools;

class TForm1 : public QWidget, public GraphHost {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Status line and tool panels are fixed; the graph area takes the rest
    // of the height and the window's width follows from it.
    static constexpr int kLeftPanelWidth = 100;
    static constexpr int kRightPanelWidth = 115;
    static constexpr int kStatusHeight = 18;
    // The client width that belongs to a client height.
    static int ClientWidthFor(int clientHeight);

    TGraphArea* PaintBox1() const;
    Ui::TForm1* Controls() const { return ui_.get(); }

    // Sizes the window for the available screen height and centres it.
    void PlaceOnScreen();
    // Square graph area, window width and panel positions for the current height.
    void ApplySquareLayout();

    // The central redraw onto the graph area, shown with the next paint.
    void Redraw(bool clearFirst);

    // GraphHost: the engine's calls into the main window. Other windows ask
    // for the redraw through the host; here it also shows the new picture.
    void RedrawMainGraph(bool clearFirst) override { Redraw(clearFirst); }
    void SonderpunkteBerechnen(double a, double b, double step, double t) override;
    void SummenAnzeige(bool on) override;
    void SummenText(const std::string& text) override;

    // The toggle buttons of the right panel show whether their overlay is
    // drawn: set before their window opens and again after it has closed.
    enum class Overlay { Iteration, Logistisch, Kurvenanpassung, Diskussion, Newton, Flaechen, Summen };
    QToolButton* OverlayButton(Overlay which) const;
    bool OverlayShown(Overlay which) const;
    void SyncOverlayButton(Overlay which);
    // Opens a window that belongs to a toggle button, modal, and syncs the
    // button around it.
    void OpenOverlayWindow(Overlay which, QDialog* window);

    // "2n" and "n/2".
    void DoubleRectangles();
    void HalveRectangles();

    // The function-family, coordinate-system, options, full-screen,
    // piecewise-function and parametric-curve windows, each from its button
    // (dialog_openers.cpp).
    void OpenFunctionFamily();
    void OpenCoordinateSystem();
    void OpenOptions();
    void OpenFullScreen();
    void OpenPiecewise();
    void OpenParametric();
    // The info window shown before the question to end (while it is open).
    QDialog* QuitInfo() const { return quitInfo_; }

    // Mouse tools, zoom, pan and the drawing-object panel.
    TMouseTools* MouseTools() const { return mouseTools_.get(); }

    // The file buttons: archive files, printing, picture file, clipboard,
    // word-processor document (file_buttons.cpp).
    void FunktionstermeSpeichernClick();
    void FunktionstermeHolenClick();
    void GrafikDruckenClick();
    void WmfSpeichernClick();
    void WmfZwischenablageClick();
    void WorddokumentClick();

    // The question asked before the program ends (while it is open).
    QMessageBox* QuitQuestion() const { return quitQuestion_; }

    // The drawing-object tool and the rubber band of the graph area.
    TDrawingTool AktuellesWerkzeug = TDrawingTool::Tangente;
    bool WerkzeugAktiv = false;
    struct {
        int X0 = 0, Y0 = 0, Xm = 0, Ym = 0;
        bool Ziehen = false;
    } Zoomrechteck;
    struct {
        int X = 0, Y = 0;
    } TextKlickpunkt;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void AskToQuit();
    void ConnectDialogButtons();
    void ConnectWindowButtons();
    void OpenIteration();
    void OpenLogistic();
    void OpenCurveFit();
    void OpenValueTable();
    void OpenDiscussion();
    void OpenNewton();
    void OpenSolids();
    void OpenAreas();
    void OpenSums();
    void OpenSurfaces();
    void OpenLinearSystem();
    QDialog* OpenQuitInfo();
    void AskQuitQuestion();
    void ConnectFileButtons();

    std::unique_ptr<Ui::TForm1> ui_;
    // After the controls, so that it goes before them.
    std::unique_ptr<TMouseTools> mouseTools_;
    bool layingOut_ = false;
    bool quitConfirmed_ = false;
    bool showsSumsText_ = false;
    QPointer<QMessageBox> quitQuestion_;
    QPointer<QDialog> quitInfo_;
    QPointer<QDialog> discussion_;  // made when first opened, hidden when closed
};

}  // namespace kalvo
