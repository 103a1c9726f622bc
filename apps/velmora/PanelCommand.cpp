// velmora panel: one print dialog session in the in-memory host on the sample press (or
// another bundle and PPD).
#include "Command.h"
#include "PanelSession.h"

#include "platform/foundation/FileUtil.h"
#include "platform/foundation/JsonReader.h"
#include "platform/printing/JobDelivery.h"
#include "platform/printing/JobOptions.h"
#include "platform/printing/PrintSettings.h"

#include <cstdio>
#include <cstdlib>

namespace velmora::app {

namespace {

// The report as it is printed: the panel's passwords and PINs, which the settings file keeps for
// the next session, shown as stars.
Dictionary withSecretsHidden(Dictionary report) {
    Dictionary settings = report.get("printSettings").dictionary()
                              ? *report.get("printSettings").dictionary()
                              : Dictionary();
    if (const Dictionary* ticket = settings.get("ticket").dictionary())
        settings.set("ticket", Value(JobOptions::withSecretsHidden(*ticket)));
    report.set("printSettings", Value(std::move(settings)));
    return report;
}

} // namespace
namespace {

constexpr std::size_t kMaxSettingsFileSize = 16 * 1024 * 1024;

} // namespace

void reportCommandProblem(std::string_view command, const std::string& problem) {
    std::fprintf(stderr, "velmora %.*s: %s\n", static_cast<int>(command.size()), command.data(),
                 problem.c_str());
}

int failCommand(std::string_view command, const std::string& reason) {
    reportCommandProblem(command, reason);
    return 1;
}

Result<Dictionary> readPrintSettingsFile(const std::string& path) {
    std::string error;
    auto text = FileUtil::readFile(path, kMaxSettingsFileSize, &error);
    auto parsed = text ? JsonReader::parse(*text, &error) : std::nullopt;
    if (!parsed || !parsed->dictionary())
        return Failure{path + " holds no print settings" + (error.empty() ? "" : ": " + error)};
    // A count the job cannot have is said, not wrapped round or left out.
    if (const Dictionary* host = parsed->dictionary()->get("host").dictionary())
        if (const Value& copies = host->get("copies");
            !copies.isNull() &&
            !(copies.isInteger() && PrintSettings::isCopiesCount(copies.integerValue())))
            return Failure{path + ": copies must be a whole number from " +
                           std::to_string(PrintSettings::kMinCopies) + " to " +
                           std::to_string(PrintSettings::kMaxCopies) + ", not " + copies.toJson()};
    return *parsed->dictionary();
}

int runPanelCommand(const std::vector<std::string>& arguments) {
    PanelOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i)
        if (parsePanelOption(arguments, i, options) != OptionParse::Taken) {
            std::fprintf(stderr, "usage: velmora panel %s\n", kPanelOptionsUsage);
            return 2;
        }
    if (!panelOptionsComplete(options)) {
        std::fprintf(stderr, "usage: velmora panel %s\n", kPanelOptionsUsage);
        return 2;
    }
    if (!options.language.empty())
        ::setenv("LANGUAGE", options.language.c_str(), 1);
    std::optional<Dictionary> restoreFrom;
    if (!options.settings.empty()) {
        auto read = readPrintSettingsFile(options.settings);
        if (!read)
            return failCommand("panel", read.error());
        restoreFrom = std::move(*read);
    }
    // Checked before the session, which may save a favorite: a failed run can be run again.
    std::string error;
    if (!options.output.empty() && !FileUtil::canWrite(options.output, &error))
        return failCommand("panel", "cannot write " + options.output + ": " + error);
    PanelSession session(options,
                         InMemoryPrintDialog::Options{options.bundle, options.ppd, "VelmoraPress",
                                                      std::string(JobDelivery::kSampleDeviceURI),
                                                      true, nullptr, nullptr});
    if (!session.run(restoreFrom))
        return failCommand("panel", session.error());
    Dictionary report = session.report();
    if (!options.output.empty() &&
        !FileUtil::writeFileAtomically(options.output, report.get("printSettings").toJson(2) + "\n",
                                       &error, FileUtil::Readers::OwnerOnly))
        return failCommand("panel", "cannot write " + options.output + ": " + error);
    std::printf("%s\n", Value(withSecretsHidden(std::move(report))).toJson(2).c_str());
    return 0;
}

} // namespace velmora::app
