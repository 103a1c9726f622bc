// Opening the "Velmora Flow" panel on the sample press in the in-memory host (the plug-in
// loaded, panes and lists read, controls built, shown, restored and saved), next to reading and
// parsing every resource file such a session touches.

#include "PeakMemory.h"
#include "panel/LornPDEByCocoa.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/StringTable.h"
#include "platform/printing/InMemoryPrintDialog.h"
#include "ppd/PpdDataBlock.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

void BM_OpenPanelOnSamplePress(benchmark::State& state) {
    ::setenv("LANGUAGE", "en", 1);
    PeakMemory peak;
    for (auto _ : state) {
        velmora::PanePlugInMgr::releaseSharedInstance();
        velmora::InMemoryPrintDialog dialog({VELMORA_PLUGIN_DIR, std::string(VELMORA_QUEUE_PPD),
                                             "VelmoraPress", std::string("ipp://press/ipp"), true,
                                             nullptr, nullptr});
        if (auto opened = dialog.open(); !opened) {
            state.SkipWithError(("the plug-in does not open: " + opened.error()).c_str());
            return;
        }
        dialog.panel()->restoreValuesAndReturnError(nullptr);
        dialog.showPanel();
        // The actions the opening left for the dialog's first pass run as part of it, as they
        // would under the dialog; left queued, they would pile up across the runs.
        velmora::RunLoop::current().runPending(velmora::RunLoop::kModalPanelMode);
        benchmark::DoNotOptimize(dialog.panel()->saveValuesAndReturnError(nullptr));
        benchmark::DoNotOptimize(dialog.panel()->summaryInfo());
    }
    velmora::PanePlugInMgr::releaseSharedInstance();
    peak.report(state);
}
BENCHMARK(BM_OpenPanelOnSamplePress)->Unit(benchmark::kMillisecond);

// Every property list and English string table of the plug-in and its panes, both PPDs parsed
// by libcups, and every server list of the queue PPD decoded.
void BM_ReadSessionResources(benchmark::State& state) {
    std::vector<std::string> plists, tables;
    for (const auto& entry : fs::recursive_directory_iterator(VELMORA_PLUGIN_DIR)) {
        std::string path = entry.path().string();
        if (entry.path().extension() == ".plist")
            plists.push_back(path);
        else if (entry.path().extension() == ".strings" &&
                 entry.path().parent_path().filename() == "en.lproj")
            tables.push_back(path);
    }
    std::string bundlePpd =
        std::string(VELMORA_PLUGIN_DIR) + "/Contents/Resources/VelmoraPress.ppd";
    const auto& lists = velmora::PaneServerLists::allListNames();
    PeakMemory peak;
    for (auto _ : state) {
        for (const auto& path : plists)
            benchmark::DoNotOptimize(velmora::PropertyList::readFile(path));
        for (const auto& path : tables)
            benchmark::DoNotOptimize(velmora::StringTable::readFile(path));
        ppd_file_t* bundle = ppdOpenFile(bundlePpd.c_str());
        ppd_file_t* queue = ppdOpenFile(VELMORA_QUEUE_PPD);
        for (const auto& name : lists)
            benchmark::DoNotOptimize(velmora::PpdDataBlock::readList(queue, name));
        ppdClose(queue);
        ppdClose(bundle);
    }
    peak.report(state);
}
BENCHMARK(BM_ReadSessionResources)->Unit(benchmark::kMillisecond);

} // namespace
