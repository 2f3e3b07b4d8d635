#pragma once
// Helpers for tests of matches across machines: Ravelins run as background programs, a TCP proxy
// that delays traffic and can cut a connection, and a raw peer that speaks frames by hand.

#include <sys/types.h>

#include <asio.hpp>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "lobby/link_crypto.h"
#include "lobby/remote_frame.h"

namespace nettest {

// A shell command run in the background; Wait returns its exit status (-1 when killed or stuck).
class Background {
  public:
    explicit Background(const std::string& command);
    ~Background();
    int Wait(int timeoutSeconds = 90);

  private:
    pid_t pid_ = -1;
    int status_ = -1;
};

// Waits until a line of the file holds part; false after timeoutMs.
bool WaitForLine(const std::filesystem::path& path, const std::string& part, int timeoutMs = 20000);
// The port in a hosting Ravelin's {"event":"hosting",...} line, or 0.
uint16_t WaitForHostPort(const std::filesystem::path& output);

// Forwards every connection made to its own port to 127.0.0.1:target on a thread of its own, each
// chunk after delayMs; cuts every connection once it has carried cutAfterBytes towards the
// target (0: never).
class TcpProxy {
  public:
    TcpProxy(uint16_t target, int delayMs, size_t cutAfterBytes);
    ~TcpProxy();
    uint16_t Port() const { return port_; }
    bool Cut() const { return cut_; }

  private:
    void Accept();
    asio::io_context io_;
    asio::ip::tcp::acceptor acceptor_;
    uint16_t target_;
    int delayMs_;
    size_t cutAfter_;
    uint16_t port_ = 0;
    std::atomic<bool> cut_{false};
    std::thread thread_;
};

// A connection that sends whatever a test writes, frames or not.
class RawPeer {
  public:
    // Connects to the address (IPv4 or IPv6) and port, from the IPv4 address from when one is given
    // (any of 127.0.0.0/8 stands for another machine); IsOpen tells whether it worked.
    RawPeer(const std::string& address, uint16_t port, const std::string& from = "");
    ~RawPeer();
    bool IsOpen() const { return fd_ >= 0; }
    // Sends without waiting; false once the host has closed or stopped taking bytes.
    bool Send(const std::vector<uint8_t>& bytes);
    // Sends all of it, waiting up to timeoutMs for room; false when the host closed or took none.
    bool SendAll(const std::vector<uint8_t>& bytes, int timeoutMs);
    // A frame as it goes on the wire: sealed once the key exchange is done.
    std::vector<uint8_t> Frame(lobby::FrameType type, const std::vector<uint8_t>& payload);
    void SendFrame(lobby::FrameType type, const std::vector<uint8_t>& payload);
    // The key exchange with code, then a hello for name. True once the hello is sent; false with
    // failure set to the host's bye (or "another code" when the host's proof did not check out).
    bool Join(bool observer, const std::string& name, const std::string& code,
              std::string* failure = nullptr);
    // The next frame's type and payload, or false when the host closed or nothing came in timeoutMs.
    bool ReadFrame(lobby::FrameType& type, std::vector<uint8_t>& payload, int timeoutMs = 15000);
    // Reads frames until a bye or the end; the bye's text ("" when the host just closed).
    std::string ReadUntilBye(int timeoutMs = 15000);

  private:
    bool ReadExactly(uint8_t* out, size_t size, int timeoutMs);
    int fd_ = -1;
    std::unique_ptr<lobby::FrameSeal> sendSeal_;
    std::unique_ptr<lobby::FrameSeal> receiveSeal_;
};

}  // namespace nettest
