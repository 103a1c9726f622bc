#pragma once

#include <QDialog>

#include <vector>

class QPushButton;

namespace velmora::ui {
class Alert;
}

namespace velmora::qt {

// An alert as a dialog, laid out as the toolkit lays out alerts: icon, message in bold,
// informative text, and the buttons from the right in the order they were added (the first,
// rightmost, answers Return; a "Cancel" button answers Escape).
class QtAlertDialog : public QDialog {
public:
    QtAlertDialog(const ui::Alert& alert, QWidget* parent);
    // The index of the button that answered; 0 until one did.
    std::size_t answer() const { return _answer; }
    const std::vector<QPushButton*>& buttons() const { return _buttons; }

    void reject() override;

private:
    std::vector<QPushButton*> _buttons;
    std::size_t _answer = 0;
    int _cancelIndex = -1;
};

} // namespace velmora::qt
