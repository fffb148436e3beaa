#pragma once
// The clipboard as other programs on Linux read it: pictures as EMF and WMF
// under the MIME types office programs use, plus a PNG image; tables as text.

#include <QList>
#include <QMimeData>
#include <QString>
#include <QStringList>

#include <memory>

namespace kalvo {

class MetafileRecorder;

inline constexpr char kEmfMimeType[] = "application/x-openoffice-emf;windows_formatname=\"Image EMF\"";
inline constexpr char kWmfMimeType[] = "application/x-openoffice-wmf;windows_formatname=\"Image WMF\"";
inline constexpr char kPngMimeType[] = "image/png";

// EMF, placeable WMF and PNG of the picture, ready for the clipboard; null
// when the open work budget is spent while they are made (a cancel).
std::unique_ptr<QMimeData> PictureMimeData(const MetafileRecorder& picture);

// Replaces the clipboard contents; false without a clipboard (no GUI
// application) or when it was cancelled, and then the clipboard is as it was.
bool CopyPictureToClipboard(const MetafileRecorder& picture);

// A table as the value-table and Newton windows copy it: the title, an empty line,
// then one line per row with the cells joined by TAB; every line ends with CR LF.
QString TableClipboardText(const QString& title, const QList<QStringList>& rows);

bool CopyTextToClipboard(const QString& text);

}  // namespace kalvo
