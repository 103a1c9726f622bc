#include "platform/printing/InMemoryPrintDialog.h"

#include "platform/printing/PrintSettings.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

InMemoryPrintDialog::Options queueOptions() {
    InMemoryPrintDialog::Options options;
    options.plugInPath = VELMORA_PLUGIN_DIR;
    options.ppdPath = VELMORA_QUEUE_PPD;
    return options;
}

// A save writes every choice again, most of them marked already: those are not marked anew (it
// would make libcups test every constraint once more), and what follows a choice still follows.
TEST(InMemoryPrintDialogTest, AChoiceWrittenAgainStillLeadsTheHostsTwoSidedSetting) {
    InMemoryPrintDialog dialog(queueOptions());
    ASSERT_NE(dialog.ppdFile(), nullptr);
    PrintSettings& settings = *dialog.printSettings();

    dialog.willChangePPDOptionKeyValue("Duplex", "DuplexNoTumble");
    EXPECT_EQ(dialog.markedChoice("Duplex"), "DuplexNoTumble");
    EXPECT_EQ(settings.duplexing(), PrintSettings::kDuplexNoTumble);

    // The person turned two-sided printing off in the host's own check box; the panel writes
    // the PPD's choice it holds, unchanged.
    settings.setDuplexing(PrintSettings::kDuplexNone);
    dialog.willChangePPDOptionKeyValue("Duplex", "DuplexNoTumble");
    EXPECT_EQ(dialog.markedChoice("Duplex"), "DuplexNoTumble");
    EXPECT_EQ(settings.duplexing(), PrintSettings::kDuplexNoTumble);

    // A choice that differs is marked, and one the PPD lacks leaves the mark as it was.
    dialog.willChangePPDOptionKeyValue("Duplex", "DuplexTumble");
    EXPECT_EQ(dialog.markedChoice("Duplex"), "DuplexTumble");
    EXPECT_EQ(settings.duplexing(), PrintSettings::kDuplexTumble);
    dialog.willChangePPDOptionKeyValue("Duplex", "Sideways");
    EXPECT_EQ(dialog.markedChoice("Duplex"), "DuplexTumble");
    EXPECT_EQ(dialog.changedPpdChoices().get("Duplex"), Value("DuplexTumble"));
}

} // namespace
} // namespace velmora
