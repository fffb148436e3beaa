#pragma once
// The start and the end of the program outside its windows: the shared
// state, the German texts of Qt's own dialogs and the message boxes.

#include <QString>
#include <string>

class QCoreApplication;

namespace kalvo {

// The application's title, which message boxes carry.
inline constexpr const char* kApplicationTitle = "Kalvograf Funktionsgraphen - Parameterkurven 2D 3D";

// "Kalvograf    Funktionsgraphen - Parameterkurven v" and the version.
QString MainWindowCaption();

// Readies the shared state in the order the program has always started:
// program folder, output factors, empty object lists and function store,
// term trees from "0", the settings file, then the values that override it.
void StartProgramState(const std::string& programDir);

// Empties the object list and the function store and frees the term trees.
void EndProgramState();

// Qt's own buttons and dialogs in German, whatever the desktop's language.
void InstallGermanTranslations(QCoreApplication& app);

// Shows the program's messages in message boxes over the active window.
void InstallMessageBoxes();

}  // namespace kalvo
