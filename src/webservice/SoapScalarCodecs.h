#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>

// The scalar values of the web service's messages as text: Booleans, numbers and binary data
// (dates have a codec of their own).
namespace velmora::SoapScalarCodecs {

// "true" or "false"; any other text has no value.
std::optional<bool> boolean(std::string_view text);
std::string booleanText(bool value);
// A decimal number (leading white space and sign allowed); no value without digits.
std::optional<double> number(std::string_view text);
// Base64 text (white space between the characters ignored); no value when it is not Base64.
std::optional<Data> binary(std::string_view text);
std::string binaryText(const Data& bytes);

} // namespace velmora::SoapScalarCodecs
