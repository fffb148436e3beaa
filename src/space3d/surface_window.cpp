#include "surface_window.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QMouseEvent>

#include "analysis_state.h"
#include "edit_field.h"
#include "grafik3d_canvas.h"
#include "message_sink.h"
#include "number_text.h"
#include "rotation_panel.h"
#include "surface_model.h"
#include "term.h"
#include "ui_surface_window.h"
#include "ui_view_panel.h"
#include "view_panel.h"

namespace kalvo {

namespace {


QString Filter(Termlistenart art, const char* titel) {
    const QString endung = QString::fromLatin1(TermlistenEndung(art));
    return QStringLiteral("%1 (*.%2 *.%3)").arg(QString::fromUtf8(titel), endung, endung.toLower());
}

std::vector<std::string> Eintraege(const QListWidget* liste) {
    std::vector<std::string> e;
    // The list shows pi as π; the file keeps the program's own sign.
    for (int i = 0; i < liste->count(); ++i) e.push_back(TermFromShown(liste->item(i)->text().toStdString()));
    return e;
}

bool Enthalten(const QListWidget* liste, const QString& text) {
    for (int i = 0; i < liste->count(); ++i)
        if (liste->item(i)->text() == text) return true;
    return false;
}

}  // namespace

TForm30::TForm30(QWidget* parent) : T3DFenster(parent), ui_(std::make_unique<Ui::TForm30>()) {
    g3D.Farbspektrum3D = true;
    g3D.Farbspektrum3DNummer = 1;
    ui_->setupUi(this);
    for (TermEdit* e : {ui_->EditMin1, ui_->EditMax1, ui_->EditMin2, ui_->EditMax2})
        e->setKind(TermEdit::Kind::Number);
    ui_->EditZerlegung->setKind(TermEdit::Kind::Number);
    ui_->EditZerlegung->setMaxLength(2);

    TGrafik3DCanvas* g = Grafik();
    g->SetEntfernung(8);
    g->SetSehwinkel(3);
    g->SetYrot(50);
    g->SetZrot(45);
    ui_->Bedienung->SetFarben(gDisplay.HintergrundBildschirm, 0, MakeRGB(204, 204, 204));
    ui_->Bedienung->SetAchsenfarbe(0);
    ui_->Bedienung->Controls()->LabelFlaeche->setText(QStringLiteral("Gitterfelder"));
    KameraVerbinden({g, ui_->Bedienung, ui_->Rotation, ui_->BitBtnDrucker, ui_->BitBtnWMFClipb, ui_->BitBtnWMFDatei},
                    false);
    Verbinden();
    // A new size gives a new, empty screen picture.
    g->OnResize = [this] { zeichnen(); };
}

TForm30::~TForm30() {
    Grafik()->OnResize = nullptr;
}

TGrafik3DCanvas* TForm30::Grafik() const { return ui_->Grafik3D; }

void TForm30::Verbinden() {
    connect(ui_->RadioButtonParameter, &QRadioButton::toggled, this, &TForm30::ModusGewechselt);
    connect(ui_->EditZ, &TermEdit::fieldLeft, this, [this] { ReadSurfaceTermEdit(ui_->EditZ); });
    connect(ui_->EditPx, &TermEdit::fieldLeft, this, [this] { ReadParamTermEdit1(ui_->EditPx); });
    connect(ui_->EditPy, &TermEdit::fieldLeft, this, [this] { ReadParamTermEdit2(ui_->EditPy); });
    connect(ui_->EditPz, &TermEdit::fieldLeft, this, [this] { ReadParamTermEdit3(ui_->EditPz); });
    const std::pair<TermEdit*, std::pair<int, bool>> bereichsfelder[] = {
        {ui_->EditMin1, {1, false}}, {ui_->EditMax1, {1, true}}, {ui_->EditMin2, {2, false}}, {ui_->EditMax2, {2, true}}};
    for (const auto& [feld, wo] : bereichsfelder) {
        const auto [bereich, maximum] = wo;
        connect(feld, &TermEdit::fieldLeft, this,
                [this, feld, bereich, maximum] { BereichExit(feld, Bereichswert(bereich, maximum)); });
    }
    connect(ui_->EditZerlegung, &TermEdit::fieldLeft, this, &TForm30::ZerlegungExit);
    const QAbstractButton* knoepfe[2][3] = {
        {ui_->SpeedButtonVerdoppeln1, ui_->SpeedButtonHalbieren1, ui_->SpeedButtonAnfang1},
        {ui_->SpeedButtonVerdoppeln2, ui_->SpeedButtonHalbieren2, ui_->SpeedButtonAnfang2}};
    for (int b = 0; b < 2; ++b)
        for (int art = 0; art < 3; ++art)
            connect(knoepfe[b][art], &QAbstractButton::clicked, this, [this, b, art] { Bereichsknopf(b + 1, art); });

    TBedienung3D* bedienung = ui_->Bedienung;
    connect(bedienung, &TBedienung3D::Neuzeichnen, this, &TForm30::zeichnen);
    connect(bedienung, &TBedienung3D::PhiExit, this, [this] { WinkelExit(true); });
    connect(bedienung, &TBedienung3D::ThetaExit, this, [this] { WinkelExit(false); });
    connect(bedienung, &TBedienung3D::WinkelAnfangswerte, this, [this] {
        Grafik()->SetYrot(50);
        Grafik()->SetZrot(45);
        zeichnen();
    });
    connect(bedienung, &TBedienung3D::ZoomAnfangswert, this, [this] {
        Grafik()->SetSehwinkel(3);
        zeichnen();
    });
    for (QRadioButton* r : {ui_->RadioButtonOhne, ui_->RadioButtonKreuz1, ui_->RadioButtonKreuz2,
                            ui_->RadioButtonSkalierung, ui_->RadioButtonRahmen, ui_->RadioButtonRahmenSkalierung})
        connect(r, &QRadioButton::toggled, this, [this](bool an) {
            if (an) zeichnen();
        });

    connect(ui_->BitBtnOk, &QPushButton::clicked, this, &TForm30::BitBtnOkClick);
    connect(ui_->BitBtnVorgabe, &QPushButton::clicked, this, &TForm30::BitBtnVorgabeClick);
    connect(ui_->BitBtnHilfe, &QPushButton::clicked, this, &TForm30::HilfeAngefordert);
    connect(ui_->BitBtnEnde, &QPushButton::clicked, this, &TForm30::BitBtnEndeClick);

    connect(ui_->SpeedButtonListe, &QToolButton::clicked, this, &TForm30::SpeedButtonListeClick);
    connect(ui_->SpeedButtonAufnehmen, &QToolButton::clicked, this, &TForm30::SpeedButtonAufnehmenClick);
    connect(ui_->SpeedButtonEntfernen, &QToolButton::clicked, this, &TForm30::SpeedButtonEntfernenClick);
    connect(ui_->SpeedButtonSpeichern, &QToolButton::clicked, this, &TForm30::SpeedButtonSpeichernClick);
    connect(ui_->SpeedButtonHolen, &QToolButton::clicked, this, &TForm30::SpeedButtonHolenClick);
    for (QListWidget* l : {ui_->ListBoxFunktion, ui_->ListBoxParameter})
        connect(l, &QListWidget::itemDoubleClicked, this, &TForm30::ListeDoppelklick);
}

// --- Showing, the inputs and the picture.

void TForm30::LoadControls() {
    Eingaben_aktualisieren();
    Grafik()->DefGrafikAusgabe(tAusgabe::Bildschirm);
    // The first picture is the plane z = 0; the field stays empty for the user's term.
    ui_->EditZ->setText(QStringLiteral("0"));
    ReadSurfaceTermEdit(ui_->EditZ);
    Berechnen();
    zeichnen();
    ui_->EditZ->clear();
    ui_->EditZ->setFocus(Qt::OtherFocusReason);
}

bool TForm30::Parametermodus() const { return ui_->RadioButtonParameter->isChecked(); }

double& TForm30::Bereichswert(int bereich, bool maximum) {
    const bool p = Parametermodus();
    if (bereich == 1) return p ? (maximum ? bereiche_.a2 : bereiche_.a1) : (maximum ? bereiche_.x2 : bereiche_.x1);
    return p ? (maximum ? bereiche_.b2 : bereiche_.b1) : (maximum ? bereiche_.y2 : bereiche_.y1);
}

void TForm30::Eingaben_aktualisieren() {
    const bool p = Parametermodus();
    g3D.ParameterflaechenModus = p;
    if (p) {
        // A term that does not compile was reported when its field was left.
        QuietParsing quiet;
        ReadParamTermEdit1(ui_->EditPx);
        ReadParamTermEdit2(ui_->EditPy);
        ReadParamTermEdit3(ui_->EditPz);
    }
    WinkelZeigen();
    for (int b = 1; b <= 2; ++b) BereichPruefen(Bereichswert(b, false), Bereichswert(b, true), p);
    ui_->EditMin1->setText(NumberFieldText(Bereichswert(1, false)));
    ui_->EditMax1->setText(NumberFieldText(Bereichswert(1, true)));
    ui_->EditMin2->setText(NumberFieldText(Bereichswert(2, false)));
    ui_->EditMax2->setText(NumberFieldText(Bereichswert(2, true)));
    ui_->EditZerlegung->setText(QString::fromStdString(IntToText(zerlegung_)));
    for (QWidget* w : {static_cast<QWidget*>(ui_->LabelZ), static_cast<QWidget*>(ui_->EditZ)}) w->setVisible(!p);
    for (QWidget* w : {static_cast<QWidget*>(ui_->LabelPx), static_cast<QWidget*>(ui_->EditPx),
                       static_cast<QWidget*>(ui_->LabelPy), static_cast<QWidget*>(ui_->EditPy),
                       static_cast<QWidget*>(ui_->LabelPz), static_cast<QWidget*>(ui_->EditPz)})
        w->setVisible(p);
    ui_->LabelBereich1->setText(p ? QStringLiteral("a") : QStringLiteral("x"));
    ui_->LabelBereich2->setText(p ? QStringLiteral("b") : QStringLiteral("y"));
    setWindowTitle(p ? QStringLiteral("Kalvograf   Parameterflächen") : QStringLiteral("Kalvograf   Funktionsflächen"));
}

void TForm30::WinkelZeigen() {
    const Ui::TBedienung3D* b = ui_->Bedienung->Controls();
    // A field the user is typing into keeps what was typed.
    if (!b->EditPhi->isModified()) b->EditPhi->setText(QString::fromStdString(IntToText(Winkelanzeige(Grafik()->Zrot()))));
    if (!b->EditTheta->isModified())
        b->EditTheta->setText(QString::fromStdString(IntToText(Winkelanzeige(Grafik()->Yrot()))));
}

void TForm30::Berechnen() {
    const bool p = Parametermodus();
    FlaechenGitter_.reset();
    FlaechenGitter_ = FlaecheBerechnen(p, zerlegung_, Bereichswert(1, false), Bereichswert(1, true),
                                       Bereichswert(2, false), Bereichswert(2, true));
    WeltkoordinatenFestlegen(*Grafik(), *FlaechenGitter_);
}

Achsenstil TForm30::GewaehlterAchsenstil() const {
    if (ui_->RadioButtonKreuz1->isChecked()) return Achsenstil::Achsenkreuz1;
    if (ui_->RadioButtonKreuz2->isChecked()) return Achsenstil::Achsenkreuz2;
    if (ui_->RadioButtonSkalierung->isChecked()) return Achsenstil::AchsenMitSkalierung;
    if (ui_->RadioButtonRahmen->isChecked()) return Achsenstil::Rahmen;
    if (ui_->RadioButtonRahmenSkalierung->isChecked()) return Achsenstil::RahmenMitSkalierung;
    return Achsenstil::Ohne;
}

void TForm30::zeichnen() {
    if (!FlaechenGitter_) return;
    Szenenbild s = ui_->Bedienung->Bild(1.0);
    s.achsen = GewaehlterAchsenstil();
    s.achsenkreuzBreite = 2;
    s.bewegt = Bewegt();
    s.labelX = labelX_;
    s.labelY = labelY_;
    s.labelZ = labelZ_;
    WinkelZeigen();
    SzeneZeichnen(*Grafik(), FlaechenGitter_.get(), s);
}

// --- Fields and buttons.

void TForm30::ModusGewechselt() {
    ListeSchliessen();
    Eingaben_aktualisieren();
    Berechnen();
    zeichnen();
}

void TForm30::BereichExit(TermEdit* edit, double& wert) {
    double neu = wert;
    ReadNumberEdit(edit, neu, wert);
    if (neu == wert) return;
    wert = neu;
    Eingaben_aktualisieren();
    Berechnen();
    zeichnen();
}

void TForm30::ZerlegungExit() {
    const int n = ZerlegungAusText(ui_->EditZerlegung->text().toStdString());
    ui_->EditZerlegung->setText(QString::fromStdString(IntToText(n)));
    if (n == zerlegung_) return;
    zerlegung_ = n;
    Eingaben_aktualisieren();
    Berechnen();
    zeichnen();
}

void TForm30::WinkelExit(bool phi) {
    TermEdit* edit = phi ? ui_->Bedienung->Controls()->EditPhi : ui_->Bedienung->Controls()->EditTheta;
    TGrafik3DCanvas* g = Grafik();
    const double alt = phi ? g->Zrot() : g->Yrot();
    // Changed is what differs from the angle the field showed, so that
    // passing through the field does not turn the view.
    double grad = Winkelanzeige(alt);
    const double gezeigt = grad;
    if (!TBedienung3D::WinkelLesen(edit, grad)) return;
    edit->setModified(false);
    if (grad != gezeigt) {
        if (phi)
            g->SetZrot(grad);
        else
            g->SetYrot(grad);
        Eingaben_aktualisieren();
        zeichnen();
    } else {
        WinkelZeigen();
    }
}

void TForm30::Bereichsknopf(int bereich, int art) {
    // A range typed but not yet left counts first.
    if (!CommitFocusedField()) return;
    double& lo = Bereichswert(bereich, false);
    double& hi = Bereichswert(bereich, true);
    const double w = hi - lo;
    if (art == 0) {
        lo -= w / 2;
        hi += w / 2;
    } else if (art == 1) {
        lo += w / 4;
        hi -= w / 4;
    } else {
        const bool p = Parametermodus();
        lo = p ? 0 : -3;
        hi = p ? 1 : 3;
    }
    Eingaben_aktualisieren();
    Berechnen();
    zeichnen();
}

void TForm30::BitBtnOkClick() {
    if (!CommitFocusedField()) return;
    Berechnen();
    zeichnen();
}

void TForm30::BitBtnVorgabeClick() {
    bereiche_ = Bereiche{};
    zerlegung_ = kStandardZerlegung;
    Grafik()->SetYrot(50);
    Grafik()->SetZrot(45);
    labelX_ = "x";
    labelY_ = "y";
    labelZ_ = "z";
    ui_->Bedienung->SetFarben(gDisplay.HintergrundBildschirm, 0, MakeRGB(204, 204, 204));
    AnimationAus();
    Eingaben_aktualisieren();
    Berechnen();
    zeichnen();
}

void TForm30::BitBtnEndeClick() { close(); }

bool TForm30::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->EditZ && event->type() == QEvent::MouseButtonPress && ui_->SpeedButtonListe->isChecked())
        ListeSchliessen();
    // The open list follows its buttons when the layout moves them.
    if (watched == ui_->GroupBoxListe && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        ui_->SpeedButtonListe->isChecked())
        ListePlatzieren(AktuelleListe());
    return T3DFenster::eventFilter(watched, event);
}

