#pragma once

#include "panes/PaneServerLists.h"

#include <utility>
#include <vector>

namespace velmora::test {

using Getter = std::optional<Value> (PaneServerLists::*)();

// Every list getter without arguments, with the list it reads.
inline const std::vector<std::pair<Getter, const char*>>& listGetters() {
    static const std::vector<std::pair<Getter, const char*>> getters = {
        {&PaneServerLists::getStackerInfoList, "StackerInfoList"},
        {&PaneServerLists::getFeederInfoList, "FeederInfoList"},
        {&PaneServerLists::getDeviceList, "DeviceList"},
        {&PaneServerLists::getJobFolderList, "JobFolder"},
        {&PaneServerLists::getPrePostDeviceList, "PrePostDevice"},
        {&PaneServerLists::getCmsSpotGetAllListData, "CmsSpotGetAll"},
        {&PaneServerLists::getColorSubstList, "ColorSubst"},
        {&PaneServerLists::getColorPatchFileList, "JobResource-COLOR_PATCH"},
        {&PaneServerLists::getColorPatchFileListWithResourceSet, "JobResource-COLOR_PATCH"},
        {&PaneServerLists::getNoteFileList, "JobResource-NOTE"},
        {&PaneServerLists::getNoteFileListWithResourceSet, "JobResource-NOTE"},
        {&PaneServerLists::getCustomNoteFileList, "JobResource-CUSTOM_NOTE"},
        {&PaneServerLists::getCustomNoteFileListWithResourceSet, "JobResource-CUSTOM_NOTE"},
        {&PaneServerLists::getPagenationFileList, "JobResource-PAGENATION"},
        {&PaneServerLists::getPagenationFileListWithResourceSet, "JobResource-PAGENATION"},
        {&PaneServerLists::getFormFileList, "JobResource-FORM"},
        {&PaneServerLists::getFormFileListWithResourceSet, "JobResource-FORM"},
        {&PaneServerLists::getSpecialTonerFileList, "JobResource-SPECIAL_TONER"},
        {&PaneServerLists::getSpecialTonerFileListWithResourceSet, "JobResource-SPECIAL_TONER"},
        {&PaneServerLists::getWaterMarkFileList, "JobResource-WATERMARK"},
        {&PaneServerLists::getWaterMarkFileListWithResourceSet, "JobResource-WATERMARK"},
        {&PaneServerLists::getTrappingFileList, "JobResource-TRAPPING"},
        {&PaneServerLists::getTrappingFileListWithResourceSet, "JobResource-TRAPPING"},
        {&PaneServerLists::getNormalizerFileList, "JobResource-NORMALIZER"},
        {&PaneServerLists::getNormalizerFileListWithResourceSet, "JobResource-NORMALIZER"},
        {&PaneServerLists::getImpositionFileList, "JobResource-IMPOSITION"},
        {&PaneServerLists::getImpositionFileListWithResourceSet, "JobResource-IMPOSITION"},
        {&PaneServerLists::getFontList, "Font"},
        {&PaneServerLists::getDensityAdjustProfileList, "DensityAdjustProfile"},
        {&PaneServerLists::getUserTrcProfileList, "UserTrcProfile"},
        {&PaneServerLists::getRGBInputProfileFileList, "RGBInputProfileFile"},
        {&PaneServerLists::getDeviceLinkFileList, "DeviceLinkFile"},
        {&PaneServerLists::getJobResourceSetList, "JobResourceSet"},
        {&PaneServerLists::getJobResourceSetListNew, "JobResourceSetLinkage"},
        {&PaneServerLists::getCalibFileList, "CalibFile"},
    };
    return getters;
}

} // namespace velmora::test
