#include "platform/printing/PrintSettings.h"

#include <charconv>

namespace velmora {

const Value* PrintSettings::value(const std::string& key) const {
    return _values.find(key);
}

void PrintSettings::setValue(const std::string& key, const Value& value, bool locked) {
    if (_locked.contains(key))
        return;
    if (value.isNull())
        _values.remove(key);
    else
        _values.set(key, value);
    if (locked)
        _locked.set(key, Value(true));
}

void PrintSettings::unlock(const std::string& key) {
    _locked.remove(key);
}

// A job is collated unless it was set otherwise.
bool PrintSettings::collate() const {
    const Value* found = value(kCollateKey);
    return !found || found->boolValue();
}

void PrintSettings::setCollate(bool collate) {
    setValue(kCollateKey, Value(collate));
}

std::optional<int> PrintSettings::copiesOfText(std::string_view text) {
    int copies = 0;
    auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), copies);
    if (problem != std::errc() || end != text.data() + text.size() || !isCopiesCount(copies))
        return std::nullopt;
    return copies;
}

int PrintSettings::copies() const {
    const Value* found = value(kCopiesKey);
    return found && isCopiesCount(found->integerValue()) ? static_cast<int>(found->integerValue())
                                                         : 1;
}

void PrintSettings::setCopies(int copies) {
    setValue(kCopiesKey, Value(static_cast<std::int64_t>(copies)));
}

int PrintSettings::duplexing() const {
    const Value* found = value(kDuplexingKey);
    return found ? static_cast<int>(found->integerValue()) : kDuplexNone;
}

void PrintSettings::setDuplexing(int duplexing) {
    setValue(kDuplexingKey, Value(static_cast<std::int64_t>(duplexing)));
}

void PrintSettings::clear() {
    _values.clear();
    _locked.clear();
}

} // namespace velmora
