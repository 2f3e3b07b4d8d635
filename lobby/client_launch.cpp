#include "lobby/client_launch.h"

#include <vector>

#include "platform/process.h"
#include "platform/process_start.h"

namespace fs = std::filesystem;

namespace lobby {

namespace {

std::vector<std::string> ClientEnvironment(const RavelinOptions& options, const ClientLaunch& launch) {
    std::vector<std::string> env = {
        "BRIGHTLEA_LOBBY=" + launch.lobbyPath,
        "BRIGHTLEA_INSTANCE=" + launch.instance,
    };
    if (!options.timeScale.empty()) {
        env.push_back("BRIGHTLEA_TIME_SCALE=" + options.timeScale);
    }
    if (options.autoplay) {
        env.push_back("BRIGHTLEA_AUTOPLAY=1");
    }
    if (options.checkSync) {
        env.push_back("BRIGHTLEA_STATE_LOG=" + launch.stateLog.string());
    }
    if (!options.captureDir.empty()) {
        const fs::path capture = fs::absolute(options.captureDir) / launch.captureName;
        std::error_code ec;
        fs::create_directories(capture, ec);
        env.push_back("BRIGHTLEA_CAPTURE=" + capture.string());
    }
    return env;
}

}  // namespace

int LaunchClient(const RavelinOptions& options, const ClientLaunch& launch, std::string& error) {
    platform::SpawnRequest request;
    request.program = launch.program;
    if (options.windowed) {
        request.arguments.push_back("WINDOWMODE");
    }
    request.directory = launch.dir.string();
    request.ownProcessGroup = true;  // Ctrl-C reaches only the lobby, which closes the match
    request.setEnvironment = ClientEnvironment(options, launch);
    return platform::SpawnProcess(request, &error);
}

std::string ClientProgram(const RavelinOptions& options) {
    return options.clientProgram.empty() ? platform::RunningProgramFolder() + "/Brightlea"
                                         : fs::absolute(options.clientProgram).string();
}

}  // namespace lobby
