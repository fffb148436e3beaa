#include "window3d.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMouseEvent>
#include <QSlider>
#include <QToolButton>

#include <algorithm>

#include "grafik3d_canvas.h"
#include "message_sink.h"
#include "printing.h"
#include "program_state.h"
#include "rotation_panel.h"
#include "switch.h"
#include "ui_rotation_panel.h"
#include "ui_view_panel.h"
#include "view_panel.h"

namespace kalvo {

namespace {

// A held zoom button steps this often.
constexpr int kZoomTakt = 15;

int AnimationsTakt() { return std::clamp(gDisplay.AnimationDelay, 0, 60000) + 15; }

}  // namespace

T3DFenster::T3DFenster(QWidget* parent) : KalvoDialog(parent) {
    SetArrowKeysMoveFocus(true);
    connect(&animation_, &QTimer::timeout, this, &T3DFenster::AnimationsSchritt);
    connect(&zoom_, &QTimer::timeout, this, &T3DFenster::ZoomSchritt);
    ChoosePrinter = [this](PrintJob& printer) { return printer.ExecDialog(this); };
}

T3DFenster::~T3DFenster() = default;

void T3DFenster::KameraVerbinden(const Kamerabedienung& k, bool koerper) {
    k_ = k;
    koerper_ = koerper;
    connect(k_.rotation->Controls()->Switch, &TSwitch::OnChanged, this, &T3DFenster::SchalterGeaendert);
    const Ui::TBedienung3D* b = k_.bedienung->Controls();
    connect(b->SpeedButtonZoomPlus, &QToolButton::pressed, this, [this] { ZoomStart(true); });
    connect(b->SpeedButtonZoomMinus, &QToolButton::pressed, this, [this] { ZoomStart(false); });
    for (QToolButton* z : {b->SpeedButtonZoomPlus, b->SpeedButtonZoomMinus})
        connect(z, &QToolButton::released, this, &T3DFenster::ZoomEnde);
    connect(k_.drucker, &QAbstractButton::clicked, this, &T3DFenster::DruckerClick);
    connect(k_.wmfClipb, &QAbstractButton::clicked, this, &T3DFenster::WMFClipbClick);
    connect(k_.wmfDatei, &QAbstractButton::clicked, this, &T3DFenster::WMFDateiClick);
}

std::function<void()> T3DFenster::Szene() {
    return [this] { zeichnen(); };
}

// --- Animation.

void T3DFenster::SchalterGeaendert() {
    const Ui::TRotation3D* r = k_.rotation->Controls();
    const bool an = r->Switch->Checked();
    mausDrehung_ = an;
    r->TrackBarTempo->setEnabled(an);
    for (QToolButton* b : {r->SpeedButtonRechts, r->SpeedButtonLinks, r->SpeedButtonOben, r->SpeedButtonUnten})
        b->setEnabled(an);
    for (QAbstractButton* b : {k_.drucker, k_.wmfClipb, k_.wmfDatei}) b->setEnabled(!an);
    if (an) {
        (koerper_ ? r->SpeedButtonLinks : r->SpeedButtonRechts)->setChecked(true);
        animation_.start(AnimationsTakt());
        return;
    }
    animation_.stop();
    // The last picture is lit again, if light is chosen.
    if (!schliessen_) zeichnen();
}

void T3DFenster::AnimationsSchritt() {
    if (!mausDrehung_) return;
    const int takt = AnimationsTakt();
    if (animation_.isActive() && animation_.interval() != takt) animation_.setInterval(takt);
    TGrafik3DCanvas& g = *k_.grafik;
    const Drehrichtungen richtungen = k_.rotation->Richtungen();
    const double schritt = k_.rotation->DrehSchritt();
    if (koerper_)
        KoerperDrehschritt(g, richtungen, schritt);
    else
        Drehschritt(g, richtungen, schritt);
    zeichnen();
}

void T3DFenster::AnimationAus() { k_.rotation->Controls()->Switch->SetChecked(false); }

// --- Zoom buttons held down.

void T3DFenster::ZoomStart(bool plus) {
    (plus ? zoomPlus_ : zoomMinus_) = true;
    ZoomSchritt();
    zoom_.start(kZoomTakt);
}

void T3DFenster::ZoomSchritt() {
    if (!zoomPlus_ && !zoomMinus_) return;
    TGrafik3DCanvas& g = *k_.grafik;
    g.SetSehwinkel(g.Sehwinkel() * (zoomPlus_ ? 0.98 : 1.02));
    zeichnen();
}

void T3DFenster::ZoomEnde() {
    zoom_.stop();
    zoomPlus_ = zoomMinus_ = false;
    zeichnen();
}

// --- Dragging the picture.

bool T3DFenster::eventFilter(QObject* watched, QEvent* event) {
    if (k_.grafik && watched == k_.grafik) MausAufGrafik(event);
    return KalvoDialog::eventFilter(watched, event);
}

bool T3DFenster::MausAufGrafik(QEvent* event) {
    const QEvent::Type art = event->type();
    if (art != QEvent::MouseButtonPress && art != QEvent::MouseMove && art != QEvent::MouseButtonRelease) return false;
    const auto* maus = static_cast<QMouseEvent*>(event);
    if (art == QEvent::MouseButtonPress) {
        if (maus->button() != Qt::LeftButton) return false;
        dragAngle_ = true;
        mausDrehung_ = true;
        mousePos_ = maus->position().toPoint();
        return true;
    }
    if (!dragAngle_) return false;
    if (art == QEvent::MouseMove) {
        // Every two pixels turn the view by a degree; an odd pixel left over
        // counts with the next move, so that a slow drag turns too.
        const QPoint neu = maus->position().toPoint();
        const int dx = (mousePos_.x() - neu.x()) / 2, dy = (mousePos_.y() - neu.y()) / 2;
        mousePos_ -= QPoint(2 * dx, 2 * dy);
        if (dx == 0 && dy == 0) return true;
        KameraZiehen(*k_.grafik, 2 * dx, 2 * dy, 0, 0);
        zeichnen();
        return true;
    }
    if (maus->button() != Qt::LeftButton) return false;
    dragAngle_ = false;
    mausDrehung_ = false;
    AnimationAus();
    zeichnen();
    return true;
}

// --- Output.

void T3DFenster::DruckerClick() {
    const std::shared_ptr<PrintJob> printer = NewPrintJob(windowTitle());
    if (!printer || !ChoosePrinter || !ChoosePrinter(*printer)) return;
    if (!Grafik3DDrucken(*k_.grafik, *printer, Szene()))
        ShowMessage("Die Grafik kann nicht gedruckt werden.", MessageKind::Error);
}

void T3DFenster::WMFClipbClick() {
    if (!Grafik3DInZwischenablage(*k_.grafik, Szene()))
        ShowMessage("Die Grafik kann nicht in die Zwischenablage kopiert werden.", MessageKind::Error);
}

void T3DFenster::WMFDateiClick() {
    QFileDialog dialog(this, QStringLiteral("Erstellte Grafik speichern"), QDir::currentPath());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("Windows Metadatei (*.wmf)"), QStringLiteral("Enhanced Metadatei (*.emf)")});
    dialog.setDefaultSuffix(QStringLiteral("wmf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const int index = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
    GrafikSpeichern(dialog.selectedFiles().front(), std::max(index, 0));
}

bool T3DFenster::GrafikSpeichern(const QString& gewaehlt, int filterIndex) {
    const QString ziel = QString::fromStdString(Grafik3DDateiname(gewaehlt.toStdString(), filterIndex));
    const QFileInfo info(ziel);
    if (info.completeBaseName().isEmpty()) {
        ShowMessage("Der Dateiname " + gewaehlt.toStdString() + " taugt nicht für eine Grafik.", MessageKind::Error);
        return false;
    }
    QDir::setCurrent(info.absolutePath());
    return Grafik3DSpeichern(*k_.grafik, info.absoluteFilePath().toStdString(), Szene());
}

void T3DFenster::done(int result) {
    // The timers stop with the window; the picture is not drawn once more.
    schliessen_ = true;
    zoom_.stop();
    zoomPlus_ = zoomMinus_ = false;
    dragAngle_ = false;
    if (k_.rotation) AnimationAus();
    animation_.stop();
    mausDrehung_ = false;
    KalvoDialog::done(result);
}

}  // namespace kalvo
