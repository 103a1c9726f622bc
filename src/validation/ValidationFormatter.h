#pragma once

#include "validation/MaxBytesFormatter.h"

#include <cstdint>
#include <optional>

namespace velmora {

// A byte-limited formatter that also checks the whole text when editing ends and shows its
// own message (as it stands, not localized) when the text is not valid.
class ValidationFormatter : public MaxBytesFormatterWithCharacterSet {
public:
    ValidationFormatter(std::uint32_t minBytes, std::uint32_t maxBytes, const icu::UnicodeSet& set,
                        std::optional<std::string> message);
    template <typename F = ValidationFormatter>
    static std::shared_ptr<F> setValidationFormatter(ui::TextField& field, std::uint32_t maxBytes,
                                                     const icu::UnicodeSet& set,
                                                     std::optional<std::string> message) {
        auto formatter = std::make_shared<F>(0, maxBytes, set, std::move(message));
        attach(field, formatter);
        return formatter;
    }

    virtual bool isValid(const std::string& text) const;
    bool controlTextShouldEndEditing(ui::TextField& field, ui::FieldEditor& editor) override;
    const std::optional<std::string>& messageString() const { return _message; }

private:
    std::optional<std::string> _message;
};

// A list of mail addresses separated by ";", "," or white space; any non-empty address counts.
class MailAddressFormatter : public ValidationFormatter {
public:
    MailAddressFormatter(std::uint32_t minBytes, std::uint32_t maxBytes, const icu::UnicodeSet& set,
                         std::optional<std::string> message);
    bool isValid(const std::string& text) const override;
    static bool checkOneAddress(const std::string& address) { return !address.empty(); }
};

// Page ranges such as "1-5,8", "-5" or "7-" between page 1 and 2^31 − 1.
class PageRangeFormatter : public ValidationFormatter {
public:
    using ValidationFormatter::ValidationFormatter;
    bool isValid(const std::string& text) const override;
    static bool isValidPageRange(const std::string& text, std::uint64_t min, std::uint64_t max);
};

} // namespace velmora
