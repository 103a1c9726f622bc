// velmora-command: the CUPS filter that carries out the press's printer commands. A command
// file ("#CUPS-COMMAND", then one command per line) with "ReportLevels NAME…" fetches each named
// list from the print server's web service and writes it into the queue's PPD as a data block,
// through the scheduler's PPD keyword messages on standard error.
//
// The print server is the host of the queue's device URI, or the PPD's *VelmoraPrintServer
// ("host" or "host:port"), which also names a server the device URI cannot. A list the server
// does not give leaves the PPD as it was; the lists that failed, with the reasons, are kept in the
// PPD's *VelmoraListsFailed (empty when every list came), where the one who asked reads them.
//
// Whoever may print can send a command file, and the print server speaks plain HTTP, so every
// line written to the scheduler goes through FilterMessage: none can start a message of its own
// or make a PPD line that libcups would refuse. The PPD's *VelmoraPrintServerTimeout is the time
// the whole job may take, however many lists it asks for.

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/SystemLog.h"
#include "platform/printing/CommandFile.h"
#include "platform/printing/FilterMessage.h"
#include "ppd/PpdDataBlock.h"
#include "ppd/PpdDataBlockWriter.h"
#include "webservice/ListRefreshRequest.h"
#include "webservice/ServerListSource.h"
#include "webservice/WebServiceClient.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/http.h>
#include <cups/ppd.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;
using Level = FilterMessage::Level;

constexpr double kDefaultTimeout = 20;
constexpr double kMaxTimeout = 3600;
constexpr unsigned kMaxWorkers = 4;
// A data block's parts are numbered with four hexadecimal digits.
constexpr std::size_t kMaxBlockParts = 0x10000;
// What one job may add to the queue's PPD, all lists together: the scheduler rewrites the PPD
// with every keyword, and everyone who opens the queue reads it.
constexpr std::size_t kMaxJobPpdBytes = 8u << 20;

struct Server {
    std::string host;
    int port = WebServiceClient::kServicePort;
    double timeout = kDefaultTimeout;
};

void ignoreParserMessage(void*, const char*, ...) {}
void ignoreStructuredParserMessage(void*, xmlErrorPtr) {}

void say(Level level, const std::string& text) {
    FilterMessage::emit(FilterMessage::line(level, "velmora-command: " + text));
}

Result<std::string> readCommandFile(int argc, char** argv) {
    if (argc <= 6)
        return CommandFile::read(std::cin);
    std::ifstream file(argv[6], std::ios::binary);
    if (!file)
        return Failure{"the command file cannot be opened"};
    return CommandFile::read(file);
}

std::optional<std::string> attribute(ppd_file_t* ppd, const char* name) {
    ppd_attr_t* found = ppd ? ppdFindAttr(ppd, name, nullptr) : nullptr;
    return found && found->value ? std::optional<std::string>(found->value) : std::nullopt;
}

// The time the whole job may take: the PPD's time-out when it is a number within bounds.
double budget(ppd_file_t* ppd) {
    auto configured = attribute(ppd, "VelmoraPrintServerTimeout");
    if (!configured)
        return kDefaultTimeout;
    char* end = nullptr;
    double seconds = std::strtod(configured->c_str(), &end);
    if (end == configured->c_str() || !std::isfinite(seconds))
        return kDefaultTimeout;
    return std::clamp(seconds, 0.5, kMaxTimeout);
}

std::optional<Server> printServer(ppd_file_t* ppd) {
    Server server;
    if (auto configured = attribute(ppd, "VelmoraPrintServer")) {
        auto colon = configured->rfind(':');
        bool hasPort = colon != std::string::npos && configured->find(':') == colon;
        server.host = hasPort ? configured->substr(0, colon) : *configured;
        if (hasPort)
            server.port = std::atoi(configured->c_str() + colon + 1);
    } else if (const char* uri = std::getenv("DEVICE_URI")) {
        char scheme[32], user[256], host[256], resource[1024];
        int port = 0;
        if (httpSeparateURI(HTTP_URI_CODING_ALL, uri, scheme, sizeof scheme, user, sizeof user,
                            host, sizeof host, &port, resource,
                            sizeof resource) >= HTTP_URI_STATUS_OK)
            server.host = host;
    }
    server.timeout = budget(ppd);
    if (server.host.empty() || server.port <= 0 || server.port > 65535)
        return std::nullopt;
    return server;
}

// The parts of the block the PPD holds now; parts emptied by an earlier, shorter list end it.
unsigned existingAttributes(ppd_file_t* ppd, const std::string& name) {
    unsigned count = 0;
    while (count < kMaxBlockParts) {
        auto part = attribute(ppd, PpdDataBlock::attributeName(name, count).c_str());
        if (!part || part->empty())
            break;
        ++count;
    }
    return count;
}

// The scheduler's keyword messages for a block ("*Name0000: \"…\"" lines); attributes the old
// block used beyond the new one are emptied, so that no stale tail is read with the new stream.
// Null when a line would not be a plain PPD line or the block has more parts than can be named.
std::optional<std::vector<std::string>> blockMessages(const std::string& name,
                                                      const std::string& bytes, unsigned before) {
    std::istringstream lines(PpdDataBlockWriter::blockLines(name, bytes));
    std::vector<std::string> messages;
    for (std::string line; std::getline(lines, line);) {
        auto colon = line.find(": \"");
        if (line.size() < 2 || line[0] != '*' || colon == std::string::npos || line.back() != '"')
            return std::nullopt;
        std::string value = line.substr(colon + 3, line.size() - colon - 4);
        auto message = FilterMessage::ppdKeyword(line.substr(1, colon - 1), value);
        if (!message || messages.size() >= kMaxBlockParts)
            return std::nullopt;
        messages.push_back(std::move(*message));
    }
    for (auto index = static_cast<unsigned>(messages.size()); index < before; ++index)
        messages.push_back(
            *FilterMessage::ppdKeyword(PpdDataBlock::attributeName(name, index), ""));
    return messages;
}

