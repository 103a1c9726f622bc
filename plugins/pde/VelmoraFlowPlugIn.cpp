// The shared object of Velmora.plugin: it exports the plug-in's principal class to the print
// dialog that loads the bundle.

#include "panel/LornPDEPlugIn.h"

using LornPDEPlugIn = velmora::LornPDEPlugIn;
VELMORA_PDE_PLUGIN(LornPDEPlugIn)
