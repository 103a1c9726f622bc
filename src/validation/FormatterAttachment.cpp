#include "validation/FormatterAttachment.h"

#include "common/Localization.h"
#include "platform/foundation/StringFormat.h"
#include "validation/MaxBytesFormatter.h"
#include "validation/MaxLengthFormatter.h"

namespace velmora {
namespace {

template <LimitMeasure M>
std::shared_ptr<LimitFormatter> attachFamily(ui::TextField* field, std::uint32_t maximum,
                                             bool escape,
                                             const std::optional<std::string>& placeholderFormat,
                                             const std::optional<icu::UnicodeSet>& allowed) {
    if (!field)
        return nullptr;
    std::shared_ptr<LimitFormatter> formatter;
    if (escape && allowed)
        formatter =
            std::make_shared<MaxFormatterWithEscapeAndCharacterSet<M>>(0, maximum, *allowed);
    else if (escape)
        formatter = std::make_shared<MaxFormatterWithEscape<M>>(0, maximum);
    else if (allowed)
        formatter = std::make_shared<MaxFormatterWithCharacterSet<M>>(0, maximum, *allowed);
    else
        formatter = std::make_shared<MaxFormatter<M>>(0, maximum);
    LimitFormatter::attach(*field, formatter);
    if (escape)
        attachEscapeRule(*formatter);
    setPlaceholderStringAndToolTip(field, maximum, placeholderFormat);
    return formatter;
}

} // namespace

std::shared_ptr<LimitFormatter>
attachMaxBytesFormatter(ui::TextField* field, std::uint32_t maxBytes,
                        const std::optional<std::string>& placeholderFormat,
                        const std::optional<icu::UnicodeSet>& allowed) {
    return attachFamily<LimitMeasure::Bytes>(field, maxBytes, false, placeholderFormat, allowed);
}

std::shared_ptr<LimitFormatter>
attachMaxBytesFormatterWithEscape(ui::TextField* field, std::uint32_t maxBytes,
                                  const std::optional<std::string>& placeholderFormat,
                                  const std::optional<icu::UnicodeSet>& allowed) {
    return attachFamily<LimitMeasure::Bytes>(field, maxBytes, true, placeholderFormat, allowed);
}

std::shared_ptr<LimitFormatter>
attachMaxLengthFormatter(ui::TextField* field, std::uint32_t maxLength,
                         const std::optional<std::string>& placeholderFormat,
                         const std::optional<icu::UnicodeSet>& allowed) {
    return attachFamily<LimitMeasure::Length>(field, maxLength, false, placeholderFormat, allowed);
}

std::shared_ptr<LimitFormatter>
attachMaxLengthFormatterWithEscape(ui::TextField* field, std::uint32_t maxLength,
                                   const std::optional<std::string>& placeholderFormat,
                                   const std::optional<icu::UnicodeSet>& allowed) {
    return attachFamily<LimitMeasure::Length>(field, maxLength, true, placeholderFormat, allowed);
}

void attachEscapeRule(LimitFormatter& formatter) {
    if (!formatter.escapeConverter())
        return;
    StringEscapeConverter standard = StringEscapeConverter::standardConverter(
        IsJapanesePreferred());
    for (const auto& [source, escaped] : standard.replacePattern())
        formatter.replace(source, escaped);
}

void setPlaceholderStringAndToolTip(ui::Control* control, std::int64_t number,
                                    const std::optional<std::string>& format) {
    if (!control || !format)
        return;
    std::string text = StringFormat::format(*format, {Value(number)});
    control->setToolTip(text);
    if (auto* field = dynamic_cast<ui::TextField*>(control))
        field->setPlaceholderString(text);
}

} // namespace velmora
