#pragma once

#include "common/TDWindowController.h"
#include "common/TitlelessPanel.h"

#include <memory>

namespace velmora {

namespace ui {
class ImageView;
class TextField;
} // namespace ui

// The About panel: any click or key press ends it with -1000, closing it with -1001.
class ZEMA_AboutPanel : public TitlelessPanel {
public:
    static constexpr long kEndedByEvent = -1000;
    static constexpr long kEndedByClosing = -1001;

    using TitlelessPanel::TitlelessPanel;
    std::string className() const override { return "ZEMA_AboutPanel"; }
    void sendEvent(const ui::Event& event) override;
    void close() override;
};

// Shows the product image, the version line and the copyright notice.
class AboutPanelController : public TDWindowController {
public:
    AboutPanelController();

    // Builds a controller and runs its panel; returns how the panel was ended.
    static long runModalPanel();
    // Centres the panel, runs it modally and closes it.
    long runModal();

    std::shared_ptr<ui::ImageView> imageView() const { return _imageView; }
    std::shared_ptr<ui::TextField> versionLabel() const { return _versionLabel; }
    std::shared_ptr<ui::TextField> noticeLabel() const { return _noticeLabel; }
    // Shown where the host has no image of its own (null otherwise).
    std::shared_ptr<ui::TextField> nameLabel() const { return _nameLabel; }
    std::shared_ptr<ui::TextField> closeHint() const { return _closeHint; }

    // "short version.build version (bundle version)" from the plug-in's bundle.
    static std::string versionLine();

protected:
    std::shared_ptr<ui::Window> buildWindow() override;

private:
    std::shared_ptr<ui::ImageView> _imageView;
    std::shared_ptr<ui::TextField> _versionLabel;
    std::shared_ptr<ui::TextField> _noticeLabel;
    std::shared_ptr<ui::TextField> _nameLabel;
    std::shared_ptr<ui::TextField> _closeHint;
};

} // namespace velmora
