#include "PdfModule.h"

#include "InstallPaths.h"
#include "OwnModule.h"

#include <future>
#include <mutex>

namespace velmora::app {
namespace {

struct Loaded {
    PdfOpenFile openFile = nullptr;
    PdfOpenBytes openBytes = nullptr;
    std::string problem; // why there are no entry points
};

// Loads the module at the path (found by the caller: the environment is not read off the main
// thread).
Loaded load(const std::string& path) {
    auto module = OwnModule::load(path, "the PDF module");
    if (!module)
        return {nullptr, nullptr, module.error()};
    Loaded loaded{reinterpret_cast<PdfOpenFile>(module->symbol(kPdfOpenFile)),
                  reinterpret_cast<PdfOpenBytes>(module->symbol(kPdfOpenBytes)), ""};
    if (!loaded.openFile || !loaded.openBytes)
        return {nullptr, nullptr, module->path + " is not velmora's PDF module"};
    return loaded;
}

std::mutex gLock;
std::shared_future<Loaded> gLoading;

const Loaded& loaded() {
    std::shared_future<Loaded> loading;
    {
        std::lock_guard<std::mutex> hold(gLock);
        if (!gLoading.valid())
            gLoading = std::async(std::launch::deferred, load, pdfModule()).share();
        loading = gLoading;
    }
    return loading.get(); // the shared state outlives this copy: gLoading holds it
}

template <typename Open, typename... Arguments>
std::unique_ptr<PdfDocument> openWith(Open open, PdfDocument::Problem& problem,
                                      Arguments... arguments) {
    problem = PdfDocument::Problem::NoModule;
    return std::unique_ptr<PdfDocument>(open ? open(arguments..., &problem) : nullptr);
}

} // namespace

void PdfModule::loadAhead() {
    std::lock_guard<std::mutex> hold(gLock);
    if (!gLoading.valid())
        gLoading = std::async(std::launch::async, load, pdfModule()).share();
}

std::unique_ptr<PdfDocument> PdfModule::open(const std::string& path,
                                             PdfDocument::Problem& problem) {
    return openWith(loaded().openFile, problem, path.c_str());
}

std::unique_ptr<PdfDocument> PdfModule::open(std::string_view bytes,
                                             PdfDocument::Problem& problem) {
    return openWith(loaded().openBytes, problem, bytes.data(), bytes.size());
}

std::string PdfModule::unavailable() {
    return loaded().problem;
}

} // namespace velmora::app
