#include "word_document.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kalvo {

namespace {

// A picture file larger than this is not a picture this program wrote.
constexpr qint64 kMaxPictureBytes = 256 * 1024 * 1024;

long Twips(double points) {
    if (!std::isfinite(points)) return 0;
    return std::lround(std::clamp(points, -1e6, 1e6) * 20.0);
}

std::uint32_t U32At(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
std::int32_t I32At(const QByteArray& b, qsizetype at) { return static_cast<std::int32_t>(U32At(b, at)); }
std::uint16_t U16At(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8);
}
std::int16_t I16At(const QByteArray& b, qsizetype at) { return static_cast<std::int16_t>(U16At(b, at)); }

// RTF is 7-bit: everything else is a Unicode escape with '?' for old readers.
void AppendEscaped(std::string& out, const QString& text) {
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c < 0x20) {
            // Control characters have no place in typed text.
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
        }
    }
}

std::string Hex(const char* data, qsizetype size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(static_cast<size_t>(size) * 2 + static_cast<size_t>(size) / 64 + 1);
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<std::uint8_t>(data[i]);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
        if (i % 64 == 63) out += '\n';
    }
    return out;
}

bool OpenWithDesktop(const std::string& path) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace

WordDocument::WordDocument(Opener opener) : opener_(opener ? std::move(opener) : Opener(OpenWithDesktop)) {
    newDocument();
}

void WordDocument::newDocument() {
    page_ = PageSetup{};
    fonts_.clear();
    pieces_.clear();
    font_ = fontIndex(QStringLiteral("Times New Roman"));
    halfPoints_ = 24;
}

int WordDocument::fontIndex(const QString& name) {
    for (size_t i = 0; i < fonts_.size(); ++i)
        if (fonts_[i].compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    fonts_.push_back(name);
    return static_cast<int>(fonts_.size() - 1);
}

void WordDocument::setFontName(const QString& name) {
    if (!name.trimmed().isEmpty()) font_ = fontIndex(name.trimmed());
}

void WordDocument::setFontSize(double points) {
    // Word takes 1 to 1638 points in half-point steps.
    if (std::isfinite(points)) halfPoints_ = static_cast<int>(std::clamp(std::nearbyint(points * 2), 2.0, 3276.0));
}

void WordDocument::typeText(const QString& text) {
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = normalized.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) typeParagraph();
        if (!lines[i].isEmpty()) pieces_.push_back({Piece::Text, lines[i], font_, halfPoints_, {}});
    }
}

void WordDocument::typeParagraph() { pieces_.push_back({Piece::Paragraph, {}, font_, halfPoints_, {}}); }

WriteResult WordDocument::insertPicture(const std::string& path, double widthPt, double heightPt) {
    const QString name = QString::fromStdString(path);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPictureBytes) {
        return {false, "Die Datei " + path + " kann nicht gelesen werden."};
    }
    return insertPictureData(file.readAll(), path, widthPt, heightPt);
}

