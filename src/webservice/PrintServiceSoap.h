#pragma once

#include "platform/foundation/RunLoop.h"
#include "webservice/HttpCookie.h"
#include "webservice/PrintServiceOperations.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace velmora {

struct SoapError {
    std::string domain;
    long code = 0;
    std::string description;
};

using SoapBodyPart = std::variant<PrintServiceMessage, SOAPFault>;

struct PrintServiceSoapResponse {
    std::vector<SoapBodyPart> bodyParts;
    std::optional<SoapError> error;
    // The decoded answer message of the operation, when the body holds one.
    const PrintServiceMessage* message() const;
};

// The binding to one print server's PrintService: posts one SOAP envelope per operation over
// HTTP, waits for the answer (up to the time-out) and decodes it.
class PrintServiceSoap {
public:
    using Delegate = std::function<void(const PrintServiceSoapResponse&)>;
    // Answers larger than this are refused instead of read into memory.
    static constexpr std::size_t kMaxAnswerBytes = 64u << 20;
    static constexpr std::size_t kMaxWorkers = 4;

    explicit PrintServiceSoap(std::string address);
    ~PrintServiceSoap();
    PrintServiceSoap(const PrintServiceSoap&) = delete;
    PrintServiceSoap& operator=(const PrintServiceSoap&) = delete;

    const std::string& address() const { return _address; }
    // The settings may change while exchanges run on the worker threads: each exchange works
    // with the settings as they stood when it began.
    double defaultTimeout() const;
    void setDefaultTimeout(double seconds);
    bool logXMLInOut() const;
    void setLogXMLInOut(bool log);
    void setAuthUsername(std::optional<std::string> name);
    void setAuthPassword(std::optional<std::string> password);
    // The cookie list as it stands (a copy: exchanges on other threads may replace it).
    std::optional<std::vector<HttpCookie>> cookies() const;
    void addCookie(const std::optional<HttpCookie>& cookie);

    PrintServiceSoapResponse performSynchronousOperation(PrintServiceOperation operation,
                                                         const PrintServiceRequest& request = {});
    // Queues the exchange for one of the binding's worker threads (at most kMaxWorkers) and
    // returns at once; the delegate is told the response exactly once, on the run loop of the
    // thread that asked (in its default and modal-panel modes). The binding finishes its queued
    // exchanges when destroyed.
    void performAsynchronousOperation(PrintServiceOperation operation,
                                      const PrintServiceRequest& request, Delegate delegate);

#define VELMORA_SOAP_OPERATION(op)                                                                 \
    PrintServiceSoapResponse op##UsingParameters(const PrintServiceRequest& request = {}) {        \
        return performSynchronousOperation(PrintServiceOperation::op, request);                    \
    }                                                                                              \
    void op##AsyncUsingParameters(const PrintServiceRequest& request, Delegate delegate) {         \
        performAsynchronousOperation(PrintServiceOperation::op, request, std::move(delegate));     \
    }
    VELMORA_SOAP_OPERATION(getStackerInfoList)
    VELMORA_SOAP_OPERATION(getFeederInfoList)
    VELMORA_SOAP_OPERATION(getJobFolderList)
    VELMORA_SOAP_OPERATION(getPrePostDeviceList)
    VELMORA_SOAP_OPERATION(getCmsSpotGetAllListData)
    VELMORA_SOAP_OPERATION(getSpotColorAllInfoListData)
    VELMORA_SOAP_OPERATION(getColorSubstListData)
    VELMORA_SOAP_OPERATION(GetJobResourceList)
    VELMORA_SOAP_OPERATION(getJobResourceSetList)
    VELMORA_SOAP_OPERATION(getCalibFileList)
    VELMORA_SOAP_OPERATION(getDensityAdjustProfileList)
    VELMORA_SOAP_OPERATION(getUserTrcProfileList)
    VELMORA_SOAP_OPERATION(getFontList)
    VELMORA_SOAP_OPERATION(getOutputProfileList)
    VELMORA_SOAP_OPERATION(getRGBInputProfileList)
    VELMORA_SOAP_OPERATION(getCMYKInputProfileList)
    VELMORA_SOAP_OPERATION(getDeviceLinkFileList)
#undef VELMORA_SOAP_OPERATION

    // Decodes an answer for an operation (used by the exchange and by measurements).
    static PrintServiceSoapResponse decodeAnswer(PrintServiceOperation operation,
                                                 const std::string& bytes);

private:
    struct Settings {
        double timeout = 30.0;
        bool logXMLInOut = false;
        std::optional<std::string> authUsername, authPassword;
    };
    struct PendingExchange {
        PrintServiceOperation operation;
        PrintServiceRequest request;
        Delegate delegate;
        std::shared_ptr<RunLoop> caller;
    };

    std::string _address;
    Settings _settings;
    // Asynchronous exchanges read the settings and replace the cookie list on their own threads.
    mutable std::mutex _stateMutex;
    std::optional<std::vector<HttpCookie>> _cookies;
    // Asynchronous exchanges wait in a queue for a small set of worker threads.
    std::mutex _queueMutex;
    std::condition_variable _queueReady;
    std::deque<PendingExchange> _queue;
    std::size_t _idleWorkers = 0;
    bool _closing = false;
    std::vector<std::thread> _workers;

    void workerLoop();
    Settings settings() const;
    static void deliver(const PendingExchange& exchange, const PrintServiceSoapResponse& response);

    std::string hostPart() const;
};

} // namespace velmora
