#pragma once

#include "favorites/FavoriteFolderLock.h"
#include "platform/foundation/Result.h"
#include "platform/foundation/Value.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::app {

// A subcommand of velmora: its name, a one-line synopsis and the function that runs it with
// the arguments after the name. The function returns the process exit status.
struct Command {
    const char* name;
    const char* synopsis;
    int (*run)(const std::vector<std::string>& arguments);
};

const std::vector<Command>& commands();

// Says a command's problem on standard error as every command says it: "velmora COMMAND:
// problem". A problem need not end the command (a warning, one of several refused options).
void reportCommandProblem(std::string_view command, const std::string& problem);
// Says why a command failed, and gives the exit status of a failure, 1.
int failCommand(std::string_view command, const std::string& reason);

int runPlistCommand(const std::vector<std::string>& arguments);
int runUiCommand(const std::vector<std::string>& arguments);
int runPpdCommand(const std::vector<std::string>& arguments);
int runPpdListCommand(const std::vector<std::string>& arguments);
int runConvertCommand(const std::vector<std::string>& arguments);
int runFavoriteCommand(const std::vector<std::string>& arguments);
int runFavoritesCommand(const std::vector<std::string>& arguments);
// rename, comment, import, export and tree: through the favorites window.
int runFavoritesWindowCommand(const std::vector<std::string>& arguments);
int runServerCommand(const std::vector<std::string>& arguments);
int runPanesCommand(const std::vector<std::string>& arguments);
int runPpdListWriteCommand(const std::vector<std::string>& arguments);
int runPanelCommand(const std::vector<std::string>& arguments);
int runPrintCommand(const std::vector<std::string>& arguments);
int runRefreshListsCommand(const std::vector<std::string>& arguments);
// ticket [--xjdf] FILE: what a job package holds
int runTicketCommand(const std::vector<std::string>& arguments);
// queue-ppd PPD [--bundle DIR]: the PPD with its groups, rules and group texts from the bundle
int runQueuePpdCommand(const std::vector<std::string>& arguments);
// favorites export-instance NAME [-d QUEUE] [--remove]
int runFavoriteInstanceCommand(const std::vector<std::string>& arguments);
// jobs [-d QUEUE]: the jobs waiting on the Velmora queues, as JSON
int runJobsCommand(const std::vector<std::string>& arguments);
// hold [-d QUEUE] on|off: whether every new job of the queue waits for release
int runHoldCommand(const std::vector<std::string>& arguments);
struct JobCommandOptions;
// print --job ID: a held job set up in one print dialog session, then written and released
int printHeldJob(const JobCommandOptions& options);
// The user's favorite folder held for a command that changes it, or the reason.
Result<std::unique_ptr<FavoriteFolderLock>> lockFavoriteFolder();
// A print settings file as --output writes it, or the reason.
Result<Dictionary> readPrintSettingsFile(const std::string& path);

} // namespace velmora::app
