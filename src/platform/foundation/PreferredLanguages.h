#pragma once

#include <string>
#include <vector>

namespace velmora::PreferredLanguages {

// The user's preferred languages, most preferred first, as language codes such as "fr",
// "de-CH" or "ja". Taken from LANGUAGE (a colon-separated list), else the first of LC_ALL,
// LC_MESSAGES and LANG that is set; "C", "POSIX" and nothing at all mean English.
std::vector<std::string> current();
// The first entry of current().
std::string first();
// "fr_FR.UTF-8@euro" → "fr-FR"; "C" and "POSIX" → "en"; "" stays "".
std::string codeFromLocale(const std::string& locale);

} // namespace velmora::PreferredLanguages
