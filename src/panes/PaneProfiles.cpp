// The profile in use and the numbered profile items of the panes' pop-ups.
#include "panes/PaneProfiles.h"

#include "panes/PaneControlServices.h"
#include "panes/PaneDirectory.h"
#include "panes/PanePlugInInterface.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NumberText.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <tuple>

namespace velmora {
namespace {

// "Profile12" → {"Profile", 12}; no digit → {"", 0}.
std::pair<std::string, long> splitBeforeNumber(const std::string& keyword) {
    std::size_t digit = 0;
    while (digit < keyword.size() && !std::isdigit(static_cast<unsigned char>(keyword[digit])))
        ++digit;
    if (digit == keyword.size())
        return {"", 0};
    auto number = NumberText::leadingInteger(std::string_view(keyword).substr(digit));
    return {keyword.substr(0, digit), static_cast<long>(number)};
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

void PaneProfiles::addProfileItem(const std::string& optionKeyword, ui::PopUpButton* popUp,
                                  long lastNo, const std::string& format, const Bundle* bundle) {
    if (!popUp)
        return;
    std::string keywordPrefix, titlePrefix;
    long last = 0;
    if (popUp->numberOfItems() == 0) {
        keywordPrefix = endsWith(format, "%d") ? format.substr(0, format.size() - 2) : format;
        titlePrefix =
            bundle ? PaneControlServices::plugInString(*bundle, keywordPrefix) : keywordPrefix;
    } else {
        auto item = popUp->itemAtIndex(popUp->numberOfItems() - 1);
        const Value keyword =
            PaneControlServices::representedObjectOfMenuItem(item.get(), "optionKeyword");
        if (const std::string* text = keyword.string()) {
            std::tie(keywordPrefix, last) = splitBeforeNumber(*text);
            std::string number = std::to_string(last);
            titlePrefix = endsWith(item->title(), number)
                              ? item->title().substr(0, item->title().size() - number.size())
                              : std::string();
        }
    }
    // A pop-up of profiles is a list a person picks from: more would only exhaust memory.
    constexpr long kMostProfileItems = 9999;
    long limit = std::min(lastNo, kMostProfileItems);
    if (last >= limit)
        return;
    for (long number = last + 1; number <= limit; ++number)
        PaneControlServices::addMenuItem(popUp, optionKeyword, titlePrefix + std::to_string(number),
                                         keywordPrefix + std::to_string(number));
}

void PaneProfiles::setProfilePath(const std::optional<std::string>& path) {
    _currentProfilePath = path;
    updateProfilesOfAllBundles(path);
}

void PaneProfiles::updateProfilesOfAllBundles(const std::optional<std::string>& path) {
    const auto panes = _panes.loadedPanes();
    if (panes.empty())
        throw std::logic_error("## plug-in table is nil");
    for (const auto& entry : panes)
        updateProfileByBundleName(entry.first, path);
}

void PaneProfiles::updateProfileByBundleName(const std::string& name,
                                             const std::optional<std::string>& path) {
    std::shared_ptr<PanePlugInInterface> controller;
    for (const auto& [paneName, pane] : _panes.loadedPanes())
        if (paneName == name)
            controller = pane;
    if (!controller)
        return;
    if (_currentProfilePath != path)
        _currentProfilePath = path;
    if (auto* provider = controller->profileProvider())
        provider->profileUiInformations();
}

std::optional<Dictionary> PaneProfiles::dictionaryOfCurrentProfile() const {
    return _preference.profileDictionaryWithContentsOfFile(_currentProfilePath);
}

} // namespace velmora
