#pragma once

#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/FilePanel.h"
#include "platform/ui/Window.h"

#include <deque>
#include <string>
#include <vector>

namespace velmora::test {

// What an alert showed, as a person would have seen it.
struct ShownAlert {
    std::string message;
    std::string informative;
    std::vector<std::string> buttons;
    bool asSheet = false;
};

// Installs an interaction and an alert presenter on the shared application for one test and
// restores the previous ones afterwards. Alerts are recorded and answered with the queued
// button indexes (the first button once the queue is empty).
class ScriptedUi {
public:
    ScriptedUi() {
        auto& app = ui::Application::shared();
        _oldInteraction = app.setInteraction([this](ui::Window& w) {
            ++interactions;
            if (interaction)
                interaction(w);
        });
        _oldPresenter = app.setAlertPresenter([this](const ui::Alert& a, ui::Window* parent) {
            alerts.push_back(
                {a.messageText(), a.informativeText(), a.buttons(), parent != nullptr});
            if (answers.empty())
                return std::size_t{0};
            std::size_t answer = answers.front();
            answers.pop_front();
            return answer;
        });
        _oldPanels = app.setPanelPresenter([this](ui::SavePanel& panel) {
            return panelAnswer ? panelAnswer(panel) : ui::kFileHandlingPanelCancelButton;
        });
    }
    ~ScriptedUi() {
        auto& app = ui::Application::shared();
        app.setInteraction(std::move(_oldInteraction));
        app.setAlertPresenter(std::move(_oldPresenter));
        app.setPanelPresenter(std::move(_oldPanels));
    }
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    ui::Application::Interaction interaction;
    std::function<long(ui::SavePanel&)> panelAnswer;
    std::deque<std::size_t> answers;
    std::vector<ShownAlert> alerts;
    int interactions = 0;

private:
    ui::Application::Interaction _oldInteraction;
    ui::Application::AlertPresenter _oldPresenter;
    ui::Application::PanelPresenter _oldPanels;
};

} // namespace velmora::test
