#include "common/AboutPanelController.h"
#include "common/Localization.h"
#include "common/TDWindowController.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TextField.h"

#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// A controller whose layout can be told to fail, and that counts how often it is built.
class ProbeController : public TDWindowController {
public:
    enum class Outcome { Window, ToolkitError, OtherError };
    Outcome outcome = Outcome::Window;
    int builds = 0;
    int handlerCallsDuringBuild = -1;
    int* handlerCalls = nullptr;

    ProbeController() : TDWindowController("Probe") {}

protected:
    std::shared_ptr<ui::Window> buildWindow() override {
        ++builds;
        ui::Application::shared().awakeFromNib(); // what loading a description triggers
        handlerCallsDuringBuild = *handlerCalls;
        if (outcome == Outcome::ToolkitError)
            throw ui::ToolkitException("broken description");
        if (outcome == Outcome::OtherError)
            throw std::runtime_error("out of memory");
        return std::make_shared<ui::Window>(ui::Rect::make(0, 0, 10, 10), "Probe");
    }
};

class HostHandler {
public:
    int calls = 0;
    HostHandler() {
        _old = ui::Application::shared().setAwakeFromNibHandler([this] { ++calls; });
    }
    ~HostHandler() { ui::Application::shared().setAwakeFromNibHandler(std::move(_old)); }

private:
    std::function<void()> _old;
};

TEST(TDWindowControllerTest, HostHandlerIsSilencedDuringTheLoadAndPutBack) {
    HostHandler host;
    ProbeController controller;
    controller.handlerCalls = &host.calls;
    auto window = controller.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(controller.handlerCallsDuringBuild, 0);
    EXPECT_EQ(controller.window(), window); // loaded once
    EXPECT_EQ(controller.builds, 1);
    ui::Application::shared().awakeFromNib();
    EXPECT_EQ(host.calls, 1); // the host's own handler is back
}

TEST(TDWindowControllerTest, ToolkitErrorIsSwallowedOtherErrorsPropagate) {
    HostHandler host;
    ProbeController broken;
    broken.handlerCalls = &host.calls;
    broken.outcome = ProbeController::Outcome::ToolkitError;
    EXPECT_EQ(broken.window(), nullptr);
    ui::Application::shared().awakeFromNib();
    EXPECT_EQ(host.calls, 1);

    ProbeController failing;
    failing.handlerCalls = &host.calls;
    failing.outcome = ProbeController::Outcome::OtherError;
    EXPECT_THROW(failing.window(), std::runtime_error);
    ui::Application::shared().awakeFromNib();
    EXPECT_EQ(host.calls, 2); // put back on every way out
}

class AboutPanelTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScriptedUi ui;

    void SetUp() override {
        dir.write("Velmora.plugin/Contents/Info.plist",
                  "<plist><dict><key>CFBundleShortVersionString</key><string>3</string>"
                  "<key>KVBuildVersion</key><string>1</string>"
                  "<key>CFBundleVersion</key><string>3102</string>"
                  "<key>NSHumanReadableCopyright</key><string>Copyright Velmora</string>"
                  "</dict></plist>");
        dir.write("Host.app/Contents/Info.plist",
                  "<plist><dict><key>ZRAboutImage</key><string>about</string></dict></plist>");
        dir.write(
            "Host.app/Contents/Resources/about.png",
            std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x01\x90\0\0\0\xB4\x08\x06\0\0\0", 29));
        SetNSBundleForPrincipalBundle(Bundle::open(dir / "Velmora.plugin"));
        ui::Application::shared().setMainBundle(Bundle::open(dir / "Host.app"));
    }
    void TearDown() override {
        SetNSBundleForPrincipalBundle(nullptr);
        ui::Application::shared().setMainBundle(nullptr);
    }
};

TEST_F(AboutPanelTest, ShowsImageVersionAndNotice) {
    AboutPanelController controller;
    auto window = controller.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->className(), "ZEMA_AboutPanel");
    EXPECT_TRUE(window->isBorderless());
    EXPECT_TRUE(window->canBecomeKeyWindow());
    EXPECT_EQ(controller.versionLabel()->stringValue(), "3.1 (3102)");
    EXPECT_EQ(controller.noticeLabel()->stringValue(), "Copyright Velmora");
    ASSERT_NE(controller.imageView()->image(), nullptr);
    EXPECT_EQ(controller.imageView()->image()->size(), (ui::Size{400, 180}));
}

// A host without an image of its own gets the panel's name and how to close it, not a blank.
TEST_F(AboutPanelTest, WithoutTheHostsImageTheNameAndHowToCloseShow) {
    ui::Application::shared().setMainBundle(nullptr);
    AboutPanelController controller;
    ASSERT_NE(controller.window(), nullptr);
    EXPECT_EQ(controller.imageView()->image(), nullptr);
    ASSERT_TRUE(controller.nameLabel() && controller.closeHint());
    EXPECT_FALSE(controller.nameLabel()->stringValue().empty());
    EXPECT_FALSE(controller.closeHint()->stringValue().empty());
}

TEST_F(AboutPanelTest, ClicksAndKeysEndWith1000ClosingWith1001) {
    const std::pair<ui::EventType, long> cases[] = {
        {ui::EventType::LeftMouseDown, -1000},
        {ui::EventType::RightMouseDown, -1000},
        {ui::EventType::KeyDown, -1000},
    };
    for (const auto& [type, code] : cases) {
        ui.interaction = [type = type](ui::Window& w) {
            w.sendEvent(ui::Event{ui::EventType::MouseMoved, {}, {}}); // ignored
            w.sendEvent(ui::Event{type, {}, {}});
        };
        EXPECT_EQ(AboutPanelController::runModalPanel(), code);
    }
    ui.interaction = [](ui::Window& w) { w.performClose(); };
    AboutPanelController controller;
    EXPECT_EQ(controller.runModal(), -1001);
    EXPECT_FALSE(controller.window()->isVisible());
}

TEST_F(AboutPanelTest, PanelLevelFollowsTheApplicationsActivity) {
    AboutPanelController controller;
    auto window = controller.window();
    auto& app = ui::Application::shared();
    window->display();
    EXPECT_EQ(window->level(), ui::kMainMenuWindowLevel);
    int draws = window->displayCount();
    app.setActive(false); // observed: the panel redraws and drops its level
    EXPECT_EQ(window->level(), ui::kNormalWindowLevel);
    EXPECT_GT(window->displayCount(), draws);
    app.setActive(true);
    EXPECT_EQ(window->level(), ui::kMainMenuWindowLevel);
}

} // namespace
} // namespace velmora
