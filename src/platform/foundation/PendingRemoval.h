#pragma once

#include <csignal>
#include <string>

namespace velmora {

// Temporary files and folders that a signal ending the process (SIGTERM, SIGINT, SIGHUP, SIGPIPE)
// removes before the process goes: a half-written file, or a folder of files on their way
// elsewhere that may hold secrets, is never left behind by a stopped process. What is noted is
// kept in memory a signal handler may read, so only a few paths at once (a path beyond them is
// not noted; its owner still removes it when it finishes).
class PendingRemoval {
public:
    // Makes something (make returns its path, or "" when it failed) with the ending signals held
    // back, so that no signal comes between making and noting, and notes it for removal.
    template <class Make> static PendingRemoval noted(Make make, bool folder) {
        Blocked blocked;
        PendingRemoval pending;
        pending._path = make();
        if (!pending._path.empty())
            pending._slot = note(pending._path, folder);
        return pending;
    }
    PendingRemoval() = default;
    ~PendingRemoval() { forget(); }
    PendingRemoval(PendingRemoval&& other) noexcept;
    PendingRemoval& operator=(PendingRemoval&& other) noexcept;
    PendingRemoval(const PendingRemoval&) = delete;
    PendingRemoval& operator=(const PendingRemoval&) = delete;

    const std::string& path() const { return _path; }
    // The signal handler no longer removes it (it was renamed into place, or removed).
    void forget();

private:
    class Blocked {
    public:
        Blocked();
        ~Blocked();

    private:
        sigset_t _before;
    };
    std::string _path;
    int _slot = -1;

    static int note(const std::string& path, bool folder);
};

} // namespace velmora
