#pragma once

#include "platform/foundation/Value.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The press's server lists as the panes and the panel ask for them, one getter per list: each
// asks the queue, through whoever answers a list by name (the panel), and has null without one.
class PaneServerLists {
public:
    using Ask = std::function<std::optional<Value>(const std::string& listName)>;
    explicit PaneServerLists(Ask ask) : _ask(std::move(ask)) {}

    std::optional<Value> getStackerInfoList();
    std::optional<Value> getFeederInfoList();
    std::optional<Value> getDeviceList();
    std::optional<Value> getJobFolderList();
    std::optional<Value> getPrePostDeviceList();
    std::optional<Value> getCmsSpotGetAllListData();
    std::optional<Value> getColorSubstList();
    std::optional<Value> getColorPatchFileList();
    std::optional<Value> getColorPatchFileListWithResourceSet();
    std::optional<Value> getNoteFileList();
    std::optional<Value> getNoteFileListWithResourceSet();
    std::optional<Value> getCustomNoteFileList();
    std::optional<Value> getCustomNoteFileListWithResourceSet();
    std::optional<Value> getPagenationFileList();
    std::optional<Value> getPagenationFileListWithResourceSet();
    std::optional<Value> getFormFileList();
    std::optional<Value> getFormFileListWithResourceSet();
    std::optional<Value> getSpecialTonerFileList();
    std::optional<Value> getSpecialTonerFileListWithResourceSet();
    std::optional<Value> getWaterMarkFileList();
    std::optional<Value> getWaterMarkFileListWithResourceSet();
    std::optional<Value> getTrappingFileList();
    std::optional<Value> getTrappingFileListWithResourceSet();
    std::optional<Value> getNormalizerFileList();
    std::optional<Value> getNormalizerFileListWithResourceSet();
    std::optional<Value> getImpositionFileList();
    std::optional<Value> getImpositionFileListWithResourceSet();
    std::optional<Value> getFontList();
    std::optional<Value> getOutputProfileFileList(int kind);
    std::optional<Value> getCMYKInputProfileFileList(int kind);
    std::optional<Value> getDensityAdjustProfileList();
    std::optional<Value> getUserTrcProfileList();
    std::optional<Value> getRGBInputProfileFileList();
    std::optional<Value> getDeviceLinkFileList();
    std::optional<Value> getJobResourceSetList();
    std::optional<Value> getJobResourceSetListNew();
    std::optional<Value> getCalibFileList();
    void getAllList();
    static const std::vector<std::string>& allListNames();

private:
    Ask _ask;
    std::optional<Value> ask(const std::string& listName) const;
};

} // namespace velmora
