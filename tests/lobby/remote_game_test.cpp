// Four real game clients with the built-in player play one hole across three Ravelins on this
// machine (a host with two players and two joiners with one each), and every client's state log
// is the same.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "lobby/sync_check.h"
#include "tests/lobby/net_helpers.h"
#include "tests/lobby/report_lines.h"

namespace fs = std::filesystem;

namespace {

// One hole at 24 times the speed: about half a minute of four game processes.
TEST(RemoteGame, FourPlayersOnThreeRavelinsAgree) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP()
        << "four game clients under the sanitizer take many minutes; the probe matches cover the links";
#endif
    const fs::path data = BRIGHTLEA_GAMEDATA_DIR;
    if (!fs::exists(data / "Map" / "Club_01" / "Hole_01")) {
        GTEST_SKIP() << "no data set built in " << data;
    }
    const fs::path root =
        fs::temp_directory_path() / ("brightlea-remote-game-" + std::to_string(std::random_device{}()));
    fs::create_directories(root);
    const std::string bin = BRIGHTLEA_BIN_DIR;
    auto common = [&](const std::string& who) {
        return "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + bin + "/Ravelin --data " + data.string() +
               " --client " + bin + "/Brightlea --work " + (root / who).string() +
               " --autoplay --check-sync --time-scale 24 --max-seconds 600";
    };
    auto out = [&](const std::string& who) { return (root / (who + ".out")).string(); };
    auto redirect = [&](const std::string& who) {
        return " < /dev/null > " + out(who) + " 2> " + (root / (who + ".err")).string();
    };
    nettest::Background host(common("host") +
                             " --host --port 0 --code GAMECODE42 --players Ann,Bob,Cy,Dee"
                             " --remote Cy,Dee --course 1 --first-hole 1 --last-hole 1" +
                             redirect("host"));
    const uint16_t port = nettest::WaitForHostPort(out("host"));
    ASSERT_NE(port, 0);
    const std::string join = " --join 127.0.0.1:" + std::to_string(port) + " --code GAMECODE42 --name ";
    nettest::Background cy(common("Cy") + join + "Cy" + redirect("Cy"));
    nettest::Background dee(common("Dee") + join + "Dee" + redirect("Dee"));

    EXPECT_EQ(host.Wait(660), 0);
    EXPECT_EQ(cy.Wait(60), 0);
    EXPECT_EQ(dee.Wait(60), 0);
    EXPECT_EQ(fixtures::Count(fixtures::Lines(out("host")), R"("agree":true)"), 1u);
    EXPECT_EQ(fixtures::Count(fixtures::Lines(out("host")), R"("type":92)"), 4u);
    const lobby::SyncVerdict verdict = lobby::CompareStateLogs(
        {(root / "host" / "client-0" / "state.log").string(),
         (root / "host" / "client-1" / "state.log").string(), (root / "Cy" / "client" / "state.log").string(),
         (root / "Dee" / "client" / "state.log").string()});
    EXPECT_TRUE(verdict.agree) << "line " << verdict.line << " of client " << verdict.client << ": "
                               << verdict.expected << " / " << verdict.found;
    EXPECT_GT(verdict.lines, 0u);
    fs::remove_all(root);
}

}  // namespace
