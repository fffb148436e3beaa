#include "analysis_support.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QPainter>
#include <memory>

#include "mgrid.h"
#include "number_text.h"
#include "program_state.h"

namespace kalvo {

QString ZahlFeldText(double x, int mehr) { return QText(FormatNumberCommaBlanks(gDisplay.Nachkommastellen + mehr, x)); }

void TabelleEinrichten(TMgrid* grid, int spalten) {
    grid->setColumnCount(spalten);
    grid->setRowCount(2);
    grid->SetFixedRows(1);
    grid->SetFixedCols(0);
    grid->SetOddRowColor(0xFFFFFF);
    grid->SetEvenRowColor(0xFFFFFF);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setCurrentCell(0, 0);
}

void TabelleFuellen(TMgrid* grid, const QStringList& kopf, const QList<QStringList>& zeilen) {
    grid->setRowCount(static_cast<int>(zeilen.size()) + 1);
    for (int c = 0; c < grid->columnCount(); ++c) grid->SetCells(c, 0, c < kopf.size() ? kopf[c] : QString());
    for (int r = 0; r < zeilen.size(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            grid->SetCells(c, r + 1, c < zeilen[r].size() ? zeilen[r][c] : QString());
}

QList<QStringList> TabellenZeilen(const TMgrid* grid) {
    QList<QStringList> zeilen;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList z;
        for (int c = 0; c < grid->columnCount(); ++c) z << grid->Cells(c, r);
        zeilen << z;
    }
    return zeilen;
}

namespace {

DruckerWahl& Wahl() {
    static DruckerWahl wahl;
    return wahl;
}

void DruckdialogZeigen(QWidget* parent, const std::function<void(PrintJob&)>& drucken) {
    std::shared_ptr<PrintJob> printer = NewPrintJob(parent ? parent->window()->windowTitle() : QString());
    if (!printer) return;
    printer->OpenDialog(parent, [printer, drucken](bool accepted) {
        if (!accepted || printer->Busy()) return;
        drucken(*printer);
    });
}

}  // namespace

DruckerWahl SetDruckerWahl(DruckerWahl wahl) {
    DruckerWahl vorher = std::move(Wahl());
    Wahl() = std::move(wahl);
    return vorher;
}

void DruckerWaehlen(QWidget* parent, const std::function<void(PrintJob&)>& drucken) {
    if (Wahl())
        Wahl()(parent, drucken);
    else
        DruckdialogZeigen(parent, drucken);
}

PrinterCaps LogischeDruckerCaps(const PrintJob& printer) {
    PrinterCaps c = QueryPrinterCaps(printer);
    const double f = printer.Resolution() > 0 ? kDruckDpi / printer.Resolution() : 1.0;
    c.HorzRes = RoundToInt(c.HorzRes * f);
    c.VertRes = RoundToInt(c.VertRes * f);
    c.PhysicalOffsetX = RoundToInt(c.PhysicalOffsetX * f);
    c.PhysicalOffsetY = RoundToInt(c.PhysicalOffsetY * f);
    c.LogPixelsX = c.LogPixelsY = static_cast<int>(kDruckDpi);
    return c;
}

void SetLogischeDruckerMapping(QPainter& painter, const PrintJob& printer) {
    painter.resetTransform();
    if (printer.Resolution() > 0) {
        const double f = printer.Resolution() / kDruckDpi;
        painter.scale(f, f);
    }
}

}  // namespace kalvo
