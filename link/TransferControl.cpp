#include "link/TransferControl.h"

#include "model/CBrantSetupType.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {
std::mutex g_lock; // guards the pause and the failure text
std::condition_variable g_changed;
bool g_bPause = false;
bool g_bHeld = false;
std::atomic<int> g_nWrites{0};
std::string g_strFailure;
std::vector<std::string> g_written; // guarded by g_lock
} // namespace

void TransferControl::Reset() {
    std::lock_guard<std::mutex> lock(g_lock);
    g_bPause = false;
    g_bHeld = false;
    g_nWrites.store(0);
    g_strFailure.clear();
    g_written.clear();
    CBrantSetupType::RequestStop(false);
}

void TransferControl::Pause() {
    std::lock_guard<std::mutex> lock(g_lock);
    g_bPause = true;
}

void TransferControl::Resume() {
    std::lock_guard<std::mutex> lock(g_lock);
    g_bPause = false;
    g_changed.notify_all();
}

void TransferControl::Stop() {
    std::lock_guard<std::mutex> lock(g_lock);
    CBrantSetupType::RequestStop(true);
    g_changed.notify_all();
}

bool TransferControl::IsPauseRequested() {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_bPause;
}

bool TransferControl::IsHeld() {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_bHeld;
}

bool TransferControl::Pass() {
    std::unique_lock<std::mutex> lock(g_lock);
    if (g_bPause && !CBrantSetupType::IsStopRequested()) {
        g_bHeld = true;
        g_changed.wait(lock, [] { return !g_bPause || CBrantSetupType::IsStopRequested(); });
        g_bHeld = false;
    }
    return !CBrantSetupType::IsStopRequested();
}

void TransferControl::NoteWriteSent(const std::string& name) {
    g_nWrites.fetch_add(1);
    std::lock_guard<std::mutex> lock(g_lock);
    if (std::find(g_written.begin(), g_written.end(), name) == g_written.end()) g_written.push_back(name);
}

std::vector<std::string> TransferControl::WrittenBlocks() {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_written;
}

int TransferControl::WritesSent() {
    return g_nWrites.load();
}

void TransferControl::NoteFailure(const std::string& detail) {
    std::lock_guard<std::mutex> lock(g_lock);
    g_strFailure = detail;
}

std::string TransferControl::LastFailure() {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_strFailure;
}
