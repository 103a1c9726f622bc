#include "webservice/HttpCookie.h"

#include <string>
#include <vector>

// Set-Cookie lines come from the print server: any lines, for a name and for an address.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
        lines.push_back(text.substr(from, at - from));
    lines.push_back(text.substr(from));
    for (const char* host : {"press.example", "127.0.0.1", "[::1]"}) {
        auto cookies = velmora::HttpCookie::setByAnswer(lines, host, 1800000000);
        (void)velmora::HttpCookie::headerValue(cookies, 1800000000);
    }
    return 0;
}
