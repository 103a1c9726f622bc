// How soon the preview follows a change: from a setting changed on the panel to the sheet drawn
// anew, in the print dialog on the sample press, for the sample document and a 200-page one.
// The floor is what showing any page costs at least: Poppler rendering one page at the size the
// preview shows it.
#include "PreviewPane.h"
#include "PrintDialogWindow.h"
#include "SheetPreview.h"

#include "panel/LornPDEByCocoa.h"
#include "panes/PanePlugInMgr.h"
#include "platform/printing/CupsConnection.h"
#include "platform/qt/QtToolkit.h"

#include <benchmark/benchmark.h>
#include <poppler-qt6.h>

#include <QApplication>
#include <QPainter>
#include <QPdfWriter>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

using namespace velmora;

QApplication& application() {
    static int argc = 1;
    static char name[] = "velmora_preview_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* made = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto* app = new QApplication(argc, argv);
        qt::QtToolkit::shared().install();
        return app;
    }();
    return *made;
}

// A document of the given length whose pages carry text and a picture, as a job's pages do.
std::string longDocument(int pages) {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("velmora-preview-bench-" + std::to_string(pages) + ".pdf"))
                           .string();
    if (std::filesystem::exists(path))
        return path;
    QPdfWriter writer(QString::fromStdString(path));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            writer.newPage();
        painter.fillRect(40, 40, 515, 200, QColor::fromHsv(page * 37 % 360, 120, 230));
        painter.setFont(QFont("Sans", 11));
        for (int line = 0; line < 40; ++line)
            painter.drawText(40, 270 + line * 13,
                             QString("Page %1, line %2: the quick brown fox jumps over the lazy dog")
                                 .arg(page)
                                 .arg(line + 1));
    }
    return path;
}

std::string documentOf(int pages) {
    return pages == 0 ? std::string(VELMORA_SAMPLE_DOCUMENT) : longDocument(pages);
}

void BM_PreviewFollowsAChange(benchmark::State& state) {
    application();
    std::string library = (std::filesystem::temp_directory_path() / "velmora-preview-bench").string();
    ::setenv("VELMORA_USER_LIBRARY", library.c_str(), 1);
    CupsConnection cups;
    app::PrintDialogWindow::Request request;
    request.files = {documentOf(static_cast<int>(state.range(0)))};
    request.embeddedOnly = true;
    request.panel.bundle = VELMORA_PLUGIN_DIR;
    request.panel.ppd = VELMORA_QUEUE_PPD;
    {
        app::PrintDialogWindow window(request, cups, false);
        if (!window.openDestination()) {
            state.SkipWithError(window.error().c_str());
            return;
        }
        window.resize(1366, 768);
        window.show();
        window.refreshPreview();
        auto& manager = PanePlugInMgr::sharedInstance();
        bool left = false;
        for (auto _ : state) {
            left = !left;
            manager.setStringValue(std::string(left ? "LeftEdgeUseStaple" : "TopLeftCornerUseStaple"),
                                   "StapleMode_StapleMechanism");
            qt::QtToolkit::shared().refreshAll();
            window.refreshPreview();
            benchmark::DoNotOptimize(window.preview()->view()->picture().constBits());
        }
    }
    PanePlugInMgr::releaseSharedInstance();
}
BENCHMARK(BM_PreviewFollowsAChange)->Arg(0)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderOnePageAtPreviewSize(benchmark::State& state) {
    application();
    auto document = Poppler::Document::load(
        QString::fromStdString(documentOf(static_cast<int>(state.range(0)))));
    if (!document || document->isLocked()) {
        state.SkipWithError("the document does not open");
        return;
    }
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    auto page = document->page(0);
    // About the size of a page shown in the dialog's preview.
    double resolution = 56;
    for (auto _ : state) {
        QImage image = page->renderToImage(resolution, resolution);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RenderOnePageAtPreviewSize)->Arg(0)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
