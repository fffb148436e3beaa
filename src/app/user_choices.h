#pragma once
// Where the main window asks the user for something outside the program: a
// file name, a printer, a font; and where it hands a document to the
// desktop's word processor. The program shows Qt's dialogs, window-modal
// and without a nested event loop; the answer comes back through a callback.
// Tests answer in the dialogs' place.

#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace kalvo {

class PrintJob;

struct FileRequest {
    bool save = false;
    QString title;
    QString folder;
    QStringList filters;  // "Text (*.ext)"
    QString defaultSuffix;
};

struct FileChoice {
    bool ok = false;
    QString path;
    int filterIndex = 0;  // into FileRequest::filters
};

struct UserChoices {
    std::function<void(QWidget* parent, const FileRequest&, std::function<void(const FileChoice&)> done)> chooseFile;
    // The printer stays alive until the answer has come.
    std::function<void(QWidget* parent, std::shared_ptr<PrintJob> printer, std::function<void(bool ok)> done)>
        choosePrinter;
    std::function<void(QWidget* parent, const QFont& initial, std::function<void(const QFont& chosen)> done)> chooseFont;
    // Opens a written document; empty: the desktop's handler of its type.
    std::function<bool(const std::string& path)> openDocument;
};

// The font dialog lists only installed families and falls back to the
// default family for any other name. A stored family that is not installed
// is therefore offered as the installed family that draws it on screen, and
// an answer in that family keeps the stored name: a user who changes only
// the size has not chosen another font. An empty stored name takes the answer.
QString FamilyToOffer(const QString& stored);
QString ChosenFamily(const QString& stored, const QString& chosen);

// The ways of asking now in force; the dialogs unless a test replaced them.
UserChoices& Choices();
// Puts the dialogs back.
void ResetChoices();

}  // namespace kalvo
