#pragma once

#include <string>

struct ppd_file_s;

namespace velmora {

class PrintSession;
class PrintSettings;

// What the print dialog offers the panels it hosts: the session, its print settings, the
// queue's opened PPD and, on hosts that have it, constraint handling of PPD choices.
class PDEPlugInCallback {
public:
    virtual ~PDEPlugInCallback() = default;

    virtual PrintSession* printSession() = 0;
    virtual PrintSettings* printSettings() = 0;
    // The queue's PPD as libcups opened it; owned by the dialog, null when the queue has none.
    virtual ppd_file_s* ppdFile() = 0;

    // Whether the host answers willChangePPDOptionKeyValue.
    virtual bool respondsToWillChangePPDOptionKeyValue() const { return false; }
    // Marks the choice in the queue's PPD and lets the host resolve the constraints it breaks.
    virtual void willChangePPDOptionKeyValue(const std::string& option, const std::string& choice) {
        (void)option;
        (void)choice;
    }
};

} // namespace velmora
