#pragma once

#include "common/TDWindowController.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

namespace ui {
class Button;
class Matrix;
class TextField;
class Window;
} // namespace ui

// The job name dialog: the name is made automatically ("Auto") or typed ("Input", at most 255
// characters, kept in escaped form as well). Opened modally by the panel's job name button, or
// as a sheet.
class JobNameWinController : public TDWindowController {
public:
    static constexpr long kOK = 1;
    static constexpr long kCancel = 0;
    static constexpr std::uint32_t kMaxJobNameLength = 255;

    static JobNameWinController& sharedInstance();
    JobNameWinController();
    ~JobNameWinController() override;

    void restoreValues(const std::optional<std::string>& specificJobName,
                       const std::optional<std::string>& jobName);
    long showAsModalDialog();
    // After OK the owner is told with the controller.
    using DidEnd = std::function<void(JobNameWinController&)>;
    void showSheet(ui::Window& owner, DidEnd didEnd);

    std::string specificJobName() const;
    std::string jobName() const;
    std::string escapedJobName() const;

    // The actions of the buttons and the radio group.
    void sheetOk();
    void sheetCancel();
    void selectRatio();

    std::shared_ptr<ui::Matrix> specificJobNameRadio() const { return _specificJobNameRadio; }
    std::shared_ptr<ui::TextField> jobNameEdit() const { return _jobNameEdit; }
    std::shared_ptr<ui::TextField> jobNameCaption() const { return _jobNameCaption; }
    std::shared_ptr<ui::Button> okButton() const { return _okButton; }
    std::shared_ptr<ui::Button> cancelButton() const { return _cancelButton; }

protected:
    std::shared_ptr<ui::Window> buildWindow() override;
    void windowDidLoad() override;

private:
    std::shared_ptr<ui::Button> _okButton, _cancelButton;
    std::shared_ptr<ui::TextField> _jobNameCaption, _jobNameEdit;
    std::shared_ptr<ui::Matrix> _specificJobNameRadio;
    std::optional<std::string> _jobNameBackup;
    std::optional<long> _tagBackup;
    DidEnd _didEndSelector;
    ui::Window* _sheetOwner = nullptr;

    void end(long code);
    void sheetDidEnd(long code);
    long selectedTag() const;
};

// Runs the job name dialog on the three values; on OK they are replaced with the dialog's
// (escapedName may be null), on Cancel they stay as they were. True for OK.
extern "C" bool ShowJobNameModalDialog(std::string* specificJobName, std::string* escapedName,
                                       std::string* jobName);

} // namespace velmora
