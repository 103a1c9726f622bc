// From starting velmora to the graphical print dialog drawn on the press's CUPS queue, next to
// Qt's own print dialog started on the same queue of the same scheduler. Each run is a fresh
// process, as a person starting the dialog gets; both draw offscreen.

#include "support/PrivateCupsd.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

using namespace velmora;

// Runs a program with the arguments, its output discarded; false when it fails.
bool runProgram(const char* program, const std::vector<std::string>& arguments) {
    std::vector<std::string> all{program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return failed == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

void measureStartUp(benchmark::State& state, const std::vector<std::string>& arguments,
                    const char* program = VELMORA_EXECUTABLE) {
    ::setenv("LANGUAGE", "en", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (auto _ : state)
        if (!runProgram(program, arguments)) {
            state.SkipWithError("the program failed");
            return;
        }
}

// The press's queue on a scheduler of this process's own, started once and shared by every run
// of both dialogs (its start is not measured). Empty when there is no scheduler to start.
std::string pressQueue() {
    static test::TempDir dir;
    static test::PrivateCupsd cupsd(dir);
    static bool added = cupsd.running() &&
                        cupsd.addConfiguration("LogLevel warn") && // its debug log is not the work
                        cupsd.addQueue("Press", VELMORA_QUEUE_PPD, "file:/dev/null").empty();
    return added ? "Press" : "";
}

#ifdef VELMORA_QT_PRINT_DIALOG
// A document given, as when an application prints: the dialog shows its first page.
void BM_StartGraphicalDialogOnQueue(benchmark::State& state) {
    std::string queue = pressQueue();
    if (queue.empty())
        return state.SkipWithError("no CUPS scheduler to start");
    measureStartUp(state, {"gui", VELMORA_SAMPLE_DOCUMENT, "-d", queue, "--open-and-close"});
}
BENCHMARK(BM_StartGraphicalDialogOnQueue)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartQtPrintDialogOnQueue(benchmark::State& state) {
    std::string queue = pressQueue();
    if (queue.empty())
        return state.SkipWithError("no CUPS scheduler to start");
    measureStartUp(state, {queue}, VELMORA_QT_PRINT_DIALOG);
}
BENCHMARK(BM_StartQtPrintDialogOnQueue)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

// Scripts run the headless commands in loops: their start-up is the process's own, next to a C
// program that does nothing.
void BM_StartHelp(benchmark::State& state) {
    measureStartUp(state, {"--help"});
}
BENCHMARK(BM_StartHelp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartTrivialPlist(benchmark::State& state) {
    measureStartUp(state, {"plist", VELMORA_PLUGIN_DIR "/Contents/Info.plist"});
}
BENCHMARK(BM_StartTrivialPlist)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartProgramThatDoesNothing(benchmark::State& state) {
    measureStartUp(state, {}, VELMORA_DO_NOTHING);
}
BENCHMARK(BM_StartProgramThatDoesNothing)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
