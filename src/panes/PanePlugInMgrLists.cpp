// The press's lists, read from the queue through the panel by name.
#include "panes/PanePlugInMgr.h"

namespace velmora {

std::optional<Value> PanePlugInMgr::sendCommand(const std::string& listName) {
    return _PDEObject ? _PDEObject->sendCommand(listName) : std::nullopt;
}

std::optional<Value> PanePlugInMgr::getStackerInfoList() { return sendCommand("StackerInfoList"); }
std::optional<Value> PanePlugInMgr::getFeederInfoList() { return sendCommand("FeederInfoList"); }
std::optional<Value> PanePlugInMgr::getDeviceList() { return sendCommand("DeviceList"); }
std::optional<Value> PanePlugInMgr::getJobFolderList() { return sendCommand("JobFolder"); }
std::optional<Value> PanePlugInMgr::getPrePostDeviceList() { return sendCommand("PrePostDevice"); }
std::optional<Value> PanePlugInMgr::getCmsSpotGetAllListData() { return sendCommand("CmsSpotGetAll"); }
std::optional<Value> PanePlugInMgr::getColorSubstList() { return sendCommand("ColorSubst"); }
std::optional<Value> PanePlugInMgr::getColorPatchFileList() { return sendCommand("JobResource-COLOR_PATCH"); }
std::optional<Value> PanePlugInMgr::getColorPatchFileListWithResourceSet() { return sendCommand("JobResource-COLOR_PATCH"); }
std::optional<Value> PanePlugInMgr::getNoteFileList() { return sendCommand("JobResource-NOTE"); }
std::optional<Value> PanePlugInMgr::getNoteFileListWithResourceSet() { return sendCommand("JobResource-NOTE"); }
std::optional<Value> PanePlugInMgr::getCustomNoteFileList() { return sendCommand("JobResource-CUSTOM_NOTE"); }
std::optional<Value> PanePlugInMgr::getCustomNoteFileListWithResourceSet() { return sendCommand("JobResource-CUSTOM_NOTE"); }
std::optional<Value> PanePlugInMgr::getPagenationFileList() { return sendCommand("JobResource-PAGENATION"); }
std::optional<Value> PanePlugInMgr::getPagenationFileListWithResourceSet() { return sendCommand("JobResource-PAGENATION"); }
std::optional<Value> PanePlugInMgr::getFormFileList() { return sendCommand("JobResource-FORM"); }
std::optional<Value> PanePlugInMgr::getFormFileListWithResourceSet() { return sendCommand("JobResource-FORM"); }
std::optional<Value> PanePlugInMgr::getSpecialTonerFileList() { return sendCommand("JobResource-SPECIAL_TONER"); }
std::optional<Value> PanePlugInMgr::getSpecialTonerFileListWithResourceSet() { return sendCommand("JobResource-SPECIAL_TONER"); }
std::optional<Value> PanePlugInMgr::getWaterMarkFileList() { return sendCommand("JobResource-WATERMARK"); }
std::optional<Value> PanePlugInMgr::getWaterMarkFileListWithResourceSet() { return sendCommand("JobResource-WATERMARK"); }
std::optional<Value> PanePlugInMgr::getTrappingFileList() { return sendCommand("JobResource-TRAPPING"); }
std::optional<Value> PanePlugInMgr::getTrappingFileListWithResourceSet() { return sendCommand("JobResource-TRAPPING"); }
std::optional<Value> PanePlugInMgr::getNormalizerFileList() { return sendCommand("JobResource-NORMALIZER"); }
std::optional<Value> PanePlugInMgr::getNormalizerFileListWithResourceSet() { return sendCommand("JobResource-NORMALIZER"); }
std::optional<Value> PanePlugInMgr::getImpositionFileList() { return sendCommand("JobResource-IMPOSITION"); }
std::optional<Value> PanePlugInMgr::getImpositionFileListWithResourceSet() { return sendCommand("JobResource-IMPOSITION"); }
std::optional<Value> PanePlugInMgr::getFontList() { return sendCommand("Font"); }
std::optional<Value> PanePlugInMgr::getDensityAdjustProfileList() { return sendCommand("DensityAdjustProfile"); }
std::optional<Value> PanePlugInMgr::getUserTrcProfileList() { return sendCommand("UserTrcProfile"); }
std::optional<Value> PanePlugInMgr::getRGBInputProfileFileList() { return sendCommand("RGBInputProfileFile"); }
std::optional<Value> PanePlugInMgr::getDeviceLinkFileList() { return sendCommand("DeviceLinkFile"); }
std::optional<Value> PanePlugInMgr::getJobResourceSetList() { return sendCommand("JobResourceSet"); }
std::optional<Value> PanePlugInMgr::getJobResourceSetListNew() { return sendCommand("JobResourceSetLinkage"); }
std::optional<Value> PanePlugInMgr::getCalibFileList() { return sendCommand("CalibFile"); }

std::optional<Value> PanePlugInMgr::getOutputProfileFileList(int kind) {
    if (kind == 0)
        return sendCommand("OutputProfileFile-MEASUREMENT");
    if (kind == 1)
        return sendCommand("OutputProfileFile-ICC");
    return std::nullopt;
}

std::optional<Value> PanePlugInMgr::getCMYKInputProfileFileList(int kind) {
    if (kind == 0)
        return sendCommand("CMYKInputProfileFile-MEASUREMENT");
    if (kind == 1)
        return sendCommand("CMYKInputProfileFile-ICC");
    return std::nullopt;
}

const std::vector<std::string>& PanePlugInMgr::allListNames() {
    static const std::vector<std::string> names = {
        "CalibFile",
        "JobResourceSet",
        "DeviceLinkFile",
        "RGBInputProfileFile",
        "UserTrcProfile",
        "DensityAdjustProfile",
        "CMYKInputProfileFile-MEASUREMENT",
        "CMYKInputProfileFile-ICC",
        "OutputProfileFile-MEASUREMENT",
        "OutputProfileFile-ICC",
        "Font",
        "JobResource-IMPOSITION",
        "JobResource-NORMALIZER",
        "JobResource-TRAPPING",
        "JobResource-WATERMARK",
        "JobResource-FORM",
        "JobResource-PAGENATION",
        "JobResource-CUSTOM_NOTE",
        "JobResource-NOTE",
        "JobResource-COLOR_PATCH",
        "ColorSubst",
        "CmsSpotGetAll",
        "PrePostDevice",
        "JobFolder",
        "DeviceList",
        "FeederInfoList",
        "StackerInfoList",
    };
    return names;
}

// On older hosts each request also refreshes the list, so asking for all of them once at
// start-up brings every list up to date before it is first needed.
void PanePlugInMgr::getAllList() {
    for (const std::string& name : allListNames())
        sendCommand(name);
}

} // namespace velmora
