#include "platform/qt/QtAlertDialog.h"

#include "platform/qt/MirroredView.h"
#include "platform/ui/Alert.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace velmora::qt {
namespace {

QStyle::StandardPixmap iconOf(ui::AlertStyle style) {
    switch (style) {
    case ui::AlertStyle::Critical: return QStyle::SP_MessageBoxCritical;
    case ui::AlertStyle::Informational: return QStyle::SP_MessageBoxInformation;
    case ui::AlertStyle::Warning: break;
    }
    return QStyle::SP_MessageBoxWarning;
}

// The button Escape answers: "Cancel" as the panel's languages title it.
bool isCancelTitle(const std::string& title) {
    return title == "Cancel" || title == "キャンセル";
}

} // namespace

QtAlertDialog::QtAlertDialog(const ui::Alert& alert, QWidget* parent) : QDialog(parent) {
    setObjectName("alert");
    // The message is in the window; the title names who asks.
    setWindowTitle(parent && !parent->window()->windowTitle().isEmpty()
                       ? parent->window()->windowTitle()
                       : QStringLiteral("Velmora Flow"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(iconOf(alert.alertStyle())).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    auto* message = new QLabel(toQString(alert.messageText()), this);
    message->setObjectName("messageText");
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    message->setWordWrap(true);
    auto* informative = new QLabel(toQString(alert.informativeText()), this);
    informative->setObjectName("informativeText");
    informative->setWordWrap(true);
    informative->setVisible(!alert.informativeText().empty());

    auto* texts = new QVBoxLayout;
    texts->addWidget(message);
    texts->addWidget(informative);
    auto* row = new QHBoxLayout;
    row->addStretch();
    const auto& titles = alert.buttons();
    _buttons.resize(titles.size());
    for (std::size_t i = titles.size(); i-- > 0;) {
        auto* button = new QPushButton(toQString(titles[i]), this);
        button->setAutoDefault(false);
        button->setDefault(i == 0);
        connect(button, &QPushButton::clicked, this, [this, i] {
            _answer = i;
            accept();
        });
        if (isCancelTitle(titles[i]))
            _cancelIndex = static_cast<int>(i);
        _buttons[i] = button;
        row->addWidget(button);
    }
    auto* body = new QHBoxLayout;
    body->addWidget(icon);
    body->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addLayout(row);
    setMinimumWidth(420);
    if (!_buttons.empty())
        _buttons.front()->setFocus();
}

void QtAlertDialog::reject() {
    // Escape (and closing the window) answers when there is a button that means it, or when
    // there is only one answer to give.
    if (_cancelIndex >= 0) {
        _answer = static_cast<std::size_t>(_cancelIndex);
        accept();
    } else if (_buttons.size() == 1) {
        _answer = 0;
        accept();
    }
}

} // namespace velmora::qt
