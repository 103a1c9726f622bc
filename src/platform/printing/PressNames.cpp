#include "platform/printing/PressNames.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <optional>
#include <set>

namespace velmora {

PressNames::PressNames(ppd_file_s* ppd) : _ppd(ppd) {
    if (!ppd)
        return;
    for (ppd_attr_t* attr = ppdFindAttr(ppd, kAttribute, nullptr); attr;
         attr = ppdFindNextAttr(ppd, kAttribute, nullptr)) {
        std::string spec = attr->spec, press = attr->value ? attr->value : "";
        if (spec.empty() || press.empty() || press.find_first_of(" \t\r\n") != std::string::npos)
            continue;
        auto dot = spec.find('.');
        if (dot == std::string::npos) {
            // One name each way: a second attribute for the same option or press name is ignored.
            if (!_pressOfOption.contains(spec) && !_ppdOfOption.contains(press)) {
                _pressOfOption.emplace(spec, press);
                _ppdOfOption.emplace(press, spec);
            }
            continue;
        }
        Choice ppdChoice{spec.substr(0, dot), spec.substr(dot + 1)};
        if (ppdChoice.first.empty() || ppdChoice.second.empty())
            continue;
        Choice back{ppdChoice.first, press};
        if (!_pressOfChoice.contains(ppdChoice) && !_ppdOfChoice.contains(back)) {
            _pressOfChoice.emplace(ppdChoice, press);
            _ppdOfChoice.emplace(back, ppdChoice.second);
        }
    }
}

std::string PressNames::optionInPpd(const std::string& pressOption) const {
    if (auto found = _ppdOfOption.find(pressOption); found != _ppdOfOption.end())
        return found->second;
    // A PPD option that stands for another of the press's options is not this one's name.
    return _pressOfOption.contains(pressOption) ? std::string() : pressOption;
}

std::string PressNames::optionOfPress(const std::string& ppdOption) const {
    if (auto found = _pressOfOption.find(ppdOption); found != _pressOfOption.end())
        return found->second;
    return _ppdOfOption.contains(ppdOption) ? std::string() : ppdOption;
}

PressNames::Choice PressNames::inPpd(const std::string& pressOption,
                                     const std::string& pressChoice) const {
    std::string option = optionInPpd(pressOption);
    auto found = _ppdOfChoice.find({option, pressChoice});
    return {option, found == _ppdOfChoice.end() ? pressChoice : found->second};
}

PressNames::Choice PressNames::ofPress(const std::string& ppdOption,
                                       const std::string& ppdChoice) const {
    auto found = _pressOfChoice.find({ppdOption, ppdChoice});
    return {optionOfPress(ppdOption), found == _pressOfChoice.end() ? ppdChoice : found->second};
}

bool PressNames::ppdOffers(const Choice& choice) const {
    return _ppd && !choice.first.empty() &&
           ppdFindChoice(ppdFindOption(_ppd, choice.first.c_str()), choice.second.c_str());
}

Dictionary PressNames::inPpdNames(const Dictionary& options) const {
    if (!renamesAnything())
        return options;
    auto translation = [&](const std::string& name, const Value& value) -> std::optional<Choice> {
        const std::string* text = value.string();
        if (!text)
            return std::nullopt;
        Choice given{name, *text}, named = inPpd(name, *text);
        if (named == given || !ppdOffers(named))
            return std::nullopt;
        return named;
    };
    std::set<std::string> native;
    for (const auto& [name, value] : options)
        if (const std::string* text = value.string(); text && ppdOffers({name, *text}))
            native.insert(name);
    std::map<std::string, std::string> moved; // the PPD's option → its choice, the first given
    for (const auto& [name, value] : options)
        if (!native.contains(name))
            if (auto named = translation(name, value); named && !native.contains(named->first))
                moved.emplace(named->first, named->second);
    // In the order they were given; the PPD's own names decide wherever both are given.
    Dictionary result;
    for (const auto& [name, value] : options) {
        if (native.contains(name)) {
            result.set(name, value);
        } else if (auto named = translation(name, value)) {
            if (auto found = moved.find(named->first); found != moved.end() &&
                                                       found->second == named->second &&
                                                       !result.contains(named->first))
                result.set(named->first, Value(named->second));
        } else if (!moved.contains(name)) {
            result.set(name, value);
        }
    }
    return result;
}

} // namespace velmora
