#include "webservice/PrintServiceSoap.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SystemLog.h"
#include "webservice/SoapAnswerReader.h"

#include <curl/curl.h>

#include <algorithm>
#include <ctime>
#include <mutex>
#include <strings.h>

namespace velmora {
namespace {

constexpr const char* kXmlDomain = "PrintServiceResponseXML";

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Exchange {
    std::string body;
    std::vector<std::string> headers; // of the last response head
    bool tooLarge = false;
};

std::size_t onData(char* data, std::size_t size, std::size_t count, void* user) {
    auto* exchange = static_cast<Exchange*>(user);
    std::size_t bytes = size * count;
    if (exchange->body.size() + bytes > PrintServiceSoap::kMaxAnswerBytes) {
        exchange->tooLarge = true;
        return 0;
    }
    exchange->body.append(data, bytes);
    return bytes;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* exchange = static_cast<Exchange*>(user);
    std::string line(data, size * count);
    if (line.starts_with("HTTP/"))
        exchange->headers.clear(); // a new response head (after a challenge or a 100 Continue)
    exchange->headers.push_back(line);
    return size * count;
}

std::int64_t now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

} // namespace

const PrintServiceMessage* PrintServiceSoapResponse::message() const {
    for (const auto& part : bodyParts)
        if (auto* m = std::get_if<PrintServiceMessage>(&part))
            return m;
    return nullptr;
}

PrintServiceSoap::PrintServiceSoap(std::string address) : _address(std::move(address)) {
    initialiseCurlOnce();
}

// Exchanges under way are waited for; those still queued are not started but told that they
// were cancelled, so that a binding to a silent server is never held up by a long queue.
PrintServiceSoap::~PrintServiceSoap() {
    std::deque<PendingExchange> cancelled;
    {
        std::lock_guard lock(_queueMutex);
        _closing = true;
        cancelled.swap(_queue);
    }
    _queueReady.notify_all();
    PrintServiceSoapResponse cancellation;
    cancellation.error = SoapError{"PrintServiceSoap", -2, "The exchange was cancelled"};
    for (const auto& exchange : cancelled)
        deliver(exchange, cancellation);
    for (auto& worker : _workers)
        if (worker.joinable())
            worker.join();
}

PrintServiceSoap::Settings PrintServiceSoap::settings() const {
    std::lock_guard lock(_stateMutex);
    return _settings;
}
double PrintServiceSoap::defaultTimeout() const {
    return settings().timeout;
}
void PrintServiceSoap::setDefaultTimeout(double seconds) {
    std::lock_guard lock(_stateMutex);
    _settings.timeout = seconds;
}
bool PrintServiceSoap::logXMLInOut() const {
    return settings().logXMLInOut;
}
void PrintServiceSoap::setLogXMLInOut(bool log) {
    std::lock_guard lock(_stateMutex);
    _settings.logXMLInOut = log;
}
void PrintServiceSoap::setAuthUsername(std::optional<std::string> name) {
    std::lock_guard lock(_stateMutex);
    _settings.authUsername = std::move(name);
}
void PrintServiceSoap::setAuthPassword(std::optional<std::string> password) {
    std::lock_guard lock(_stateMutex);
    _settings.authPassword = std::move(password);
}

std::optional<std::vector<HttpCookie>> PrintServiceSoap::cookies() const {
    std::lock_guard lock(_stateMutex);
    return _cookies;
}

void PrintServiceSoap::addCookie(const std::optional<HttpCookie>& cookie) {
    if (!cookie)
        return;
    std::lock_guard lock(_stateMutex);
    if (!_cookies)
        _cookies.emplace();
    _cookies->push_back(*cookie);
}

std::string PrintServiceSoap::hostPart() const {
    std::string rest =
        _address.substr(_address.find("://") == std::string::npos ? 0 : _address.find("://") + 3);
    if (rest.starts_with('['))
        return rest.substr(0, rest.find(']') + 1);
    return rest.substr(0, rest.find_first_of(":/"));
}

PrintServiceSoapResponse PrintServiceSoap::decodeAnswer(PrintServiceOperation operation,
                                                        const std::string& bytes) {
    return SoapAnswerReader(operation).read(bytes);
}

namespace {

// libcurl reads 0 as "no time-out": a time-out that is not a positive number (or absurdly long)
// falls back to the default, so no exchange can wait forever.
long timeoutMilliseconds(double seconds) {
    constexpr double kDefault = 30.0, kLongest = 3600.0;
    if (!(seconds >= 0.001 && seconds <= kLongest))
        seconds = kDefault;
    return static_cast<long>(seconds * 1000);
}

SoapError notSoapAnswer(long httpStatus) {
    return SoapError{"HTTP", httpStatus,
                     "The server answered with HTTP status " + std::to_string(httpStatus)};
}

bool holdsFault(const PrintServiceSoapResponse& response) {
    return std::any_of(
        response.bodyParts.begin(), response.bodyParts.end(),
        [](const SoapBodyPart& part) { return std::holds_alternative<SOAPFault>(part); });
}

} // namespace

PrintServiceSoapResponse
PrintServiceSoap::performSynchronousOperation(PrintServiceOperation operation,
                                              const PrintServiceRequest& request) {
    std::string body = PrintServiceOperations::envelope(operation, request);
    const Settings current = settings();
    CURL* curl = curl_easy_init();
    PrintServiceSoapResponse response;
    if (!curl) {
        response.error = SoapError{"HTTP", CURLE_FAILED_INIT, "cannot start an HTTP exchange"};
        return response;
    }
    curl_slist* headers = nullptr;
    if (auto cookieList = cookies())
        if (std::string value = HttpCookie::headerValue(*cookieList, now()); !value.empty())
            headers = curl_slist_append(headers, ("Cookie: " + value).c_str());
    headers = curl_slist_append(headers, "User-Agent: wsdl2objc");
    headers = curl_slist_append(headers, "SOAPAction;"); // present and empty
    headers = curl_slist_append(headers, "Content-Type: text/xml; charset=utf-8");
    headers =
        curl_slist_append(headers, ("Content-Length: " + std::to_string(body.size())).c_str());
    headers = curl_slist_append(headers, ("Host: " + hostPart()).c_str());
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    headers = curl_slist_append(headers, "Expect:");

    Exchange exchange;
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, _address.c_str());
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMilliseconds(current.timeout));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    if (current.authUsername || current.authPassword) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, current.authUsername.value_or("").c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, current.authPassword.value_or("").c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_BASIC | CURLAUTH_DIGEST);
    }
    CURLcode code = curl_easy_perform(curl);
    long httpStatus = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &httpStatus);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);

    if (code == CURLE_OK || httpStatus != 0) {
        // Every answer's cookies replace the list.
        auto taken = HttpCookie::setByAnswer(exchange.headers, hostPart(), now());
        std::lock_guard lock(_stateMutex);
        _cookies = std::move(taken);
    }
    if (code == CURLE_OK && httpStatus == 401) {
        response.error = SoapError{"Connection Authentication", 0, "Authentication Error"};
    } else if (exchange.tooLarge) {
        response.error = SoapError{kXmlDomain, 3, "The server's answer is too large"};
    } else if (code != CURLE_OK) {
        response.error = SoapError{"HTTP", code, *errorText ? errorText : curl_easy_strerror(code)};
    } else if (httpStatus != 200 && httpStatus != 500) {
        response.error = notSoapAnswer(httpStatus);
    } else {
        response = decodeAnswer(operation, exchange.body);
        if (httpStatus == 500 && !response.error && !holdsFault(response))
            response.error = notSoapAnswer(httpStatus); // a server error page, not a SOAP fault
    }
    if (response.error && current.logXMLInOut && response.error->domain != kXmlDomain)
        SystemLog::format("###ResponseError:\n%s (%s %ld)", response.error->description.c_str(),
                          response.error->domain.c_str(), response.error->code);
    return response;
}

