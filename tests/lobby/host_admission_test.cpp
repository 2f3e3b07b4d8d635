// Who gets into a hosting Ravelin, and what it tells about those who do not: a few addresses
// cannot hold every place, refusals are summed up instead of written one by one, observers'
// places and names come back, and the host's sockets do not live on in the clients it starts.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "lobby/admission.h"
#include "lobby/refusal_digest.h"
#include "lobby/remote_host.h"
#include "platform/process.h"
#include "tests/lobby/net_helpers.h"

namespace fs = std::filesystem;
using lobby::FrameType;

namespace {

constexpr const char* kCode = "TESTCODE42";

TEST(Admission, AddressesAreGroupedByMachineOrIpv6Network) {
    EXPECT_EQ(lobby::AddressGroup("192.0.2.7"), "192.0.2.7");
    EXPECT_EQ(lobby::AddressGroup("::ffff:192.0.2.7"), "192.0.2.7");
    EXPECT_EQ(lobby::AddressGroup("2001:db8:1:2::5"), "2001:db8:1:2::/64");
    EXPECT_EQ(lobby::AddressGroup("2001:db8:1:2:ffff:ffff:ffff:ffff"), "2001:db8:1:2::/64");
    EXPECT_NE(lobby::AddressGroup("2001:db8:1:3::5"), lobby::AddressGroup("2001:db8:1:2::5"));
    EXPECT_EQ(lobby::AddressGroup("not an address"), "not an address");
}

TEST(Admission, AFullPoolMakesRoomForANewNetworkAtTheExpenseOfTheLargest) {
    lobby::UnjoinedPool pool;
    uint64_t id = 0;
    for (size_t i = 0; i < lobby::kMaxUnjoinedPerGroup; ++i) {
        EXPECT_TRUE(pool.Admit(++id, "a").admit);
    }
    EXPECT_FALSE(pool.Admit(++id, "a").admit);  // one network's share is full
    for (size_t group = 1; pool.Size() < lobby::kMaxUnjoined; ++group) {
        for (size_t i = 0; i < lobby::kMaxUnjoinedPerGroup && pool.Size() < lobby::kMaxUnjoined; ++i) {
            ASSERT_TRUE(pool.Admit(++id, "g" + std::to_string(group)).admit);
        }
    }
    // Full: a newcomer takes the place of the oldest connection of a largest group ("a", id 1).
    const lobby::UnjoinedPool::Decision honest = pool.Admit(++id, "honest");
    EXPECT_TRUE(honest.admit);
    EXPECT_EQ(honest.evict, 1u);
    EXPECT_EQ(pool.Size(), lobby::kMaxUnjoined);
    // Every group now waits as many or more than "honest": a second connection from it is refused
    // only when no group waits more than it does.
    pool.Remove(honest.evict);  // unknown by now: ignored
    EXPECT_TRUE(pool.Admit(++id, "honest").admit);
    pool.Remove(id);
    pool.Remove(id - 1);
    EXPECT_EQ(pool.Size(), lobby::kMaxUnjoined - 2);
}

TEST(RefusalDigest, TellsTheFirstFewPerAddressThenSumsUpEachInterval) {
    lobby::RefusalDigest digest;
    int told = 0;
    for (int i = 0; i < 1000; ++i) {
        told += digest.Note("192.0.2.1", 100 + i);
    }
    EXPECT_EQ(told, static_cast<int>(lobby::kRefusalsTold));
    EXPECT_TRUE(digest.Note("192.0.2.2", 500));
    EXPECT_TRUE(digest.Summaries(5000).empty());  // the interval is not over
    const std::vector<std::string> lines = digest.Summaries(100 + lobby::kRefusalIntervalMs);
    ASSERT_EQ(lines.size(), 1u);  // 192.0.2.2 was told in full: nothing to sum up
    EXPECT_NE(lines[0].find(R"("address":"192.0.2.1","count":997)"), std::string::npos) << lines[0];
    EXPECT_TRUE(digest.Note("192.0.2.1", 20000));  // a fresh interval
    // Many addresses: those beyond the tracked ones are summed up together.
    for (int i = 0; i < 2000; ++i) {
        digest.Note("10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250), 30000);
    }
    const std::vector<std::string> all = digest.Summaries(30000, true);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_NE(all[0].find(R"("address":"other addresses")"), std::string::npos);
}

// A hosting side run in this process: Ann plays here, Bob joins from elsewhere.
class HostRig : public ::testing::Test {
  protected:
    void SetUp() override {
        lobby::HostConfig config;
        config.port = 0;
        config.code = kCode;
        config.players = {"Ann", "Bob"};
        config.remotePlayers = {"Bob"};
        std::string error;
        host_ = lobby::RemoteHost::Open(config, error);
        ASSERT_NE(host_, nullptr) << error;
    }
    std::string Messages() {
        std::string text;
        for (const lobby::HostMessage& m : host_->TakeMessages()) {
            text += m.text + "\n";
        }
        return text;
    }
    // Sends a hello; the first frame that comes back.
    static FrameType Hello(nettest::RawPeer& peer, bool observer, const std::string& name,
                           const std::string& code = kCode) {
        std::string failure;
        if (!peer.Join(observer, name, code, &failure)) {
            return failure == "another code" ? FrameType::kPakeReply : FrameType::kBye;
        }
        FrameType type = FrameType::kKeepAlive;
        std::vector<uint8_t> payload;
        while (peer.ReadFrame(type, payload, 5000) && type == FrameType::kKeepAlive) {
        }
        return type;
    }
    bool WaitUntilSeated() {
        for (int i = 0; i < 100 && !host_->AllPlayersSeated(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return host_->AllPlayersSeated();
    }
    std::unique_ptr<lobby::RemoteHost> host_;
};

TEST_F(HostRig, AFewAddressesHoldingConnectionsOpenCannotKeepAnHonestJoinerOut) {
    std::vector<std::unique_ptr<nettest::RawPeer>> idle;
    for (int address = 2; address < 10; ++address) {
        for (int i = 0; i < 8; ++i) {  // twice what one network may keep waiting
            idle.push_back(std::make_unique<nettest::RawPeer>("127.0.0.1", host_->Port(),
                                                              "127.0.0." + std::to_string(address)));
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the host has taken them all
    nettest::RawPeer bob("127.0.0.1", host_->Port(), "127.0.0.10");
    EXPECT_EQ(Hello(bob, false, "Bob"), FrameType::kSeated);
    EXPECT_TRUE(WaitUntilSeated());
    const std::string messages = Messages();
    EXPECT_NE(messages.find("too many connections waiting to join from this network"), std::string::npos);
}

TEST_F(HostRig, RefusedConnectionsAreSummedUpPerAddress) {
    for (int i = 0; i < 40; ++i) {
        nettest::RawPeer guess("127.0.0.1", host_->Port(), "127.0.0.2");
        Hello(guess, true, "Guess", "WRONGCODE");
    }
    nettest::RawPeer bob("127.0.0.1", host_->Port(), "127.0.0.3");
    EXPECT_EQ(Hello(bob, false, "Bob"), FrameType::kSeated);
    host_->Stop();
    const std::string messages = Messages();
    size_t toldOneByOne = 0;
    for (size_t at = messages.find("(127.0.0.2)"); at != std::string::npos;
         at = messages.find("(127.0.0.2)", at + 1)) {
        ++toldOneByOne;
    }
    EXPECT_LE(toldOneByOne, lobby::kRefusalsTold);
    EXPECT_NE(messages.find(R"("address":"127.0.0.2","count":)"), std::string::npos) << messages;
    EXPECT_LT(messages.size(), 4000u);
}

TEST_F(HostRig, ObserversWhoLeaveGiveBackTheirPlaceAndName) {
    nettest::RawPeer bob("127.0.0.1", host_->Port());
    ASSERT_EQ(Hello(bob, false, "Bob"), FrameType::kSeated);
    ASSERT_TRUE(WaitUntilSeated());
    std::vector<lobby::RemoteSeat> seats = host_->StartMatch({lobby::MatchSettings(), {"Ann", "Bob"}, {}});
    ASSERT_EQ(seats.size(), 1u);
    // More watchers than there are places, one after the other, and one of them twice.
    for (int i = 0; i < static_cast<int>(lobby::kMaxRemoteObservers) + 4; ++i) {
        const std::string name = i % 2 == 0 ? "Eve" : "Watcher" + std::to_string(i);
        std::vector<lobby::RemoteSeat> arrived;
        {
            nettest::RawPeer watcher("::1", host_->Port());
            ASSERT_EQ(Hello(watcher, true, name), FrameType::kSettings) << name << " (" << i << ")";
            for (int wait = 0; wait < 100 && arrived.empty(); ++wait) {
                arrived = host_->TakeObservers();
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            ASSERT_EQ(arrived.size(), 1u);
        }  // the watcher's link drops; the relay's end goes with it
        arrived.clear();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// Whether any of this process's sockets would be inherited by a program it starts.
std::vector<int> InheritableSockets() {
    std::vector<int> found;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename().string());
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode) && (::fcntl(fd, F_GETFD) & FD_CLOEXEC) == 0) {
            found.push_back(fd);
        }
    }
    return found;
}

TEST_F(HostRig, AStartedClientHoldsNoneOfTheHostsSockets) {
    nettest::RawPeer bob("127.0.0.1", host_->Port());
    ASSERT_EQ(Hello(bob, false, "Bob"), FrameType::kSeated);
    nettest::RawPeer waiting("::1", host_->Port());  // not joined yet
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(InheritableSockets(), std::vector<int>{});

    // Even a descriptor opened without close-on-exec (by anything, on any thread) stays here.
    const int careless = ::socket(AF_INET, SOCK_STREAM, 0);
    const fs::path listing =
        fs::temp_directory_path() / ("brightlea-fds-" + std::to_string(std::random_device{}()));
    platform::SpawnRequest request;
    request.program = "/bin/sh";
    request.arguments = {"-c", "ls -l /proc/$$/fd > " + listing.string()};
    std::string error;
    const int pid = platform::SpawnProcess(request, &error);
    ASSERT_GT(pid, 0) << error;
    for (int i = 0; i < 200 && platform::TakeExitedChild().pid != pid; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(listing);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find("socket:"), std::string::npos) << text;
    ::close(careless);
    fs::remove(listing);
}

}  // namespace
