#pragma once

#include <string>

namespace velmora::app {

// Where the sample press lives: beside the build for the velmora of the build tree, or, once
// installed, only below the installation prefix (lib/velmora, share/velmora, share/ppd/velmora).
// VELMORA_PLUGIN_DIR, VELMORA_QUEUE_PPD and VELMORA_SAMPLE_DOCUMENT in the environment override
// each.
std::string pluginDirectory();
std::string queuePpd();
std::string sampleDocument();
// The graphical dialog's module (libvelmora-gui.so): beside the build's velmora, or in
// lib/velmora below the installation prefix.
std::string guiModule();
// The PDF module (libvelmora-pdf.so), beside the graphical dialog's.
std::string pdfModule();

} // namespace velmora::app