WriteResult WordDocument::insertPictureData(const QByteArray& bytes, const std::string& path, double widthPt,
                                             double heightPt) {
    const std::string notAPicture = "Die Datei " + path + " enthält kein WMF- oder EMF-Bild.";

    std::string kind;
    qsizetype offset = 0;
    long picw = 0, pich = 0;  // the picture's own size in hundredths of a millimetre
    if (bytes.size() >= 40 && U32At(bytes, 0) == 0x9AC6CDD7u) {
        // Placeable WMF: RTF wants the metafile without that header, its size in picw/pich.
        const int inch = std::max<int>(1, U16At(bytes, 14));
        picw = std::lround((I16At(bytes, 10) - I16At(bytes, 6)) * 2540.0 / inch);
        pich = std::lround((I16At(bytes, 12) - I16At(bytes, 8)) * 2540.0 / inch);
        offset = 22;
        kind = "\\wmetafile8";
    } else if (bytes.size() >= 18 && (U16At(bytes, 0) == 1 || U16At(bytes, 0) == 2) && U16At(bytes, 2) == 9) {
        kind = "\\wmetafile8";
    } else if (bytes.size() >= 88 && U32At(bytes, 0) == 1 && U32At(bytes, 40) == 0x464D4520u) {
        picw = static_cast<long>(I32At(bytes, 32)) - I32At(bytes, 24);
        pich = static_cast<long>(I32At(bytes, 36)) - I32At(bytes, 28);
        kind = "\\emfblip";
    } else {
        return {false, notAPicture};
    }
    if (offset > 0 && (U16At(bytes, 22) > 2 || U16At(bytes, 24) != 9)) return {false, notAPicture};

    const double ownWidthPt = picw * 72.0 / 2540.0, ownHeightPt = pich * 72.0 / 2540.0;
    if (!(widthPt > 0)) widthPt = ownWidthPt > 0 ? ownWidthPt : 300;
    if (!(heightPt > 0)) heightPt = ownHeightPt > 0 ? ownHeightPt : 300;
    // Word's largest picture is 22 inches on each side.
    widthPt = std::min(widthPt, 1584.0);
    heightPt = std::min(heightPt, 1584.0);
    if (picw <= 0) picw = std::lround(widthPt * 2540.0 / 72.0);
    if (pich <= 0) pich = std::lround(heightPt * 2540.0 / 72.0);

    std::string group = "{\\pict" + kind + "\\picw" + std::to_string(picw) + "\\pich" + std::to_string(pich) +
                        "\\picwgoal" + std::to_string(Twips(widthPt)) + "\\pichgoal" +
                        std::to_string(Twips(heightPt)) + "\n";
    group += Hex(bytes.constData() + offset, bytes.size() - offset);
    group += "}";
    pieces_.push_back({Piece::Picture, {}, font_, halfPoints_, std::move(group)});
    return {true, {}};
}

std::string WordDocument::rtf() const {
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (size_t i = 0; i < fonts_.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
        AppendEscaped(out, fonts_[i]);
        out += ";}";
    }
    out += "}\n";
    out += "\\paperw" + std::to_string(Twips(page_.pageWidth)) + "\\paperh" + std::to_string(Twips(page_.pageHeight)) +
           "\\margl" + std::to_string(Twips(page_.leftMargin)) + "\\margr" + std::to_string(Twips(page_.rightMargin)) +
           "\\margt" + std::to_string(Twips(page_.topMargin)) + "\\margb" + std::to_string(Twips(page_.bottomMargin)) +
           "\\headery" + std::to_string(Twips(page_.headerDistance)) + "\\footery" +
           std::to_string(Twips(page_.footerDistance));
    if (page_.orientation == 1) out += "\\landscape";
    out += "\n\\sectd";
    if (page_.orientation == 1) out += "\\lndscpsxn";
    if (page_.lineNumbering) out += "\\linemod1\\linex360";
    out += "\n\\pard\\plain";

    int font = -1, halfPoints = -1;
    for (const Piece& p : pieces_) {
        if (p.kind != Piece::Paragraph && (p.font != font || p.halfPoints != halfPoints)) {
            font = p.font;
            halfPoints = p.halfPoints;
            out += "\\f" + std::to_string(font) + "\\fs" + std::to_string(halfPoints) + " ";
        }
        switch (p.kind) {
            case Piece::Text: AppendEscaped(out, p.text); break;
            case Piece::Paragraph: out += "\\par\n"; break;
            case Piece::Picture: out += p.picture; break;
        }
    }
    out += "\\par\n}\n";
    return out;
}

DocumentResult WordDocument::makeVisible(const std::string& folder) {
    QString dir = folder.empty() ? QDir::currentPath() : QString::fromStdString(folder);
    if (!FolderIsWritable(dir.toStdString())) dir = QDir::tempPath();
    // A new name each time: the document of an earlier export may be open and edited.
    QString path;
    for (int n = 1; n <= 100000; ++n) {
        path = QDir(dir).filePath(QStringLiteral("Dokument%1.rtf").arg(n));
        if (!QFileInfo::exists(path)) break;
    }
    DocumentResult result;
    result.path = path.toStdString();
    const WriteResult written = WriteFileAtomically(result.path, rtf());
    if (!written.ok) {
        result.error = written.error;
        return result;
    }
    if (!opener_(result.path)) {
        // The document is there all the same; the user opens it himself.
        result.error = std::string(kWordStartFailedMessage) + "\n\nDas Dokument wurde gespeichert:\n" +
                       QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString();
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace kalvo