// --- Term lists.

Termlistenart TForm30::AktuelleListenart() const {
    return Parametermodus() ? Termlistenart::Parameter : Termlistenart::Funktion;
}

QListWidget* TForm30::AktuelleListe() const { return Parametermodus() ? ui_->ListBoxParameter : ui_->ListBoxFunktion; }

void TForm30::ListePlatzieren(QListWidget* liste) {
    const int zeile = std::max(liste->sizeHintForRow(0), liste->fontMetrics().height() + 2);
    const int n = liste->count();
    const int hoehe = (n < 11 ? (n + 1) * zeile : 150) + 2 * liste->frameWidth();
    // The open list hangs below its buttons over the controls beneath them,
    // as a drop-down list does. Taking room in the layout instead made the
    // window grow with every entry once the panel was full, and moved the
    // buttons under the mouse.
    const QRect knoepfe = ui_->ListenKnoepfeLayout->geometry();
    const QPoint oben =
        ui_->GroupBoxListe->mapTo(ui_->PanelLinks, knoepfe.bottomLeft() + QPoint(0, 1 + ui_->ListeLayout->spacing()));
    // On a short panel the list scrolls rather than being cut off.
    const int platz = std::max(ui_->PanelLinks->height() - oben.y(), 3 * zeile);
    liste->setGeometry(oben.x(), oben.y(), knoepfe.width(), std::min(hoehe, platz));
    liste->raise();
}

