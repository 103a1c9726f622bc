#pragma once

#include <optional>
#include <string>

// libcups marks its PPD functions deprecated, but a queue's PPD can only be read through them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace velmora {

// A queue's PPD as libcups reads it, read once for all a step asks of it and closed when the
// step is done. Null when there is no PPD or libcups cannot read it.
class OpenedPpd {
public:
    explicit OpenedPpd(const std::optional<std::string>& path)
        : _ppd(path && !path->empty() ? ppdOpenFile(path->c_str()) : nullptr) {}
    ~OpenedPpd() {
        if (_ppd)
            ppdClose(_ppd);
    }
    OpenedPpd(const OpenedPpd&) = delete;
    OpenedPpd& operator=(const OpenedPpd&) = delete;
    ppd_file_t* get() const { return _ppd; }

private:
    ppd_file_t* _ppd;
};

} // namespace velmora

#pragma GCC diagnostic pop
