// A pane loaded once per role (front and back finishing): its placeholders come from its
// Info.plist, and one plain pop-up is bound to an option of the bundle's PPD.
#include "plugins/TestPaneSupport.h"

#include "platform/ui/PopUpButton.h"

namespace velmora::test {

class FinishingPane : public PanePlugInInterface {
public:
    std::vector<std::shared_ptr<ZEMAUI>> getListZEMAUI() override { return _controls; }
    void willShow() override {
        auto role = _callback->roleName(this);
        announce("Finishing+" + role.value_or("(none)"), "willShow");
    }
    std::string panelName() override { return "Finishing"; }
    std::shared_ptr<ui::View> panelView() override { return _view; }

    bool initializePanel(std::shared_ptr<Bundle> bundle, PanePlugInHost& callback) override {
        _callback = &callback;
        _view = placeholderView(stringsOf(bundle->infoDictionary().get("VelmoraTestKeys")));
        auto staple = std::make_shared<ui::PopUpButton>(ui::Rect{10, 0, 200, 26});
        callback.buildControl(staple.get(), "StapleLocation", std::string("Staple"));
        _view->addSubview(staple);

        _controls = controlsOfPlaceholders(*_view, callback, bundle);
        callback.buildPaneUi(*this, bundle);
        return true;
    }

private:
    PanePlugInHost* _callback = nullptr;
    std::shared_ptr<ui::View> _view;
    std::vector<std::shared_ptr<ZEMAUI>> _controls;
};

} // namespace velmora::test

using FinishingPane = velmora::test::FinishingPane;
VELMORA_PANE_PLUGIN(FinishingPane)
