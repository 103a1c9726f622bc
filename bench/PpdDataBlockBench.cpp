// Reading a 16 MiB server list from its PPD, next to libcups parsing the same PPD plus one
// zlib inflate of the same compressed bytes.

#include "PeakMemory.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/FileUtil.h"
#include "platform/foundation/PropertyList.h"
#include "ppd/PpdDataBlock.h"

#include <benchmark/benchmark.h>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>

namespace {

const std::string kDir = (std::filesystem::temp_directory_path() / "velmora-bench-ppd").string();
constexpr std::size_t kListBytes = 15u << 20; // just under the 16 MiB ceiling once inflated

// The PPD holding a list of about `bytes` and the list's compressed bytes on their own.
struct ListFiles {
    std::string ppd, compressed;
};

ListFiles listFiles(std::size_t bytes) {
    std::string stem = kDir + "/list-" + std::to_string(bytes);
    return {stem + ".ppd", stem + ".z"};
}

// A resource list like the server's: [display name, file name] pairs, about `bytes` long in XML.
std::string listXml(std::size_t bytes) {
    constexpr std::size_t kMarkupPerItem = 64; // the array and string tags around one pair
    velmora::Array list;
    for (std::size_t i = 0, size = 0; size < bytes; ++i) {
        std::string name = "Imposition template " + std::to_string(i);
        std::string file = "imposition/template-" + std::to_string(i * 7919 % 100003) + ".json";
        size += name.size() + file.size() + kMarkupPerItem;
        list.push_back(velmora::Value(
            velmora::Array{velmora::Value(std::move(name)), velmora::Value(std::move(file))}));
    }
    return *velmora::PropertyList::toXml(velmora::Value(std::move(list)));
}

ListFiles makeFiles(std::size_t bytes = kListBytes) {
    ListFiles files = listFiles(bytes);
    if (velmora::FileSystem::exists(files.ppd))
        return files;
    velmora::FileSystem::createFolder(kDir, 0755);
    std::string xml = listXml(bytes);
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
    velmora::FileUtil::writeFileAtomically(files.ppd, ppd);
    velmora::FileUtil::writeFileAtomically(files.compressed, z);
    return files;
}

std::size_t itemsRead(const std::string& path) {
    ppd_file_t* ppd = ppdOpenFile(path.c_str());
    auto list = velmora::PpdDataBlock::readList(ppd, "JobResource-IMPOSITION");
    ppdClose(ppd);
    return list && list->array() ? list->array()->size() : 0;
}

void BM_ReadListFromPpd(benchmark::State& state) {
    ListFiles files = makeFiles();
    std::size_t items = 0;
    PeakMemory peak;
    for (auto _ : state)
        items = itemsRead(files.ppd);
    state.counters["items"] = static_cast<double>(items);
    peak.report(state);
}
BENCHMARK(BM_ReadListFromPpd)->Unit(benchmark::kMillisecond);

// Lists of 1x, 4x and 16x a sixteenth of the list above.
void BM_ReadListGrowth(benchmark::State& state) {
    ListFiles files = makeFiles(kListBytes / 16 * static_cast<std::size_t>(state.range(0)));
    PeakMemory peak;
    for (auto _ : state)
        benchmark::DoNotOptimize(itemsRead(files.ppd));
    peak.report(state);
}
BENCHMARK(BM_ReadListGrowth)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_InflateBlockOnly(benchmark::State& state) {
    ListFiles files = makeFiles();
    std::size_t inflated = 0;
    PeakMemory peak;
    for (auto _ : state) {
        ppd_file_t* ppd = ppdOpenFile(files.ppd.c_str());
        inflated = velmora::PpdDataBlock::read(ppd, "JobResource-IMPOSITION")->size();
        ppdClose(ppd);
    }
    state.counters["inflated_MiB"] = static_cast<double>(inflated) / (1 << 20);
    peak.report(state);
}
BENCHMARK(BM_InflateBlockOnly)->Unit(benchmark::kMillisecond);

void BM_LibcupsParsePlusOneInflate(benchmark::State& state) {
    ListFiles files = makeFiles();
    std::string z = *velmora::FileUtil::readFile(files.compressed, 1u << 30);
    PeakMemory peak;
    for (auto _ : state) {
        ppd_file_t* ppd = ppdOpenFile(files.ppd.c_str());
        std::string out(velmora::PpdDataBlock::kCeiling, '\0');
        uLongf size = static_cast<uLongf>(out.size());
        uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                   reinterpret_cast<const Bytef*>(z.data()), static_cast<uLong>(z.size()));
        benchmark::DoNotOptimize(size);
        ppdClose(ppd);
    }
    peak.report(state);
}
BENCHMARK(BM_LibcupsParsePlusOneInflate)->Unit(benchmark::kMillisecond);

} // namespace
