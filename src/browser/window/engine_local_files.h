#pragma once

class QWebEnginePage;

namespace corvane {

// A page loaded from a file reads no other file and no web address (the
// engine lets it by default): set on the page and on its profile's defaults,
// whichever profile the page has. And no request of the page, a script's or a
// resource's included, reaches a file no page may open (IsGuardedFileAddress).
void KeepFilePagesToThemselves(QWebEnginePage& page);

}  // namespace corvane
