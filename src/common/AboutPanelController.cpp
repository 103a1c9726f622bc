#include "common/AboutPanelController.h"

#include "common/Localization.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/StringFormat.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TextField.h"

namespace velmora {

void ZEMA_AboutPanel::sendEvent(const ui::Event& event) {
    switch (event.type) {
    case ui::EventType::LeftMouseDown:
    case ui::EventType::RightMouseDown:
    case ui::EventType::KeyDown:
        if (ui::Application::shared().modalWindow() == this)
            ui::Application::shared().stopModalWithCode(kEndedByEvent);
        break;
    default: break;
    }
}

void ZEMA_AboutPanel::close() {
    if (ui::Application::shared().modalWindow() == this)
        ui::Application::shared().stopModalWithCode(kEndedByClosing);
    TitlelessPanel::close();
}

AboutPanelController::AboutPanelController() : TDWindowController("About") {}

std::string AboutPanelController::versionLine() {
    auto bundle = BSPrincipalBundle();
    if (!bundle)
        return {};
    auto info = [&](const char* key) { return bundle->objectForInfoDictionaryKey(key); };
    return StringFormat::format("%@.%@ (%@)", {info("CFBundleShortVersionString"),
                                               info("KVBuildVersion"), info("CFBundleVersion")});
}

std::shared_ptr<ui::Window> AboutPanelController::buildWindow() {
    auto panel = std::make_shared<ZEMA_AboutPanel>(ui::Rect::make(0, 0, 400, 260));
    panel->setTitle("About");
    auto content = panel->contentView();

    _imageView = std::make_shared<ui::ImageView>(ui::Rect::make(0, 80, 400, 180));
    if (auto host = ui::Application::shared().mainBundle()) {
        const Value& imageName = host->objectForInfoDictionaryKey("ZRAboutImage");
        if (imageName.isString())
            _imageView->setImage(ui::Image::named(*host, *imageName.string()));
    }
    content->addSubview(_imageView);
    // A host without an image of its own (any host but the press maker's) shows the panel's
    // name there, and how the panel closes, instead of an empty space.
    if (!_imageView->image()) {
        auto bundle = BSPrincipalBundle();
        std::string name =
            bundle ? bundle->objectForInfoDictionaryKey("CFBundleName").stringValue() : "";
        _nameLabel = ui::TextField::label(ui::Rect::make(20, 170, 360, 40),
                                          name.empty() ? "Velmora Flow" : name);
        _nameLabel->setFont(ui::Font::boldSystemFont(24));
        content->addSubview(_nameLabel);
        _closeHint = ui::TextField::label(ui::Rect::make(20, 120, 360, 20),
                                          BSLocalizedStringOrKey("Click or press a key to close."));
        content->addSubview(_closeHint);
    }

    _versionLabel = ui::TextField::label(ui::Rect::make(20, 48, 360, 20), versionLine());
    content->addSubview(_versionLabel);

    auto bundle = BSPrincipalBundle();
    std::string notice =
        bundle ? bundle->objectForInfoDictionaryKey("NSHumanReadableCopyright").stringValue() : "";
    _noticeLabel = ui::TextField::label(ui::Rect::make(20, 16, 360, 20), notice);
    content->addSubview(_noticeLabel);
    return panel;
}

long AboutPanelController::runModal() {
    auto panel = window();
    if (!panel)
        return ZEMA_AboutPanel::kEndedByClosing;
    panel->center();
    long code = ui::Application::shared().runModalForWindow(*panel);
    panel->close();
    return code;
}

long AboutPanelController::runModalPanel() {
    AboutPanelController controller;
    return controller.runModal();
}

} // namespace velmora
