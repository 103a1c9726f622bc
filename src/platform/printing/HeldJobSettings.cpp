#include "platform/printing/HeldJobSettings.h"

#include "platform/printing/JobOptions.h"
#include "platform/printing/PressNames.h"
#include "platform/printing/PressTicket.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/cups.h>
#include <cups/ppd.h>

#include <strings.h>
#include <sys/stat.h>

#include <map>
#include <mutex>
#include <sstream>
#include <tuple>

namespace velmora {
namespace {

// libcups builds a mapping cache into a PPD the first time it marks IPP attributes on it, and
// does not free all of it when the PPD is closed (libcups 2.4: its duplex names and colour
// presets). The PPDs marked here therefore stay open for the process, one per file and version,
// so that the cache is built once and stays reachable. Null when the file cannot be read.
ppd_file_t* markingPpd(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return nullptr;
    static std::mutex guard;
    // Never destroyed: what it holds stays reachable until the process ends.
    static auto* open = new std::map<std::tuple<std::string, std::time_t, off_t>, ppd_file_t*>();
    std::lock_guard lock(guard);
    auto [entry, added] = open->try_emplace({path, st.st_mtime, st.st_size}, nullptr);
    if (added)
        entry->second = ppdOpenFile(path.c_str());
    return entry->second;
}

std::map<std::string, std::string> markedChoices(ppd_file_t* ppd) {
    std::map<std::string, std::string> marked;
    for (ppd_option_t* option = ppdFirstOption(ppd); option; option = ppdNextOption(ppd))
        if (ppd_choice_t* choice = ppdFindMarkedChoice(ppd, option->keyword))
            marked[option->keyword] = choice->choice;
    return marked;
}

// The PPD choices libcups's marking makes of some of the job's attributes, where they differ from
// the PPD's defaults.
Dictionary choicesOfIpp(ppd_file_t* ppd, const Dictionary& jobOptions,
                        std::initializer_list<const char*> names) {
    cups_option_t* list = nullptr;
    int count = 0;
    for (const char* name : names)
        if (const std::string* value = jobOptions.get(name).string())
            count = cupsAddOption(name, value->c_str(), count, &list);
    Dictionary choices;
    if (count == 0)
        return choices;
    ppdMarkDefaults(ppd);
    auto defaults = markedChoices(ppd);
    cupsMarkOptions(ppd, count, list);
    for (const auto& [option, choice] : markedChoices(ppd))
        if (defaults[option] != choice)
            choices.set(option, Value(choice));
    ppdMarkDefaults(ppd);
    cupsFreeOptions(count, list);
    return choices;
}

std::string sidesOfDuplex(const std::string& duplex) {
    if (duplex == "DuplexNoTumble")
        return "two-sided-long-edge";
    if (duplex == "DuplexTumble")
        return "two-sided-short-edge";
    return "one-sided";
}

// The job's options with what its IPP attributes choose on the PPD, as the scheduler hands them
// to the queue's filters.
Dictionary withIppChoices(const Dictionary& jobOptions, ppd_file_t* ppd) {
    Dictionary given = PressNames(ppd).inPpdNames(JobOptions::fromStored(jobOptions));
    if (!ppd)
        return given;
    // What libcups's marking makes of IPP attributes counts where the job names no choice of its
    // own; finishings count over the job's own, as the scheduler applies them after the rest.
    const Dictionary ipp = given;
    for (const auto& [option, choice] :
         choicesOfIpp(ppd, ipp, {"media", "output-bin", "print-color-mode", "print-quality"}))
        if (!given.contains(option))
            given.set(option, choice);
    for (const auto& [option, choice] : choicesOfIpp(ppd, ipp, {"finishings"}))
        given.set(option, choice);
    return given;
}

// The finishings (IPP enum values) whose PPD choices the options all make.
std::string finishingsOf(const Dictionary& options, ppd_file_t* ppd) {
    std::string values;
    for (ppd_attr_t* attr = ppdFindAttr(ppd, "cupsIPPFinishings", nullptr); attr;
         attr = ppdFindNextAttr(ppd, "cupsIPPFinishings", nullptr)) {
        if (!attr->value)
            continue;
        std::istringstream pairs(attr->value);
        bool all = true, any = false;
        for (std::string option, choice; pairs >> option >> choice;) {
            any = true;
            if (option.size() < 2 || option[0] != '*' ||
                options.get(option.substr(1)).stringValue() != choice)
                all = false;
        }
        if (any && all) {
            if (!values.empty())
                values += ',';
            values += std::to_string(std::atoi(attr->spec));
        }
    }
    return values.empty() ? "3" : values;
}

// The same value as the job holds it: IPP carries "True" and "False" as Booleans, which come
// back as "true" and "false".
bool sameValue(const std::string& held, const std::string& wanted) {
    bool boolean =
        strcasecmp(wanted.c_str(), "true") == 0 || strcasecmp(wanted.c_str(), "false") == 0;
    return boolean ? strcasecmp(held.c_str(), wanted.c_str()) == 0 : held == wanted;
}

bool namedByFinishings(const std::string& option, ppd_file_t* ppd) {
    for (ppd_attr_t* attr = ppdFindAttr(ppd, "cupsIPPFinishings", nullptr); attr;
         attr = ppdFindNextAttr(ppd, "cupsIPPFinishings", nullptr))
        if (attr->value && std::string(attr->value).find("*" + option + " ") != std::string::npos)
            return true;
    return false;
}

} // namespace

Dictionary HeldJobSettings::optionsOfJob(const Dictionary& jobOptions, const std::string& ppdPath) {
    ppd_file_t* ppd = markingPpd(ppdPath);
    Dictionary given = withIppChoices(jobOptions, ppd);
    Dictionary options;
    for (const auto& [name, value] : PressTicket::optionsOfJob(ppd, given))
        options.set(ppd && ppdFindOption(ppd, name.c_str()) ? name
                                                            : JobOptions::kEntryPrefix + name,
                    Value(value));
    for (const char* own : {"copies", "collate"})
        if (const std::string* value = given.get(own).string())
            options.set(own, Value(*value));
    if (const std::string* duplex = options.get("Duplex").string())
        options.set("sides", Value(sidesOfDuplex(*duplex)));
    else if (const std::string* sides = given.get("sides").string())
        options.set("sides", Value(*sides));
    return options;
}

Dictionary HeldJobSettings::chosenOptions(const Dictionary& jobOptions,
                                          const std::string& ppdPath) {
    ppd_file_t* ppd = markingPpd(ppdPath);
    Dictionary options = optionsOfJob(jobOptions, ppdPath);
    Dictionary chosen;
    for (const auto& [name, value] : options) {
        ppd_option_t* option = ppd ? ppdFindOption(ppd, name.c_str()) : nullptr;
        if (option && value.stringValue() == option->defchoice)
            continue;
        chosen.set(name, value);
    }
    return chosen;
}

Dictionary HeldJobSettings::changes(const Dictionary& current, const Dictionary& wanted,
                                    const Dictionary& jobOptions, const std::string& ppdPath) {
    ppd_file_t* ppd = markingPpd(ppdPath);
    // Print settings name only the PPD choices that differ from its defaults. PageRegion is
    // PageSize again for libcups, and marking either unmarks the other.
    Dictionary complete = wanted;
    for (ppd_option_t* option = ppd ? ppdFirstOption(ppd) : nullptr; option;
         option = ppdNextOption(ppd))
        if (!complete.contains(option->keyword) && ppdFindChoice(option, option->defchoice) &&
            std::string_view(option->keyword) != "PageRegion")
            complete.set(option->keyword, Value(std::string(option->defchoice)));
    Dictionary changed;
    bool finishingChanged = false;
    for (const auto& [name, value] : complete) {
        // An empty field the job does not carry is the same to the press as one it carries empty.
        if (current.contains(name) ? sameValue(current.get(name).stringValue(), value.stringValue())
                                   : value.stringValue().empty())
            continue;
        changed.set(name, value);
        finishingChanged = finishingChanged || (ppd && namedByFinishings(name, ppd));
    }
    if (finishingChanged && jobOptions.contains("finishings")) {
        Dictionary after = current;
        for (const auto& [name, value] : changed)
            after.set(name, value);
        std::string finishings = finishingsOf(after, ppd);
        if (finishings != jobOptions.get("finishings").stringValue())
            changed.set("finishings", Value(finishings));
    }
    return changed;
}

} // namespace velmora
