#include "platform/printing/InMemoryPrintDialog.h"

#include "platform/printing/HostText.h"

#include "platform/foundation/FileSystem.h"
#include "platform/foundation/PlugInBundleLoader.h"
#include "platform/printing/DestinationPpd.h"
#include "platform/printing/InMemoryPrinter.h"
#include "platform/printing/PressNames.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

// libcups marks its PPD API deprecated, but a queue's PPD can only be marked through it.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/cups.h>
#include <cups/ppd.h>

#include <algorithm>
#include <cstdlib>

namespace velmora {
namespace {

constexpr double kHostStripHeight = 34;
constexpr const char* kInputSlotKey = "KVInputSlot";

bool isDuplexOption(const std::string& option) {
    return option == "Duplex" || option == "DuplexMode";
}

std::optional<int> duplexingOfChoice(const std::string& choice) {
    if (choice == "None")
        return PrintSettings::kDuplexNone;
    if (choice == "DuplexNoTumble")
        return PrintSettings::kDuplexNoTumble;
    if (choice == "DuplexTumble")
        return PrintSettings::kDuplexTumble;
    return std::nullopt;
}

} // namespace

InMemoryPrintDialog::InMemoryPrintDialog(Options options)
    : _options(std::move(options)),
      _printer(_options.printer
                   ? _options.printer
                   : std::make_shared<InMemoryPrinter>(_options.printerName, _options.deviceURI)) {
    _session.setCurrentPrinter(_printer);
    // The queue's options are shown in the person's language where the PPD has it.
    _destinationPpd = _options.ppd       ? _options.ppd
                      : _options.ppdPath ? DestinationPpd::open(*_options.ppdPath)
                                         : nullptr;
    _ppd = _destinationPpd ? _destinationPpd->get() : nullptr;
    if (_ppd)
        ppdMarkDefaults(_ppd);
    buildWindow();
}

InMemoryPrintDialog::~InMemoryPrintDialog() {
    // The panel goes before the plug-in that made it, and both before the PPD they may use.
    _panel.reset();
    _plugIn.reset();
    _ppd = nullptr;
    _destinationPpd.reset();
}

Status InMemoryPrintDialog::open() {
    if (_options.ppdPath && !_ppd)
        return Failure{"the queue's PPD " + *_options.ppdPath +
                       (!FileSystem::exists(*_options.ppdPath)          ? " does not exist"
                        : !FileSystem::isRegularFile(*_options.ppdPath) ? " is not a regular file"
                                                                        : " cannot be read")};
    auto loaded = PlugInBundleLoader::open(_options.plugInPath, kPDEPlugInAbiVersion,
                                           "print dialog extension");
    if (!loaded.error.empty())
        return Failure{_options.plugInPath + " is not loaded: " + loaded.error};
    auto factory = reinterpret_cast<PDEPlugInFactory>(loaded.factory);
    _plugIn.reset(factory());
    if (!_plugIn || !_plugIn->initWithBundle(loaded.bundle))
        return Failure{_options.plugInPath + " refused to start"};
    auto panels = _plugIn->PDEPanelsForType(kPDETypePrinterModule, this);
    if (!panels || panels->empty() || !panels->front())
        return Failure{_options.plugInPath + " has no printer-module panel"};
    _panel = panels->front();
    placePanelView();
    return {};
}

void InMemoryPrintDialog::buildWindow() {
    _window = std::make_shared<ui::Window>(ui::Rect::make(0, 0, 600, kHostStripHeight),
                                           hostText("Print"));
    auto content = _window->contentView();
    content->addSubview(ui::TextField::label(ui::Rect::make(20, 7, 70, 17), hostText("Copies:")));
    _copies = std::make_shared<ui::TextField>(
        ui::Rect::make(kCopiesX, kCopiesY, kCopiesWidth, kCopiesHeight));
    _copies->setStringValue(std::to_string(_settings.copies()));
    _copies->setAccessibilityLabel(hostText("Copies"));
    _copies->setAction("copiesChanged:");
    _copies->setTarget(
        [this](ui::Control& field) { takeCopies(static_cast<ui::TextField&>(field)); });
    _copies->setDelegate(&_copiesEditing);
    content->addSubview(_copies);
    _collate = ui::Button::checkBox(ui::Rect::make(180, 4, 100, 22), hostText("Collated"));
    _collate->setAction("collatedSelected:");
    _collate->setTarget([this](ui::Control& box) {
        _settings.setCollate(static_cast<ui::Button&>(box).state() == 1);
    });
    content->addSubview(_collate);
    _twoSided = ui::Button::checkBox(ui::Rect::make(290, 4, 110, 22), hostText("Two-Sided"));
    _twoSided->setAction("twoSidedSelected:");
    // The dialog's own two-sided setting is the PPD's duplex choice; the panel is told.
    _twoSided->setTarget([this](ui::Control& box) {
        bool on = static_cast<ui::Button&>(box).state() == 1;
        _settings.setDuplexing(on ? PrintSettings::kDuplexNoTumble : PrintSettings::kDuplexNone);
        std::string choice = on ? "DuplexNoTumble" : "None";
        if (_ppd && ppdFindOption(_ppd, "Duplex")) {
            markChoice("Duplex", choice);
            if (_panel)
                _panel->PPDOptionKeyValueDidChange(std::string("Duplex"), choice);
        }
    });
    content->addSubview(_twoSided);
    showHostSettings();
}

// A count the settings cannot hold shows the count they keep.
void InMemoryPrintDialog::takeCopies(ui::TextField& field) {
    if (auto copies = PrintSettings::copiesOfText(field.stringValue()))
        _settings.setCopies(*copies);
    else
        field.setStringValue(std::to_string(_settings.copies()));
}

// The panel sits above the dialog's own strip; the window takes the panel's size.
void InMemoryPrintDialog::placePanelView() {
    auto view = _panel->panelView();
    if (!view)
        return;
    if (!view->superview())
        _window->contentView()->addSubview(view);
    ui::Size size = view->frame().size;
    view->setFrameOrigin({0, kHostStripHeight});
    _window->setFrame(ui::Rect::make(_window->frame().origin.x, _window->frame().origin.y,
                                     std::max(size.width, 420.0), size.height + kHostStripHeight));
}

void InMemoryPrintDialog::showPanel() {
    if (!_panel)
        return;
    _panel->willShow();
    placePanelView();
}

bool InMemoryPrintDialog::hidePanel() {
    return _panel && _panel->shouldHide();
}

void InMemoryPrintDialog::showHostSettings() {
    _copies->setStringValue(std::to_string(_settings.copies()));
    _collate->setState(_settings.collate() ? 1 : 0);
    _twoSided->setState(_settings.duplexing() != PrintSettings::kDuplexNone ? 1 : 0);
}

void InMemoryPrintDialog::willChangePPDOptionKeyValue(const std::string& option,
                                                      const std::string& choice) {
    if (!_ppd)
        return;
    // The panel keeps the press's rules among the options it handles itself, with the person
    // (asking, refusing Print while one is broken). libcups resolving the same rules one written
    // choice at a time would undo choices the panel wrote before: its choices are marked as given.
    if (panelHandles(option)) {
        markChoice(option, choice);
        return;
    }
    int count = 0;
    cups_option_t* resolved = nullptr;
    if (cupsResolveConflicts(_ppd, option.c_str(), choice.c_str(), &count, &resolved)) {
        for (int i = 0; i < count; ++i) {
            std::string name = resolved[i].name, value = resolved[i].value;
            if (name != option && markedChoice(name) != value)
                _resolved.emplace_back(name, value);
            markChoice(name, value);
        }
    }
    cupsFreeOptions(count, resolved);
    markChoice(option, choice);
}

const PressNames& InMemoryPrintDialog::pressNames() {
    if (!_pressNames)
        _pressNames.emplace(_ppd);
    return *_pressNames;
}

bool InMemoryPrintDialog::panelHandles(const std::string& option) {
    if (!_panelKeys) {
        _panelKeys.emplace();
        if (auto keys = _panel ? _panel->supportedPPDOptionKeys() : std::nullopt)
            for (const Value& key : *keys)
                if (const std::string* text = key.string())
                    _panelKeys->insert(*text);
    }
    // The panel names the options as the press does; the PPD may name some for print clients.
    std::string pressOption = pressNames().optionOfPress(option);
    return !pressOption.empty() && _panelKeys->contains(pressOption);
}

void InMemoryPrintDialog::markChoice(const std::string& option, const std::string& choice) {
    if (!ppdFindChoice(ppdFindOption(_ppd, option.c_str()), choice.c_str()))
        return;
    // libcups tests every constraint of the PPD again with each choice it marks: a choice that
    // is marked already (most of what a save writes) is not marked again.
    if (markedChoice(option) != choice)
        ppdMarkOption(_ppd, option.c_str(), choice.c_str());
    followDuplexChoice(option, choice);
}

// The dialog's two-sided setting follows the PPD's duplex choices, as it does on screen.
void InMemoryPrintDialog::followDuplexChoice(const std::string& option, const std::string& choice) {
    if (!isDuplexOption(option))
        return;
    if (auto duplexing = duplexingOfChoice(choice)) {
        _settings.setDuplexing(*duplexing);
        showHostSettings();
    }
}

std::optional<std::string> InMemoryPrintDialog::markedChoice(const std::string& option) const {
    if (!_ppd)
        return std::nullopt;
    if (ppd_choice_t* marked = ppdFindMarkedChoice(_ppd, option.c_str()))
        return std::string(marked->choice);
    return std::nullopt;
}

Dictionary InMemoryPrintDialog::changedPpdChoices() const {
    Dictionary changed;
    if (!_ppd)
        return changed;
    for (ppd_option_t* option = ppdFirstOption(_ppd); option; option = ppdNextOption(_ppd)) {
        auto marked = markedChoice(option->keyword);
        if (marked && *marked != option->defchoice)
            changed.set(option->keyword, Value(*marked));
    }
    return changed;
}

bool InMemoryPrintDialog::isHostKey(const std::string& key) const {
    return key == PrintSettings::kCopiesKey || key == PrintSettings::kCollateKey ||
           key == PrintSettings::kDuplexingKey || key == kInputSlotKey;
}

Dictionary InMemoryPrintDialog::settingsSnapshot() const {
    Dictionary ticket;
    for (const auto& [key, value] : _settings.entries())
        if (!isHostKey(key))
            ticket.set(key, value);
    Dictionary host{{"copies", Value(static_cast<std::int64_t>(_settings.copies()))},
                    {"collate", Value(_settings.collate())},
                    {"duplexing", Value(static_cast<std::int64_t>(_settings.duplexing()))}};
    if (const Value* slot = _settings.value(kInputSlotKey))
        host.set(kInputSlotKey, *slot);
    return Dictionary{{"ppd", Value(changedPpdChoices())},
                      {"ticket", Value(std::move(ticket))},
                      {"host", Value(std::move(host))}};
}

void InMemoryPrintDialog::restoreSnapshot(const Dictionary& snapshot) {
    // A settings file keeps the PPD's names of its day; those the queue's PPD now names
    // otherwise (for print clients) are taken under the new names.
    if (const Dictionary* ppd = snapshot.get("ppd").dictionary())
        for (const auto& [option, choice] : pressNames().inPpdNames(*ppd))
            if (const std::string* text = choice.string(); text && _ppd)
                markChoice(option, *text);
    if (const Dictionary* ticket = snapshot.get("ticket").dictionary())
        for (const auto& [key, value] : *ticket)
            if (!isHostKey(key) && !value.isNull())
                _settings.setValue(key, value);
    if (const Dictionary* host = snapshot.get("host").dictionary()) {
        if (const Value& copies = host->get("copies");
            copies.isInteger() && PrintSettings::isCopiesCount(copies.integerValue()))
            _settings.setCopies(static_cast<int>(copies.integerValue()));
        if (const Value& collate = host->get("collate"); collate.isBoolean())
            _settings.setCollate(collate.boolValue());
        if (const Value& duplexing = host->get("duplexing");
            duplexing.isNumber() && duplexing.integerValue() >= PrintSettings::kDuplexNone &&
            duplexing.integerValue() <= PrintSettings::kDuplexTumble)
            _settings.setDuplexing(static_cast<int>(duplexing.integerValue()));
        if (const Value& slot = host->get(kInputSlotKey); slot.isString())
            _settings.setValue(kInputSlotKey, slot);
    }
    showHostSettings();
}

} // namespace velmora