struct Outcome {
    std::optional<std::string> bytes; // the list as a property list
    std::string failure;
};

Outcome fetchList(const Server& server, const std::string& name, Clock::time_point deadline) {
    Outcome outcome;
    double left = std::chrono::duration<double>(deadline - Clock::now()).count();
    if (left < 0.05) {
        outcome.failure = "no time was left of the job's " +
                          std::to_string(static_cast<int>(server.timeout)) + " s";
        return outcome;
    }
    // Whatever a server answers, one list's failure must not end the job for the others.
    try {
        WebServiceClient client(server.port, left);
        auto list = ServerListSource::fetch(client, server.host, name, &outcome.failure);
        if (!list)
            return outcome;
        std::string error;
        outcome.bytes = PropertyList::toXml(*list, &error);
        if (!outcome.bytes) {
            outcome.failure = "the list cannot be written: " + error;
        } else if (outcome.bytes->size() > PpdDataBlockWriter::kMaxListBytes) {
            outcome.bytes.reset();
            outcome.failure = "the list is larger than the 16 MiB a list may take";
        }
    } catch (const std::exception& problem) {
        outcome.bytes.reset();
        outcome.failure = std::string("the list cannot be read: ") + problem.what();
    }
    return outcome;
}

// Every list fetched by a few workers at once, all within one deadline.
std::vector<Outcome> fetchAll(const Server& server, const std::vector<std::string>& names) {
    std::vector<Outcome> outcomes(names.size());
    auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(server.timeout));
    std::atomic<std::size_t> next = 0;
    auto work = [&] {
        for (std::size_t i = next++; i < names.size(); i = next++)
            outcomes[i] = fetchList(server, names[i], deadline);
    };
    std::vector<std::thread> workers;
    unsigned count = std::min<unsigned>(kMaxWorkers, static_cast<unsigned>(names.size()));
    for (unsigned i = 1; i < count; ++i)
        workers.emplace_back(work);
    work();
    for (auto& worker : workers)
        worker.join();
    return outcomes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6 || argc > 7) {
        std::fputs("Usage: velmora-command job user title copies options [file]\n", stderr);
        return 1;
    }
    // The web service logs what servers answer; here that too must go out as bounded lines, and
    // the XML parser must not print on standard error of its own accord.
    SystemLog::setSink([](std::string_view line) { say(Level::Debug, std::string(line)); });
    xmlInitParser();
    xmlThrDefSetGenericErrorFunc(nullptr, ignoreParserMessage);
    xmlThrDefSetStructuredErrorFunc(nullptr, ignoreStructuredParserMessage);
    xmlSetGenericErrorFunc(nullptr, ignoreParserMessage);
    xmlSetStructuredErrorFunc(nullptr, ignoreStructuredParserMessage);
    auto text = readCommandFile(argc, argv);
    if (!text) {
        say(Level::Error, text.error());
        return 1;
    }
    auto request = ListRefreshRequest::parse(*text);
    for (const auto& line : request.skipped)
        FilterMessage::emit(line);

    const char* ppdPath = std::getenv("PPD");
    ppd_file_t* ppd = ppdPath ? ppdOpenFile(ppdPath) : nullptr;
    if (ppdPath && !ppd)
        say(Level::Warning, "the queue's PPD cannot be read; lists are written anew");
    auto server = printServer(ppd);
    std::vector<Outcome> outcomes;
    if (server)
        outcomes = fetchAll(*server, request.lists);
    else
        outcomes.assign(request.lists.size(),
                        Outcome{std::nullopt, "the queue names no print server"});

    std::vector<ListRefreshRequest::Failure> failures;
    std::size_t written = 0;
    for (std::size_t i = 0; i < request.lists.size(); ++i) {
        const std::string& name = request.lists[i];
        auto messages = outcomes[i].bytes
                            ? blockMessages(name, *outcomes[i].bytes, existingAttributes(ppd, name))
                            : std::nullopt;
        if (messages) {
            std::size_t bytes = 0;
            for (const auto& message : *messages)
                bytes += message.size();
            if (written + bytes > kMaxJobPpdBytes)
                messages.reset();
            else
                written += bytes;
        }
        if (!messages) {
            failures.push_back({name, outcomes[i].bytes ? "the lists of this job would make the "
                                                          "queue's PPD too large"
                                                        : outcomes[i].failure});
            say(Level::Debug,
                name + " not refreshed: " + FilterMessage::quoted(failures.back().reason, 300));
            continue;
        }
        for (const auto& message : *messages)
            FilterMessage::emit(message);
        say(Level::Debug, name + " refreshed");
    }
    if (ppd)
        ppdClose(ppd);
    // A job that asked for no list of the press leaves the PPD as it was.
    if (!request.lists.empty()) {
        std::string summary = ListRefreshRequest::failureSummary(
            failures, request.lists.size(), FilterMessage::maxPpdValueBytes("VelmoraListsFailed"));
        FilterMessage::emit(*FilterMessage::ppdKeyword("VelmoraListsFailed", summary));
    }
    say(Level::Info, std::to_string(request.lists.size() - failures.size()) + " of " +
                         std::to_string(request.lists.size()) + " lists refreshed");
    return 0;
}
