#pragma once

#include "support/PrivateCupsd.h"
#include "support/TempDir.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

// An IPP Everywhere printer that we did not write: CUPS's own ippeveprinter on a free loopback
// port, taking PDF, two-sided. Each job's IPP attributes are kept as the environment its print
// command saw (IPP_FINISHINGS=…), one file per job. ippeveprinter will not start without a
// D-Bus for its DNS-SD client, so it is given a bus of its own as the system bus, and
// advertises nothing. Both stop when the object goes, also when a test fails.
class PeerPrinter {
public:
    static constexpr const char* kProgram = "/usr/sbin/ippeveprinter";
    static constexpr const char* kBus = "/usr/bin/dbus-daemon";

    explicit PeerPrinter(const TempDir& dir) : _root(dir / "peer") {
        if (::access(kProgram, X_OK) != 0 || ::access(kBus, X_OK) != 0)
            return;
        std::filesystem::create_directories(_root + "/spool");
        std::filesystem::create_directories(_root + "/jobs");
        writeFile(_root + "/bus.conf",
                  "<busconfig><type>session</type><listen>unix:path=" + _root +
                      "/bus</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                      "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                      "<allow own=\"*\"/><allow user=\"*\"/>"
                      "</policy></busconfig>\n");
        writeFile(_root + "/record", "#!/bin/sh\nenv | grep '^IPP_' | sort > \"" + _root +
                                         "/jobs/$IPP_JOB_ID.tmp\" && mv \"" + _root +
                                         "/jobs/$IPP_JOB_ID.tmp\" \"" + _root +
                                         "/jobs/$IPP_JOB_ID.env\"\n");
        ::chmod((_root + "/record").c_str(), 0755);
        _busPid = spawn({kBus, "--nofork", "--config-file=" + _root + "/bus.conf"}, {},
                        _root + "/bus.log");
        if (!waitFor([&] { return std::filesystem::exists(_root + "/bus"); }))
            return;
        _port = PrivateCupsd::freePort();
        _printerPid =
            spawn({kProgram, "-p", std::to_string(_port), "-r", "off", "-n", "localhost", "-2",
                   "-s", "10,10", "-f", "application/pdf", "-c", _root + "/record", "-d",
                   _root + "/spool", "Peer"},
                  {"DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + _root + "/bus"}, _root + "/printer.log");
        _ready = waitFor([&] { return PrivateCupsd::answers(_port); });
    }
    ~PeerPrinter() {
        for (pid_t* pid : {&_printerPid, &_busPid})
            if (*pid > 0) {
                ::kill(*pid, SIGTERM);
                int status = 0;
                for (int i = 0; i < 50 && ::waitpid(*pid, &status, WNOHANG) == 0; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                if (::waitpid(*pid, &status, WNOHANG) == 0) {
                    ::kill(*pid, SIGKILL);
                    ::waitpid(*pid, &status, 0);
                }
                *pid = -1;
            }
    }

    // Whether the programs it needs are here at all (the set-up script installs them).
    static bool installed() { return ::access(kProgram, X_OK) == 0 && ::access(kBus, X_OK) == 0; }
    PeerPrinter(const PeerPrinter&) = delete;
    PeerPrinter& operator=(const PeerPrinter&) = delete;

    bool running() const { return _ready; }
    // What the printer and its bus said, for a test that cannot go on without them.
    std::string log() const {
        std::string text;
        for (const char* name : {"/bus.log", "/printer.log"}) {
            std::ifstream in(_root + name);
            text += std::string(std::istreambuf_iterator<char>(in), {});
        }
        return text;
    }
    std::string uri() const { return "ipp://localhost:" + std::to_string(_port) + "/ipp/print"; }
    // The IPP attributes job N arrived with ("IPP_SIDES=two-sided-long-edge" lines); empty
    // until the printer has processed it (waits up to the given time).
    std::string jobAttributes(int job, int seconds) const {
        std::string file = _root + "/jobs/" + std::to_string(job) + ".env";
        for (int i = 0; i < seconds * 10 && !std::filesystem::exists(file); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string _root;
    int _port = 0;
    pid_t _busPid = -1, _printerPid = -1;
    bool _ready = false;

    static void writeFile(const std::string& path, const std::string& text) {
        std::ofstream(path) << text;
    }
    static pid_t spawn(const std::vector<std::string>& arguments,
                       const std::vector<std::string>& environment, const std::string& log) {
        pid_t pid = ::fork();
        if (pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            std::freopen(log.c_str(), "w", stdout);
            std::freopen(log.c_str(), "a", stderr);
            for (const auto& variable : environment)
                ::putenv(const_cast<char*>(variable.c_str()));
            std::vector<char*> argv;
            for (const auto& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        return pid;
    }
    template <class Ready> static bool waitFor(Ready ready) {
        for (int i = 0; i < 100; ++i) {
            if (ready())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
};

} // namespace velmora::test
