// The printing module: the print job on Qt's printer and print dialog. The
// program loads it when it first prints (see printing.h); it exports one
// function and nothing else.

#include <QPrintDialog>
#include <QPrinter>

#include <memory>

#include "printing.h"

namespace kalvo {
namespace {

class QtPrintJob final : public PrintJob {
public:
    QtPrintJob() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
        printer_->setPageSize(QPageSize(QPageSize::A4));
        printer_->setPageOrientation(QPageLayout::Portrait);
    }

    QPaintDevice* Device() const override { return printer_.get(); }
    int Resolution() const override { return printer_->resolution(); }
    QPageLayout PageLayout() const override { return printer_->pageLayout(); }
    bool Busy() const override { return printer_->printerState() == QPrinter::Active; }
    bool NewPage() override { return printer_->newPage(); }

    QString DocName() const override { return printer_->docName(); }
    void SetDocName(const QString& name) override { printer_->setDocName(name); }

    void OpenDialog(QWidget* parent, std::function<void(bool)> done) override {
        auto* dialog = new QPrintDialog(printer_.get(), parent);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &QDialog::finished, dialog,
                         [done = std::move(done)](int result) { done(result == QDialog::Accepted); });
        dialog->open();
    }

    bool ExecDialog(QWidget* parent) override {
        QPrintDialog dialog(printer_.get(), parent);
        return dialog.exec() == QDialog::Accepted;
    }

    void SetPdfOutput(const QString& path) override {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(path);
    }

    void SetPageMarginsMm(const QMarginsF& margins) override {
        printer_->setPageMargins(margins, QPageLayout::Millimeter);
    }

private:
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace
}  // namespace kalvo

extern "C" Q_DECL_EXPORT kalvo::PrintJob* kalvo_new_print_job() { return new kalvo::QtPrintJob; }
