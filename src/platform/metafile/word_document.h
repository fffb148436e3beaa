#pragma once
// A word-processor document built with the few verbs the program uses: page
// set-up, font name and size, typed text, paragraphs and pictures. It is
// written as an RTF file and handed to the desktop's word processor, which
// takes the place of a word processor driven by remote control: the whole
// document is written when it is shown, so makeVisible() comes last.

#include "atomic_file.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace kalvo {

inline constexpr char kWordStartFailedMessage[] = "Microsoft Word kann nicht gestartet werden!";

// In points, as the word processor counts them.
struct PageSetup {
    double leftMargin = 70.9;
    double rightMargin = 70.9;
    double topMargin = 70.9;
    double bottomMargin = 56.7;
    double headerDistance = 35.4;
    double footerDistance = 35.4;
    double pageWidth = 595.3;  // A4
    double pageHeight = 841.9;
    int orientation = 0;  // 0 upright, 1 landscape
    bool lineNumbering = false;
};

struct DocumentResult {
    bool ok = false;
    std::string path;   // the document written, also when it could not be opened
    std::string error;  // German, for the caller's message box
};

class WordDocument {
public:
    // Opens the written document; returns false when nothing could open it.
    using Opener = std::function<bool(const std::string& path)>;

    // Without an opener the desktop's handler for the file type is used.
    explicit WordDocument(Opener opener = {});

    // Starts an empty document with the default page, font "Times New Roman", 12 points.
    void newDocument();
    void setPageSetup(const PageSetup& page) { page_ = page; }
    void setFontName(const QString& name);
    void setFontSize(double points);
    // Text at the end of the document; a line break in it starts a new paragraph.
    void typeText(const QString& text);
    void typeParagraph();
    // Embeds the EMF or WMF picture of the file at the end of the document, shown
    // with the given size in points (the picture's own size where one is not positive).
    WriteResult insertPicture(const std::string& path, double widthPt, double heightPt);
    // The same for the bytes such a file holds; `path` is the file they are
    // for, which messages name.
    WriteResult insertPictureData(const QByteArray& bytes, const std::string& path, double widthPt, double heightPt);

    std::string rtf() const;

    // Writes the document as "Dokument<n>.rtf" with the first free n into the folder
    // (the current folder when empty, the temporary folder when that is not writable)
    // and opens it. Failure carries the write error, or kWordStartFailedMessage
    // followed by the full path of the document written.
    DocumentResult makeVisible(const std::string& folder = {});

private:
    struct Piece {
        enum Kind { Text, Paragraph, Picture } kind;
        QString text;
        int font = 0;
        int halfPoints = 24;
        std::string picture;  // RTF picture group
    };

    int fontIndex(const QString& name);

    Opener opener_;
    PageSetup page_;
    std::vector<QString> fonts_;
    int font_ = 0;
    int halfPoints_ = 24;
    std::vector<Piece> pieces_;
};

}  // namespace kalvo
