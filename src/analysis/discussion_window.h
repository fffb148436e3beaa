#pragma once
// The curve-discussion window: zeros, extrema, inflection points, symmetry,
// poles and asymptotes of f(x, t) or g(x, t) over a search interval, their
// printout, and whether and in which colour the main graph marks them.
// Once made it is only hidden when closed. Its lists show its own runs of
// the search and always belong to the term, interval and parameter it
// shows: opened on anything else, it searches again.

#include <QPointer>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "curve_discussion.h"
#include "dialog_base.h"
#include "printing.h"

class QListWidget;
class QPainter;

namespace Ui {
class TForm11;
}

namespace kalvo {

class Canvas;

class TForm11 : public KalvoDialog, public KurvendiskussionAusgabe {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);
    ~TForm11() override;

    Ui::TForm11* Controls() const { return ui_.get(); }

    // Handlers.
    void FormShow();
    void Edit1Exit();
    void Edit2Exit();
    void Edit3Exit();
    void Edit5Exit();
    void Button1Click();
    void SpeedButton1Click();  // "&Neu berechnen"
    void CheckBox1Click();
    void SpeedButton2Click();  // "&Vorgabe"
    void SpeedButton3Click();  // "&Beenden"
    void BitBtn1Click();       // "&OK zeichnen"
    void SpeedButton4Click();  // "&drucken"
    // The printout on a printer the user has chosen.
    void Drucken(PrintJob& printer);

    // Working copies of the terms while the window is open.
    const std::string& ArbeitstermF() const { return arbeitstermF_; }
    const std::string& ArbeitstermG() const { return arbeitstermG_; }
    double DiskussionT() const { return diskussionT_; }

    // The result sink of the search.
    void ListeLeeren(Ergebnisliste liste) override;
    void ZeileHinzufuegen(Ergebnisliste liste, const std::string& zeile) override;
    void SymmetrieAnzeigen(const std::string& satz) override;
    Canvas* Drucker() override { return drucker_; }
    int DruckSeitenhoehe() override { return seitenhoehe_; }
    void NeueDruckseite() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    QListWidget* Liste(Ergebnisliste liste) const;
    std::string& Arbeitsterm();
    void PolListenZeigen(bool zeigen);
    void IntervallOrdnen();
    void IntervallfelderSchreiben();
    // Orders the interval, compiles the term field and searches.
    bool Berechnen();
    void ErgebnisseLeeren();
    // What the lists were computed for: everything the term's values and
    // the lines depend on. The examined function, term, interval, parameter,
    // the constants a to d (other windows set them too), the family's n
    // range, decimals and the pole option.
    struct Rechenstand {
        bool mitG = false;
        std::string term;
        double von = 0, bis = 0, t = 0;
        std::array<double, 4> konstanten{};
        long long nVon = 0, nBis = 0, nSchritt = 0;
        int dezimalen = 0;
        bool pole = false;
        bool operator==(const Rechenstand&) const = default;
    };
    Rechenstand AktuellerStand() const;
    void TermfeldWaehlen();
    // The graph below the printed lists, three quarters of its size in
    // centimetres; true when the work budget cut it.
    bool GrafikDrucken(QPainter& painter, DeferredPrintout& ausdruck, const PrinterCaps& caps);

    std::unique_ptr<Ui::TForm11> ui_;
    std::string arbeitstermF_, arbeitstermG_;
    double diskussionT_ = 0;
    double suchSchrittweite_ = 0;
    Canvas* drucker_ = nullptr;
    DeferredPrintout* ausdruck_ = nullptr;
    int seitenhoehe_ = 0;
    // Empty while the lists show nothing computed.
    std::optional<Rechenstand> listenStand_;
};

}  // namespace kalvo
