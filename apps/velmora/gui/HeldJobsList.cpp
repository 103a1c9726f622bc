#include "HeldJobsList.h"

#include "platform/printing/HostText.h"
#include "platform/qt/MirroredView.h"
#include "platform/qt/QtFonts.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velmora::app {

using qt::toQString;

HeldJobsList::HeldJobsList(CupsConnection& cups, QWidget* parent) : QWidget(parent), _cups(cups) {
    setObjectName("heldJobsList");
    _label = new QLabel(toQString(hostText("Held &Jobs:")), this);
    _jobs = new QTreeWidget(this);
    _jobs->setObjectName("heldJobs");
    _jobs->setAccessibleName(toQString(hostText("Held Jobs")));
    qt::setMinimumSectionSize(*_jobs->header());
    _jobs->setColumnCount(4);
    _jobs->setHeaderLabels({toQString(hostText("Job")), toQString(hostText("Title")),
                            toQString(hostText("User")), toQString(hostText("Received"))});
    _jobs->setRootIsDecorated(false);
    // The title takes what the number, the owner and the time leave, which are shown whole.
    _jobs->header()->setStretchLastSection(false);
    for (int column : {0, 2, 3})
        _jobs->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    _jobs->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    // Four rows under the header: the dialog stays within a small screen.
    _jobs->setFixedHeight(_jobs->header()->sizeHint().height() +
                          4 * (_jobs->fontMetrics().height() + 6) + 4);
    _label->setBuddy(_jobs);
    _open = new QPushButton(toQString(hostText("&Open")), this);
    _open->setObjectName("openHeldJob");
    _open->setAutoDefault(false);
    _open->setEnabled(false);
    _note = new QLabel(this);
    _note->setObjectName("heldJobsNote");

    auto* side = new QVBoxLayout;
    side->addWidget(_open);
    side->addWidget(_note);
    side->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(_jobs, 1);
    row->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(_label);
    layout->addLayout(row);

    _poll = new QTimer(this);
    _poll->setInterval(kRefreshMilliseconds);
    connect(_poll, &QTimer::timeout, this, [this] { refresh(); });
    connect(_jobs, &QTreeWidget::itemSelectionChanged, this,
            [this] { _open->setEnabled(chosenId() > 0); });
    connect(_jobs, &QTreeWidget::itemActivated, this, [this] { openChosen(); });
    connect(_open, &QPushButton::clicked, this, [this] { openChosen(); });
    setVisible(false);
}

void HeldJobsList::showQueue(const std::string& queue) {
    _queue = queue;
    setVisible(!queue.empty());
    if (queue.empty()) {
        _poll->stop();
        _jobs->clear();
        _shown.clear();
        return;
    }
    refresh();
    _poll->start();
}

void HeldJobsList::refresh() {
    if (_queue.empty())
        return;
    auto jobs = HeldJobs(_cups).list(_queue);
    if (!jobs) {
        // What the list showed may be gone: nothing stays to be opened.
        _note->setText(toQString(jobs.error()));
        _jobs->clear();
        _shown.clear();
        _open->setEnabled(false);
        return;
    }
    std::vector<HeldJob> held;
    for (auto& job : *jobs)
        if (job.held())
            held.push_back(std::move(job));
    int chosen = chosenId();
    _shown = std::move(held);
    _jobs->clear();
    for (const auto& job : _shown) {
        auto* item = new QTreeWidgetItem(_jobs);
        item->setText(0, QString::number(job.id));
        item->setText(1, toQString(job.title));
        item->setText(2, toQString(job.user));
        item->setText(3, QLocale().toString(QDateTime::fromSecsSinceEpoch(job.created),
                                            QLocale::ShortFormat));
        item->setData(0, Qt::UserRole, job.id);
        item->setToolTip(1, toQString(job.title));
        if (job.id == chosen)
            item->setSelected(true);
    }
    _note->setText(_shown.empty() ? toQString(hostText("No held jobs.")) : QString());
    _open->setEnabled(chosenId() > 0);
}

int HeldJobsList::chosenId() const {
    auto selected = _jobs->selectedItems();
    return selected.empty() ? 0 : selected.front()->data(0, Qt::UserRole).toInt();
}

void HeldJobsList::openChosen() {
    int id = chosenId();
    for (const auto& job : _shown)
        if (job.id == id && onOpen) {
            onOpen(job);
            return;
        }
}

} // namespace velmora::app
