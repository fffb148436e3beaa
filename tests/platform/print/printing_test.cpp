#include "printing.h"

#include <link.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPaintEngine>
#include <QProcess>
#include <QSemaphore>
#include <QTemporaryDir>

#include <atomic>
#include <climits>
#include <cstring>
#include <optional>

#include <gtest/gtest.h>

#include "canvas_qpainter.h"
#include "message_sink.h"
#include "work_budget.h"

namespace kalvo {
namespace {

// Whether a shared object whose file name contains `name` is mapped into the process.
bool Loaded(const char* name) {
    bool found = false;
    struct Search {
        const char* name;
        bool* found;
    } search{name, &found};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            if (info->dlpi_name && std::strstr(info->dlpi_name, s->name)) *s->found = true;
            return 0;
        },
        &search);
    return found;
}

// First in this file: it needs a process that has not printed yet.
TEST(Printing, QtsPrintSupportComesWithTheFirstJobOnly) {
    EXPECT_FALSE(Loaded("libQt6PrintSupport"));
    const std::shared_ptr<PrintJob> job = NewPrintJob();
    ASSERT_TRUE(job);
    EXPECT_TRUE(Loaded("libQt6PrintSupport"));
    EXPECT_FALSE(job->Busy());
}

TEST(Printing, A4CapabilitiesAndTenthMillimetres) {
    QTemporaryDir dir;
    const std::shared_ptr<PrintJob> job = NewPrintJob();
    ASSERT_TRUE(job);
    job->SetPdfOutput(dir.filePath("page.pdf"));
    job->SetPageMarginsMm(QMarginsF(10, 10, 10, 10));
    const PrinterCaps caps = QueryPrinterCaps(*job);
    EXPECT_EQ(caps.HorzSize, 190);
    EXPECT_EQ(caps.VertSize, 277);
    EXPECT_NEAR(caps.PixelsPerCmX(), job->Resolution() / 2.54, 1.0);
    EXPECT_GT(caps.PhysicalOffsetX, 0);
    EXPECT_EQ(caps.LogPixelsX, job->Resolution());

    QPainter painter(job->Device());
    EXPECT_TRUE(job->Busy());
    SetTenthMillimetreMapping(painter, caps);
    // 10 cm in tenths of a millimetre is 1000 units: in device pixels, 10 cm.
    const QPointF p = painter.transform().map(QPointF(1000, 1000));
    EXPECT_NEAR(p.x(), caps.PixelsPerCmX() * 10, 1.0);
    EXPECT_NEAR(p.y(), caps.PixelsPerCmY() * 10, 1.0);
    QPainterCanvas canvas(painter, kTenthMmPerInch);
    CanvasFont font;
    font.name = "Arial";
    font.size = 12;
    canvas.SetFont(font);
    canvas.TextOut(200, 200, "Wertetabelle über 0,1 mm");
    canvas.Flush();
    EXPECT_TRUE(job->NewPage());
    canvas.TextOut(200, 200, "Seite 2");
    canvas.End();
    painter.end();
    EXPECT_FALSE(job->Busy());

    QProcess text;
    text.start("pdftotext", {dir.filePath("page.pdf"), "-"});
    if (!text.waitForFinished(20000) || text.exitCode() != 0) FAIL() << "pdftotext did not read the page (tools/install-deps installs it)";
    const QString pages = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(pages.contains("Wertetabelle über 0,1 mm"));
    EXPECT_EQ(pages.section(QLatin1Char('\f'), 1).trimmed(), QStringLiteral("Seite 2"));
}

