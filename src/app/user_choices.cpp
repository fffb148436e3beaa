#include "user_choices.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>

#include "canvas.h"
#include "printing.h"

namespace kalvo {

namespace {

void AskForFile(QWidget* parent, const FileRequest& r, std::function<void(const FileChoice&)> done) {
    auto* d = new QFileDialog(parent, r.title, r.folder);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d->setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d->setNameFilters(r.filters);
    d->setDefaultSuffix(r.defaultSuffix);
    // The program writes the name it builds from the chosen one; asking
    // about an existing file belongs to that name, not the one typed.
    d->setOption(QFileDialog::DontConfirmOverwrite, true);
    QObject::connect(d, &QFileDialog::finished, d, [d, filters = r.filters, done = std::move(done)](int result) {
        FileChoice c;
        const QStringList files = d->selectedFiles();
        c.ok = result == QDialog::Accepted && !files.isEmpty();
        if (c.ok) c.path = files.front();
        c.filterIndex = std::max<qsizetype>(0, filters.indexOf(d->selectedNameFilter()));
        done(c);
    });
    d->open();
}

void AskForPrinter(QWidget* parent, std::shared_ptr<PrintJob> printer, std::function<void(bool)> done) {
    // The dialog keeps the answer's callback, and with it the printer, until it is gone.
    PrintJob& job = *printer;
    job.OpenDialog(parent, [printer = std::move(printer), done = std::move(done)](bool ok) { done(ok); });
}

void AskForFont(QWidget* parent, const QFont& initial, std::function<void(const QFont&)> done) {
    auto* d = new QFontDialog(initial, parent);
    d->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(d, &QFontDialog::fontSelected, d, [done = std::move(done)](const QFont& f) { done(f); });
    d->open();
}

UserChoices Dialogs() { return UserChoices{AskForFile, AskForPrinter, AskForFont, {}}; }

}  // namespace

QString FamilyToOffer(const QString& stored) {
    if (stored.isEmpty()) return QFontInfo(QFont()).family();
    // The family the screen draws the name with, as fontconfig resolves it.
    return QFontInfo(QFont(InstalledFamily(stored))).family();
}

QString ChosenFamily(const QString& stored, const QString& chosen) {
    if (chosen.isEmpty()) return stored;
    if (stored.isEmpty() || chosen.compare(FamilyToOffer(stored), Qt::CaseInsensitive) != 0) return chosen;
    return stored;
}

UserChoices& Choices() {
    static UserChoices choices = Dialogs();
    return choices;
}

void ResetChoices() { Choices() = Dialogs(); }

}  // namespace kalvo
