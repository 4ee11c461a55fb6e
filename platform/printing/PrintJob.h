#pragma once

// What printing and the library that drives printers over Qt PrintSupport
// share. The library is loaded the first time the player prints, so start-up
// does not load Qt PrintSupport and the print system behind it.

namespace fw {

// The library's declarations, bound by their texts.
// Open: with a file path, a job that writes a PDF file there; with nullptr,
// the printer dialog is shown and the job prints on the chosen printer.
// Gives nullptr when the player cancels or the printer cannot start. The job
// lays pages out in points (72 per inch) from the printable area's top-left.
inline constexpr const char* PrintJobOpen = "Print.Open(pdf as string) as ptr";
// The QPainter drawing on the job's pages.
inline constexpr const char* PrintJobPainter = "Print.Painter(job as ptr) as ptr";
inline constexpr const char* PrintJobNewPage = "Print.NewPage(job as ptr)";
// Ends the job, which finishes the document and sends it.
inline constexpr const char* PrintJobClose = "Print.Close(job as ptr)";

} // namespace fw
