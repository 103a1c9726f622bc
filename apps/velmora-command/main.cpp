// velmora-command: the CUPS filter that carries out the press's printer commands. A command
// file ("#CUPS-COMMAND", then one command per line) with "ReportLevels NAME…" fetches each named
// list from the print server's web service and writes it into the queue's PPD as a data block,
// through the scheduler's PPD keyword messages on standard error.
//
// The print server is the host of the queue's device URI, or the PPD's *VelmoraPrintServer
// ("host" or "host:port"), which also names a server the device URI cannot. A list the server
// does not give leaves the PPD as it was; the lists that failed, with the reasons, are kept in the
// PPD's *VelmoraListsFailed (empty when every list came), where the one who asked reads them.

#include "platform/foundation/PropertyList.h"
#include "platform/printing/CommandFile.h"
#include "ppd/PpdDataBlock.h"
#include "ppd/PpdDataBlockWriter.h"
#include "webservice/ServerListSource.h"
#include "webservice/WebServiceClient.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/http.h>
#include <cups/ppd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace velmora;

constexpr std::size_t kMaxCommandFile = 64 * 1024;
constexpr double kDefaultTimeout = 20;

struct Server {
    std::string host;
    int port = WebServiceClient::kServicePort;
    double timeout = kDefaultTimeout;
};

std::string readCommandFile(int argc, char** argv) {
    std::string text;
    std::ifstream file;
    std::istream* in = &std::cin;
    if (argc > 6) {
        file.open(argv[6], std::ios::binary);
        in = &file;
    }
    char buffer[4096];
    while (text.size() < kMaxCommandFile && in->read(buffer, sizeof buffer), in->gcount() > 0)
        text.append(buffer, static_cast<std::size_t>(in->gcount()));
    return text.substr(0, kMaxCommandFile);
}

// The lists of every "ReportLevels" command; other commands are not this press's.
std::vector<std::string> requestedLists(const std::string& text) {
    auto commands = CommandFile::parse(text);
    for (const auto& command : commands)
        if (command.name != "ReportLevels")
            std::fprintf(stderr, "DEBUG: velmora-command: \"%s\" is not a command of this press\n",
                         command.name.c_str());
    return CommandFile::reportLevelsLists(commands);
}

std::optional<std::string> attribute(ppd_file_t* ppd, const char* name) {
    ppd_attr_t* found = ppd ? ppdFindAttr(ppd, name, nullptr) : nullptr;
    return found && found->value ? std::optional<std::string>(found->value) : std::nullopt;
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
    if (auto timeout = attribute(ppd, "VelmoraPrintServerTimeout"))
        server.timeout = std::max(0.5, std::atof(timeout->c_str()));
    if (server.host.empty() || server.port <= 0)
        return std::nullopt;
    return server;
}

unsigned existingAttributes(ppd_file_t* ppd, const std::string& name) {
    unsigned count = 0;
    while (count < 10000 && attribute(ppd, PpdDataBlock::attributeName(name, count).c_str()))
        ++count;
    return count;
}

// "*Name0000: \"…\"" lines become the scheduler's keyword messages; attributes the old block
// used beyond the new one are emptied, so that no stale tail is read with the new stream.
void writeBlock(const std::string& name, const std::string& bytes, unsigned before) {
    std::istringstream lines(PpdDataBlockWriter::blockLines(name, bytes));
    std::string line;
    unsigned written = 0;
    while (std::getline(lines, line)) {
        auto colon = line.find(": ");
        if (line.size() < 2 || line[0] != '*' || colon == std::string::npos)
            continue;
        std::fprintf(stderr, "PPD: %s='%s'\n", line.substr(1, colon - 1).c_str(),
                     line.substr(colon + 2).c_str());
        ++written;
    }
    for (unsigned index = written; index < before; ++index)
        std::fprintf(stderr, "PPD: %s='\"\"'\n", PpdDataBlock::attributeName(name, index).c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr, "usage: velmora-command job user title copies options [file]\n");
        return 1;
    }
    auto names = requestedLists(readCommandFile(argc, argv));
    const char* ppdPath = std::getenv("PPD");
    ppd_file_t* ppd = ppdPath ? ppdOpenFile(ppdPath) : nullptr;
    auto server = printServer(ppd);
    std::string failed;
    unsigned refreshed = 0;
    for (const auto& name : names) {
        std::string failure = "the queue names no print server";
        std::optional<Value> list;
        if (server && PpdDataBlockWriter::isUsableName(name)) {
            WebServiceClient client(server->port, server->timeout);
            list = ServerListSource::fetch(client, server->host, name, &failure);
        } else if (server) {
            failure = "not a list name";
        }
        std::string error;
        auto bytes = list ? PropertyList::toXml(*list, &error) : std::nullopt;
        if (!bytes) {
            failed += (failed.empty() ? "" : "; ") + name + " (" + failure + ")";
            continue;
        }
        writeBlock(name, *bytes, existingAttributes(ppd, name));
        std::fprintf(stderr, "DEBUG: velmora-command: %s refreshed\n", name.c_str());
        ++refreshed;
    }
    if (ppd)
        ppdClose(ppd);
    // The scheduler writes the value between the quotes as it stands: no quotes inside.
    for (char& c : failed)
        if (c == '"' || c == '\'' || c == '\n' || c == '\r')
            c = ' ';
    std::fprintf(stderr, "PPD: VelmoraListsFailed='\"%s\"'\n", failed.c_str());
    std::fprintf(stderr, "INFO: velmora-command: %u of %zu lists refreshed\n", refreshed,
                 names.size());
    return 0;
}
