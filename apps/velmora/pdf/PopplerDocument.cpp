// velmora's PDF module: Poppler behind the small interface the preview and velmora ticket use.
// velmora loads it only when a document's pages are first asked for, so that Poppler and what
// it links (NSS, image codecs) are not loaded by every command and every start of the dialog.

#include "PdfDocument.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

namespace velmora::app {
namespace {

// Poppler's complaints about a damaged file are its own; the caller says what went wrong.
void ignorePopplerMessage(const std::string&, void*) {}

class PopplerDocument : public PdfDocument {
public:
    explicit PopplerDocument(std::unique_ptr<poppler::document> document)
        : _document(std::move(document)) {}

    int pageCount() const override { return _document->pages(); }
    double pageWidth(int index) const override { return pageRect(index).width(); }
    double pageHeight(int index) const override { return pageRect(index).height(); }

    Image render(int index, double dotsPerInch) const override {
        std::unique_ptr<poppler::page> page(pageAt(index));
        if (!page)
            return {};
        poppler::page_renderer renderer;
        renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
        renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
        renderer.set_paper_color(0xffffffff);
        renderer.set_image_format(poppler::image::format_argb32);
        poppler::image image = renderer.render_page(page.get(), dotsPerInch, dotsPerInch);
        if (!image.is_valid() || image.format() != poppler::image::format_argb32)
            return {};
        Image out{image.width(), image.height(), {}};
        out.pixels.resize(static_cast<std::size_t>(out.width) *
                          static_cast<std::size_t>(out.height));
        for (int row = 0; row < out.height; ++row)
            std::memcpy(out.pixels.data() + static_cast<std::size_t>(row) * out.width,
                        image.const_data() +
                            static_cast<std::ptrdiff_t>(row) * image.bytes_per_row(),
                        static_cast<std::size_t>(out.width) * 4);
        return out;
    }

private:
    std::unique_ptr<poppler::document> _document;

    poppler::page* pageAt(int index) const {
        return index >= 0 && index < _document->pages() ? _document->create_page(index) : nullptr;
    }
    poppler::rectf pageRect(int index) const {
        std::unique_ptr<poppler::page> page(pageAt(index));
        return page ? page->page_rect(poppler::media_box) : poppler::rectf();
    }
};

PdfDocument* opened(poppler::document* document, PdfDocument::Problem* problem) {
    std::unique_ptr<poppler::document> owned(document);
    *problem = !owned               ? PdfDocument::Problem::Unreadable
               : owned->is_locked() ? PdfDocument::Problem::Encrypted
               : owned->pages() < 1 ? PdfDocument::Problem::NoPages
                                    : PdfDocument::Problem::None;
    return *problem == PdfDocument::Problem::None ? new PopplerDocument(std::move(owned)) : nullptr;
}

void quietPoppler() {
    static std::once_flag once;
    std::call_once(once, [] { poppler::set_debug_error_function(ignorePopplerMessage, nullptr); });
}

} // namespace
} // namespace velmora::app

using velmora::app::PdfDocument;

extern "C" __attribute__((visibility("default"))) PdfDocument*
velmora_pdf_open_file(const char* path, PdfDocument::Problem* problem) {
    velmora::app::quietPoppler();
    return velmora::app::opened(poppler::document::load_from_file(path ? path : ""), problem);
}

// Poppler reads from the bytes for as long as the document lives: the caller keeps them.
extern "C" __attribute__((visibility("default"))) PdfDocument*
velmora_pdf_open_bytes(const char* bytes, std::size_t size, PdfDocument::Problem* problem) {
    velmora::app::quietPoppler();
    if (size > static_cast<std::size_t>(INT_MAX)) {
        *problem = PdfDocument::Problem::Unreadable;
        return nullptr;
    }
    return velmora::app::opened(
        poppler::document::load_from_raw_data(bytes, static_cast<int>(size)), problem);
}
