#include "AlertRecorder.h"

#include "platform/ui/Alert.h"

namespace velmora::app {

AlertRecorder::AlertRecorder(bool answerYes) {
    _old = ui::Application::shared().setAlertPresenter(
        [this, answerYes](const ui::Alert& alert, ui::Window*) {
            std::size_t answer = answerYes || alert.buttons().size() < 2 ? 0 : 1;
            Array buttons;
            for (const auto& b : alert.buttons())
                buttons.push_back(Value(b));
            Value answered = alert.buttons().empty() ? Value() : Value(alert.buttons()[answer]);
            alerts.push_back(Value(Dictionary{{"message", alert.messageText()},
                                              {"informative", alert.informativeText()},
                                              {"buttons", std::move(buttons)},
                                              {"answer", std::move(answered)}}));
            return answer;
        });
}

AlertRecorder::~AlertRecorder() {
    ui::Application::shared().setAlertPresenter(std::move(_old));
}

} // namespace velmora::app
