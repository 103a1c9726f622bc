#pragma once

#include <string>

namespace velmora {

// The print dialog's own texts (its copies strip, buttons and messages) in the person's
// language: English, or Japanese when that comes first among the preferred languages.
std::string hostText(const std::string& english);

} // namespace velmora
