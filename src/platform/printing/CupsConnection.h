#pragma once

#include "platform/foundation/Result.h"
#include "platform/foundation/Value.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

typedef struct _http_s http_t;
typedef struct _ipp_attribute_s ipp_attribute_t;

namespace velmora {

// The printing system as a print dialog uses it: the scheduler's destinations and the user's
// saved options for them (the lpoptions every CUPS application shares), a queue's PPD and
// device URI, jobs and command jobs. The scheduler is the one libcups is pointed at
// (CUPS_SERVER, ~/.cups/client.conf, the local default).
class CupsConnection {
public:
    // libcups reads 8,191 bytes of an lpoptions line; a line is kept a little shorter.
    static constexpr std::size_t kMaxLpoptionsLineBytes = 8000;

    // A queue's PPD fetched from the scheduler into a local file; fetching again refreshes the
    // file only when the scheduler's copy changed.
    struct FetchedPpd {
        std::string path;
        std::time_t modified = 0;
    };

    CupsConnection();
    ~CupsConnection();
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;

    // Fails with a reason when the scheduler cannot be reached.
    Status connect();
    // The scheduler as "host:port", or the path of its local socket.
    std::string serverName() const;

    std::vector<std::string> destinationNames();
    // The queue a command works on: the one requested, else the user's default. Fails with a
    // reason when there is none or the scheduler does not have it.
    Result<std::string> chooseQueue(const std::string& requested);
    // Connects to the scheduler and chooses the queue, as every command on one queue starts.
    Result<std::string> connectToQueue(const std::string& requested);
    // The user's default destination (lpoptions first, then the scheduler's); null without one.
    std::optional<std::string> defaultDestination();
    // The default destination this user has set up without asking the scheduler (LPDEST,
    // PRINTER, a "Default" line of lpoptions); null when none is configured.
    static std::optional<std::string> configuredDefault();
    bool hasDestination(const std::string& name);
    // Whether the user's lpoptions hold the instance NAME/INSTANCE.
    bool hasInstance(const std::string& name, const std::string& instance);
    // The instance name a favorite is saved under: its name with each space written "_". Fails
    // with a reason for a name lpoptions cannot hold ("/", "#", "\\", other white space or
    // control characters), which libcups would cut or drop.
    static Result<std::string> instanceName(const std::string& favoriteName);
    // The options saved for the destination (or its instance): the lpoptions of the user. The
    // queue's own defaults that libcups adds (print-color-mode, job-priority, …) are not the
    // user's and are left out.
    Dictionary savedOptions(const std::string& name,
                            const std::optional<std::string>& instance = {});
    // Replaces the saved options of the destination or instance; an empty dictionary with
    // `remove` takes an instance out. Empty values are not saved: lpoptions would give them
    // back as "true". Fails with a reason when lpoptions cannot be written, or when the line
    // would be longer than CUPS reads back (then nothing is written).
    Status saveOptions(const std::string& name, const std::optional<std::string>& instance,
                       const Dictionary& options, bool remove);
    // Whether saveOptions would save these options, without writing anything: a job that is to
    // save its options is checked before it is submitted.
    Status canSaveOptions(const std::string& name, const std::optional<std::string>& instance,
                          const Dictionary& options);

    // noPpd tells a queue that has no PPD (a raw queue); its cached copy, if any, is removed.
    Status fetchPpd(const std::string& name, FetchedPpd& ppd, bool* noPpd = nullptr);
    std::optional<std::string> deviceURI(const std::string& name);

    // Creates a job, sends each file as a document of the given MIME type (the scheduler types
    // it when none is given), closes the job; the job id, or the reason it was not sent.
    Result<int> submitJob(const std::string& name, const std::string& title,
                          const std::vector<std::string>& files, const Dictionary& options,
                          const std::string& format = "");
    // A command job (application/vnd.cups-command) holding the command lines.
    Result<int> submitCommand(const std::string& name, const std::string& title,
                              const std::vector<std::string>& commands);
    // The job's state ("pending", "processing", "completed", …); null when it is unknown.
    std::optional<std::string> jobState(int jobId);
    // Waits until the job has ended (completed, aborted or canceled), has stopped (it will not go
    // on by itself: "processing-stopped") or the time runs out.
    std::optional<std::string> waitForJob(int jobId, double timeoutSeconds);
    // Cancels a job of the queue; fails with a reason when the scheduler refuses.
    Status cancelJob(const std::string& name, int jobId);
    // What the queue says of its state ("Filter failed", …); empty when it says nothing.
    std::string printerStateMessage(const std::string& name);
    // Every attribute of the job as the scheduler keeps it: name → text (values joined by ",").
    Dictionary jobAttributes(int jobId);
    // An attribute's values as text: texts as they were sent (ippAttributeString would quote
    // them), other values in IPP's notation; several values joined with ",".
    static std::string attributeText(ipp_attribute_t* attribute);
    // The connection, for requests of the scheduler's that this class does not make itself; null
    // before connect().
    http_t* http() const { return _http; }

private:
    // The queue's "…-default" attributes under the option names libcups gives them.
    Dictionary queueDefaults(const std::string& name);

    http_t* _http = nullptr;
};

} // namespace velmora
