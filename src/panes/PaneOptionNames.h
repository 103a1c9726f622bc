#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

class Bundle;
class PpdFileExt;
namespace ui {
class Control;
} // namespace ui

// The names a person reads for options and choices, and the plain controls made from them: the
// plug-in bundle's PPD says them, in the person's language where it has it; a pane's own strings
// say the rest.
class PaneOptionNames {
public:
    // ppdPath finds the bundle's PPD; it is asked on first use only.
    explicit PaneOptionNames(std::function<std::optional<std::string>()> ppdPath);
    ~PaneOptionNames();
    PaneOptionNames(const PaneOptionNames&) = delete;
    PaneOptionNames& operator=(const PaneOptionNames&) = delete;

    // The bundle's PPD, opened on first use; null when there is none or it does not read.
    const PpdFileExt* ppdInformation();
    // Opens another PPD in place of the one in use, when one is in use. False when it does not
    // open.
    bool reopenIfOpen(const std::optional<std::string>& path);
    void close();

    bool isExistsInPpd(const std::optional<std::string>& option,
                       const std::optional<std::string>& optionKeyword);
    // Fills a pop-up, slider, check box, text field or matrix with the PPD's choices of key.
    void buildControl(ui::Control* control, const std::string& key,
                      const std::optional<std::string>& title);

    // An option's title: the PPD's, else the bundle's string; null without either.
    std::optional<std::string> mainAlias(const std::string& keyword, const Bundle* bundle);
    // An option's title, or the localized keyword.
    std::string mainAlias(const std::string& keyword);
    // A choice's title: the PPD's, else the bundle's string or the localized keyword.
    std::optional<std::string> optionAlias(const std::optional<std::string>& choice,
                                           const std::optional<std::string>& option,
                                           const Bundle* bundle);
    // Both titles at once; what a name is missing leaves its title null.
    void getAlias(std::optional<std::string>* optionTitle, std::optional<std::string>* choiceTitle,
                  const std::optional<std::string>& mainKeyword,
                  const std::optional<std::string>& optionKeyword);

private:
    std::function<std::optional<std::string>()> _ppdPath;
    std::unique_ptr<PpdFileExt> _ppdFile;
    bool _ppdTried = false;
};

} // namespace velmora
