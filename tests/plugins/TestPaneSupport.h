#pragma once

// What the test panes share: a view of ZEMAUI placeholders named by their tool tips, built from
// the keys in the pane's own Info.plist, and a notification for every call the manager makes,
// so that tests see what the manager asked of which pane.
#include "common/NotifyUnit.h"
#include "controls/ZEMAUI.h"
#include "panes/PanePlugInHost.h"
#include "panes/PanePlugInInterface.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/TabView.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

inline void announce(const std::string& pane, const std::string& call) {
    Dictionary info;
    info.set("pane", pane);
    info.set("call", call);
    NotifyUnit::postNotificationName("VelmoraTestPaneCall", std::move(info));
}

inline std::vector<std::string> stringsOf(const Value& value) {
    std::vector<std::string> texts;
    if (const Array* array = value.array()) {
        for (const Value& entry : *array) {
            if (const std::string* text = entry.string())
                texts.push_back(*text);
        }
    }
    return texts;
}

// Places a placeholder per key, one below the other; the last key goes into a tab so the
// manager has to look inside tab views; two placeholders that name no option come first.
inline std::shared_ptr<ui::View> placeholderView(const std::vector<std::string>& keys) {
    auto view = std::make_shared<ui::View>(ui::Rect{0, 0, 400, 40.0 * (keys.size() + 3)});
    auto add = [](ui::View& parent, const std::string& tip, double y) {
        auto control = std::make_shared<ZEMAUI>(ui::Rect{10, y, 380, 30});
        control->setToolTip(tip);
        parent.addSubview(control);
    };
    add(*view, "(null)", 0);
    add(*view, "", 40);
    for (std::size_t i = 0; i + 1 < keys.size(); ++i)
        add(*view, keys[i], 80 + 40.0 * i);
    if (!keys.empty()) {
        auto tabs = std::make_shared<ui::TabView>(ui::Rect{0, 0, 400, 40});
        auto item = std::make_shared<ui::TabViewItem>(Value("More"));
        add(*item->view(), keys.back(), 0);
        tabs->addTabViewItem(item);
        view->addSubview(tabs);
    }
    return view;
}

// Turns the placeholders of a pane's view into option controls, as a pane does in
// initializePanel; answers the controls that name an option (the pane then registers them).
inline std::vector<std::shared_ptr<ZEMAUI>>
controlsOfPlaceholders(ui::View& view, PanePlugInHost& callback,
                       const std::shared_ptr<Bundle>& bundle) {
    auto placeholders = callback.controlsIn(&view);
    std::map<std::string, std::shared_ptr<ZEMAUI>> byKey;
    auto settings = callback.uiSettings();
    callback.setupZEMAUIControls(&placeholders, settings.get(), &byKey, bundle);
    std::vector<std::shared_ptr<ZEMAUI>> controls;
    for (const auto& control : placeholders)
        if (!control->mainKeyword().empty())
            controls.push_back(control);
    return controls;
}

} // namespace velmora::test
