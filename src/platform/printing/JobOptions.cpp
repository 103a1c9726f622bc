#include "platform/printing/JobOptions.h"

#include "platform/printing/PrintSettings.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace velmora {
namespace {

bool ppdHasChoice(ppd_file_s* ppd, const std::string& option, const std::string& choice) {
    return ppd && ppdFindChoice(ppdFindOption(ppd, option.c_str()), choice.c_str());
}

const Dictionary& part(const Dictionary& snapshot, const char* name) {
    static const Dictionary kNone;
    const Dictionary* found = snapshot.get(name).dictionary();
    return found ? *found : kNone;
}

// The option keyword an entry key ends with ("…PrintSettingsTicket.JobName" → "JobName").
std::string keywordOf(const std::string& key) {
    auto dot = key.rfind('.');
    return dot == std::string::npos ? key : key.substr(dot + 1);
}

} // namespace

std::string JobOptions::sidesOfDuplexing(int duplexing) {
    if (duplexing == PrintSettings::kDuplexNoTumble)
        return "two-sided-long-edge";
    if (duplexing == PrintSettings::kDuplexTumble)
        return "two-sided-short-edge";
    return "one-sided";
}

int JobOptions::duplexingOfSides(const std::string& sides) {
    if (sides == "two-sided-long-edge")
        return PrintSettings::kDuplexNoTumble;
    if (sides == "two-sided-short-edge")
        return PrintSettings::kDuplexTumble;
    return PrintSettings::kDuplexNone;
}

Dictionary JobOptions::fromSnapshot(const Dictionary& snapshot, ppd_file_s* ppd) {
    Dictionary options;
    for (const auto& [option, choice] : part(snapshot, "ppd"))
        options.set(option, Value(choice.stringValue()));
    for (const auto& [key, value] : part(snapshot, "ticket"))
        options.set(key, Value(value.stringValue()));
    const Dictionary& host = part(snapshot, "host");
    if (const Value& copies = host.get("copies"); copies.isNumber())
        options.set("copies", Value(std::to_string(copies.integerValue())));
    if (const Value& collate = host.get("collate"); collate.isBoolean())
        options.set("collate", Value(collate.boolValue() ? "true" : "false"));
    if (const Value& duplexing = host.get("duplexing"); duplexing.isNumber())
        options.set("sides", Value(sidesOfDuplexing(static_cast<int>(duplexing.integerValue()))));
    if (const std::string* slot = host.get("KVInputSlot").string())
        if (ppdHasChoice(ppd, "InputSlot", *slot))
            options.set("InputSlot", Value(*slot));
    return options;
}

Dictionary JobOptions::toSnapshot(const Dictionary& options, ppd_file_s* ppd) {
    Dictionary choices, ticket, host;
    for (const auto& [name, value] : options) {
        std::string text = value.stringValue();
        if (name == "copies") {
            if (std::int64_t copies = value.integerValue(); copies > 0)
                host.set("copies", Value(copies));
        } else if (name == "collate") {
            host.set("collate", Value(text == "true"));
        } else if (name == "sides") {
            host.set("duplexing", Value(static_cast<std::int64_t>(duplexingOfSides(text))));
        } else if (ppdHasChoice(ppd, name, text)) {
            choices.set(name, Value(text));
        } else {
            ticket.set(name, Value(text));
        }
    }
    return Dictionary{{"ppd", Value(std::move(choices))},
                      {"ticket", Value(std::move(ticket))},
                      {"host", Value(std::move(host))}};
}

bool JobOptions::isSecret(const std::string& key) {
    std::string keyword = keywordOf(key);
    return keyword.find("Password") != std::string::npos ||
           keyword.find("PIN") != std::string::npos;
}

Dictionary JobOptions::shareable(const Dictionary& options) {
    Dictionary kept;
    for (const auto& [name, value] : options) {
        std::string keyword = keywordOf(name);
        if (isSecret(name) || name == "copies" || keyword == "JobName" ||
            keyword == "ZRSpecificJobName" || keyword == "NumCopies")
            continue;
        kept.set(name, value);
    }
    return kept;
}

} // namespace velmora