void TForm30::SpeedButtonListeClick() {
    if (!ui_->SpeedButtonListe->isChecked()) {
        ListeSchliessen();
        return;
    }
    QListWidget* liste = AktuelleListe();
    ListePlatzieren(liste);
    liste->show();
    (liste == ui_->ListBoxFunktion ? ui_->ListBoxParameter : ui_->ListBoxFunktion)->hide();
    ui_->SpeedButtonAufnehmen->setEnabled(true);
    ui_->SpeedButtonEntfernen->setEnabled(true);
    ui_->SpeedButtonSpeichern->setEnabled(false);
    ui_->SpeedButtonHolen->setEnabled(false);
}

void TForm30::ListeSchliessen() {
    ui_->SpeedButtonListe->setChecked(false);
    ui_->ListBoxFunktion->hide();
    ui_->ListBoxParameter->hide();
    ui_->SpeedButtonAufnehmen->setEnabled(false);
    ui_->SpeedButtonEntfernen->setEnabled(false);
    ui_->SpeedButtonHolen->setEnabled(true);
    ui_->SpeedButtonSpeichern->setEnabled(AktuelleListe()->count() > 0);
}

bool TForm30::TermeLesen() {
    if (!Parametermodus()) return ReadSurfaceTermEdit(ui_->EditZ);
    return ReadParamTermEdit1(ui_->EditPx) && ReadParamTermEdit2(ui_->EditPy) && ReadParamTermEdit3(ui_->EditPz);
}

