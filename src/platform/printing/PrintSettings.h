#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The settings of one print job as the print dialog keeps them: typed values by key. The
// panel's own entries, the host's copies and collate, the duplex mode and the input tray all
// live here.
class PrintSettings {
public:
    static constexpr const char* kCopiesKey = "com.apple.print.PrintSettings.PMCopies";
    static constexpr const char* kCollateKey = "com.apple.print.PrintSettings.PMCollate";
    static constexpr const char* kDuplexingKey = "com.apple.print.PrintSettings.PMDuplexing";

    // Duplexing values.
    static constexpr int kDuplexNone = 1;
    static constexpr int kDuplexNoTumble = 2;
    static constexpr int kDuplexTumble = 3;

    // Null when the key is not set.
    const Value* value(const std::string& key) const;
    // A null value removes the key. A locked key keeps its value until it is unlocked.
    void setValue(const std::string& key, const Value& value, bool locked = false);
    void unlock(const std::string& key);

    bool collate() const;
    void setCollate(bool collate);
    // A job has 1 to 9,999 copies, on every path that sets them.
    static constexpr int kMinCopies = 1, kMaxCopies = 9999;
    static bool isCopiesCount(std::int64_t copies) {
        return copies >= kMinCopies && copies <= kMaxCopies;
    }
    // The number of copies a text names, when it is that number and nothing else.
    static std::optional<int> copiesOfText(std::string_view text);
    int copies() const;
    void setCopies(int copies);
    int duplexing() const;
    void setDuplexing(int duplexing);

    const Dictionary& entries() const { return _values; }
    void clear();

private:
    Dictionary _values;
    Dictionary _locked;
};

} // namespace velmora
