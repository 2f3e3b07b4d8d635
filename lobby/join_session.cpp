#include "lobby/join_session.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <asio.hpp>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "lobby/client_launch.h"
#include "lobby/client_setup.h"
#include "lobby/farewell_text.h"
#include "lobby/link_crypto.h"
#include "lobby/lobby_session.h"
#include "lobby/log_text.h"
#include "lobby/remote_frame.h"
#include "lobby/remote_link.h"
#include "lobby/remote_settings.h"
#include "lobby/screenshot_keeper.h"
#include "platform/instance_lock.h"
#include "platform/lobby_socket.h"
#include "platform/process.h"

namespace fs = std::filesystem;

namespace lobby {

namespace {

using Tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;

constexpr int kTimeUpStatus = 1;
constexpr int kSetupStatus = 2;
constexpr int kClientErrorStatus = 4;
constexpr int kJoinFailedStatus = 5;
constexpr int kLinkLostStatus = 6;
constexpr auto kConnectTimeout = std::chrono::seconds(10);
constexpr auto kTickPeriod = std::chrono::milliseconds(100);
// A client whose host has gone, or whose time is up, is asked to end, and stopped after twice this.
constexpr auto kClientGrace = std::chrono::seconds(5);

void Log(const std::string& text) {
    std::cerr << "ravelin: " << LogSafe(text) << std::endl;
}

struct JoinSession {
    const RavelinOptions& options;
    fs::path data;
    fs::path work;
    asio::io_context io;
    asio::steady_timer tick{io};
    asio::steady_timer connectTimer{io};
    Tcp::socket socket{io};
    std::shared_ptr<FrameLink> link;
    PakeState pake;
    bool keyed = false;  // the key exchange is done: every frame is sealed
    std::shared_ptr<PacketBridge> bridge;
    platform::LobbyListener listener;
    std::unique_ptr<asio::posix::stream_descriptor> listenWait;
    std::vector<uint8_t> held;  // a packet that came before the client connected
    std::string instance = "ravelin-join-" + std::to_string(platform::ProcessId());
    bool started = false;
    std::string language;  // of the match: the client is told in it why its game ends
    bool linkEnded = false;
    bool linkLostFirst = false;
    Clock::time_point linkEndedAt;
    int pid = -1;
    bool clientEnded = false;
    int clientStatus = 0;
    int status = -1;  // set when the join failed before the match
    Clock::time_point start = Clock::now();
    bool timedOut = false;
    Clock::time_point stopAskedAt;
    bool stopAsked = false;
    int handledSignals = 0;

