#include "panes/PanePlugInMgr.h"
#include "panes/ServerListCommand.h"

#include "platform/foundation/RunLoop.h"
#include "platform/printing/PDEPlugInCallback.h"
#include "platform/printing/PrintSession.h"
#include "platform/printing/PrintSettings.h"
#include "platform/printing/Printer.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Window.h"
#include "ppd/PpdFile.h"
#include "webservice/ServerListSource.h"

#include "support/DataBlockWriter.h"
#include "support/ListGetters.h"
#include "support/PpdWriter.h"
#include "support/ScriptedUi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace velmora {
namespace {

using ::testing::ElementsAre;

struct SentCommand {
    std::string command, title;
};

class RecordingPrinter : public Printer {
public:
    std::vector<SentCommand> sent;
    std::string name() const override { return "press"; }
    std::optional<std::string> deviceURI() const override { return "ipp://press.local/ipp"; }
    int sendCommand(const std::string& command, const std::string& title,
                    const Dictionary&) override {
        sent.push_back({command, title});
        return 0;
    }
};

// A print dialog holding a queue PPD that carries every list as a data block whose property
// list is the list's own name.
class QueueHost : public PDEPlugInCallback {
public:
    explicit QueueHost(const test::TempDir& dir) {
        std::string blocks;
        // Two lists that the start-up request leaves out are read only when asked for.
        auto names = PaneServerLists::allListNames();
        names.insert(names.end(), {"JobResource-SPECIAL_TONER", "JobResourceSetLinkage"});
        for (const auto& name : names)
            blocks += test::dataBlockLines(
                name, test::zlibCompress("<plist><string>" + name + "</string></plist>"), 40);
        _ppd = PpdFile::openFile(
            test::writePpd(dir, "queue.ppd", "UTF-8", "English", "Press", blocks));
        session.setCurrentPrinter(printer);
    }
    PrintSession* printSession() override { return &session; }
    PrintSettings* printSettings() override { return &settings; }
    ppd_file_s* ppdFile() override { return _ppd ? _ppd->handle() : nullptr; }
    PrintSettings settings;

    std::shared_ptr<RecordingPrinter> printer = std::make_shared<RecordingPrinter>();
    PrintSession session;

private:
    std::unique_ptr<PpdFile> _ppd;
};

class RecordingPanel : public PanelCommandTarget {
public:
    std::vector<std::string> asked;
    std::optional<Value> sendCommand(const std::string& name) override {
        asked.push_back(name);
        return std::nullopt;
    }
};

TEST(ServerListsTest, EveryGetterReadsItsListFromTheQueuePpd) {
    test::TempDir dir;
    QueueHost host(dir);
    ServerListCommand panel(&host);
    PanePlugInMgr mgr(nullptr);
    EXPECT_FALSE(mgr.serverLists().getDeviceList()) << "no panel yet";
    mgr.setPDEObject(&panel);
    for (const auto& [getter, name] : test::listGetters())
        EXPECT_EQ((mgr.serverLists().*getter)(), Value(name)) << name;
    const std::pair<int, const char*> kinds[] = {{0, "MEASUREMENT"}, {1, "ICC"}};
    for (const auto& [kind, suffix] : kinds) {
        EXPECT_EQ(mgr.serverLists().getOutputProfileFileList(kind),
                  Value(std::string("OutputProfileFile-") + suffix));
        EXPECT_EQ(mgr.serverLists().getCMYKInputProfileFileList(kind),
                  Value(std::string("CMYKInputProfileFile-") + suffix));
    }
    // A modern host reads the lists as they stand: no refresh command.
    EXPECT_TRUE(host.printer->sent.empty());
}

TEST(ServerListsTest, GetAllListAsksInItsOrderAndOtherKindsAskNothing) {
    RecordingPanel panel;
    PanePlugInMgr mgr(nullptr);
    mgr.setPDEObject(&panel);
    EXPECT_FALSE(mgr.serverLists().getOutputProfileFileList(2));
    EXPECT_FALSE(mgr.serverLists().getCMYKInputProfileFileList(-1));
    EXPECT_TRUE(panel.asked.empty());
    mgr.serverLists().getAllList();
    ASSERT_EQ(panel.asked.size(), 27u);
    // Each list is asked once, and each is one the press's filter can fetch from the print
    // server when the queue refreshes it.
    std::set<std::string> asked(panel.asked.begin(), panel.asked.end());
    EXPECT_EQ(asked.size(), panel.asked.size());
    for (const auto& name : panel.asked)
        EXPECT_TRUE(ServerListSource::isKnown(name)) << name;
    EXPECT_EQ(panel.asked.front(), "CalibFile");
    EXPECT_EQ(panel.asked[6], "CMYKInputProfileFile-MEASUREMENT");
    EXPECT_EQ(panel.asked.back(), "StackerInfoList");
}

TEST(ServerListsTest, OldHostsAskTheQueueToRefreshFirst) {
    test::TempDir dir;
    QueueHost host(dir);
    ServerListCommand panel(&host);
    auto& app = ui::Application::shared();
    app.setToolkitVersion(1187); // 10.8
    auto list = panel.sendCommand("FeederInfoList");
    auto missing = panel.sendCommand("NoSuchList");
    app.setToolkitVersion(ui::Application::kCurrentToolkitVersion);
    EXPECT_EQ(list, Value("FeederInfoList"));
    EXPECT_FALSE(missing);
    ASSERT_EQ(host.printer->sent.size(), 2u);
    EXPECT_EQ(host.printer->sent[0].command, "ReportLevels");
    EXPECT_EQ(host.printer->sent[0].title, "FeederInfoList");

    host.session.setCurrentPrinter(nullptr); // no queue chosen: no list, nothing sent
    app.setToolkitVersion(1187);
    EXPECT_FALSE(panel.sendCommand("DeviceList"));
    app.setToolkitVersion(ui::Application::kCurrentToolkitVersion);
    EXPECT_FALSE(panel.sendCommand("DeviceList"));
    EXPECT_EQ(host.printer->sent.size(), 2u);
    EXPECT_FALSE(ServerListCommand(nullptr).sendCommand("DeviceList"));
}

TEST(DelayedActionTest, RunsOnTheNextPassAlsoUnderAModalWindow) {
    test::ScriptedUi ui;
    int runs = 0;
    auto button = std::make_shared<ui::Button>();
    button->setAction("apply:");
    button->setTarget([&](ui::Control&) {
        ++runs;
        ui::Application::shared().stopModalWithCode(1);
    });
    PaneControlServices::delayedAction(button);
    EXPECT_EQ(runs, 0);
    RunLoop::current().runPending();
    EXPECT_EQ(runs, 1);

    // Under a modal window: the interaction queues it and returns; the modal run's own passes
    // perform it, which ends the run.
    ui::Window window({0, 0, 200, 100}, "Settings");
    ui.interaction = [&](ui::Window&) { PaneControlServices::delayedAction(button); };
    EXPECT_EQ(ui::Application::shared().runModalForWindow(window), 1);
    EXPECT_EQ(runs, 2);

    auto withoutTarget = std::make_shared<ui::Button>();
    withoutTarget->setAction("apply:");
    PaneControlServices::delayedAction(withoutTarget);
    EXPECT_EQ(RunLoop::current().pendingCount(), 0u);
}

} // namespace
} // namespace velmora
