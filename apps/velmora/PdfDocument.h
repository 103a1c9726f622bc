#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora::app {

// A PDF document as velmora's PDF module reads it (Poppler, loaded only when pages are first
// asked for). The module and its callers are built together: the interface crosses the module's
// boundary as it is.
class PdfDocument {
public:
    enum class Problem { None, Unreadable, Encrypted, NoPages, NoModule };

    // One rendered page: 32-bit pixels, 0xAARRGGBB in native byte order, row after row.
    struct Image {
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> pixels;
    };

    virtual ~PdfDocument() = default;
    virtual int pageCount() const = 0;
    // A page's size in points (from 0); zero when there is no such page.
    virtual double pageWidth(int index) const = 0;
    virtual double pageHeight(int index) const = 0;
    // The page at the resolution, anti-aliased, on white; empty when it cannot be rendered.
    virtual Image render(int index, double dotsPerInch) const = 0;
};

// The module's entry points, looked up by these names. The document is the caller's to delete;
// null with the problem set when there is none. Bytes must outlive the document made of them.
using PdfOpenFile = PdfDocument* (*)(const char* path, PdfDocument::Problem* problem);
using PdfOpenBytes = PdfDocument* (*)(const char* bytes, std::size_t size,
                                      PdfDocument::Problem* problem);
inline constexpr const char* kPdfOpenFile = "velmora_pdf_open_file";
inline constexpr const char* kPdfOpenBytes = "velmora_pdf_open_bytes";

} // namespace velmora::app
