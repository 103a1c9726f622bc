#include "panel/PanelTicketEntries.h"

#include "platform/printing/JobOptions.h"
#include "platform/printing/PDEPlugInCallback.h"
#include "platform/printing/PrintSettings.h"
#include "platform/printing/Ticket.h"
#include "validation/StringEscapeConverter.h"

namespace velmora {
namespace {

const StringEscapeConverter& ticketEscaping() {
    static const StringEscapeConverter converter = [] {
        StringEscapeConverter rules = StringEscapeConverter::emptyConverter();
        rules.replace("%", "%x25");
        rules.replace("'", "%x27");
        rules.replace(",", "%x2C");
        return rules;
    }();
    return converter;
}

} // namespace

std::string PanelTicketEntries::key(const std::string& keyword) {
    return JobOptions::kEntryPrefix + keyword;
}

std::string PanelTicketEntries::escape(const std::string& value) {
    return ticketEscaping().escape(value);
}

// The inverse replacements in one pass from the left: each escape is read once, so a value that
// held "%x2C" itself (stored as "%x25x2C") comes back as it was, not as a comma.
std::string PanelTicketEntries::unescape(const std::string& value) {
    const auto& rules = ticketEscaping().replacePattern();
    std::string text;
    for (std::size_t at = 0; at < value.size();) {
        bool replaced = false;
        for (const auto& [source, escaped] : rules)
            if (value.compare(at, escaped.size(), escaped) == 0) {
                text += source;
                at += escaped.size();
                replaced = true;
                break;
            }
        if (!replaced)
            text += value[at++];
    }
    return text;
}

int PanelTicketEntries::setString(Ticket* ticket, const std::string& key,
                                  const std::optional<std::string>& value) {
    std::optional<std::string> escaped;
    if (value)
        escaped = escape(*value);
    if (_useConstraintHandling()) {
        PrintSettings* settings = _callback->printSettings();
        if (!settings)
            return kParamErr;
        settings->setValue(key, escaped ? Value(*escaped) : Value());
        return kNoErr;
    }
    if (ticket && escaped)
        return ticket->setString(_panelKind, key, *escaped);
    return kParamErr;
}

int PanelTicketEntries::getString(Ticket* ticket, const std::string& key,
                                  std::optional<std::string>* value) {
    if (_useConstraintHandling()) {
        PrintSettings* settings = _callback->printSettings();
        const Value* stored = settings ? settings->value(key) : nullptr;
        if (!stored || !stored->string())
            return kParamErr;
        *value = *stored->string();
        return kNoErr;
    }
    if (!ticket)
        return kParamErr;
    std::string stored;
    int status = ticket->getString(key, &stored);
    if (status == kNoErr)
        *value = stored;
    return status;
}

int PanelTicketEntries::getSInt32(Ticket* ticket, const std::string& key, std::int32_t* value) {
    if (_useConstraintHandling()) {
        PrintSettings* settings = _callback->printSettings();
        const Value* stored = settings ? settings->value(key) : nullptr;
        if (!stored || !stored->isNumber())
            return kParamErr;
        *value = static_cast<std::int32_t>(stored->integerValue());
        return kNoErr;
    }
    return ticket ? ticket->getSInt32(key, value) : kParamErr;
}

int PanelTicketEntries::customGetString(Ticket* ticket, const std::optional<std::string>& keyword,
                                        std::optional<std::string>* value) {
    if (!keyword)
        return kNoErr;
    return getString(ticket, key(*keyword), value);
}

int PanelTicketEntries::customSetString(Ticket* ticket, const std::optional<std::string>& keyword,
                                        const std::optional<std::string>& value) {
    if (!keyword)
        return kNoErr;
    return setString(ticket, key(*keyword), value);
}

} // namespace velmora
