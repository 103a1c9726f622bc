// A plain pane for the tests: placeholders for the keys its Info.plist lists, an optional
// profile pop-up, and announcements of every call.
#include "plugins/TestPaneSupport.h"

#include "platform/ui/PopUpButton.h"

#include <stdexcept>

namespace velmora::test {

class BasicPane : public PanePlugInInterface,
                  public PaneProfileProvider,
                  public PaneAutomaticPaperTrayWriter {
public:
    std::vector<std::shared_ptr<ZEMAUI>> getListZEMAUI() override { return _controls; }
    void willShow() override {
        announce(_name, "willShow");
        failIfAsked("willShow");
    }
    std::string panelName() override { return _name; }
    std::shared_ptr<ui::View> panelView() override {
        announce(_name, "panelView");
        failIfAsked("panelView");
        return _view;
    }

    bool initializePanel(std::shared_ptr<Bundle> bundle, PanePlugInHost& callback) override {
        const Dictionary& info = bundle->infoDictionary();
        _name = info.get("VelmoraTestName").stringValue();
        if (info.get("VelmoraTestRefuse").boolValue())
            return false;
        _offersProfiles = info.get("VelmoraTestProfiles").boolValue();
        _failsIn = info.get("VelmoraTestFailIn").stringValue();
        _view = placeholderView(stringsOf(info.get("VelmoraTestKeys")));
        _profiles = std::make_shared<ui::PopUpButton>(ui::Rect{10, 0, 200, 26});
        _view->addSubview(_profiles);

        _controls = controlsOfPlaceholders(*_view, callback, bundle);
        callback.buildPaneUi(*this, bundle);
        return true;
    }

    PaneProfileProvider* profileProvider() override { return _offersProfiles ? this : nullptr; }
    PaneAutomaticPaperTrayWriter* automaticPaperTrayWriter() override { return this; }

    ProfileUiInformations profileUiInformations() override {
        announce(_name, "profileUiInformations");
        return {{"ProfileNumber", ProfileUiInformation{_profiles, 3, "Profile%d"}}};
    }
    void writeAutomaticPapaerTraySelection() override {
        announce(_name, "writeAutomaticPapaerTraySelection");
    }

private:
    std::string _name;
    std::string _failsIn; // the call that throws, for the host's failure paths
    void failIfAsked(const std::string& call) const {
        if (call == _failsIn)
            throw std::runtime_error("the test pane stopped in " + call);
    }
    bool _offersProfiles = false;
    std::shared_ptr<ui::View> _view;
    std::shared_ptr<ui::PopUpButton> _profiles;
    std::vector<std::shared_ptr<ZEMAUI>> _controls;
};

} // namespace velmora::test

using BasicPane = velmora::test::BasicPane;

#if defined(TEST_PANE_NO_FACTORY)
extern "C" __attribute__((visibility("default"))) const unsigned BasicPane_abiVersion =
    velmora::kPanePlugInAbiVersion;
#elif defined(TEST_PANE_ABI_VERSION)
extern "C" __attribute__((visibility("default"))) const unsigned BasicPane_abiVersion =
    TEST_PANE_ABI_VERSION;
extern "C" __attribute__((visibility("default"))) velmora::PanePlugInInterface* BasicPane_create() {
    return new BasicPane();
}
#else
VELMORA_PANE_PLUGIN(BasicPane)
#endif

#ifdef TEST_PANE_CONSTRUCTOR_PROBE
#include <cstdio>
#include <cstdlib>
// Runs the moment the object is opened, before the loader can ask it anything: the file it
// leaves tells a test that the object's code ran.
__attribute__((constructor)) static void leaveProbeFile() {
    if (const char* path = std::getenv("VELMORA_PROBE_FILE"))
        if (FILE* file = std::fopen(path, "w"))
            std::fclose(file);
}
#endif