void PrintServiceSoap::performAsynchronousOperation(PrintServiceOperation operation,
                                                    const PrintServiceRequest& request,
                                                    Delegate delegate) {
    std::lock_guard lock(_queueMutex);
    _queue.push_back({operation, request, std::move(delegate), RunLoop::currentShared()});
    if (_idleWorkers == 0 && _workers.size() < kMaxWorkers)
        _workers.emplace_back([this] { workerLoop(); });
    else
        _queueReady.notify_one();
}

// The delegate is told on the asking thread's run loop, which the exchange keeps alive.
void PrintServiceSoap::deliver(const PendingExchange& exchange,
                               const PrintServiceSoapResponse& response) {
    if (exchange.delegate)
        exchange.caller->perform([delegate = exchange.delegate, response] { delegate(response); },
                                 {RunLoop::kDefaultMode, RunLoop::kModalPanelMode});
}

void PrintServiceSoap::workerLoop() {
    std::unique_lock lock(_queueMutex);
    for (;;) {
        ++_idleWorkers;
        _queueReady.wait(lock, [this] { return _closing || !_queue.empty(); });
        --_idleWorkers;
        if (_queue.empty())
            return; // closing, and nothing left to do
        PendingExchange exchange = std::move(_queue.front());
        _queue.pop_front();
        lock.unlock();
        PrintServiceSoapResponse response;
        try {
            response = performSynchronousOperation(exchange.operation, exchange.request);
        } catch (const std::exception& failure) {
            response.error = SoapError{"PrintServiceSoap", -1, failure.what()};
        }
        deliver(exchange, response);
        lock.lock();
    }
}

} // namespace velmora
