#pragma once

// The simulated Zemra-30 on a pseudo-terminal, served on its own thread in this process (POSIX only).

#include "link/TransferWaits.h"
#include "model/CZemProtocol.h"
#include "tools/zemra-sim/CPseudoTerminal.h"
#include "tools/zemra-sim/CZemraSimServer.h"
#include "tools/zemra-sim/CZemraSimulator.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

// While a unit serves, the pause before an answer is read is followed by a wait for the unit: until its
// answer is there in full, or until it has decided to send none in time (a fault, a delayed answer). Its
// thread may be held back by a busy machine longer than the pause; its answer would then be taken for
// missing.
class SimulatedUnit {
public:
    SimulatedUnit() {
        m_sim.SetTrace([this](const std::string& line) { Note(line); });
    }
    ~SimulatedUnit() {
        Activate(false);
        Vanish();
    }

    // Faults, delays and memory are set here before Start, or while stopped.
    CZemraSimulator& Sim() { return m_sim; }
    void AddFault(const std::string& faultText) { // "alarm/3:noanswer:2"
        ZemFault fault;
        std::string error;
        ASSERT_TRUE(CZemraFaultTable::Parse(faultText, fault, error)) << faultText << ": " << error;
        m_sim.Faults().Add(fault);
    }

    // IN 11 a 20 mA input shown up to 100, and alarm 1 on it with set point 150: a download must correct it.
    void HoldASetPointAboveItsRange() {
        CZemraMemory::Block input = CZemraMemory::FactoryBlock(ZemBank::Input, 0);
        input[0] = 4;    // 20 mA
        input[10] = 100; // LCDUp 100
        m_sim.Memory().Put(ZemBank::Input, 0, input);
        CZemraMemory::Block alarm = CZemraMemory::FactoryBlock(ZemBank::Alarm, 0);
        alarm[0] = 0;   // IN 11
        alarm[1] = 150; // set point 150
        m_sim.Memory().Put(ZemBank::Alarm, 0, alarm);
    }

    // The unit is reached through a symlink at linkPath, as `zemra-sim --link` places it: a unit started
    // again (Restart) is found under the same name on a new terminal. Set before Start.
    void UseLink(const std::string& linkPath) { m_link = linkPath; }

    void Start() {
        std::string error;
        ASSERT_TRUE(m_pty.Open(error)) << error;
        if (!m_link.empty()) {
            ASSERT_TRUE(m_pty.PlaceLink(m_link, error)) << error;
        }
        m_path = m_link.empty() ? m_pty.SlavePath() : m_link;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            // A new terminal: the program's reads are counted against this unit's requests from now on.
            m_answers.clear();
            m_reads = 0;
            m_port =
                ::open(m_pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK); // to see what is queued
        }
        m_server = std::make_unique<CZemraSimServer>(m_sim, m_pty.MasterFd());
        Resume();
        Activate(true);
    }
    void Stop() {
        if (!m_thread.joinable()) return;
        m_server->Stop();
        m_thread.join();
    }
    // Serves again after Stop, on the same terminal; what the unit still had to send goes out now.
    void Resume() {
        if (!m_thread.joinable()) m_thread = std::thread([this] { m_server->Run(m_runError); });
    }
    // The far end disappears, as when the USB adapter is pulled: the terminal is closed under the port.
    void Vanish() {
        Stop();
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_port >= 0) ::close(m_port);
            m_port = -1;
        }
        m_pty.Close();
    }
    // The unit switched off and on again (or the simulator restarted): Vanish, then Start on a new terminal
    // under the same link. Its memory is kept.
    void Restart() {
        Vanish();
        Start();
    }
    const std::string& Path() const { return m_path; }
    // Requests the unit has taken since it was started.
    std::size_t Requests() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_answers.size();
    }

private:
    enum Answer { Pending, Whole, NotWhole };

    // The unit whose answers are waited for, and the lock that keeps it alive while a wait uses it.
    static inline std::mutex s_activeLock;
    static inline SimulatedUnit* s_active = nullptr;
    void Activate(bool on) {
        std::lock_guard<std::mutex> lock(s_activeLock);
        if (!on && s_active != this) return;
        s_active = on ? this : nullptr;
        TransferWaits::SetAnswerWaitForTests(on ? &Wait : nullptr);
    }

    // Runs on the unit's thread: what it does with each request, from its trace.
    void Note(const std::string& line) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (line.rfind("request ", 0) == 0) {
            m_answers.push_back(Pending);
        } else if (!m_answers.empty() && m_answers.back() == Pending) {
            if (line.rfind("answer ", 0) == 0) // "... after N ms" when delayed, no "$" when short
                m_answers.back() = line.back() == '$' ? Whole : NotWhole;
            else if (line.rfind("fault noanswer", 0) == 0 || line.find(": no answer") != std::string::npos)
                m_answers.back() = NotWhole;
        }
    }

    static void Wait(int milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        if (milliseconds != TransferWaits::BlockWaitMs()) return; // settling the line, no answer awaited
        std::lock_guard<std::mutex> lock(s_activeLock);
        if (s_active) s_active->AwaitAnswer();
    }
    // The program reads one answer for each request, in order: this read is for the unit's request n.
    void AwaitAnswer() {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::unique_lock<std::mutex> lock(m_lock);
        const std::size_t n = m_reads++;
        int queued = 0;
        while (m_port >= 0 && ::ioctl(m_port, FIONREAD, &queued) == 0 &&
               queued < CZemProtocol::DATA_MSG_LEN && !(n < m_answers.size() && m_answers[n] == NotWhole) &&
               std::chrono::steady_clock::now() < limit) {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            lock.lock();
        }
    }

    CZemraSimulator m_sim;
    CPseudoTerminal m_pty;
    std::unique_ptr<CZemraSimServer> m_server;
    std::thread m_thread;
    std::string m_path;
    std::string m_link;
    std::string m_runError;
    std::mutex m_lock; // guards what follows, shared with the unit's thread
    int m_port = -1;
    std::vector<Answer> m_answers; // one per request the unit took
    std::size_t m_reads = 0;
};
