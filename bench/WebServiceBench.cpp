// Decoding a 50,000-record answer of the print server, next to libxml2 parsing the same bytes.

#include "PeakMemory.h"
#include "webservice/PrintServiceSoap.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

namespace {

std::string answer(int records) {
    std::string items;
    items.reserve(static_cast<std::size_t>(records) * 260);
    for (int i = 0; i < records; ++i) {
        std::string n = std::to_string(i);
        items += "<item xsi:type=\"PrintService:PropDict\" d=\"0\">"
                 "<item key=\"Name\"><val xsi:type=\"xsd:string\">Profile " +
                 n +
                 "</val></item>"
                 "<item key=\"Comment\"><val xsi:type=\"xsd:string\">Coated stock " +
                 n +
                 "</val></item>"
                 "<item key=\"UpdatedDateTime\"><val "
                 "xsi:type=\"xsd:string\">2026-12-06T10:00:00</val></item>"
                 "<item key=\"Type\"><val xsi:type=\"xsd:string\">ICC</val></item></item>";
    }
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
           "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:PrintService=\"kv:zema\"><soap:Body><getOutputProfileListResponse "
           "xmlns=\"kv:zema\"><resInfo d=\"0\">" +
           items +
           "</resInfo><status>OK</status></getOutputProfileListResponse></soap:Body></"
           "soap:Envelope>";
}

std::size_t decodedRecords(const std::string& bytes) {
    auto response = velmora::PrintServiceSoap::decodeAnswer(
        velmora::PrintServiceOperation::getOutputProfileList, bytes);
    const auto* list = velmora::itemsOf(*response.message()->field("resInfo"));
    return list ? list->size() : 0;
}

void BM_DecodeAnswer50000Records(benchmark::State& state) {
    std::string bytes = answer(50000);
    std::size_t records = 0;
    PeakMemory peak;
    for (auto _ : state)
        records = decodedRecords(bytes);
    state.counters["records"] = static_cast<double>(records);
    state.counters["answer_MiB"] = static_cast<double>(bytes.size()) / (1 << 20);
    peak.report(state);
}
BENCHMARK(BM_DecodeAnswer50000Records)->Unit(benchmark::kMillisecond);

// 1x, 4x and 16x a sixteenth of the answer above: time and memory should grow in step.
void BM_DecodeAnswerGrowth(benchmark::State& state) {
    std::string bytes = answer(3125 * static_cast<int>(state.range(0)));
    PeakMemory peak;
    for (auto _ : state)
        benchmark::DoNotOptimize(decodedRecords(bytes));
    state.counters["answer_MiB"] = static_cast<double>(bytes.size()) / (1 << 20);
    peak.report(state);
}
BENCHMARK(BM_DecodeAnswerGrowth)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_Libxml2ParseOnly50000Records(benchmark::State& state) {
    std::string bytes = answer(50000);
    PeakMemory peak;
    for (auto _ : state) {
        xmlDoc* doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "answer.xml",
                                    nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    peak.report(state);
}
BENCHMARK(BM_Libxml2ParseOnly50000Records)->Unit(benchmark::kMillisecond);

} // namespace
