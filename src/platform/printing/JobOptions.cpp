#include "platform/printing/JobOptions.h"

#include "platform/printing/PressNames.h"
#include "platform/printing/PrintSettings.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <strings.h>

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
        setInputSlotOfTray(options, *slot, ppd);
    return options;
}

void JobOptions::setInputSlotOfTray(Dictionary& options, const std::string& tray, ppd_file_s* ppd) {
    if (ppdHasChoice(ppd, "InputSlot", tray))
        options.set("InputSlot", Value(tray));
}

Dictionary JobOptions::toStored(const Dictionary& options, ppd_file_s* ppd, bool inherits) {
    Dictionary kept;
    for (const auto& [name, value] : options) {
        // CUPS takes option names without regard to case: the PPD's "Collate" and the job's
        // "collate" are one option in lpoptions, and the job's own says it.
        if (name != "collate" && strcasecmp(name.c_str(), "collate") == 0 &&
            options.contains("collate"))
            continue;
        if (!inherits && ppd)
            if (ppd_option_t* option = ppdFindOption(ppd, name.c_str());
                option && value.stringValue() == option->defchoice &&
                ppdFindChoice(option, option->defchoice))
                continue; // a queue that is not told otherwise prints with its default
        kept.set(name, value);
    }
    // An instance starts from its queue's line: what it leaves out, it takes from there.
    if (inherits && ppd)
        for (ppd_option_t* option = ppdFirstOption(ppd); option; option = ppdNextOption(ppd))
            if (!kept.contains(option->keyword) &&
                !(strcasecmp(option->keyword, "collate") == 0 && kept.contains("collate")) &&
                ppdFindChoice(option, option->defchoice))
                kept.set(option->keyword, Value(std::string(option->defchoice)));
    return withStoredKeys(kept);
}

Dictionary JobOptions::withStoredKeys(const Dictionary& options) {
    const std::string_view entryPrefix = kEntryPrefix;
    Dictionary stored;
    for (const auto& [name, value] : options)
        if (!name.starts_with(entryPrefix))
            stored.set(name, value);
    // An entry in both forms takes the long form's value (see fromStored).
    for (const auto& [name, value] : options)
        if (name.starts_with(entryPrefix))
            stored.set(kStoredEntryPrefix + name.substr(entryPrefix.size()), value);
    return stored;
}

Dictionary JobOptions::fromStored(const Dictionary& stored) {
    const std::string_view storedPrefix = kStoredEntryPrefix;
    auto isStoredEntry = [&](const std::string& name) {
        return name.starts_with(storedPrefix) && name.size() > storedPrefix.size();
    };
    Dictionary options;
    for (const auto& [name, value] : stored)
        if (isStoredEntry(name))
            options.set(kEntryPrefix + name.substr(storedPrefix.size()), value);
    // An entry in both forms is an instance written in the long form under a queue whose line
    // is in the short form: libcups hands the instance its queue's options with its own, and its
    // own value is the long one.
    for (const auto& [name, value] : stored)
        if (!isStoredEntry(name))
            options.set(name, value);
    return options;
}

Dictionary JobOptions::toSnapshot(const Dictionary& savedOptions, ppd_file_s* ppd) {
    Dictionary choices, ticket, host;
    // Saved before the queue's PPD named some of the press's options for print clients, or
    // after: either way in the PPD's names now.
    Dictionary options = PressNames(ppd).inPpdNames(fromStored(savedOptions));
    for (const auto& [name, value] : options) {
        std::string text = value.stringValue();
        if (name == "copies") {
            // lpoptions may say anything; a count the job cannot have leaves the dialog's own.
            if (auto copies = PrintSettings::copiesOfText(text))
                host.set("copies", Value(static_cast<std::int64_t>(*copies)));
        } else if (strcasecmp(name.c_str(), "collate") == 0 &&
                   (strcasecmp(text.c_str(), "true") == 0 ||
                    strcasecmp(text.c_str(), "false") == 0)) {
            // libcups keeps one of "collate" and the PPD's "Collate" under the spelling it met
            // first, in whatever case the value was written.
            host.set("collate", Value(strcasecmp(text.c_str(), "true") == 0));
            if (ppdHasChoice(ppd, name, text))
                choices.set(name, Value(text));
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

Dictionary JobOptions::withoutSecrets(const Dictionary& options) {
    Dictionary kept;
    for (const auto& [name, value] : options)
        if (!isSecret(name))
            kept.set(name, value);
    return kept;
}

Dictionary JobOptions::withSecretsHidden(const Dictionary& options) {
    Dictionary shown;
    for (const auto& [name, value] : options)
        shown.set(name,
                  isSecret(name) && !value.stringValue().empty() ? Value(kHiddenSecret) : value);
    return shown;
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
