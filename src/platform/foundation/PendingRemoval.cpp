#include "platform/foundation/PendingRemoval.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <iterator>
#include <utility>

namespace velmora {
namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGPIPE};

// A path is copied in before its slot is marked used, and a slot is given up before its owner
// goes; a folder's descriptor lets the handler list and remove what it holds.
struct Slot {
    std::atomic<bool> used{false};
    int folder = -1;
    char path[4096] = {};
};
Slot slots[16];

// The entries of a folder, listed with the system call itself (what a signal handler may do).
struct LinuxDirent64 {
    unsigned long long inode;
    long long offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

// Passes over the folder until one removes nothing ("." and ".." stay listed), at most a few.
void emptyFolder(int folder) {
    alignas(8) char buffer[4096];
    for (int pass = 0; pass < 8; ++pass) {
        bool removed = false;
        ::lseek(folder, 0, SEEK_SET);
        for (long got; (got = ::syscall(SYS_getdents64, folder, buffer, sizeof buffer)) > 0;)
            for (long at = 0; at < got;) {
                auto* entry = reinterpret_cast<LinuxDirent64*>(buffer + at);
                if (std::strcmp(entry->name, ".") != 0 && std::strcmp(entry->name, "..") != 0)
                    removed = ::unlinkat(folder, entry->name, 0) == 0 || removed;
                at += entry->length;
            }
        if (!removed)
            return;
    }
}

void removeNoted(int signal) {
    for (Slot& slot : slots) {
        if (!slot.used.load(std::memory_order_acquire))
            continue;
        if (slot.folder >= 0) {
            emptyFolder(slot.folder);
            ::rmdir(slot.path);
        } else {
            ::unlink(slot.path);
        }
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void installHandler() {
    for (int signal : kEndingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            struct sigaction handler {};
            handler.sa_handler = removeNoted;
            ::sigemptyset(&handler.sa_mask);
            ::sigaction(signal, &handler, nullptr);
        }
    }
}

} // namespace

PendingRemoval::Blocked::Blocked() {
    sigset_t ending;
    ::sigemptyset(&ending);
    for (int signal : kEndingSignals)
        ::sigaddset(&ending, signal);
    ::pthread_sigmask(SIG_BLOCK, &ending, &_before);
}

PendingRemoval::Blocked::~Blocked() {
    ::pthread_sigmask(SIG_SETMASK, &_before, nullptr);
}

int PendingRemoval::note(const std::string& path, bool folder) {
    installHandler();
    if (path.size() >= sizeof(Slot::path))
        return -1;
    static std::atomic<bool> claiming{false};
    while (claiming.exchange(true, std::memory_order_acquire)) {
    }
    int found = -1;
    for (int i = 0; i < static_cast<int>(std::size(slots)) && found < 0; ++i)
        if (!slots[i].used.load(std::memory_order_relaxed)) {
            std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
            slots[i].folder =
                folder ? ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
            slots[i].used.store(true, std::memory_order_release);
            found = i;
        }
    claiming.store(false, std::memory_order_release);
    return found;
}

void PendingRemoval::forget() {
    if (_slot < 0)
        return;
    // The slot is another's once it is marked unused: its descriptor is taken out first.
    Slot& slot = slots[_slot];
    int folder = std::exchange(slot.folder, -1);
    slot.used.store(false, std::memory_order_release);
    if (folder >= 0)
        ::close(folder);
    _slot = -1;
}

PendingRemoval::PendingRemoval(PendingRemoval&& other) noexcept
    : _path(std::move(other._path)), _slot(std::exchange(other._slot, -1)) {}

PendingRemoval& PendingRemoval::operator=(PendingRemoval&& other) noexcept {
    if (this != &other) {
        forget();
        _path = std::move(other._path);
        _slot = std::exchange(other._slot, -1);
    }
    return *this;
}

} // namespace velmora
