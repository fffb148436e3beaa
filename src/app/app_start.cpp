#include "app_start.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include "message_sink.h"
#include "object_lists.h"
#include "program_state.h"
#include "settings_file.h"
#include "term.h"

#ifndef KALVO_VERSION
#define KALVO_VERSION "0"
#endif

namespace kalvo {

QString MainWindowCaption() {
    return QStringLiteral("Kalvograf    Funktionsgraphen - Parameterkurven v") + QStringLiteral(KALVO_VERSION);
}

void StartProgramState(const std::string& programDir) {
    gControl.ProgramDir = programDir;
    gOutput.PrintOffsetX = 0;
    gOutput.AusgabefaktorX = 1.0;
    gOutput.AusgabefaktorY = 1.0;
    gGrafikobjektliste.Init();
    gFunktionenspeicher.Init();
    InitTermTrees();
    LoadSettings();
    // The remaining start-up values (sums, areas, iteration, regression,
    // spectrum) are the shared state's own initial values; the settings file
    // holds none of them.
    ApplyStartupOverrides();
}

void EndProgramState() {
    gGrafikobjektliste.Done();
    gFunktionenspeicher.Done();
    FunktionTermbaum.Clear();
    ZahlTermbaum.Clear();
    FlaechenTermbaum.Clear();
}

void InstallGermanTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    else
        delete translator;
}

void InstallMessageBoxes() {
    SetMessageHandler([](MessageKind kind, const std::string& text) {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(QString::fromUtf8(kApplicationTitle));
        box.setText(QString::fromStdString(text));
        box.setIcon(kind == MessageKind::Error     ? QMessageBox::Critical
                    : kind == MessageKind::Warning ? QMessageBox::Warning
                                                   : QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    });
}

}  // namespace kalvo
