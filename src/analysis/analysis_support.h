#pragma once
// What the analysis windows share: number fields in the program's format,
// the string grids of the tables, the choice of a
// printer and a printer page laid out in printer pixels.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <span>
#include <string>

#include "printing.h"

class QLineEdit;
class QPainter;
class QWidget;

namespace kalvo {

class TMgrid;

inline QString QText(const std::string& s) { return QString::fromStdString(s); }

// A number as the number fields show it: decimal comma, Nachkommastellen
// decimals (plus `mehr`).
QString ZahlFeldText(double x, int mehr = 0);

// The grid of a table: a heading row and rows of cells, read only.
void TabelleEinrichten(TMgrid* grid, int spalten);
void TabelleFuellen(TMgrid* grid, const QStringList& kopf, const QList<QStringList>& zeilen);
// Every row of the grid, heading included, as the clipboard takes it.
QList<QStringList> TabellenZeilen(const TMgrid* grid);

template <size_t N>
QStringList Zellen(const std::array<std::string, N>& zeile) {
    QStringList z;
    for (const std::string& s : zeile) z << QText(s);
    return z;
}

// Asks for a printer and prints on it. The program shows the print dialog
// and prints once it is accepted; tests install a chooser that prints to a
// PDF file at once.
using DruckerWahl = std::function<void(QWidget* parent, const std::function<void(PrintJob&)>& drucken)>;
DruckerWahl SetDruckerWahl(DruckerWahl wahl);
void DruckerWaehlen(QWidget* parent, const std::function<void(PrintJob&)>& drucken);

// The layouts in printer pixels were made for printers of 300 dots per
// inch; a printer of finer resolution gets them at the same size through a
// painter scale, so lines and texts keep their proportions.
inline constexpr double kDruckDpi = 300.0;
// The capabilities in those logical pixels.
PrinterCaps LogischeDruckerCaps(const PrintJob& printer);
void SetLogischeDruckerMapping(QPainter& painter, const PrintJob& printer);

}  // namespace kalvo
