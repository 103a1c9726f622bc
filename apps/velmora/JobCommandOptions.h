#pragma once

#include "PanelSession.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::app {

// The options velmora print and velmora gui share, read by one parser: the documents, the
// destination, where the embedded press keeps its jobs, saving defaults, and the panel's own.
struct JobCommandOptions {
    PanelOptions panel;
    std::vector<std::string> files;
    std::string queue, outputDir = "velmora-jobs";
    bool saveDefaults = false, embedded = false;
    // A held job to set up instead of documents to print (--job ID), and whether it stays held
    // once written (--keep-held).
    int job = 0;
    bool keepHeld = false;
    // The graphical dialog's own: render every window to PNG, or draw it once and close.
    std::string screenshots;
    bool openAndClose = false;
};

enum class JobFrontEnd { Print, Gui };

// Null when an argument is unknown to the front end or a value is missing. The graphical dialog
// takes of the panel's options only those that set it up (--bundle, --ppd, --settings, --lang):
// the rest are a person's to set in it.
std::optional<JobCommandOptions> parseJobCommand(const std::vector<std::string>& arguments,
                                                 JobFrontEnd frontEnd);

// Whether the panel options are only those the graphical dialog takes.
bool onlyDialogOptions(const PanelOptions& panel);

} // namespace velmora::app
