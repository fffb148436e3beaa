#pragma once
// What the program's printouts need of a printer: its device capabilities
// (resolution, printable size, offsets) and a painter set up in tenths of a
// millimetre with y growing downwards, as page layouts are written.

#include <QPainter>
#include <QPrinter>

namespace kalvo {

struct PrinterCaps {
    int HorzRes = 0;          // printable width in device pixels
    int VertRes = 0;          // printable height in device pixels
    int HorzSize = 0;         // printable width in millimetres
    int VertSize = 0;         // printable height in millimetres
    int LogPixelsX = 0;       // device pixels per inch
    int LogPixelsY = 0;
    int PhysicalOffsetX = 0;  // printable area's offset from the paper's edge, device pixels
    int PhysicalOffsetY = 0;

    // Pixels per centimetre, as the printouts compute them (HORZRES * 10 / HORZSIZE).
    double PixelsPerCmX() const { return HorzSize > 0 ? HorzRes * 10.0 / HorzSize : 0.0; }
    double PixelsPerCmY() const { return VertSize > 0 ? VertRes * 10.0 / VertSize : 0.0; }
};

// Reads the capabilities from an active or inactive printer.
PrinterCaps QueryPrinterCaps(const QPrinter& printer);

// The painter's logical unit becomes 0.1 mm, origin at the top left of the
// printable area, y downwards. The painter must be active on the printer.
void SetTenthMillimetreMapping(QPainter& painter, const PrinterCaps& caps);

// Under that mapping a canvas lays out fonts at 254 units per inch.
inline constexpr double kTenthMmPerInch = 254.0;

// Logical height of one printable page in 0.1 mm (for "continue on a new page").
int PageHeightTenthMm(const PrinterCaps& caps);
int PageWidthTenthMm(const PrinterCaps& caps);

// The name a print job carries when its window gives none.
inline constexpr char kPrintJobName[] = "Kalvograf";

// A printer as the program prints: high resolution, A4 portrait unless the
// user chooses otherwise in the print dialog. The job is named after the
// printing window's caption (the program's name when empty), which the
// printer queue shows and a PDF printer takes for its file name.
void PreparePrinter(QPrinter& printer, const QString& title = {});

}  // namespace kalvo
