#include "graphics_export.h"

#include <QDir>

#include <algorithm>

#include "archive_file.h"
#include "atomic_file.h"
#include "canvas.h"
#include "clipboard_picture.h"
#include "curves.h"
#include "graph_export.h"
#include "message_sink.h"
#include "program_state.h"

namespace kalvo {

namespace {

// Width of the text on an A4 page with the document's default margins.
constexpr double kDocumentTextWidthPt = 595.3 - 2 * 70.9;

}  // namespace

QStringList PictureFilters() {
    return {QStringLiteral("Windows Metadatei (*.wmf)"), QStringLiteral("Enhanced Metadatei (*.emf)")};
}

std::string PictureFileName(const std::string& chosen, int filterIndex) {
    return FileNameWithExtension(chosen, filterIndex == 0 ? ".wmf" : ".emf");
}

int& LastPictureFilter() {
    static int filter = 0;
    return filter;
}

bool CopyGraphToClipboard() {
    bool cut = false, copied = false, cancelled = false;
    {
        // The picture's raster copy for the clipboard takes as long again.
        CancellableWork work("Die Grafik wird f\u00FCr die Zwischenablage aufgezeichnet \u2026");
        const auto picture = RecordGraphPicture(kPictureFontFactorClipboard, &cut);
        if (picture && !work.Cancelled()) {
            // Labels stand on the picture's background, clear of grid and curves.
            picture->setOpaqueTextBackground(ToQColor(gDisplay.HintergrundBildschirm));
            copied = CopyPictureToClipboard(*picture);
        }
        cancelled = work.Cancelled();
    }
    // The clipboard keeps what it held: no picture half done.
    if (cancelled) {
        ShowMessage(kZwischenablageAbgebrochen);
        return true;
    }
    if (!copied) return false;
    if (cut) ShowMessage(CutPictureText("in die Zwischenablage gelegt"), MessageKind::Warning);
    return true;
}

DocumentResult GraphToWordDocument(const std::string& folder, WordDocument::Opener opener) {
    DocumentResult result;
    std::string dir = folder.empty() ? QDir::currentPath().toStdString() : folder;
    if (!FolderIsWritable(dir)) dir = QDir::tempPath().toStdString();
    const std::string path = QDir(QString::fromStdString(dir)).filePath(QStringLiteral("temp.wmf")).toStdString();
    result.path = path;
    bool cut = false;
    std::unique_ptr<MetafileRecorder> picture;
    std::string bytes;
    WordDocument doc(std::move(opener));
    WriteResult inserted;
    bool cancelled = false;
    {
        CancellableWork work("Das Dokument wird erstellt \u2026");
        picture = RecordGraphPicture(kPictureFontFactorFile, &cut);
        // The picture's bytes and the document are part of the work: for a
        // picture of millions of points they take a while. Only then is
        // anything written.
        if (picture && !work.Cancelled())
            bytes = picture->toBytes(LastPictureFilter() == 1 ? MetafileFormat::Emf : MetafileFormat::Wmf);
        if (!bytes.empty()) {
            doc.newDocument();
            // The graph at its size on the screen, but never wider than the text.
            const double width = std::min((gOutput.PlotWidthPx + 1) * 72.0 / kScreenDpi, kDocumentTextWidthPt);
            const double height = width * (gOutput.PlotHeightPx + 1) / std::max(1, gOutput.PlotWidthPx + 1);
            inserted = doc.insertPictureData(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                             path, width, height);
            AddWork(2 * static_cast<long long>(bytes.size()));
            WorkBudgetSpent();
        }
        cancelled = work.Cancelled();
    }
    // Neither the picture nor the document is written.
    if (cancelled) {
        ShowMessage(kDokumentAbgebrochen);
        return DocumentResult{};
    }
    if (!picture || bytes.empty()) return result;
    if (cut) ShowMessage(CutPictureText("in das Dokument gelegt"), MessageKind::Warning);
    const WriteResult saved = WriteFileAtomically(path, bytes);
    if (!saved.ok) {
        result.error = saved.error;
        ShowMessage(result.error, MessageKind::Error);
        return result;
    }
    if (!inserted.ok) {
        result.error = inserted.error;
        ShowMessage(result.error, MessageKind::Error);
        return result;
    }
    result = doc.makeVisible(dir);
    if (!result.ok) ShowMessage(result.error, MessageKind::Error);
    return result;
}

}  // namespace kalvo
