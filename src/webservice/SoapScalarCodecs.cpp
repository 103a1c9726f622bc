#include "webservice/SoapScalarCodecs.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/NumberText.h"

#include <cctype>

namespace velmora::SoapScalarCodecs {

std::optional<bool> boolean(std::string_view text) {
    if (text == "true")
        return true;
    if (text == "false")
        return false;
    return std::nullopt;
}

std::string booleanText(bool value) {
    return value ? "true" : "false";
}

std::optional<double> number(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    bool digits = at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) ||
                                       (text[at] == '.' && at + 1 < text.size() &&
                                        std::isdigit(static_cast<unsigned char>(text[at + 1]))));
    if (!digits)
        return std::nullopt;
    return NumberText::leadingReal(text);
}

std::optional<Data> binary(std::string_view text) {
    return Base64::decode(text);
}

std::string binaryText(const Data& bytes) {
    return Base64::encode(bytes);
}

} // namespace velmora::SoapScalarCodecs
