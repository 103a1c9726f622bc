// Reading and writing property lists of the size of a large UI-settings file.

#include "platform/foundation/PropertyList.h"

#include <benchmark/benchmark.h>

namespace {

velmora::Value optionFile(int options) {
    velmora::Dictionary file;
    for (int i = 0; i < options; ++i) {
        velmora::Array choices;
        for (int c = 0; c < 6; ++c)
            choices.push_back(velmora::Value("Choice" + std::to_string(c)));
        file.set("Option" + std::to_string(i),
                 velmora::Dictionary{{"type", "popup"},
                                     {"title", "Option title " + std::to_string(i)},
                                     {"choice", choices},
                                     {"default", "Choice0"},
                                     {"enable", true}});
    }
    return velmora::Value(std::move(file));
}

void BM_ParseXml(benchmark::State& state) {
    std::string xml = *velmora::PropertyList::toXml(optionFile(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora::PropertyList::parse(xml));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * xml.size()));
}
BENCHMARK(BM_ParseXml)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_WriteXml(benchmark::State& state) {
    velmora::Value value = optionFile(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora::PropertyList::toXml(value));
}
BENCHMARK(BM_WriteXml)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace
