#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/Application.h"

namespace velmora::app {

// Records every alert as shown ({"message", "informative", "buttons", "answer"}) and answers it
// with its first button, or with the second when told to say no.
class AlertRecorder {
public:
    explicit AlertRecorder(bool answerYes);
    ~AlertRecorder();
    AlertRecorder(const AlertRecorder&) = delete;
    AlertRecorder& operator=(const AlertRecorder&) = delete;

    Array alerts;

private:
    ui::Application::AlertPresenter _old;
};

} // namespace velmora::app
