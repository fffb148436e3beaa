// The main window's buttons that take the graph out of the program or
// bring function sets in: archive files, printing, picture files, the
// clipboard and the word-processor document.

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QToolButton>

#include "archive_file.h"
#include "graph_export.h"
#include "graphics_export.h"
#include "main_window.h"
#include "message_sink.h"
#include "print_dialog.h"
#include "printing.h"
#include "program_state.h"
#include "ui_main_window.h"
#include "user_choices.h"

namespace kalvo {

namespace {

// The folder of a chosen file becomes the program's current folder, where
// the next file dialog starts and the files written by name go.
void TakeFolderOf(const QString& path) { QDir::setCurrent(QFileInfo(path).absolutePath()); }

void InvalidName(const QString& chosen) {
    ShowMessage("Der Dateiname " + QFileInfo(chosen).fileName().toStdString() + " ist ungültig.", MessageKind::Error);
}

}  // namespace

void TForm1::ConnectFileButtons() {
    Ui::TForm1* ui = ui_.get();
    connect(ui->ButtonArchivSpeichern, &QToolButton::clicked, this, &TForm1::FunktionstermeSpeichernClick);
    connect(ui->ButtonArchivHolen, &QToolButton::clicked, this, &TForm1::FunktionstermeHolenClick);
    connect(ui->ButtonDrucken, &QToolButton::clicked, this, &TForm1::GrafikDruckenClick);
    connect(ui->ButtonWmfSpeichern, &QToolButton::clicked, this, &TForm1::WmfSpeichernClick);
    connect(ui->ButtonWmfZwischenablage, &QToolButton::clicked, this, &TForm1::WmfZwischenablageClick);
    connect(ui->ButtonWorddokument, &QToolButton::clicked, this, &TForm1::WorddokumentClick);
}

void TForm1::FunktionstermeSpeichernClick() {
    gControl.IgnoreNextMouseUp = true;
    FileRequest r;
    r.save = true;
    r.title = QStringLiteral("Funktionsterme und Eingaben speichern");
    r.folder = QDir::currentPath();
    r.filters = {QString::fromUtf8(kArchiveFilter)};
    r.defaultSuffix = QStringLiteral("lib");
    Choices().chooseFile(this, r, [](const FileChoice& c) {
        if (!c.ok) return;
        TakeFolderOf(c.path);
        const std::string path = FileNameWithExtension(c.path.toStdString(), ".lib");
        if (path.empty()) return InvalidName(c.path);
        SaveFunctionArchive(path);
    });
}

void TForm1::FunktionstermeHolenClick() {
    gControl.IgnoreNextMouseUp = true;
    FileRequest r;
    r.title = QStringLiteral("Funktionsterme und Eingaben holen");
    r.folder = QDir::currentPath();
    r.filters = {QString::fromUtf8(kArchiveFilter)};
    QPointer<TForm1> self(this);
    Choices().chooseFile(this, r, [self](const FileChoice& c) {
        if (!c.ok || !self) return;
        TakeFolderOf(c.path);
        if (LoadFunctionArchive(c.path.toStdString())) self->Redraw(true);
    });
}

void TForm1::GrafikDruckenClick() {
    gControl.DruckenOK = false;
    gOutput.PrintOffsetX = 0;
    auto* dialog = new TGrafikDruckenDlg(this);
    QPointer<TForm1> self(this);
    connect(dialog, &QDialog::finished, this, [self] {
        if (!self || !gControl.DruckenOK) return;
        std::shared_ptr<PrintJob> printer = NewPrintJob();
        if (!printer) {
            gControl.DruckenOK = false;
            return;
        }
        Choices().choosePrinter(self, printer, [self, printer](bool ok) {
            if (ok && self) PrintGraphPage(*printer);
            gControl.DruckenOK = false;
        });
    });
    dialog->open();
}

void TForm1::WmfSpeichernClick() {
    FileRequest r;
    r.save = true;
    r.title = QStringLiteral("Erstellte Grafik speichern");
    r.folder = QDir::currentPath();
    r.filters = PictureFilters();
    r.defaultSuffix = QStringLiteral("wmf");
    Choices().chooseFile(this, r, [](const FileChoice& c) {
        if (!c.ok) return;
        TakeFolderOf(c.path);
        LastPictureFilter() = c.filterIndex == 1 ? 1 : 0;
        const std::string path = PictureFileName(c.path.toStdString(), c.filterIndex);
        if (path.empty()) return InvalidName(c.path);
        const WriteResult r = SaveGraphPicture(path, c.filterIndex == 1 ? MetafileFormat::Emf : MetafileFormat::Wmf);
        // A cancelled picture has said so itself.
        if (!r.ok && !r.error.empty()) ShowMessage(r.error, MessageKind::Error);
    });
}

void TForm1::WmfZwischenablageClick() {
    if (!CopyGraphToClipboard())
        ShowMessage("Die Grafik kann nicht in die Zwischenablage gelegt werden.", MessageKind::Error);
}

void TForm1::WorddokumentClick() { GraphToWordDocument(QDir::currentPath().toStdString(), Choices().openDocument); }

}  // namespace kalvo
