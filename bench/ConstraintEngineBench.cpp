// One user change on a 500-option settings file with realistic constraints, next to setting the
// same number of values without validation.

#include "PeakMemory.h"
#include "common/NotifyUnit.h"
#include "controls/ZEMAMgr.h"
#include "controls/ZEMAUI.h"
#include "platform/ui/PopUpButton.h"

#include <benchmark/benchmark.h>

namespace {

using velmora::Array;
using velmora::Dictionary;
using velmora::Value;

std::string key(int i) {
    return "Option" + std::to_string(i);
}

Value choices(std::initializer_list<const char*> values) {
    Array list;
    for (const char* v : values)
        list.push_back(Value(Dictionary{{"choice", v}, {"text", std::string("Text ") + v}}));
    return Value(std::move(list));
}

// Fifty groups of ten pop-ups. The first option of a group is its mode: "On" enables the other
// nine and the next group's mode, "Off" disables them and sets the next mode off along. Every
// option conflicts with its neighbour in one value and hides another in one value.
Dictionary settingsFile(int options = 500) {
    Dictionary file;
    for (int i = 0; i < options; ++i) {
        Dictionary d{{"mainKeyword", key(i)},
                     {"control_type", "PopupButton"},
                     {"text", key(i)},
                     {"default", "On"},
                     {"choices", choices({"On", "Off", "Auto"})}};
        if (i % 10 == 0) {
            Dictionary on, off;
            for (int j = i + 1; j < i + 10; ++j) {
                on.set(key(j), true);
                off.set(key(j), false);
            }
            if (i + 10 < options) {
                on.set(key(i + 10), true);
                d.set("cooperation", Dictionary{{"Off", Dictionary{{key(i + 10), "Off"}}},
                                                {"On", Dictionary{{key(i + 10), "On"}}}});
            }
            d.set("condition", Dictionary{{"On", on}, {"Off", off}});
        } else {
            d.set("conflict",
                  Dictionary{
                      {"Auto", Dictionary{{key(i - 1),
                                           Dictionary{{"Off", Dictionary{{"restore", "On"}}}}}}}});
            d.set("hide", Dictionary{{"Auto", Dictionary{{key((i + 5) % options), true}}}});
        }
        file.set(key(i), std::move(d));
    }
    return file;
}

struct Panel {
    velmora::NotificationCenter center;
    std::unique_ptr<velmora::ZEMAMgr> mgr;
    std::vector<std::shared_ptr<velmora::ZEMAUI>> controls;

    explicit Panel(int options = 500) {
        velmora::NotifyUnit::setCenter(&center);
        mgr = std::make_unique<velmora::ZEMAMgr>();
        auto settings = std::make_shared<const Dictionary>(settingsFile(options));
        for (const auto& [name, description] : *settings) {
            auto control =
                std::make_shared<velmora::ZEMAUI>(velmora::ui::Rect::make(0, 0, 500, 72));
            control->setControlDictionary(*description.dictionary(), nullptr);
            control->setUISettings(settings);
            control->createControls();
            mgr->addControl(control);
            controls.push_back(control);
        }
        for (const auto& keyword : mgr->keywords())
            mgr->updateOldValue(keyword);
    }
    ~Panel() {
        mgr.reset();
        velmora::NotifyUnit::setCenter(nullptr);
    }
};

void BM_OneValidatedChange(benchmark::State& state) {
    Panel panel;
    PeakMemory peak;
    bool off = true;
    std::uint64_t sequences = 0;
    for (auto _ : state) {
        std::uint64_t before = panel.mgr->sequencesRun();
        auto popUp = panel.controls[0]->popUpButton();
        popUp->selectItemByUser(off ? 1 : 0); // the user switches the first mode
        off = !off;
        sequences += panel.mgr->sequencesRun() - before;
    }
    state.counters["sequences_per_change"] = benchmark::Counter(
        static_cast<double>(sequences) / static_cast<double>(state.iterations()));
    peak.report(state);
}
BENCHMARK(BM_OneValidatedChange)->Unit(benchmark::kMicrosecond);

void BM_SetValuesWithoutValidation(benchmark::State& state) {
    Panel panel;
    PeakMemory peak;
    bool off = true;
    for (auto _ : state) {
        for (const auto& keyword : panel.mgr->keywords())
            panel.mgr->setStringValue(keyword, std::string(off ? "Off" : "On"));
        off = !off;
    }
    state.counters["values_per_iteration"] = static_cast<double>(panel.mgr->keywords().size());
    peak.report(state);
}
BENCHMARK(BM_SetValuesWithoutValidation)->Unit(benchmark::kMicrosecond);

// The same change on 1, 4 and 16 times the options: the time should grow in proportion.
void BM_OneValidatedChangeGrowth(benchmark::State& state) {
    Panel panel(static_cast<int>(state.range(0)) * 500);
    bool off = true;
    std::uint64_t before = panel.mgr->sequencesRun();
    for (auto _ : state) {
        panel.controls[0]->popUpButton()->selectItemByUser(off ? 1 : 0);
        off = !off;
    }
    // Sequences in proportion to the options mean that any faster growth is the cost per sequence.
    state.counters["sequences_per_change"] =
        benchmark::Counter(static_cast<double>(panel.mgr->sequencesRun() - before) /
                           static_cast<double>(state.iterations()));
    state.counters["options"] = static_cast<double>(panel.controls.size());
}
BENCHMARK(BM_OneValidatedChangeGrowth)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);

} // namespace