// A deferred printout prints nothing unless it is printed; one that draws
// more than it keeps back goes to the printer as it was drawn, its painter's
// transform, clip and font carried across, on as many pages.
TEST(Printing, ADeferredPrintoutPrintsWholeOrNothing) {
    for (const long long kept : {DeferredPrintout::kKeptBytes, 1LL}) {
        for (const bool print : {true, false}) {
            SCOPED_TRACE(testing::Message() << kept << (print ? " printed" : " cancelled"));
            QTemporaryDir dir;
            const QString pdf = dir.filePath("page.pdf");
            const std::shared_ptr<PrintJob> job = NewPrintJob();
            ASSERT_TRUE(job);
            job->SetPdfOutput(pdf);
            const double dpi = job->Resolution();
            {
                DeferredPrintout out(*job, kept);
                QPainter painter(out.Device());
                EXPECT_EQ(painter.device()->logicalDpiX(), job->Device()->logicalDpiX());
                painter.translate(dpi, dpi);
                painter.setClipRect(QRectF(0, 0, dpi, dpi));
                QFont font(QStringLiteral("Liberation Sans"));
                font.setPixelSize(static_cast<int>(dpi / 4));
                painter.setFont(font);
                painter.drawText(QPointF(0, dpi / 2), QStringLiteral("Erste"));
                out.NewPage();
                // A square of three inches, of which the clip leaves one.
                painter.fillRect(QRectF(-dpi, -dpi, 3 * dpi, 3 * dpi), Qt::black);
                painter.setClipping(false);
                painter.setPen(Qt::white);
                painter.drawText(QPointF(0, dpi / 2), QStringLiteral("Zweite"));
                painter.end();
                EXPECT_EQ(out.Begun(), kept == 1);
                if (print) {
                    EXPECT_TRUE(out.Print());
                }
            }
            // A cancelled printout's printer finishes in the background.
            WaitForPrintouts();
            EXPECT_FALSE(job->Busy());
            // What went to the printer before the cancel is printed.
            ASSERT_EQ(QFile::exists(pdf), print || kept == 1);
            if (!print) continue;
            QProcess text;
            text.start("pdftotext", {pdf, "-"});
            ASSERT_TRUE(text.waitForFinished(20000) && text.exitCode() == 0) << "pdftotext (tools/install-deps installs it)";
            const QString pages = QString::fromUtf8(text.readAllStandardOutput());
            EXPECT_EQ(pages.section(QLatin1Char('\f'), 0, 0).trimmed(), QStringLiteral("Erste"));
            EXPECT_EQ(pages.section(QLatin1Char('\f'), 1, 1).trimmed(), QStringLiteral("Zweite"));
            // The square on the second page, at 20 dots per inch: one inch
            // from the corner of the printable area, one inch wide.
            const QString png = dir.filePath("seite");
            QProcess raster;
            raster.start("pdftoppm", {"-r", "20", "-png", "-f", "2", "-singlefile", pdf, png});
            ASSERT_TRUE(raster.waitForFinished(20000));
            const QImage page(png + ".png");
            ASSERT_FALSE(page.isNull());
            QRect ink;
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (qGray(page.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
            const QPointF corner = QPointF(QueryPrinterCaps(*job).PhysicalOffsetX, QueryPrinterCaps(*job).PhysicalOffsetY) * 20 / dpi;
            EXPECT_NEAR(ink.left(), corner.x() + 20, 1.5);
            EXPECT_NEAR(ink.top(), corner.y() + 20, 1.5);
            EXPECT_NEAR(ink.width(), 20, 1.5);
            EXPECT_NEAR(ink.height(), 20, 1.5);
        }
    }
}

// The program asks for a printer without waiting in a loop of its own: the
// answer comes once, and the dialog keeps the job alive until it is gone.
TEST(Printing, ThePrintDialogAnswersOnceAndHoldsItsJobWhileOpen) {
    std::weak_ptr<PrintJob> watch;
    int answers = 0;
    bool accepted = true;
    {
        const std::shared_ptr<PrintJob> job = NewPrintJob();
        ASSERT_TRUE(job);
        watch = job;
        job->OpenDialog(nullptr, [job, &answers, &accepted](bool ok) {
            ++answers;
            accepted = ok;
        });
    }
    EXPECT_FALSE(watch.expired());
    QDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) dialog = d;
    ASSERT_TRUE(dialog);
    dialog->reject();
    EXPECT_EQ(answers, 1);
    EXPECT_FALSE(accepted);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.expired());
}

// A printer whose engine finishes a job only once it is let; it counts the
// lines it is given and the jobs it ended.
class HeldJob final : public PrintJob, public QPaintDevice {
public:
    void Let() { gate_.release(); }
    int Lines() const { return engine_.lines; }
    bool Ended() const { return engine_.ended; }

    QPaintDevice* Device() const override { return const_cast<HeldJob*>(this); }
    int Resolution() const override { return 600; }
    QPageLayout PageLayout() const override { return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}); }
    bool Busy() const override { return engine_.isActive(); }
    bool NewPage() override { return true; }
    QString DocName() const override { return {}; }
    void SetDocName(const QString&) override {}
    void OpenDialog(QWidget*, std::function<void(bool)>) override {}
    bool ExecDialog(QWidget*) override { return false; }
    void SetPdfOutput(const QString&) override {}
    void SetPageMarginsMm(const QMarginsF&) override {}
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth: return 4961;
            case PdmHeight: return 7016;
            case PdmWidthMM: return 210;
            case PdmHeightMM: return 297;
            case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 600;
            case PdmDepth: return 24;
            case PdmNumColors: return INT_MAX;
            case PdmDevicePixelRatio: return 1;
            case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
            default: return QPaintDevice::metric(m);
        }
    }

