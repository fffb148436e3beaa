#include "main_window.h"

#include "curve_discussion.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "analysis_state.h"
#include "app_resources.h"
#include "app_start.h"
#include "canvas.h"
#include "curves.h"
#include "graph_area.h"
#include "graph_link.h"
#include "mouse_tools.h"
#include "program_state.h"
#include "progress_dialog.h"
#include "ui_main_window.h"

namespace kalvo {

namespace {

constexpr int kMaxRechtecke = 1024;

// The frame the window manager adds around the client area, before it is
// known: the title bar above, a border on either side.
constexpr int kFrameAllowance = 40;
constexpr int kSideFrameAllowance = 10;

// While the controls of the main window are made, the application's font is
// the one the form gives the window: a line edit lays its (still empty) text
// out in the application's font once before it takes its own, which would
// load a font that the first picture never shows.
class WindowFontWhileMade {
public:
    WindowFontWhileMade() : saved_(QApplication::font()) {
        QApplication::setFont(QFont(InstalledFamily(QStringLiteral("Arial")), 8));
    }
    ~WindowFontWhileMade() { QApplication::setFont(saved_); }
    WindowFontWhileMade(const WindowFontWhileMade&) = delete;
    WindowFontWhileMade& operator=(const WindowFontWhileMade&) = delete;

private:
    QFont saved_;
};

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TForm1>()) {
    {
        WindowFontWhileMade windowFont;
        ui_->setupUi(this);
    }
    ApplyGlyphs(this);
    SetGraphHost(this);
    InstallProgressDialog();
    setWindowTitle(MainWindowCaption());
    setWindowIcon(Glyph(QStringLiteral("kalvograf")));

    ui_->PaintBox1->setCursor(ProgramCursor(1));
    ui_->Edit1->hide();
    // The status line stays empty until the mouse moves over the graph. Its
    // labels take their own font (as the form sets it) once the first
    // picture is painted, which then does not wait for a font it does not show.
    for (QLabel* label : {ui_->Label2, ui_->Label3}) {
        const QFont own = label->font();
        label->setFont(font());
        connect(ui_->PaintBox1, &TGraphArea::FirstGraphPainted, label,
                [label, own] { QTimer::singleShot(0, label, [label, own] { label->setFont(own); }); });
    }

    // A picture the redraw's work budget cut says so until a whole one follows.
    ui_->LabelUnvollstaendig->setText(QString::fromStdString(CutPictureText("gezeichnet")));
    connect(ui_->PaintBox1, &TGraphArea::Redrawn, this,
            [this] { ui_->LabelUnvollstaendig->setVisible(ui_->PaintBox1->Surface().Cut()); });

    connect(ui_->ButtonFunktionenschar, &QToolButton::clicked, this, &TForm1::OpenFunctionFamily);
    connect(ui_->Button2n, &QToolButton::clicked, this, &TForm1::DoubleRectangles);
    connect(ui_->ButtonNHalbe, &QToolButton::clicked, this, &TForm1::HalveRectangles);
    connect(ui_->ButtonEnde, &QToolButton::clicked, this, &QWidget::close);
    ConnectDialogButtons();
    ConnectWindowButtons();
    mouseTools_ = std::make_unique<TMouseTools>(this);
    ConnectFileButtons();
    // Esc closes the window wherever the focus is in it.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WindowShortcut);
    connect(esc, &QShortcut::activated, this, &QWidget::close);

    // The panels need their full height: the window never gets lower.
    const int panels = std::max(ui_->Panel1->sizeHint().height(), ui_->panel3->sizeHint().height());
    setMinimumSize(ClientWidthFor(panels + kStatusHeight), panels + kStatusHeight);
    resize(ClientWidthFor(height()), height());
    ApplySquareLayout();
}

TForm1::~TForm1() {
    SetGraphHost(nullptr);
}

int TForm1::ClientWidthFor(int clientHeight) {
    return clientHeight + kLeftPanelWidth + kRightPanelWidth - kStatusHeight + 4;
}

TGraphArea* TForm1::PaintBox1() const { return ui_->PaintBox1; }

void TForm1::PlaceOnScreen() {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect avail = s->availableGeometry();
    // Started maximised, a window manager would refuse the square layout's
    // width; so the window takes the available height itself, as far as the
    // width that follows from it still fits on the screen (a right panel
    // beyond the screen's edge could not be reached).
    const int fitting = std::min(avail.height() - kFrameAllowance,
                                 avail.width() - kSideFrameAllowance - ClientWidthFor(0));
    const int h = std::max(minimumHeight(), fitting);
    const int w = ClientWidthFor(h);
    resize(w, h);
    move(avail.x() + std::max(0, (avail.width() - w) / 2), avail.y());
}

void TForm1::ApplySquareLayout() {
    if (layingOut_) return;
    layingOut_ = true;
    const int clientH = height();
    const int clientW = ClientWidthFor(clientH);
    if (width() != clientW) resize(clientW, clientH);
    if (isVisible()) {
        if (QScreen* s = screen()) {
            const int left = s->geometry().x() + (s->geometry().width() - clientW) / 2;
            if (x() != left) move(left, y());
        }
    }
    const int side = std::max(1, clientH - kStatusHeight);
    ui_->Panel2->setGeometry(0, clientH - kStatusHeight, clientW, kStatusHeight);
    ui_->Panel1->setGeometry(0, 0, kLeftPanelWidth, side);
    ui_->panel3->setGeometry(clientW - kRightPanelWidth, 0, kRightPanelWidth, side);
    ui_->PaintBox1->setGeometry(kLeftPanelWidth + 1, 0, side, side);
    // The new plot size and its transform; the picture follows as soon as
    // the current event is done.
    ui_->PaintBox1->FitSurface();
    layingOut_ = false;
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplySquareLayout();
}

// The form names its font Arial. Where only a stand-in is installed, the
// window takes that by its own name as soon as the form sets the font, before
// the controls lay out their texts: Qt would otherwise look for the stand-in
// the slow way (see InstalledFamily).
void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::FontChange) return;
    QFont own = font();
    const QString family = InstalledFamily(own.family());
    if (family == own.family()) return;
    own.setFamily(family);
    setFont(own);
}