void TForm30::SpeedButtonAufnehmenClick() {
    // A term that does not compile has no place in the list, nor has none.
    if (!TermeLesen()) return;
    if (!Parametermodus() && ui_->EditZ->text().isEmpty()) return;
    QString eintrag;
    if (Parametermodus())
        eintrag = QString::fromStdString(ParameterEintrag({ui_->EditPx->text().toStdString(),
                                                           ui_->EditPy->text().toStdString(),
                                                           ui_->EditPz->text().toStdString()}));
    else
        eintrag = ui_->EditZ->text();
    QListWidget* liste = AktuelleListe();
    if (Enthalten(liste, eintrag) || static_cast<size_t>(liste->count()) >= kMaxTermlistenEintraege) return;
    liste->addItem(eintrag);
    liste->setCurrentRow(liste->count() - 1);
    ListePlatzieren(liste);
}

void TForm30::SpeedButtonEntfernenClick() {
    QListWidget* liste = AktuelleListe();
    const int zeile = liste->currentRow();
    if (zeile < 0 || !liste->item(zeile)->isSelected()) return;
    // The parametric list keeps one entry.
    if (Parametermodus() && liste->count() <= 1) return;
    delete liste->takeItem(zeile);
    ListePlatzieren(liste);
    TermeLesen();
}