    void Connect(const std::string& host, uint16_t port);
    void OnFrame(FrameType type, std::vector<uint8_t>& payload);
    void OnLinkEnded(const std::string& reason, bool byClient);
    void StartClient(const std::vector<uint8_t>& settings);
    void WaitForClient();
    void Tick();
    void AskClientToStop();
    int ExitStatus() const;
};

void JoinSession::Connect(const std::string& host, uint16_t port) {
    Tcp::resolver resolver(io);
    asio::error_code ec;
    const auto endpoints = resolver.resolve(host, std::to_string(port), ec);
    if (ec) {
        Log("cannot find " + host + ": " + ec.message());
        status = kJoinFailedStatus;
        return;
    }
    connectTimer.expires_after(kConnectTimeout);
    connectTimer.async_wait([this](const asio::error_code& waited) {
        if (!waited) {
            asio::error_code ignored;
            socket.close(ignored);
        }
    });
    asio::async_connect(
        socket, endpoints, [this, host](const asio::error_code& failed, const Tcp::endpoint&) {
            connectTimer.cancel();
            if (failed) {
                Log("cannot connect to " + host + ": " + failed.message());
                status = kJoinFailedStatus;
                io.stop();
                return;
            }
            link = std::make_shared<FrameLink>(std::move(socket));
            link->Start([this](FrameType type, std::vector<uint8_t>& payload) { OnFrame(type, payload); },
                        [this](const std::string& reason) { OnLinkEnded(reason, false); });
            const std::vector<uint8_t> start = PakeStart(options.code, pake);
            link->Send(FrameType::kPakeStart, start.data(), start.size());
            Log("connected to " + host + "; proving the join code");
        });
}

void JoinSession::OnFrame(FrameType type, std::vector<uint8_t>& payload) {
    if (!keyed) {
        std::vector<uint8_t> confirm;
        if (type != FrameType::kPakeReply || !PakeFinish(pake, payload, confirm)) {
            Log("the host does not take this join code (check the code, or the host is not a Ravelin)");
            status = kJoinFailedStatus;
            link->Close("wrong join code");
            return;
        }
        keyed = true;
        link->Send(FrameType::kPakeConfirm, confirm.data(), confirm.size());
        link->SealSending(pake.keys.joinerToHost);
        link->SealReceiving(pake.keys.hostToJoiner);
        Hello hello;
        hello.observer = options.observe;
        hello.name = options.name;
        const std::vector<uint8_t> helloPayload = HelloPayload(hello);
        link->Send(FrameType::kHello, helloPayload.data(), helloPayload.size());
        Log("the link to the host is private; asking for the seat of " + options.name);
        return;
    }
    if (type == FrameType::kSeated && !started) {
        Log("the host: " + FrameText(payload));
    } else if (type == FrameType::kSettings && !started) {
        StartClient(payload);
    } else if (type == FrameType::kPacket && started && held.empty()) {
        link->Pause();  // the client has not connected yet: the rest waits in the connection
        held = std::move(payload);
    } else {
        link->Close("an unexpected frame");
    }
}

void JoinSession::OnLinkEnded(const std::string& reason, bool byClient) {
    if (linkEnded) {
        return;
    }
    linkEnded = true;
    linkEndedAt = Clock::now();
    Log("the link to the host has ended: " + reason);
    if (!started) {
        status = status < 0 ? kJoinFailedStatus : status;
    } else if (!byClient) {
        linkLostFirst = !clientEnded;
        listener = platform::LobbyListener();  // a client not connected yet finds no lobby
    }
}

void JoinSession::StartClient(const std::vector<uint8_t>& settings) {
    started = true;
    RemoteMatch remote;
    std::string error;
    if (!DecodeRemoteMatch(std::string(settings.begin(), settings.end()), remote, error)) {
        Log(error);
        status = kSetupStatus;
        link->Close("unusable match settings");
        return;
    }
    char course[16];
    std::snprintf(course, sizeof course, "Club_%02d", remote.match.course);
    if (!fs::is_directory(data / "Map" / course)) {
        Log("the match is played on " + std::string(course) + ", which the game data in " + data.string() +
            " does not have");
        status = kSetupStatus;
        link->Close("this machine does not have the course");
        return;
    }
    language = remote.match.language;
    const fs::path dir = work / "client";
    const std::string startIni = BuildStartIni(remote.match, remote.players, remote.seat);
    if (!PrepareClientDirectory(data, dir, remote.match, startIni, error)) {
        Log(error);
        status = kSetupStatus;
        link->Close("the client could not be set up");
        return;
    }
    listener = platform::LobbyListener::Listen((work / "client.sock").string(), &error);
    if (!listener.IsOpen()) {
        Log(error);
        status = kSetupStatus;
        link->Close("the client could not be set up");
        return;
    }
    const ClientLaunch launch{ClientProgram(options), dir,     listener.Path(), instance,
                              dir / "state.log",      "client"};
    pid = LaunchClient(options, launch, error);
    if (pid < 0) {
        Log(error);
        status = kSetupStatus;
        link->Close("the client could not be started");
        return;
    }
    Log("the match starts: " + remote.seat.name + (remote.seat.observer ? " watches" : " plays") + " in " +
        dir.string());
    listenWait = std::make_unique<asio::posix::stream_descriptor>(io, ::dup(listener.Fd()));
    WaitForClient();
}

void JoinSession::WaitForClient() {
    listenWait->async_wait(asio::posix::stream_descriptor::wait_read, [this](const asio::error_code& ec) {
        if (ec || !listener.IsOpen()) {
            return;
        }
        const int fd = ::accept4(listener.Fd(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            WaitForClient();
            return;
        }
        if (linkEnded) {
            ::close(fd);  // the host has gone: the client finds its lobby closed
            return;
        }
        bridge = std::make_shared<PacketBridge>(link, fd);
        bridge->SetFarewell([this](const std::string& reason) { return LinkEndedPackets(language, reason); });
        bridge->Start(
            [this](const std::string& reason) {
                OnLinkEnded(reason, bridge != nullptr && bridge->LocalEnded());
            },
            std::move(held));
        listenWait.reset();
        listener = platform::LobbyListener();  // one client only
    });
}

void JoinSession::AskClientToStop() {
    if (pid > 0 && !clientEnded && !stopAsked) {
        stopAsked = true;
        stopAskedAt = Clock::now();
        platform::StopProcess(pid, false);
    }
}

void JoinSession::Tick() {
    for (platform::ExitedChild child = platform::TakeExitedChild(); child.pid > 0;
         child = platform::TakeExitedChild()) {
        if (child.pid == pid) {
            clientEnded = true;
            clientStatus = child.exitCode;
            Log("the client ended with " + std::to_string(child.exitCode));
            if (bridge == nullptr && link != nullptr) {
                link->Close("the client has ended");  // it never connected
            }
        }
    }
    const int signals = platform::StopSignalCount();
    if (signals > handledSignals) {
        handledSignals = signals;
        if (pid > 0 && !clientEnded) {
            platform::StopProcess(pid, signals > 1);
        } else if (link != nullptr) {
            link->Close("stopped");
        } else {
            status = kJoinFailedStatus;
            io.stop();
        }
    }
    const auto now = Clock::now();
    if (options.maxSeconds > 0 && !timedOut && now - start > std::chrono::seconds(options.maxSeconds)) {
        Log("time is up");
        timedOut = true;
        AskClientToStop();
        if (link != nullptr) {
            link->Close("time is up");
        } else {
            io.stop();
        }
    }
    if (linkEnded && started && now - linkEndedAt > kClientGrace) {
        AskClientToStop();
    }
    if (stopAsked && !clientEnded && now - stopAskedAt > kClientGrace) {
        platform::StopProcess(pid, true);
    }
    const bool clientDone = pid < 0 || clientEnded;
    if (linkEnded && clientDone && (link == nullptr || link->IsFinished())) {
        io.stop();
        return;
    }
    tick.expires_after(kTickPeriod);
    tick.async_wait([this](const asio::error_code& ec) {
        if (!ec) {
            Tick();
        }
    });
}

int JoinSession::ExitStatus() const {
    if (status >= 0) {
        return status;
    }
    if (timedOut) {
        return kTimeUpStatus;
    }
    if (linkLostFirst) {
        return kLinkLostStatus;
    }
    return clientStatus != 0 ? kClientErrorStatus : 0;
}

}  // namespace

bool SplitHostPort(const std::string& text, std::string& host, uint16_t& port) {
    port = static_cast<uint16_t>(kDefaultPort);
    std::string portText;
    bool portGiven = false;
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        if (close == std::string::npos) {
            return false;
        }
        host = text.substr(1, close - 1);
        const std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                return false;
            }
            portGiven = true;
            portText = rest.substr(1);
        }
    } else if (std::count(text.begin(), text.end(), ':') == 1) {
        host = text.substr(0, text.find(':'));
        portGiven = true;
        portText = text.substr(text.find(':') + 1);
    } else {
        host = text;  // a name, an IPv4 address or a bare IPv6 address
    }
    if (portGiven) {
        char* end = nullptr;
        const long value = std::strtol(portText.c_str(), &end, 10);
        if (portText.empty() || *end != '\0' || value < 1 || value > 65535) {
            return false;
        }
        port = static_cast<uint16_t>(value);
    }
    return !host.empty();
}

