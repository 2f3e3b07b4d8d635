#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "loopback_server.h"
#include "package_maker.h"
#include "platform/http_download.h"
#include "platform/process_start.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing_support::LoopbackServer;

std::string UrlOf(const LoopbackServer& server, const std::string& path) {
    return "http://" + server.Host() + path;
}

TEST(HttpGet, BodyArrivesWithProgress) {
    LoopbackServer server;
    std::string body(300000, 'z');
    server.Serve("/patch/1.00/UpData.zip", body);
    int64_t lastReceived = -1;
    int64_t lastTotal = -1;
    HttpGetOptions options;
    options.progress = [&](int64_t received, int64_t total) {
        lastReceived = received;
        lastTotal = total;
        return true;
    };
    HttpGetResult result = HttpGet(UrlOf(server, "/patch/1.00/UpData.zip"), options);
    ASSERT_TRUE(result.ok) << result.failure;
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.body, body);
    EXPECT_EQ(lastReceived, 300000);
    EXPECT_EQ(lastTotal, 300000);
}

// The body goes to the file as it arrives; an error page never reaches it.
TEST(HttpGet, BodyIsStreamedIntoAFile) {
    LoopbackServer server;
    std::string body(3 << 20, 'q');
    server.Serve("/UpData.zip", body);
    testing_support::ScratchFolder scratch;
    std::string path = (scratch.Path() / "UpData.zip").string();
    HttpGetResult result = HttpGetToFile(UrlOf(server, "/UpData.zip"), path, {});
    ASSERT_TRUE(result.ok) << result.failure;
    EXPECT_TRUE(result.body.empty());
    EXPECT_EQ(testing_support::ReadFileText(path), body);

    HttpGetResult missing = HttpGetToFile(UrlOf(server, "/gone.zip"), path, {});
    EXPECT_EQ(missing.kind, HttpFailure::NotFound);
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(HttpGetToFile(UrlOf(server, "/UpData.zip"), (scratch.Path() / "no" / "x").string(), {}).kind,
              HttpFailure::Local);
}

TEST(HttpGet, FailuresAreToldApart) {
    LoopbackServer server;
    server.ServeStatus("/broken", "503 Service Unavailable");
    HttpGetResult missing = HttpGet(UrlOf(server, "/patch/9.99/UpData.zip"), {});
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.kind, HttpFailure::NotFound);
    EXPECT_TRUE(missing.body.empty());
    HttpGetResult broken = HttpGet(UrlOf(server, "/broken"), {});
    EXPECT_EQ(broken.status, 503);
    EXPECT_EQ(broken.kind, HttpFailure::HttpError);
    EXPECT_EQ(broken.failure, "HTTP status 503");

    int closedPort = 0;
    {
        LoopbackServer gone;
        closedPort = gone.Port();
    }
    HttpGetResult refused = HttpGet("http://127.0.0.1:" + std::to_string(closedPort) + "/x", {});
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.kind, HttpFailure::Refused);
    EXPECT_EQ(HttpGet("file:///etc/passwd", {}).kind, HttpFailure::Local);
}

TEST(HttpGet, StalledTransferIsGivenUp) {
    LoopbackServer server;
    server.Stall("/slow", "PK\x03\x04", 100000);
    server.Silence("/silent");
    HttpGetOptions options;
    options.stallLimit = std::chrono::milliseconds(1000);
    for (const char* path : {"/slow", "/silent"}) {
        HttpGetResult result = HttpGet(UrlOf(server, path), options);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.failure.find("no data arrived"), std::string::npos)
            << path << ": " << result.failure;
        EXPECT_EQ(result.kind, HttpFailure::TimedOut);
    }
}

TEST(HttpGet, OversizedBodyAndAbandonedTransferFail) {
    LoopbackServer server;
    server.Serve("/big", std::string(5000, 'b'));
    HttpGetOptions small;
    small.maxBodyBytes = 4000;
    EXPECT_FALSE(HttpGet(UrlOf(server, "/big"), small).ok);
    HttpGetOptions abandoning;
    abandoning.progress = [](int64_t, int64_t) { return false; };
    EXPECT_FALSE(HttpGet(UrlOf(server, "/big"), abandoning).ok);
}

// An HTTPS server of the test's own (openssl s_server) with a certificate made for 127.0.0.1: it
// is trusted only when its certificate is among the authorities given, never by default.
class HttpsServer {
  public:
    HttpsServer() {
        {
            LoopbackServer probe;  // a free port on 127.0.0.1
            port_ = probe.Port();
        }
        const std::string dir = scratch_.Path().string();
        testing_support::WriteFileText(scratch_.Path() / "UpData.zip", "signed bytes");
        std::string command =
            "cd '" + dir +
            "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem"
            " -days 1 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 >/dev/null 2>&1"
            " && { openssl s_server -accept 127.0.0.1:" +
            std::to_string(port_) +
            " -cert cert.pem -key key.pem -WWW -quiet >/dev/null 2>&1 & echo $! > pid; }";
        started_ = std::system(command.c_str()) == 0;
    }
    ~HttpsServer() {
        std::string command = "kill $(cat '" + (scratch_.Path() / "pid").string() + "') 2>/dev/null";
        [[maybe_unused]] int ignored = std::system(command.c_str());
    }
    bool Started() const { return started_; }
    std::string Url() const { return "https://127.0.0.1:" + std::to_string(port_) + "/UpData.zip"; }
    std::string Certificate() const { return (scratch_.Path() / "cert.pem").string(); }

  private:
    testing_support::ScratchFolder scratch_;
    int port_ = 0;
    bool started_ = false;
};

TEST(HttpGet, HttpsChecksTheServersCertificate) {
    HttpsServer server;
    ASSERT_TRUE(server.Started());
    HttpGetOptions trusting;
    trusting.certificateAuthorities = server.Certificate();
    HttpGetResult result;
    for (int attempt = 0; attempt < 50; ++attempt) {  // until the server listens
        result = HttpGet(server.Url(), trusting);
        if (result.kind != HttpFailure::Refused) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(result.ok) << result.failure;
    EXPECT_EQ(result.body, "signed bytes");

    HttpGetResult untrusted = HttpGet(server.Url(), {});
    EXPECT_FALSE(untrusted.ok);
    EXPECT_EQ(untrusted.kind, HttpFailure::Untrusted) << untrusted.failure;
}

TEST(StartProgram, DropsExeAndPassesArgumentsInTheFolder) {
    EXPECT_EQ(ProgramFileName("Ravelin.exe"), "Ravelin");
    EXPECT_EQ(ProgramFileName("Ravelin.EXE"), "Ravelin");
    EXPECT_EQ(ProgramFileName("Ravelin"), "Ravelin");
    EXPECT_EQ(ProgramFileName(".exe"), ".exe");

    testing_support::ScratchFolder scratch;
    fs::path script = scratch.Path() / "Ravelin";
    testing_support::WriteFileText(script,
                                   "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > args.tmp\n"
                                   "mv args.tmp args.txt\n");
    fs::permissions(script, fs::perms::owner_all);
    ASSERT_EQ(StartProgram(scratch.Path().string(), "Ravelin.exe", {"-a", "b c", ""}), "");
    fs::path recorded = scratch.Path() / "args.txt";
    for (int i = 0; i < 500 && !fs::exists(recorded); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(testing_support::ReadFileText(recorded),
              fs::canonical(scratch.Path()).string() + "\n[-a]\n[b c]\n[]\n");
    EXPECT_NE(StartProgram(scratch.Path().string(), "Missing.exe", {}), "");
}

}  // namespace
}  // namespace platform
