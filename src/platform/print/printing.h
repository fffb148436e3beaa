#pragma once
// What the program's printouts need of a printer: a print job to paint on,
// its device capabilities (resolution, printable size, offsets) and a painter
// set up in tenths of a millimetre with y growing downwards, as page layouts
// are written.
//
// The printer itself (Qt's QPrinter and print dialog) lives in a module of
// its own, loaded from the program's folder the first time something is
// printed: Qt's print support would otherwise be loaded and linked at every
// start, before the first picture, by a program most sessions never print
// from. Nothing here needs it.

#include <QMarginsF>
#include <QPageLayout>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPaintDevice;
class QPainter;
class QWidget;

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

// A printer as the program prints: high resolution, A4 portrait unless the
// user chooses otherwise in the print dialog. Every member is virtual and
// defined in the printing module, so that this side needs none of its code;
// the class has no out-of-line members for the same reason.
class PrintJob : public std::enable_shared_from_this<PrintJob> {
public:
    virtual ~PrintJob() = default;

    // What painters print on. The printout goes out when the painter ends.
    virtual QPaintDevice* Device() const = 0;
    // Device pixels per inch.
    virtual int Resolution() const = 0;
    // Paper, orientation and margins as now chosen.
    virtual QPageLayout PageLayout() const = 0;
    // True while a painter prints on the job: it takes no second printout then.
    virtual bool Busy() const = 0;
    // Ends the page and goes on on a new one; false when the printer refuses.
    virtual bool NewPage() = 0;

    // The name the printer queue shows, which a PDF file takes for its title.
    virtual QString DocName() const = 0;
    virtual void SetDocName(const QString& name) = 0;

    // The print dialog, window-modal without a loop of its own; `done` learns
    // whether it was accepted. The caller keeps the job alive until then (the
    // dialog holds `done` while it lives, a good place for a reference).
    virtual void OpenDialog(QWidget* parent, std::function<void(bool accepted)> done) = 0;
    // The print dialog for windows that wait for the answer; true when accepted.
    virtual bool ExecDialog(QWidget* parent) = 0;

    // Into a PDF file instead of a printer (the tests read printouts back so).
    virtual void SetPdfOutput(const QString& path) = 0;
    // Margins the printer cannot print on, in millimetres.
    virtual void SetPageMarginsMm(const QMarginsF& margins) = 0;
};

// The name a print job carries when its window gives none.
inline constexpr char kPrintJobName[] = "Kalvograf";

// A new job, named after the printing window's caption (the program's name
// when empty), which the printer queue shows and a PDF printer takes for its
// file name. Loads the printing module on first use; without it, a message
// and nullptr.
std::shared_ptr<PrintJob> NewPrintJob(const QString& title = {});

// A printout kept back until it is whole, so that one the user cancels
// prints nothing: a print system cannot take back what a painter has begun
// to send (Qt's print engines cannot abort). What its painter draws is kept
// as pictures of pieces of the pages; a printout that draws more than
// `keptBytes` of them goes to the printer from then on (its pieces so far
// first). The printer's engine works on a thread of its own, on the pieces
// as they come, so that its work neither holds up the drawing nor blocks
// the window: Print() waits for it under the progress dialog. The painter
// of the printout keeps its device throughout.
class DeferredPrintout {
public:
    // What is kept back before the printout goes to the printer.
    static constexpr long long kKeptBytes = 16LL << 20;

    explicit DeferredPrintout(PrintJob& job, long long keptBytes = kKeptBytes);
    // Without Print() nothing kept back goes to the printer; what went there
    // already is printed.
    ~DeferredPrintout();
    DeferredPrintout(const DeferredPrintout&) = delete;
    DeferredPrintout& operator=(const DeferredPrintout&) = delete;

    // What the painter of the printout draws on; it measures like the job's
    // device. Its painter must have ended before Print() or Discard().
    QPaintDevice* Device();
    // Goes on on a new page; the painter keeps its state.
    void NewPage();
    // The printout on the printer, whole; false when it refuses. Until the
    // printer's engine is done with it, the progress dialog shows (inside
    // an output's cancellable work, that work's). Cancelled there, the
    // window waits no longer: the printer finishes in the background what
    // it has (Begun() then says so), and where no work around it tells,
    // the cancel is said here. True then, as the printout goes out.
    bool Print();
    // Ends it unprinted (as the destructor does): what went to the printer
    // already is printed, in the background, nothing else.
    void Discard();
    // Whether part of it went to the printer already.
    bool Begun() const;

private:
    class Spool;
    class Engine;
    std::unique_ptr<Spool> spool_;
};

// Printouts the printer's engine still finishes in the background (they
// were cancelled while it did): waits until each is done. The program does
// this as it quits; tests before they look at what was printed.
void WaitForPrintouts();

// What a printout the user cancelled says: that nothing was printed, or
// that what had gone to the printer already is printed.
std::string CancelledPrintoutText(const DeferredPrintout& printout);

// Reads the capabilities from a job, printing or not.
PrinterCaps QueryPrinterCaps(const PrintJob& job);

// The painter's logical unit becomes 0.1 mm, origin at the top left of the
// printable area, y downwards. The painter must be active on the printer.
void SetTenthMillimetreMapping(QPainter& painter, const PrinterCaps& caps);

// Under that mapping a canvas lays out fonts at 254 units per inch.
inline constexpr double kTenthMmPerInch = 254.0;

// Logical height of one printable page in 0.1 mm (for "continue on a new page").
int PageHeightTenthMm(const PrinterCaps& caps);
int PageWidthTenthMm(const PrinterCaps& caps);

// The one function the printing module exports, under this name (C linkage):
// a new job, owned by the caller.
using NewPrintJobFunction = PrintJob* (*)();
inline constexpr char kNewPrintJobSymbol[] = "kalvo_new_print_job";

}  // namespace kalvo
