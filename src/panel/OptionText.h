#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>

// The text of an option's value as the panel and its windows read and write it: null for no
// value, so that an option nobody set is not written as an empty text.
namespace velmora::optiontext {

inline std::optional<std::string> textOf(const Value* value) {
    if (!value || value->isNull())
        return std::nullopt;
    return value->stringValue();
}

inline bool isEmpty(const std::optional<std::string>& text) {
    return !text || text->empty();
}

inline void setIfValue(Dictionary& options, const std::string& key,
                       const std::optional<std::string>& value) {
    if (value)
        options.set(key, Value(*value));
}

} // namespace velmora::optiontext
