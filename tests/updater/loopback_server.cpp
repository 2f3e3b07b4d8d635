#include "loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace testing_support {

namespace {

// Waits up to 100 ms for the socket to become readable.
bool Readable(int socket) {
    pollfd entry{socket, POLLIN, 0};
    return poll(&entry, 1, 100) > 0;
}

void SendAll(int connection, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<size_t>(n);
    }
}

std::string Headers(const std::string& status, size_t length) {
    return "HTTP/1.0 " + status +
           "\r\nContent-Type: application/zip\r\nContent-Length: " + std::to_string(length) +
           "\r\nConnection: close\r\n\r\n";
}

}  // namespace

LoopbackServer::LoopbackServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

LoopbackServer::~LoopbackServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
}

std::string LoopbackServer::Host() const {
    return "127.0.0.1:" + std::to_string(port_);
}

void LoopbackServer::Serve(const std::string& path, std::string body) {
    std::lock_guard lock(mutex_);
    answers_[path] = Answer{std::move(body)};
}

void LoopbackServer::ServeStatus(const std::string& path, std::string status) {
    std::lock_guard lock(mutex_);
    Answer answer{"<html><body>" + status + "</body></html>"};
    answer.status = std::move(status);
    answers_[path] = std::move(answer);
}

void LoopbackServer::Stall(const std::string& path, std::string firstBytes, size_t fullSize) {
    std::lock_guard lock(mutex_);
    Answer answer{std::move(firstBytes)};
    answer.stall = true;
    answer.fullSize = fullSize;
    answers_[path] = std::move(answer);
}

void LoopbackServer::Silence(const std::string& path) {
    std::lock_guard lock(mutex_);
    Answer answer;
    answer.stall = true;
    answer.silent = true;
    answers_[path] = std::move(answer);
}

void LoopbackServer::Trickle(const std::string& path, std::string body, std::chrono::milliseconds interval) {
    std::lock_guard lock(mutex_);
    Answer answer;
    answer.body = std::move(body);
    answer.trickle = interval;
    answers_[path] = std::move(answer);
}

std::vector<std::string> LoopbackServer::Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackServer::Run() {
    while (!stop_) {
        if (!Readable(listener_)) {
            continue;
        }
        int connection = accept(listener_, nullptr, nullptr);
        if (connection >= 0) {
            Handle(connection);
            close(connection);
        }
    }
}

void LoopbackServer::Handle(int connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && !stop_) {
        if (!Readable(connection)) {
            continue;
        }
        ssize_t n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        request.append(buffer, static_cast<size_t>(n));
    }
    size_t pathStart = request.find(' ') + 1;
    std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
    Answer answer;
    bool known = false;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(path);
        auto found = answers_.find(path);
        if (found != answers_.end()) {
            answer = found->second;
            known = true;
        }
    }
    if (!known) {
        const std::string page = "<html><body>Not found</body></html>";
        SendAll(connection, Headers("404 Not Found", page.size()) + page);
        return;
    }
    if (answer.trickle.count() > 0) {
        SendAll(connection, Headers("200 OK", answer.body.size()));
        for (size_t i = 0; i < answer.body.size() && !stop_; ++i) {
            std::this_thread::sleep_for(answer.trickle);
            if (send(connection, &answer.body[i], 1, MSG_NOSIGNAL) != 1) {
                return;
            }
        }
        return;
    }
    if (answer.stall) {
        if (!answer.silent) {
            SendAll(connection, Headers("200 OK", answer.fullSize) + answer.body);
        }
        WaitUntilClosed(connection);
        return;
    }
    SendAll(connection, Headers(answer.status, answer.body.size()) + answer.body);
}

void LoopbackServer::WaitUntilClosed(int connection) {
    char buffer[256];
    while (!stop_) {
        if (Readable(connection) && recv(connection, buffer, sizeof buffer, 0) <= 0) {
            return;
        }
    }
}

}  // namespace testing_support
