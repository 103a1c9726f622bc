#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <strings.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

struct HttpRequest {
    std::string method, path;
    std::vector<std::pair<std::string, std::string>> headers; // in the order sent
    std::string body;
    std::string header(const std::string& name) const {
        for (const auto& [key, value] : headers)
            if (strcasecmp(key.c_str(), name.c_str()) == 0)
                return value;
        return {};
    }
    bool hasHeader(const std::string& name) const {
        for (const auto& [key, value] : headers)
            if (strcasecmp(key.c_str(), name.c_str()) == 0)
                return true;
        return false;
    }
};

struct HttpResponse {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    int delayMs = 0;
};

// A small HTTP/1.1 server on the loopback, one connection at a time, answering each request
// with the handler's response. It listens on a free port and stops when destroyed.
class TestHttpServer {
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    explicit TestHttpServer(Handler handler, bool ipv6 = false) : _handler(std::move(handler)) {
        _socket = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
        int on = 1;
        ::setsockopt(_socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (ipv6) {
            sockaddr_in6 address{};
            address.sin6_family = AF_INET6;
            address.sin6_addr = in6addr_loopback;
            _ok = ::bind(_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        } else {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            _ok = ::bind(_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        }
        _ok = _ok && ::listen(_socket, 8) == 0;
        sockaddr_storage bound{};
        socklen_t length = sizeof bound;
        ::getsockname(_socket, reinterpret_cast<sockaddr*>(&bound), &length);
        _port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                           : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
        if (_ok)
            _thread = std::thread([this] { serve(); });
    }
    ~TestHttpServer() {
        _stopping = true;
        ::shutdown(_socket, SHUT_RDWR);
        ::close(_socket);
        if (_thread.joinable())
            _thread.join();
    }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool ok() const { return _ok; }
    int port() const { return _port; }
    std::vector<HttpRequest> requests() {
        std::lock_guard<std::mutex> lock(_mutex);
        return _requests;
    }

private:
    Handler _handler;
    int _socket = -1;
    int _port = 0;
    bool _ok = false;
    std::atomic<bool> _stopping{false};
    std::thread _thread;
    std::mutex _mutex;
    std::vector<HttpRequest> _requests;

    void serve() {
        while (!_stopping) {
            int client = ::accept(_socket, nullptr, nullptr);
            if (client < 0)
                return;
            timeval timeout{5, 0};
            ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
            while (handleOne(client)) {
            }
            ::close(client);
        }
    }

    // Reads one request and answers it; false when the connection is done.
    bool handleOne(int client) {
        std::string data;
        char buf[4096];
        std::size_t headerEnd;
        while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos) {
            ssize_t n = ::recv(client, buf, sizeof buf, 0);
            if (n <= 0)
                return false;
            data.append(buf, static_cast<std::size_t>(n));
        }
        HttpRequest request;
        std::string head = data.substr(0, headerEnd);
        std::size_t lineEnd = head.find("\r\n");
        std::string first = head.substr(0, lineEnd);
        request.method = first.substr(0, first.find(' '));
        request.path = first.substr(first.find(' ') + 1, first.rfind(' ') - first.find(' ') - 1);
        for (std::size_t at = lineEnd + 2; at < head.size();) {
            std::size_t end = head.find("\r\n", at);
            if (end == std::string::npos)
                end = head.size();
            std::string line = head.substr(at, end - at);
            std::size_t colon = line.find(':');
            if (colon != std::string::npos) {
                std::string value = line.substr(colon + 1);
                value.erase(0, value.find_first_not_of(' '));
                request.headers.emplace_back(line.substr(0, colon), value);
            }
            at = end + 2;
        }
        std::size_t length =
            static_cast<std::size_t>(std::atol(request.header("Content-Length").c_str()));
        std::string body = data.substr(headerEnd + 4);
        while (body.size() < length) {
            ssize_t n = ::recv(client, buf, sizeof buf, 0);
            if (n <= 0)
                return false;
            body.append(buf, static_cast<std::size_t>(n));
        }
        request.body = body.substr(0, length);
        {
            std::lock_guard<std::mutex> lock(_mutex);
            _requests.push_back(request);
        }
        HttpResponse response = _handler(request);
        if (response.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(response.delayMs));
        std::string out = "HTTP/1.1 " + std::to_string(response.status) + " Status\r\n";
        for (const auto& [key, value] : response.headers)
            out += key + ": " + value + "\r\n";
        out +=
            "Content-Length: " + std::to_string(response.body.size()) + "\r\n\r\n" + response.body;
        ::send(client, out.data(), out.size(), MSG_NOSIGNAL);
        return true; // keep the connection for a following request (an answered challenge)
    }
};

} // namespace velmora::test