int RunJoin(const RavelinOptions& options) {
    std::string host;
    uint16_t port = 0;
    if (!SplitHostPort(options.join, host, port)) {
        Log("--join wants HOST, HOST:PORT or [IPv6]:PORT, not " + options.join);
        return kSetupStatus;
    }
    if (!LinkCryptoReady()) {
        Log("the cryptography library could not be started");
        return kSetupStatus;
    }
    const bool ownWork = options.workDir.empty();
    JoinSession s{options};
    s.data = fs::absolute(GameDataDirectory(options));
    s.work = ownWork ? fs::temp_directory_path() / ("ravelin-join-" + std::to_string(platform::ProcessId()))
                     : fs::absolute(options.workDir);
    std::error_code ec;
    fs::create_directories(s.work, ec);
    platform::CatchStopSignals();
    s.Connect(host, port);
    if (s.status < 0) {
        s.Tick();
        s.io.run();
    }
    s.bridge.reset();
    s.link.reset();
    s.listener = platform::LobbyListener();
    fs::remove(platform::InstanceLockPath(s.instance.c_str()), ec);
    if (ownWork) {
        KeepScreenshotsBeforeRemoving(s.work, Log);
        fs::remove_all(s.work, ec);
    }
    return s.ExitStatus();
}

}  // namespace lobby
