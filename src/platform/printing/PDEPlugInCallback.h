#pragma once

struct ppd_file_s;

namespace velmora {

class PrintSession;

// What the print dialog offers the panels it hosts: the session and the queue's opened PPD.
class PDEPlugInCallback {
public:
    virtual ~PDEPlugInCallback() = default;

    virtual PrintSession* printSession() = 0;
    // The queue's PPD as libcups opened it; owned by the dialog, null when the queue has none.
    virtual ppd_file_s* ppdFile() = 0;
};

} // namespace velmora