private:
    struct Engine final : QPaintEngine {
        explicit Engine(QSemaphore& gate) : QPaintEngine(AllFeatures), gate(gate) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override {
            gate.tryAcquire(1, 10000);  // a printer held for good would hang the test
            ended = true;
            return true;
        }
        void updateState(const QPaintEngineState&) override {}
        void drawLines(const QLine*, int n) override { lines += n; }
        void drawLines(const QLineF*, int n) override { lines += n; }
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override { ++lines; }
        void drawPolygon(const QPoint*, int, PolygonDrawMode) override { ++lines; }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        Type type() const override { return User; }
        QSemaphore& gate;
        std::atomic<int> lines = 0;
        std::atomic<bool> ended = false;
    };
    QSemaphore gate_;
    mutable Engine engine_{gate_};
};

// The printer's engine finishes a printout on a thread of its own, while
// the window looks at the progress dialog. "Abbrechen" there lets the
// window go at once, and the printout, which the printer has whole, goes
// out in the background; the message says so, or the output around the
// printout does.
TEST(Printing, ThePrintersEngineFinishesUnderTheProgressDialog) {
    enum Case { Waited, Cancelled, CancelledInsideAnOutput };
    for (const Case c : {Waited, Cancelled, CancelledInsideAnOutput}) {
        SCOPED_TRACE(c);
        const auto job = std::make_shared<HeldJob>();
        struct Dialog : WorkProgress {
            HeldJob* job;
            bool cancel;
            int looks = 0;
            bool Progress(const CancellableWork&, long long) override {
                if (++looks == 3 && !cancel) job->Let();
                return !cancel;
            }
            void Finished(const CancellableWork&) override {}
        } dialog;
        dialog.job = job.get();
        dialog.cancel = c != Waited;
        WorkProgress* const before = SetWorkProgress(&dialog);
        MessageRecorder messages;
        {
            std::optional<CancellableWork> output;
            if (c == CancelledInsideAnOutput) output.emplace("Die Grafik wird gedruckt \u2026");
            DeferredPrintout out(*job);
            {
                QPainter painter(out.Device());
                painter.drawLine(0, 0, 100, 100);
            }
            EXPECT_FALSE(job->Busy());
            EXPECT_TRUE(out.Print());
            EXPECT_TRUE(out.Begun());
            EXPECT_EQ(job->Ended(), c == Waited);
            EXPECT_EQ(dialog.looks, c == Waited ? 3 : 1);
        }
        const std::vector<std::string> said{"Das Drucken wurde abgebrochen. Was bis dahin gezeichnet war, wird gedruckt."};
        EXPECT_EQ(messages.messages(), c == Cancelled ? said : std::vector<std::string>{});
        if (c != Waited) job->Let();
        WaitForPrintouts();
        EXPECT_TRUE(job->Ended());
        EXPECT_EQ(job->Lines(), 1);
        SetWorkProgress(before);
    }
}

TEST(Printing, AJobCarriesItsWindowsCaptionOrTheProgramsName) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "Kalvograf"},
        {"  Wertetabelle   erstellen ", "Wertetabelle erstellen"},
        {"Kalvograf   Funktionsflächen", "Kalvograf Funktionsflächen"},
    };
    for (const auto& [caption, name] : cases) {
        QTemporaryDir dir;
        const std::shared_ptr<PrintJob> job = NewPrintJob(QString::fromUtf8(caption));
        ASSERT_TRUE(job);
        EXPECT_EQ(job->DocName(), QString::fromUtf8(name));
        // A PDF printer writes it as the document's title.
        job->SetPdfOutput(dir.filePath("job.pdf"));
        QPainter painter(job->Device());
        painter.drawLine(0, 0, 100, 100);
        painter.end();
        QProcess info;
        info.start("pdfinfo", {dir.filePath("job.pdf")});
        ASSERT_TRUE(info.waitForFinished(20000));
        QString title;
        for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("Title:"))) title = line.mid(6).trimmed();
        EXPECT_EQ(title, QString::fromUtf8(name));
    }
}

}  // namespace
}  // namespace kalvo
