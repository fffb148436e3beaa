#pragma once
// The report of the curve fitting on paper and in the word processor.

#include <QStringList>

#include <string>

#include "word_document.h"

namespace kalvo {

class PrintJob;

// Prints the lines in "Courier New" 3.5 mm high, 20 mm from the left and top
// edges with a pitch of 3.8 mm, up to the first line that is exactly four
// blanks; a page full up to 20 mm above its bottom edge goes on on the next,
// the value table there under its column header again.
void PrintProtokoll(PrintJob& printer, const QStringList& lines);

// Where the picture of the graph for the document goes: "temp.wmf" in the
// current folder, or in the temporary folder when that one is not writable.
std::string ReportPicturePath();

// Builds the document: A4 with 56-point margins, the lines in "Courier New"
// 8 points, then the picture 300 x 300 points; writes it and has it opened.
DocumentResult WriteProtokollDocument(const QStringList& lines, const std::string& picturePath,
                                      const WordDocument::Opener& opener);

}  // namespace kalvo
