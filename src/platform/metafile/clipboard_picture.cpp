#include "clipboard_picture.h"

#include "metafile_recorder.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>

namespace kalvo {

namespace {

QByteArray ToByteArray(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

QClipboard* Clipboard() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
    return QGuiApplication::clipboard();
}

}  // namespace

std::unique_ptr<QMimeData> PictureMimeData(const MetafileRecorder& picture) {
    auto data = std::make_unique<QMimeData>();
    // Each comes back empty when the copy is cancelled on the way.
    const std::string emf = picture.toEmf();
    if (emf.empty()) return nullptr;
    data->setData(kEmfMimeType, ToByteArray(emf));
    const std::string wmf = picture.toWmf();
    if (wmf.empty()) return nullptr;
    data->setData(kWmfMimeType, ToByteArray(wmf));
    const QImage image = picture.toImage();
    if (image.isNull()) return nullptr;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    data->setData(kPngMimeType, png);
    // Qt programs ask for an image object rather than for PNG bytes.
    data->setImageData(image);
    return data;
}

bool CopyPictureToClipboard(const MetafileRecorder& picture) {
    QClipboard* clipboard = Clipboard();
    std::unique_ptr<QMimeData> data = clipboard ? PictureMimeData(picture) : nullptr;
    if (!data) return false;
    clipboard->setMimeData(data.release());
    return true;
}

QString TableClipboardText(const QString& title, const QList<QStringList>& rows) {
    QString text = title + QStringLiteral("\r\n\r\n");
    for (const QStringList& row : rows) text += row.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    return text;
}

bool CopyTextToClipboard(const QString& text) {
    QClipboard* clipboard = Clipboard();
    if (!clipboard) return false;
    clipboard->setText(text);
    return true;
}

}  // namespace kalvo
