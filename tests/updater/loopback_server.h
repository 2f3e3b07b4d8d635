#pragma once
// A small HTTP server on 127.0.0.1 for the updater's tests. It answers GET requests from a table
// of paths: a body (200), a stall (headers and part of the body, then nothing), a trickle (the body
// a byte at a time), or 404 for anything it does not know.

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class LoopbackServer {
  public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }
    // "127.0.0.1:port", the host line of the message file.
    std::string Host() const;

    void Serve(const std::string& path, std::string body);
    // Answers with an error status line such as "500 Internal Server Error" and a small page.
    void ServeStatus(const std::string& path, std::string status);
    // Sends the headers for a body of fullSize bytes and the first bytes of it, then goes silent.
    void Stall(const std::string& path, std::string firstBytes, size_t fullSize);
    // Reads the request and never answers.
    void Silence(const std::string& path);
    // Sends the headers, then the body one byte every interval, never stalling for long.
    void Trickle(const std::string& path, std::string body, std::chrono::milliseconds interval);
    // The paths asked for so far, in order.
    std::vector<std::string> Requests();

  private:
    struct Answer {
        std::string body;
        std::string status = "200 OK";
        bool stall = false;
        size_t fullSize = 0;
        bool silent = false;
        std::chrono::milliseconds trickle{0};
    };
    void Run();
    void Handle(int connection);
    void WaitUntilClosed(int connection);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace testing_support
