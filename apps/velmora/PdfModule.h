#pragma once

#include "PdfDocument.h"

#include <memory>
#include <string>
#include <string_view>

namespace velmora::app {

// velmora's PDF module (libvelmora-pdf.so: Poppler and what it links), loaded the first time a
// document's pages are asked for, not with every command: loading it is a visible part of a
// start. It lies beside the graphical dialog's module and is judged as a plug-in is before it
// is loaded.
class PdfModule {
public:
    // Starts loading it on another thread: the dialog does so before it makes its window, so
    // that its preview finds it loaded.
    static void loadAhead();

    // A document read from a file or from bytes (kept by the caller while the document lives);
    // null with the problem when it cannot be read, or when the module cannot be loaded
    // (Problem::NoModule; unavailable() says why).
    static std::unique_ptr<PdfDocument> open(const std::string& path,
                                             PdfDocument::Problem& problem);
    static std::unique_ptr<PdfDocument> open(std::string_view bytes, PdfDocument::Problem& problem);

    // Why the module cannot be loaded; empty when it can (it is loaded to find out).
    static std::string unavailable();
};

} // namespace velmora::app
