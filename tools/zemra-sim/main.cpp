// zemra-sim: a simulated Zemra-30 on a pseudo-terminal, for trying the programmer without a unit.

#include "tools/zemra-sim/CPseudoTerminal.h"
#include "tools/zemra-sim/CZemraSimOptions.h"
#include "tools/zemra-sim/CZemraSimServer.h"
#include "tools/zemra-sim/CZemraSimulator.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t g_stopFd = -1;

void OnStopSignal(int) {
    if (g_stopFd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(g_stopFd, &byte, 1);
    }
}

const auto g_start = std::chrono::steady_clock::now();

void LogLine(const std::string& line) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - g_start).count();
    std::fprintf(stderr, "[%9.3f] %s\n", seconds, line.c_str());
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "zemra-sim: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    CZemraSimOptions options;
    std::string error;
    if (!options.Parse(argc, argv, error)) {
        std::fprintf(stderr, "zemra-sim: %s\n%s", error.c_str(), CZemraSimOptions::Usage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(CZemraSimOptions::Usage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", CZemraSimOptions::VersionText().c_str());
        return 0;
    }

    CZemraSimulator sim;
    for (const ZemFault& fault : options.faults)
        sim.Faults().Add(fault);
    sim.SetAnswerDelayMs(options.answerDelayMs);
    sim.SetLateDelayMs(options.lateDelayMs);
    sim.Faults().SetRandom(options.seed, options.randomPerMille);
    if (options.trace) sim.SetTrace(LogLine);

    if (!options.memoryPath.empty()) {
        struct stat st {};
        if (stat(options.memoryPath.c_str(), &st) == 0) {
            if (!sim.Memory().Load(options.memoryPath, error)) return Fail(error);
        } else if (!sim.Memory().Save(options.memoryPath, error)) {
            return Fail(error);
        }
    }

    CPseudoTerminal pty;
    if (!pty.Open(error)) return Fail(error);
    if (!options.linkPath.empty() && !pty.PlaceLink(options.linkPath, error)) return Fail(error);

    CZemraSimServer server(sim, pty.MasterFd());
    if (!options.memoryPath.empty()) server.SetMemoryPath(options.memoryPath);
    server.SetLog([](const std::string& line) { LogLine(line); });

    g_stopFd = server.StopFd();
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::cout << pty.SlavePath() << std::endl;
    if (options.trace) LogLine("serving " + pty.SlavePath());
    if (options.trace && options.randomPerMille > 0)
        LogLine("random faults: " + std::to_string(options.randomPerMille) + " in 1000, seed " +
                std::to_string(options.seed));

    const int ok = server.Run(error);
    g_stopFd = -1;
    pty.Close(); // also removes the link
    if (!ok) return Fail(error);
    if (options.trace) LogLine("stopped");
    return 0;
}