void TForm1::Redraw(bool clearFirst) { ui_->PaintBox1->Redraw(clearFirst); }

void TForm1::SummenAnzeige(bool on) {
    ui_->ButtonSummen->setChecked(on);
    ui_->Button2n->setEnabled(on);
    ui_->ButtonNHalbe->setEnabled(on);
    if (!on && showsSumsText_) {
        ui_->Label3->clear();
        showsSumsText_ = false;
    }
}

void TForm1::SummenText(const std::string& text) {
    ui_->Label3->setText(QString::fromStdString(text));
    showsSumsText_ = true;
}

QToolButton* TForm1::OverlayButton(Overlay which) const {
    switch (which) {
        case Overlay::Iteration: return ui_->ButtonIteration;
        case Overlay::Logistisch: return ui_->ButtonLogistisch;
        case Overlay::Kurvenanpassung: return ui_->ButtonKurvenanpassung;
        case Overlay::Diskussion: return ui_->ButtonDiskussion;
        case Overlay::Newton: return ui_->ButtonNewton;
        case Overlay::Flaechen: return ui_->ButtonFlaechen;
        case Overlay::Summen: return ui_->ButtonSummen;
    }
    return nullptr;
}

bool TForm1::OverlayShown(Overlay which) const {
    const IterationState& it = gIteration;
    const bool iteration = it.IterPfadAnzeige || it.FolgeAnzeige || it.AttraktorAnzeige;
    switch (which) {
        case Overlay::Iteration: return iteration && !it.IterLogistisch;
        case Overlay::Logistisch: return iteration && it.IterLogistisch;
        case Overlay::Kurvenanpassung: return gRegression.WertepaareZeichnen;
        case Overlay::Diskussion: return gDiscussion.SonderpunkteZeichnen || gDiscussion.SonderpunkteBeschriften;
        case Overlay::Newton: return gOverlay.NewtonZeichnen;
        case Overlay::Flaechen: return gOverlay.FlaecheZeichnen;
        case Overlay::Summen: return gOverlay.SummenZeichnen;
    }
    return false;
}

void TForm1::SyncOverlayButton(Overlay which) {
    QToolButton* b = OverlayButton(which);
    b->setChecked(OverlayShown(which));
    // One of the two iteration windows at a time: while one button is down
    // the other waits. A button without its window stays disabled.
    if (which == Overlay::Iteration || which == Overlay::Logistisch) {
        QToolButton* other = OverlayButton(which == Overlay::Iteration ? Overlay::Logistisch : Overlay::Iteration);
        const bool otherHasWindow = other->property("hasWindow").toBool();
        other->setEnabled(otherHasWindow && !b->isChecked());
    }
}

void TForm1::OpenOverlayWindow(Overlay which, QDialog* window) {
    switch (which) {
        case Overlay::Iteration: gIteration.IterLogistisch = false; break;
        case Overlay::Logistisch: gIteration.IterLogistisch = true; break;
        case Overlay::Kurvenanpassung: gRegression.WertepaareZeichnen = true; break;
        default: break;
    }
    SyncOverlayButton(which);
    connect(window, &QDialog::finished, this, [this, which] { SyncOverlayButton(which); });
    window->open();
}

void TForm1::DoubleRectangles() {
    gOverlay.AnzahlRechtecke = std::min(2 * std::max(gOverlay.AnzahlRechtecke, 1), kMaxRechtecke);
    Redraw(true);
}

void TForm1::HalveRectangles() {
    gOverlay.AnzahlRechtecke = std::max(gOverlay.AnzahlRechtecke / 2, 1);
    Redraw(true);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A printout or export in progress ends first, by itself or by its dialog.
    if (CancellableWorkRunning()) {
        event->ignore();
        return;
    }
    if (quitConfirmed_) {
        EndProgramState();
        event->accept();
        return;
    }
    event->ignore();
    AskToQuit();
}

void TForm1::AskToQuit() {
    if (quitQuestion_ || quitInfo_) return;
    // The info window comes first; the question follows when it closes.
    quitInfo_ = OpenQuitInfo();
    connect(quitInfo_, &QDialog::finished, this, &TForm1::AskQuitQuestion);
}

void TForm1::AskQuitQuestion() {
    if (quitQuestion_) return;
    auto* box = new QMessageBox(QMessageBox::Question, QString::fromUtf8(kApplicationTitle),
                                QStringLiteral("Programm beenden?"), QMessageBox::Ok | QMessageBox::Cancel, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Cancel);
    connect(box, &QMessageBox::finished, this, [this, box] {
        if (box->standardButton(box->clickedButton()) != QMessageBox::Ok) return;
        quitConfirmed_ = true;
        close();
    });
    quitQuestion_ = box;
    box->open();
}

void TForm1::SonderpunkteBerechnen(double a, double b, double step, double t) {
    // The redraw marks the special points; their lists belong to the
    // curve-discussion window and are not refilled from here.
    KurvendiskussionBerechnen(a, b, step, t);
}

}  // namespace kalvo
