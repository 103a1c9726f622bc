#pragma once

#include "panes/PanePlugInMgr.h"

#include <utility>
#include <vector>

namespace velmora::test {

using Getter = std::optional<Value> (PanePlugInMgr::*)();

// Every list getter of the manager without arguments, with the list it reads.
inline const std::vector<std::pair<Getter, const char*>>& listGetters() {
    static const std::vector<std::pair<Getter, const char*>> getters = {
        {&PanePlugInMgr::getStackerInfoList, "StackerInfoList"},
        {&PanePlugInMgr::getFeederInfoList, "FeederInfoList"},
        {&PanePlugInMgr::getDeviceList, "DeviceList"},
        {&PanePlugInMgr::getJobFolderList, "JobFolder"},
        {&PanePlugInMgr::getPrePostDeviceList, "PrePostDevice"},
        {&PanePlugInMgr::getCmsSpotGetAllListData, "CmsSpotGetAll"},
        {&PanePlugInMgr::getColorSubstList, "ColorSubst"},
        {&PanePlugInMgr::getColorPatchFileList, "JobResource-COLOR_PATCH"},
        {&PanePlugInMgr::getColorPatchFileListWithResourceSet, "JobResource-COLOR_PATCH"},
        {&PanePlugInMgr::getNoteFileList, "JobResource-NOTE"},
        {&PanePlugInMgr::getNoteFileListWithResourceSet, "JobResource-NOTE"},
        {&PanePlugInMgr::getCustomNoteFileList, "JobResource-CUSTOM_NOTE"},
        {&PanePlugInMgr::getCustomNoteFileListWithResourceSet, "JobResource-CUSTOM_NOTE"},
        {&PanePlugInMgr::getPagenationFileList, "JobResource-PAGENATION"},
        {&PanePlugInMgr::getPagenationFileListWithResourceSet, "JobResource-PAGENATION"},
        {&PanePlugInMgr::getFormFileList, "JobResource-FORM"},
        {&PanePlugInMgr::getFormFileListWithResourceSet, "JobResource-FORM"},
        {&PanePlugInMgr::getSpecialTonerFileList, "JobResource-SPECIAL_TONER"},
        {&PanePlugInMgr::getSpecialTonerFileListWithResourceSet, "JobResource-SPECIAL_TONER"},
        {&PanePlugInMgr::getWaterMarkFileList, "JobResource-WATERMARK"},
        {&PanePlugInMgr::getWaterMarkFileListWithResourceSet, "JobResource-WATERMARK"},
        {&PanePlugInMgr::getTrappingFileList, "JobResource-TRAPPING"},
        {&PanePlugInMgr::getTrappingFileListWithResourceSet, "JobResource-TRAPPING"},
        {&PanePlugInMgr::getNormalizerFileList, "JobResource-NORMALIZER"},
        {&PanePlugInMgr::getNormalizerFileListWithResourceSet, "JobResource-NORMALIZER"},
        {&PanePlugInMgr::getImpositionFileList, "JobResource-IMPOSITION"},
        {&PanePlugInMgr::getImpositionFileListWithResourceSet, "JobResource-IMPOSITION"},
        {&PanePlugInMgr::getFontList, "Font"},
        {&PanePlugInMgr::getDensityAdjustProfileList, "DensityAdjustProfile"},
        {&PanePlugInMgr::getUserTrcProfileList, "UserTrcProfile"},
        {&PanePlugInMgr::getRGBInputProfileFileList, "RGBInputProfileFile"},
        {&PanePlugInMgr::getDeviceLinkFileList, "DeviceLinkFile"},
        {&PanePlugInMgr::getJobResourceSetList, "JobResourceSet"},
        {&PanePlugInMgr::getJobResourceSetListNew, "JobResourceSetLinkage"},
        {&PanePlugInMgr::getCalibFileList, "CalibFile"},
    };
    return getters;
}

} // namespace velmora::test
