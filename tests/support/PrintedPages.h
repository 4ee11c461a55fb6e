#pragma once

// For printing tests: texts to print, and reading back the PDF files they
// write, with poppler's tools.

#include <string>
#include <vector>

namespace PrintedPages {

// `count` lines "<prefix>0001", "<prefix>0002", ... joined by carriage
// returns, so each printed line can be told apart.
std::string NumberedLines(const char* prefix, int count);

// What the shell command prints on standard output; it is stopped after a
// minute.
std::string RunCommand(const std::string& command);

// The number of pages; 0 when the file is missing or not a finished PDF.
int PageCount(const std::string& pdf);

// The text of each page, as pdftotext lays it out.
std::vector<std::string> PageTexts(const std::string& pdf);

} // namespace PrintedPages
