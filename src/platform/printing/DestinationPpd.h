#pragma once

#include "platform/printing/OpenedPpd.h"

#include <map>
#include <memory>
#include <string>

namespace velmora {

// A destination's PPD, read once for a print dialog session and shared by all that asks of it:
// the queue's check and saved options, the dialog (which marks its choices in it) and the
// preview (which reads sizes and tray names). libcups takes several milliseconds to read a
// press's PPD, so each reading is a visible part of the dialog's start.
//
// Read with the press's choices of its defaults taken first, then with its group, option and
// choice names in the person's language where it has them. Keywords never change.
class DestinationPpd {
public:
    // Null PPD (get()) when there is none at the path or libcups cannot read it. A FIFO or a
    // device is not read: it would hold libcups's reading for ever.
    static std::shared_ptr<DestinationPpd> open(const std::string& path);
    // Starts reading the PPD at the path on another thread, while this one does other work (the
    // window of a dialog on a named queue is made meanwhile). The next open() takes that reading
    // when it asks for the same file, unchanged since; any other file is read anew.
    static void readAhead(const std::string& path);

    DestinationPpd(const DestinationPpd&) = delete;
    DestinationPpd& operator=(const DestinationPpd&) = delete;

    ppd_file_t* get() const { return _ppd.get(); }
    const std::string& path() const { return _path; }
    // What the PPD's defaults choose, in the press's keywords; taken before anyone marked a
    // choice of their own, so it holds whatever the dialog has marked since.
    const std::map<std::string, std::string>& defaults() const { return _defaults; }

private:
    // The language is read from the environment by the caller: a thread reading ahead must not
    // read the environment while the main thread may set it.
    DestinationPpd(const std::string& path, bool readable, const std::string& language);

    std::string _path;
    OpenedPpd _ppd;
    std::map<std::string, std::string> _defaults;
};

} // namespace velmora
