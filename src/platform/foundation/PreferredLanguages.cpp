#include "platform/foundation/PreferredLanguages.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace velmora::PreferredLanguages {

std::string codeFromLocale(const std::string& locale) {
    std::string code = locale.substr(0, locale.find_first_of(".@"));
    if (code == "C" || code == "POSIX")
        return "en";
    std::replace(code.begin(), code.end(), '_', '-');
    return code;
}

std::vector<std::string> current() {
    std::vector<std::string> languages;
    const char* list = std::getenv("LANGUAGE");
    if (list && *list) {
        std::stringstream stream(list);
        std::string item;
        while (std::getline(stream, item, ':')) {
            std::string code = codeFromLocale(item);
            if (!code.empty())
                languages.push_back(code);
        }
    }
    if (languages.empty()) {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(name);
            if (value && *value) {
                languages.push_back(codeFromLocale(value));
                break;
            }
        }
    }
    if (languages.empty() || languages.front().empty())
        languages.assign({"en"});
    return languages;
}

std::string first() {
    return current().front();
}

} // namespace velmora::PreferredLanguages
