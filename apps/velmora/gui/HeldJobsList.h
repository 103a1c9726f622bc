#pragma once

#include "platform/printing/HeldJobs.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace velmora {
class CupsConnection;
}

namespace velmora::app {

// The held jobs of a queue, for the operator to choose one and set it up in the panel. While it
// is shown it asks the scheduler again every few seconds, so that a job printed from another
// application appears without a person asking for it; the chosen job stays chosen.
class HeldJobsList : public QWidget {
public:
    static constexpr int kRefreshMilliseconds = 3000;

    HeldJobsList(CupsConnection& cups, QWidget* parent);

    // The queue whose jobs are listed; an empty name (the embedded press) hides the list.
    void showQueue(const std::string& queue);
    // Asks the scheduler now.
    void refresh();
    // Called with the job a person opens (a double click, Enter, or Open).
    std::function<void(const HeldJob&)> onOpen;

    QTreeWidget* jobs() const { return _jobs; }
    QPushButton* openButton() const { return _open; }
    const std::vector<HeldJob>& shown() const { return _shown; }

private:
    CupsConnection& _cups;
    std::string _queue;
    std::vector<HeldJob> _shown;
    QLabel* _label;
    QTreeWidget* _jobs;
    QPushButton* _open;
    QLabel* _note;
    QTimer* _poll;

    void openChosen();
    int chosenId() const;
};

} // namespace velmora::app
