#include "common/Localization.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/ui/Application.h"

namespace velmora {
namespace {

struct LocalizationGlobals {
    std::shared_ptr<Bundle> localizationBundle;
    std::shared_ptr<Bundle> localizationBundleRef;
    std::shared_ptr<Bundle> principalBundle;
    std::shared_ptr<Bundle> principalBundleRef;
    std::optional<std::string> principalBundlePath;
};

LocalizationGlobals& globals() {
    static LocalizationGlobals g;
    return g;
}

constexpr const char* kDefaultTable = "Localizable";

} // namespace

void SetNSBundleForLocalizedString(std::shared_ptr<Bundle> bundle) {
    globals().localizationBundle = std::move(bundle);
}

void SetCFBundleRefForLocalizedString(std::shared_ptr<Bundle> bundle) {
    globals().localizationBundleRef = std::move(bundle);
}

void SetNSBundleForPrincipalBundle(std::shared_ptr<Bundle> bundle) {
    globals().principalBundle = std::move(bundle);
}

void SetCFBundleRefForPrincipalBundle(std::shared_ptr<Bundle> bundle) {
    globals().principalBundleRef = std::move(bundle);
    globals().principalBundlePath.reset();
}

std::optional<std::string> BSLocalizedString(const std::string& key) {
    auto& g = globals();
    if (g.localizationBundle) {
        const std::string* text = g.localizationBundle->findLocalizedString(key, kDefaultTable);
        return text ? *text : std::string();
    }
    if (g.localizationBundleRef) {
        const std::string* text = g.localizationBundleRef->findLocalizedString(key, kDefaultTable);
        return text ? *text : key;
    }
    return std::nullopt;
}

std::string BSLocalizedStringOrKey(const std::string& key) {
    return BSLocalizedString(key).value_or(key);
}

std::shared_ptr<Bundle> BSPrincipalBundle() {
    auto& g = globals();
    if (g.principalBundle)
        return g.principalBundle;
    if (!g.principalBundleRef)
        return nullptr;
    if (!g.principalBundlePath)
        g.principalBundlePath = g.principalBundleRef->path();
    return Bundle::open(*g.principalBundlePath);
}

bool IsJapanesePreferred() {
    std::string first;
    if (auto host = ui::Application::shared().mainBundle()) {
        auto localizations = host->preferredLocalizations();
        first = localizations.empty() ? "" : localizations.front();
    } else {
        first = PreferredLanguages::first();
        first = first.substr(0, first.find_first_of("-_"));
    }
    return first == "Japanese" || first == "ja";
}

} // namespace velmora
