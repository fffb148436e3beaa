#pragma once
// The program's own pictures: button glyphs, the five cursors and the help
// text, all kept as resources of this library.

#include <QCursor>
#include <QIcon>
#include <QString>

class QWidget;

namespace kalvo {

// Registers this library's resources (forms that name them call it first).
void EnsureAppResources();

// A button glyph by its name (icons/<name>.svg, rendered by the build).
QIcon Glyph(const QString& name);

// Gives every button below root that names a glyph (its property "glyph")
// that glyph.
void ApplyGlyphs(QWidget* root);

// Loads the program's cursors as cursors 1 to 5 from their resources
// (cursor 1 from resource 4, 2 from 1, 3 from 3, 4 from 2, 5 from 5).
void RegisterCursors();
// Cursor n (1 to 5); the arrow for any other number or before RegisterCursors.
QCursor ProgramCursor(int n);

// The help text on terms.
QString TermHelpText();

}  // namespace kalvo
