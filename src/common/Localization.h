#pragma once

#include <memory>
#include <optional>
#include <string>

namespace velmora {

class Bundle;

// The bundle in which BSLocalizedString looks keys up, and the fallback used when it is not
// set. The panel sets both to its own bundle before any text is looked up.
void SetNSBundleForLocalizedString(std::shared_ptr<Bundle> bundle);
void SetCFBundleRefForLocalizedString(std::shared_ptr<Bundle> bundle);
// The plug-in's own bundle, and the fallback used when it is not set.
void SetNSBundleForPrincipalBundle(std::shared_ptr<Bundle> bundle);
void SetCFBundleRefForPrincipalBundle(std::shared_ptr<Bundle> bundle);

// The localized text of key in the default string table. With the localization bundle set,
// a missing key gives ""; with only the fallback set, the key itself; with neither, null.
std::optional<std::string> BSLocalizedString(const std::string& key);
// BSLocalizedString, with the key itself where it gives null.
std::string BSLocalizedStringOrKey(const std::string& key);

// The plug-in's bundle: the one set, else the bundle at the fallback's path (the path is
// worked out once and kept); null when neither is set.
std::shared_ptr<Bundle> BSPrincipalBundle();

// Whether the user reads Japanese first: the host application's first localization, or without
// a host the first preferred language. Decides the escape order and a few Japanese lists.
bool IsJapanesePreferred();

} // namespace velmora
