#pragma once

#include "validation/LimitFormatter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

namespace ui {
class Control;
}

// Attach a limiting formatter (minimum 0) to a field and show the limit in its placeholder and
// tool tip ("placeholderFormat" holds one %d). Nothing happens without a field.
std::shared_ptr<LimitFormatter>
attachMaxBytesFormatter(ui::TextField* field, std::uint32_t maxBytes,
                        const std::optional<std::string>& placeholderFormat,
                        const std::optional<icu::UnicodeSet>& allowed);
std::shared_ptr<LimitFormatter>
attachMaxBytesFormatterWithEscape(ui::TextField* field, std::uint32_t maxBytes,
                                  const std::optional<std::string>& placeholderFormat,
                                  const std::optional<icu::UnicodeSet>& allowed);
std::shared_ptr<LimitFormatter>
attachMaxLengthFormatter(ui::TextField* field, std::uint32_t maxLength,
                         const std::optional<std::string>& placeholderFormat,
                         const std::optional<icu::UnicodeSet>& allowed);
std::shared_ptr<LimitFormatter>
attachMaxLengthFormatterWithEscape(ui::TextField* field, std::uint32_t maxLength,
                                   const std::optional<std::string>& placeholderFormat,
                                   const std::optional<icu::UnicodeSet>& allowed);
// The standard escape rules, in the order the user's language asks for.
void attachEscapeRule(LimitFormatter& formatter);
void setPlaceholderStringAndToolTip(ui::Control* control, std::int64_t number,
                                    const std::optional<std::string>& format);

} // namespace velmora
