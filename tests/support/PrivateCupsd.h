#pragma once

#include "support/TempDir.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace velmora::test {

// A CUPS scheduler of the test's own: its configuration, spool, state, logs and lpoptions in a
// temporary folder, listening on a free loopback port; the clients of this process (and the
// programs it starts) are pointed at it. Stopped when the object goes, also when a test fails.
class PrivateCupsd {
public:
    static constexpr const char* kCupsd = "/usr/sbin/cupsd";

    explicit PrivateCupsd(const TempDir& dir) : _root(dir / "cups") {
        if (::access(kCupsd, X_OK) != 0)
            return;
        _port = freePort();
        // The scheduler runs its filters as another user, who must reach the queue's files.
        ::chmod(dir.path().c_str(), 0755);
        writeConfiguration();
        _oldServer = std::getenv("CUPS_SERVER") ? std::getenv("CUPS_SERVER") : "";
        ::setenv("CUPS_SERVER", server().c_str(), 1);
        // The clients share the scheduler's folder: lpoptions and local PPDs are found there.
        ::setenv("CUPS_SERVERROOT", (_root + "/etc").c_str(), 1);
        ::setenv("HOME", (_root + "/home").c_str(), 1);
        cupsSetServer(server().c_str()); // libcups keeps the first server it was told
        start();
    }
    ~PrivateCupsd() { stop(); }
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    bool running() const { return _pid > 0 && _ready; }
    int port() const { return _port; }
    std::string server() const { return "127.0.0.1:" + std::to_string(_port); }
    const std::string& root() const { return _root; }
    std::string errorLog() const { return readFile(_root + "/log/error_log"); }
    // A folder for programs the scheduler runs: owned by whoever runs it and closed to others.
    std::string programFolder() const { return _root + "/bin"; }

    // Adds an enabled queue with a PPD and a device URI; the lpadmin output when it fails.
    std::string addQueue(const std::string& name, const std::string& ppd, const std::string& uri) {
        return run("/usr/sbin/lpadmin -h " + server() + " -p " + name + " -E -v '" + uri +
                   "' -P '" + ppd + "' 2>&1 | grep -v deprecated");
    }
    // Appends to the scheduler's configuration (a policy, say) and starts it again with it.
    bool addConfiguration(const std::string& text) {
        stop();
        std::ofstream(_root + "/etc/cupsd.conf", std::ios::app) << "\n" << text << "\n";
        _ready = false;
        start();
        return running();
    }
    void stop() {
        if (_pid > 0) {
            ::kill(_pid, SIGTERM);
            int status = 0;
            for (int i = 0; i < 50 && ::waitpid(_pid, &status, WNOHANG) == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (::waitpid(_pid, &status, WNOHANG) == 0) {
                ::kill(_pid, SIGKILL);
                ::waitpid(_pid, &status, 0);
            }
            _pid = -1;
        }
    }
    static std::string run(const std::string& command) {
        std::string out;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            std::size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
                out.append(buffer, n);
            ::pclose(pipe);
        }
        return out;
    }

    // Whether something listens on a loopback port.
    static bool answers(int port) {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return connected;
    }

    // A loopback port no one listens on now.
    static int freePort() {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(fd);
        return ntohs(address.sin_port);
    }

private:
    std::string _root;
    int _port = 0;
    pid_t _pid = -1;
    bool _ready = false;
    std::string _oldServer;

    void folder(const std::string& name, mode_t mode) {
        std::filesystem::create_directories(_root + "/" + name);
        ::chmod((_root + "/" + name).c_str(), mode);
    }

    void writeConfiguration() {
        folder("", 0755);
        for (const char* name :
             {"etc", "etc/ppd", "state", "cache", "spool", "log", "bin", "client", "home"})
            folder(name, 0755);
        folder("spool/tmp", 01777);
        folder("out", 01777);
        write("etc/cupsd.conf", "Listen 127.0.0.1:" + std::to_string(_port) +
                                    "\nLogLevel debug\nWebInterface No\nBrowsing No\n"
                                    "DefaultAuthType None\nMaxJobs 0\n"
                                    "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                    "  </Limit>\n</Policy>\n");
        write("etc/cups-files.conf", "ServerRoot " + _root + "/etc\nStateDir " + _root +
                                         "/state\nCacheDir " + _root + "/cache\nRequestRoot " +
                                         _root + "/spool\nTempDir " + _root + "/spool/tmp\n" +
                                         "AccessLog " + _root + "/log/access_log\nErrorLog " +
                                         _root + "/log/error_log\nPageLog " + _root +
                                         "/log/page_log\nPrintcap /dev/null\nFileDevice Yes\n"
                                         // the press's filter is built with the sanitizers too
                                         "SetEnv ASAN_OPTIONS detect_leaks=0\n");
#ifdef VELMORA_MIME_TYPES
        // The press's job package is a document type the scheduler must know.
        write("etc/velmora.types", readFile(VELMORA_MIME_TYPES));
#endif
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(_root + "/" + name) << text;
    }

    void start() {
        _pid = ::fork();
        if (_pid == 0) {
            // The scheduler goes with the test, also when the test dies without cleaning up.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            std::string config = _root + "/etc/cupsd.conf", files = _root + "/etc/cups-files.conf";
            std::freopen((_root + "/log/cupsd.out").c_str(), "w", stdout);
            std::freopen((_root + "/log/cupsd.out").c_str(), "a", stderr);
            ::execl(kCupsd, kCupsd, "-f", "-c", config.c_str(), "-s", files.c_str(), nullptr);
            ::_exit(127);
        }
        // Ready when it answers on its port.
        for (int i = 0; i < 100 && !_ready; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            _ready = answers(_port);
            int status = 0;
            if (::waitpid(_pid, &status, WNOHANG) == _pid) {
                _pid = -1;
                return;
            }
        }
    }
};

} // namespace velmora::test
