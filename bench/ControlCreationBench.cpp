// Building the option controls of a 500-option UI-settings file, next to reading the file.

#include "PeakMemory.h"
#include "controls/ZEMAUI.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

namespace {

using velmora::Array;
using velmora::Dictionary;
using velmora::Value;

Value choiceList(const std::string& stem, int count) {
    Array choices;
    for (int c = 0; c < count; ++c)
        choices.push_back(Value(Dictionary{{"choice", stem + std::to_string(c)},
                                           {"text", "Choice " + std::to_string(c)}}));
    return Value(std::move(choices));
}

// A realistic mix: pop-ups, check boxes, radio groups, number and text fields, sliders and a
// few date pickers; every tenth option heads two child options.
Dictionary settingsFile(int options) {
    static const char* kinds[] = {
        "PopupButton",      "PopupButton",    "CheckBox", "RadioButton", "PopupButton",
        "TextField_number", "TextField_text", "Slider",   "CheckBox",    "DatePicker"};
    Dictionary file;
    for (int i = 0; i < options; ++i) {
        std::string key = "Option" + std::to_string(i);
        std::string kind = kinds[i % 10];
        Dictionary d{{"mainKeyword", key}, {"control_type", kind}, {"text", "Option " + key}};
        if (kind == "CheckBox") {
            d.set("choices", Value(Array{Value(Dictionary{{"choice", "True"}, {"text", "On"}}),
                                         Value(Dictionary{{"choice", "False"}, {"text", "Off"}})}));
            d.set("default", "False");
        } else if (kind == "TextField_number") {
            d.set("min", "0.00");
            d.set("max", "100.00");
            d.set("default", "10.00");
            d.set("desc_text", "mm (%@ - %@)");
        } else if (kind == "TextField_text") {
            d.set("max_digit", "63");
        } else if (kind == "DatePicker") {
            d.set("default", "now");
        } else {
            d.set("choices", choiceList(key + "_", 6));
            d.set("default", key + "_0");
        }
        d.set("condition",
              Dictionary{
                  {key + "_1", Dictionary{{"Option" + std::to_string((i + 1) % options), "Off"}}}});
        if (i % 10 == 0 && i + 2 < options)
            d.set("other_controls", Array{Value("Option" + std::to_string(i + 1)),
                                          Value("Option" + std::to_string(i + 2))});
        file.set(key, std::move(d));
    }
    return file;
}

std::string writeSettingsFile(int options = 500) {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("velmora-bench-ui-" + std::to_string(options) + ".plist"))
                           .string();
    velmora::PropertyList::writeXmlFile(path, Value(settingsFile(options)));
    return path;
}

void BM_ReadUISettingsFile(benchmark::State& state) {
    std::string path = writeSettingsFile();
    PeakMemory peak;
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora::PropertyList::readFile(path));
    peak.report(state);
}
BENCHMARK(BM_ReadUISettingsFile)->Unit(benchmark::kMillisecond);

std::vector<std::shared_ptr<velmora::ZEMAUI>> buildControls(const std::string& path) {
    auto file = velmora::PropertyList::readFile(path);
    auto settings = std::make_shared<const Dictionary>(std::move(*file->dictionary()));
    std::vector<std::shared_ptr<velmora::ZEMAUI>> controls;
    controls.reserve(settings->size());
    for (const auto& [key, description] : *settings) {
        auto control = std::make_shared<velmora::ZEMAUI>(velmora::ui::Rect::make(0, 0, 500, 72));
        control->setControlDictionary(
            std::shared_ptr<const Dictionary>(settings, description.dictionary()), nullptr);
        control->setUISettings(settings);
        control->createControls();
        controls.push_back(std::move(control));
    }
    // What the controls left for the dialog's next pass runs as part of their building, as it
    // would under the dialog; left queued, it would pile up across the runs.
    velmora::ui::Application::shared().runLoop().runPending(velmora::RunLoop::kModalPanelMode);
    return controls;
}

void BM_BuildControlsOfUISettingsFile(benchmark::State& state) {
    std::string path = writeSettingsFile();
    PeakMemory peak;
    for (auto _ : state)
        benchmark::DoNotOptimize(buildControls(path));
    peak.report(state);
}
BENCHMARK(BM_BuildControlsOfUISettingsFile)->Unit(benchmark::kMillisecond);

// 1x, 4x and 16x 32 options.
void BM_BuildControlsGrowth(benchmark::State& state) {
    std::string path = writeSettingsFile(32 * static_cast<int>(state.range(0)));
    PeakMemory peak;
    for (auto _ : state)
        benchmark::DoNotOptimize(buildControls(path));
    peak.report(state);
}
BENCHMARK(BM_BuildControlsGrowth)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

} // namespace
