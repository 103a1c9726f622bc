#include "device/JobNameWinController.h"

#include "common/ControlHelpers.h"
#include "common/Localization.h"
#include "device/JobNameLayout.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"
#include "validation/FormatterAttachment.h"
#include "validation/StringUtilities.h"

namespace velmora {
namespace {

constexpr const char* kAuto = "Auto";
constexpr const char* kInput = "Input";

} // namespace

JobNameWinController& JobNameWinController::sharedInstance() {
    static JobNameWinController instance;
    return instance;
}

JobNameWinController::JobNameWinController() : TDWindowController("JobName") {}

JobNameWinController::~JobNameWinController() = default;

std::shared_ptr<ui::Window> JobNameWinController::buildWindow() {
    JobNameViews views = layOutJobNameWindow();
    _specificJobNameRadio = views.radio;
    _jobNameCaption = views.caption;
    _jobNameEdit = views.edit;
    _okButton = views.ok;
    _cancelButton = views.cancel;
    return views.window;
}

void JobNameWinController::windowDidLoad() {
    const char* keywords[] = {kAuto, kInput};
    for (int row = 0; row < 2; ++row) {
        ui::Cell* cell = _specificJobNameRadio->cellAt(row, 0);
        cell->setTitle(BSLocalizedStringOrKey(keywords[row]));
        cell->setRepresentedObject(Value(keywords[row]));
        cell->setTag(row);
    }
    _specificJobNameRadio->setAction("selectRatio:");
    _specificJobNameRadio->setTarget([this](ui::Control&) { selectRatio(); });
    attachMaxLengthFormatterWithEscape(_jobNameEdit.get(), kMaxJobNameLength,
                                       BSLocalizedStringOrKey("Placeholder Max chars"),
                                       std::nullopt);
    _okButton->setAction("sheetOk:");
    _okButton->setTarget([this](ui::Control&) { sheetOk(); });
    _cancelButton->setAction("sheetCancel:");
    _cancelButton->setTarget([this](ui::Control&) { sheetCancel(); });
    restoreValues(std::string(kAuto), std::string());
}

void JobNameWinController::restoreValues(const std::optional<std::string>& specificJobName,
                                         const std::optional<std::string>& jobName) {
    if (!window())
        return;
    if (specificJobName) {
        for (int row = 0; row < _specificJobNameRadio->numberOfRows(); ++row) {
            const ui::Cell* cell = _specificJobNameRadio->cellAt(row, 0);
            if (cell && cell->representedObject() == Value(*specificJobName))
                _specificJobNameRadio->selectCellAt(row, 0);
        }
    }
    if (jobName)
        _jobNameEdit->setObjectValue(Value(*jobName));
    selectRatio();
}

long JobNameWinController::selectedTag() const {
    const ui::Cell* cell = _specificJobNameRadio ? _specificJobNameRadio->selectedCell() : nullptr;
    return cell ? cell->tag() : 0;
}

void JobNameWinController::selectRatio() {
    bool input = _specificJobNameRadio && _specificJobNameRadio->selectedRow() != 0;
    setEnabledConrtols(input, {_jobNameCaption.get(), _jobNameEdit.get()});
}

std::string JobNameWinController::specificJobName() const {
    const ui::Cell* cell = _specificJobNameRadio ? _specificJobNameRadio->selectedCell() : nullptr;
    const std::string* keyword = cell ? cell->representedObject().string() : nullptr;
    return keyword ? *keyword : kAuto;
}

std::string JobNameWinController::jobName() const {
    return _jobNameEdit ? _jobNameEdit->stringValue() : std::string();
}

std::string JobNameWinController::escapedJobName() const {
    if (!_jobNameEdit)
        return {};
    const std::string* stored = _jobNameEdit->objectValue().string();
    return stored ? *stored : _jobNameEdit->stringValue();
}

void JobNameWinController::sheetOk() {
    auto dialog = window();
    if (dialog)
        dialog->endEditingFor(nullptr);
    if (selectedTag() == 0 || !jobName().empty()) {
        end(kOK);
        return;
    }
    ui::Alert alert;
    alert.setMessageText("");
    alert.addButtonWithTitle(BSLocalizedStringOrKey("OK"));
    alert.setInformativeText(BSLocalizedStringOrKey("1 to 255 byte alart"));
    alert.beginSheetModalForWindow(dialog.get(), [](long) {});
}

void JobNameWinController::sheetCancel() {
    // What is being typed is given up with the rest.
    if (auto dialog = window())
        dialog->endEditingFor(nullptr);
    if (_jobNameBackup)
        _jobNameEdit->setObjectValue(Value(*_jobNameBackup));
    long tag = _tagBackup.value_or(0);
    _specificJobNameRadio->selectCellWithTag(tag);
    _tagBackup = tag;
    selectRatio();
    end(kCancel);
}

void JobNameWinController::end(long code) {
    auto& app = ui::Application::shared();
    auto dialog = window();
    if (_sheetOwner && dialog)
        app.endSheet(*dialog, code);
    else
        app.stopModalWithCode(code);
}

void JobNameWinController::sheetDidEnd(long code) {
    if (auto dialog = window())
        dialog->orderOut();
    if (code == kOK && _didEndSelector)
        _didEndSelector(*this);
}

long JobNameWinController::showAsModalDialog() {
    _didEndSelector = nullptr;
    _sheetOwner = nullptr;
    auto dialog = window();
    if (!dialog)
        return kCancel;
    long code = ui::Application::shared().runModalForWindow(*dialog);
    sheetDidEnd(code);
    return code;
}

void JobNameWinController::showSheet(ui::Window& owner, DidEnd didEnd) {
    auto dialog = window();
    if (!dialog)
        return;
    _jobNameBackup = escapedJobName();
    _tagBackup = selectedTag();
    _didEndSelector = std::move(didEnd);
    _sheetOwner = &owner;
    ui::Application::shared().beginSheet(*dialog, owner, [this](long code) {
        _sheetOwner = nullptr;
        sheetDidEnd(code);
    });
}

bool ShowJobNameModalDialog(std::string* specificJobName, std::string* escapedName,
                            std::string* jobName) {
    auto& dialog = JobNameWinController::sharedInstance();
    // The field stores the escaped form: restoring it from the display name would escape the
    // name a second time on the way back.
    const std::string* stored = escapedName ? escapedName : jobName;
    dialog.restoreValues(specificJobName ? std::optional<std::string>(*specificJobName)
                                         : std::nullopt,
                         stored ? std::optional<std::string>(*stored) : std::nullopt);
    if (dialog.showAsModalDialog() != JobNameWinController::kOK)
        return false;
    if (specificJobName)
        *specificJobName = dialog.specificJobName();
    if (escapedName)
        *escapedName = dialog.escapedJobName();
    if (jobName)
        *jobName = dialog.jobName();
    return true;
}

} // namespace velmora
