#pragma once
// The graph outside the program as a vector picture: a WMF or EMF file, a
// picture on the clipboard, a word-processor document with the picture.
// Each records the central redraw at the graphics-file resolution; the
// screen graph is left as it was.

#include <QStringList>

#include <string>

#include "metafile_recorder.h"
#include "word_document.h"

namespace kalvo {

// The save dialog's filters: 0 WMF, 1 EMF.
QStringList PictureFilters();

// The file a chosen name stands for: its folder, its name up to the first
// ".", then ".wmf" for filter 0 and ".emf" otherwise. Empty when no name is
// left.
std::string PictureFileName(const std::string& chosen, int filterIndex);

// The filter chosen last in the save dialog; the word-processor export
// records an EMF after the EMF filter, a WMF otherwise.
int& LastPictureFilter();

// Records the graph and puts it on the clipboard. False when the clipboard
// cannot take it; a copy the user cancelled has said so and leaves the
// clipboard as it was.
bool CopyGraphToClipboard();

// Records the graph into "temp.wmf" in the folder (the current folder when
// empty; the temporary folder when that is not writable) and builds a new
// document with it. A failure is shown as a message and returned; a
// document the user cancelled writes no file.
DocumentResult GraphToWordDocument(const std::string& folder = {}, WordDocument::Opener opener = {});

}  // namespace kalvo
