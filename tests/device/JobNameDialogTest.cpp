#include "device/JobNameWinController.h"

#include "common/Localization.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/FieldEditor.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora {
namespace {

// The dialog with the sample press's texts, driven as a person would drive it.
class JobNameDialogTest : public ::testing::Test {
protected:
    test::ScriptedUi ui;
    JobNameWinController& dialog = JobNameWinController::sharedInstance();

    void SetUp() override {
        SetNSBundleForLocalizedString(Bundle::open(VELMORA_PLUGIN_DIR));
    }
    void TearDown() override { SetNSBundleForLocalizedString(nullptr); }

    void type(const std::string& text) {
        auto window = dialog.window();
        window->makeFirstResponder(dialog.jobNameEdit().get());
        dialog.jobNameEdit()->currentEditor()->typeText(text);
    }
    void chooseInput() { dialog.specificJobNameRadio()->clickCellAt(1, 0); }
};

TEST_F(JobNameDialogTest, AnEmptyTypedNameIsRefusedAutoIsNot) {
    dialog.restoreValues(std::string("Auto"), std::string(""));
    EXPECT_FALSE(dialog.jobNameEdit()->isEnabled());
    ui.interaction = [&](ui::Window&) {
        chooseInput();
        EXPECT_TRUE(dialog.jobNameEdit()->isEnabled());
        dialog.okButton()->performClick();
        EXPECT_EQ(ui.alerts.size(), 1u) << "the dialog stays open with the alert";
        EXPECT_NE(ui::Application::shared().modalWindow(), nullptr);
        dialog.specificJobNameRadio()->clickCellAt(0, 0);
        dialog.okButton()->performClick();
    };
    EXPECT_EQ(dialog.showAsModalDialog(), JobNameWinController::kOK);
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_TRUE(ui.alerts[0].asSheet);
    EXPECT_EQ(ui.alerts[0].informative, "Enter a job name of 1 to 255 characters.");
    EXPECT_EQ(dialog.specificJobName(), "Auto");
}

TEST_F(JobNameDialogTest, TypedNamesAreKeptEscapedAndLimited) {
    std::string mode = "Auto", escaped = "old", name = "old";
    ui.interaction = [&](ui::Window&) {
        chooseInput();
        type("Q3 \"final\" proofs");
        dialog.okButton()->performClick();
    };
    EXPECT_TRUE(ShowJobNameModalDialog(&mode, &escaped, &name));
    EXPECT_EQ(mode, "Input");
    EXPECT_EQ(name, "Q3 \"final\" proofs");
    EXPECT_EQ(escaped, "Q3 \\\"final\\\" proofs");

    // Opened again on those values and confirmed untouched, the values come back unchanged.
    ui.interaction = [&](ui::Window&) { dialog.okButton()->performClick(); };
    EXPECT_TRUE(ShowJobNameModalDialog(&mode, &escaped, &name));
    EXPECT_EQ(name, "Q3 \"final\" proofs");
    EXPECT_EQ(escaped, "Q3 \\\"final\\\" proofs");

    ui.interaction = [&](ui::Window&) {
        chooseInput();
        dialog.jobNameEdit()->setStringValue("");
        type(std::string(300, 'x'));
        dialog.okButton()->performClick();
    };
    std::string longName;
    EXPECT_TRUE(ShowJobNameModalDialog(&mode, nullptr, &longName));
    EXPECT_EQ(longName.size(), 255u);
}

TEST_F(JobNameDialogTest, CancelLeavesTheCallersValuesAlone) {
    std::string mode = "Input", escaped = "Brochure", name = "Brochure";
    ui.interaction = [&](ui::Window&) {
        dialog.specificJobNameRadio()->clickCellAt(0, 0);
        dialog.cancelButton()->performClick();
    };
    EXPECT_FALSE(ShowJobNameModalDialog(&mode, &escaped, &name));
    EXPECT_EQ(mode, "Input");
    EXPECT_EQ(escaped, "Brochure");
    EXPECT_EQ(name, "Brochure");

    // As a sheet, Cancel also puts the dialog back as it was opened.
    ui::Window owner(ui::Rect::make(0, 0, 600, 400), "Print");
    dialog.restoreValues(std::string("Input"), std::string("Flyer"));
    int told = 0;
    dialog.showSheet(owner, [&](JobNameWinController&) { ++told; });
    chooseInput();
    type(" v2");
    dialog.specificJobNameRadio()->clickCellAt(0, 0);
    dialog.cancelButton()->performClick();
    EXPECT_EQ(told, 0);
    EXPECT_EQ(dialog.specificJobName(), "Input");
    EXPECT_EQ(dialog.jobName(), "Flyer");
}

TEST_F(JobNameDialogTest, TheWindowIsTidyInEnglishAndJapanese) {
    for (const char* language : {"en", "ja"}) {
        auto bundle = Bundle::open(VELMORA_PLUGIN_DIR);
        bundle->setPreferredLanguages({language});
        SetNSBundleForLocalizedString(bundle);
        JobNameWinController fresh;
        auto window = fresh.window();
        ASSERT_TRUE(window);
        EXPECT_THAT(test::windowLayoutProblems(*window), ::testing::IsEmpty()) << language;
    }
}

} // namespace
} // namespace velmora