void TForm30::EintragInFelder(const QString& eintrag) {
    if (Parametermodus()) {
        const Parameterterme t = ParameterEintragZerlegen(eintrag.toStdString());
        ui_->EditPx->setText(QString::fromStdString(t.x));
        ui_->EditPy->setText(QString::fromStdString(t.y));
        ui_->EditPz->setText(QString::fromStdString(t.z));
    } else {
        ui_->EditZ->setText(eintrag);
    }
    ListeSchliessen();
    TermeLesen();
    Berechnen();
    zeichnen();
    (Parametermodus() ? ui_->EditPx : ui_->EditZ)->setFocus(Qt::OtherFocusReason);
}

void TForm30::ListeDoppelklick(QListWidgetItem* item) {
    if (item) EintragInFelder(item->text());
}

void TForm30::SpeedButtonSpeichernClick() {
    const Termlistenart art = AktuelleListenart();
    QFileDialog dialog(this, QStringLiteral("3D-Funktionsterme speichern"), QDir::currentPath(),
                       Filter(art, "3D-Termliste"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromLatin1(TermlistenEndung(art)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    ListeSpeichern(dialog.selectedFiles().front());
}

bool TForm30::ListeSpeichern(const QString& gewaehlt) {
    const std::string name = TermlistenDateiname(gewaehlt.toStdString(), AktuelleListenart());
    if (name.empty()) {
        ShowMessage("Der Dateiname " + gewaehlt.toStdString() + " taugt nicht für eine Termliste.",
                    MessageKind::Error);
        return false;
    }
    const QFileInfo info(QString::fromStdString(name));
    QDir::setCurrent(info.absolutePath());
    const WriteResult r = TermlisteSpeichern(info.absoluteFilePath().toStdString(), Eintraege(AktuelleListe()));
    if (!r.ok) ShowMessage(r.error, MessageKind::Error);
    return r.ok;
}

void TForm30::SpeedButtonHolenClick() {
    const QString pfad = QFileDialog::getOpenFileName(this, QStringLiteral("3D-Funktionsterme"), QDir::currentPath(),
                                                      Filter(AktuelleListenart(), "3D-Termliste 3D"));
    if (!pfad.isEmpty()) ListeHolen(pfad);
}

bool TForm30::ListeHolen(const QString& pfad) {
    Termliste gelesen;
    std::string fehler;
    if (!TermlisteLaden(pfad.toStdString(), AktuelleListenart(), gelesen, fehler)) {
        ShowMessage(fehler, MessageKind::Error);
        return false;
    }
    QListWidget* liste = AktuelleListe();
    liste->clear();
    for (const std::string& e : gelesen.eintraege) liste->addItem(ShownTerm(e));
    ListePlatzieren(liste);
    for (const std::string& hinweis : TermlistenHinweise(gelesen, QFileInfo(pfad).fileName().toStdString()))
        ShowMessage(hinweis, MessageKind::Warning);
    if (liste->count() == 0) {
        ListeSchliessen();
        return true;
    }
    liste->setCurrentRow(0);
    EintragInFelder(liste->item(0)->text());
    return true;
}

}  // namespace kalvo
