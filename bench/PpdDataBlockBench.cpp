// Reading a 16 MiB server list from its PPD, next to libcups parsing the same PPD plus one
// zlib inflate of the same compressed bytes.

#include "platform/foundation/Base64.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/FileUtil.h"
#include "platform/foundation/PropertyList.h"
#include "ppd/PpdDataBlock.h"

#include <benchmark/benchmark.h>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>
#include <sys/resource.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>

namespace {

const std::string kDir = (std::filesystem::temp_directory_path() / "velmora-bench-ppd").string();
const std::string kPpd = kDir + "/list.ppd";
const std::string kCompressed = kDir + "/list.z";
constexpr std::size_t kListBytes = 15u << 20; // just under the 16 MiB ceiling once inflated

// A resource list like the server's: [display name, file name] pairs.
std::string listXml() {
    velmora::Array list;
    std::string xml;
    for (int i = 0; xml.size() < kListBytes; ++i) {
        list.push_back(velmora::Value(velmora::Array{
            velmora::Value("Imposition template " + std::to_string(i)),
            velmora::Value("imposition/template-" + std::to_string(i * 7919 % 100003) + ".json")}));
        if (i % 20000 == 0)
            xml = *velmora::PropertyList::toXml(velmora::Value(list));
    }
    return *velmora::PropertyList::toXml(velmora::Value(std::move(list)));
}

void makeFiles() {
    if (velmora::FileSystem::exists(kPpd))
        return;
    velmora::FileSystem::createFolder(kDir, 0755);
    std::string xml = listXml();
    uLongf size = compressBound(static_cast<uLong>(xml.size()));
    std::string z(size, '\0');
    compress2(reinterpret_cast<Bytef*>(z.data()), &size, reinterpret_cast<const Bytef*>(xml.data()),
              static_cast<uLong>(xml.size()), Z_DEFAULT_COMPRESSION);
    z.resize(size);
    std::string ppd =
        "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
        "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"B.PPD\"\n"
        "*Manufacturer: \"Velmora\"\n*Product: \"(Press)\"\n*ModelName: \"Press\"\n"
        "*ShortNickName: \"Press\"\n*NickName: \"Press\"\n";
    for (std::size_t at = 0, index = 0; at < z.size(); at += 150, ++index) {
        std::string part = z.substr(at, 150);
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "%04zX", index);
        ppd += std::string("*JobResource-IMPOSITION") + suffix + ": \"" +
               velmora::Base64::encode(std::vector<std::uint8_t>(part.begin(), part.end())) +
               "\"\n";
    }
    velmora::FileUtil::writeFileAtomically(kPpd, ppd);
    velmora::FileUtil::writeFileAtomically(kCompressed, z);
}

void reportPeak(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ReadListFromPpd(benchmark::State& state) {
    makeFiles();
    std::size_t items = 0;
    for (auto _ : state) {
        ppd_file_t* ppd = ppdOpenFile(kPpd.c_str());
        auto list = velmora::PpdDataBlock::readList(ppd, "JobResource-IMPOSITION");
        items = list && list->array() ? list->array()->size() : 0;
        ppdClose(ppd);
    }
    state.counters["items"] = static_cast<double>(items);
    reportPeak(state);
}
BENCHMARK(BM_ReadListFromPpd)->Unit(benchmark::kMillisecond);

void BM_InflateBlockOnly(benchmark::State& state) {
    makeFiles();
    std::size_t inflated = 0;
    for (auto _ : state) {
        ppd_file_t* ppd = ppdOpenFile(kPpd.c_str());
        inflated = velmora::PpdDataBlock::read(ppd, "JobResource-IMPOSITION")->size();
        ppdClose(ppd);
    }
    state.counters["inflated_MiB"] = static_cast<double>(inflated) / (1 << 20);
    reportPeak(state);
}
BENCHMARK(BM_InflateBlockOnly)->Unit(benchmark::kMillisecond);

void BM_LibcupsParsePlusOneInflate(benchmark::State& state) {
    makeFiles();
    std::string z = *velmora::FileUtil::readFile(kCompressed, 1u << 30);
    for (auto _ : state) {
        ppd_file_t* ppd = ppdOpenFile(kPpd.c_str());
        std::string out(velmora::PpdDataBlock::kCeiling, '\0');
        uLongf size = static_cast<uLongf>(out.size());
        uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                   reinterpret_cast<const Bytef*>(z.data()), static_cast<uLong>(z.size()));
        benchmark::DoNotOptimize(size);
        ppdClose(ppd);
    }
    reportPeak(state);
}
BENCHMARK(BM_LibcupsParsePlusOneInflate)->Unit(benchmark::kMillisecond);

} // namespace
