// The press's lists, read from the queue through the panel by name.
#include "panes/PaneServerLists.h"

namespace velmora {

std::optional<Value> PaneServerLists::ask(const std::string& listName) const {
    return _ask ? _ask(listName) : std::nullopt;
}

std::optional<Value> PaneServerLists::getStackerInfoList() {
    return ask("StackerInfoList");
}
std::optional<Value> PaneServerLists::getFeederInfoList() {
    return ask("FeederInfoList");
}
std::optional<Value> PaneServerLists::getDeviceList() {
    return ask("DeviceList");
}
std::optional<Value> PaneServerLists::getJobFolderList() {
    return ask("JobFolder");
}
std::optional<Value> PaneServerLists::getPrePostDeviceList() {
    return ask("PrePostDevice");
}
std::optional<Value> PaneServerLists::getCmsSpotGetAllListData() {
    return ask("CmsSpotGetAll");
}
std::optional<Value> PaneServerLists::getColorSubstList() {
    return ask("ColorSubst");
}
std::optional<Value> PaneServerLists::getColorPatchFileList() {
    return ask("JobResource-COLOR_PATCH");
}
std::optional<Value> PaneServerLists::getColorPatchFileListWithResourceSet() {
    return ask("JobResource-COLOR_PATCH");
}
std::optional<Value> PaneServerLists::getNoteFileList() {
    return ask("JobResource-NOTE");
}
std::optional<Value> PaneServerLists::getNoteFileListWithResourceSet() {
    return ask("JobResource-NOTE");
}
std::optional<Value> PaneServerLists::getCustomNoteFileList() {
    return ask("JobResource-CUSTOM_NOTE");
}
std::optional<Value> PaneServerLists::getCustomNoteFileListWithResourceSet() {
    return ask("JobResource-CUSTOM_NOTE");
}
std::optional<Value> PaneServerLists::getPagenationFileList() {
    return ask("JobResource-PAGENATION");
}
std::optional<Value> PaneServerLists::getPagenationFileListWithResourceSet() {
    return ask("JobResource-PAGENATION");
}
std::optional<Value> PaneServerLists::getFormFileList() {
    return ask("JobResource-FORM");
}
std::optional<Value> PaneServerLists::getFormFileListWithResourceSet() {
    return ask("JobResource-FORM");
}
std::optional<Value> PaneServerLists::getSpecialTonerFileList() {
    return ask("JobResource-SPECIAL_TONER");
}
std::optional<Value> PaneServerLists::getSpecialTonerFileListWithResourceSet() {
    return ask("JobResource-SPECIAL_TONER");
}
std::optional<Value> PaneServerLists::getWaterMarkFileList() {
    return ask("JobResource-WATERMARK");
}
std::optional<Value> PaneServerLists::getWaterMarkFileListWithResourceSet() {
    return ask("JobResource-WATERMARK");
}
std::optional<Value> PaneServerLists::getTrappingFileList() {
    return ask("JobResource-TRAPPING");
}
std::optional<Value> PaneServerLists::getTrappingFileListWithResourceSet() {
    return ask("JobResource-TRAPPING");
}
std::optional<Value> PaneServerLists::getNormalizerFileList() {
    return ask("JobResource-NORMALIZER");
}
std::optional<Value> PaneServerLists::getNormalizerFileListWithResourceSet() {
    return ask("JobResource-NORMALIZER");
}
std::optional<Value> PaneServerLists::getImpositionFileList() {
    return ask("JobResource-IMPOSITION");
}
std::optional<Value> PaneServerLists::getImpositionFileListWithResourceSet() {
    return ask("JobResource-IMPOSITION");
}
std::optional<Value> PaneServerLists::getFontList() {
    return ask("Font");
}
std::optional<Value> PaneServerLists::getDensityAdjustProfileList() {
    return ask("DensityAdjustProfile");
}
std::optional<Value> PaneServerLists::getUserTrcProfileList() {
    return ask("UserTrcProfile");
}
std::optional<Value> PaneServerLists::getRGBInputProfileFileList() {
    return ask("RGBInputProfileFile");
}
std::optional<Value> PaneServerLists::getDeviceLinkFileList() {
    return ask("DeviceLinkFile");
}
std::optional<Value> PaneServerLists::getJobResourceSetList() {
    return ask("JobResourceSet");
}
std::optional<Value> PaneServerLists::getJobResourceSetListNew() {
    return ask("JobResourceSetLinkage");
}
std::optional<Value> PaneServerLists::getCalibFileList() {
    return ask("CalibFile");
}

std::optional<Value> PaneServerLists::getOutputProfileFileList(int kind) {
    if (kind == 0)
        return ask("OutputProfileFile-MEASUREMENT");
    if (kind == 1)
        return ask("OutputProfileFile-ICC");
    return std::nullopt;
}

std::optional<Value> PaneServerLists::getCMYKInputProfileFileList(int kind) {
    if (kind == 0)
        return ask("CMYKInputProfileFile-MEASUREMENT");
    if (kind == 1)
        return ask("CMYKInputProfileFile-ICC");
    return std::nullopt;
}

const std::vector<std::string>& PaneServerLists::allListNames() {
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
void PaneServerLists::getAllList() {
    for (const std::string& name : allListNames())
        ask(name);
}

} // namespace velmora
