#include "link/CComSetupDialog.h"

#include "link/TransferWaits.h"

#include <cerrno>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

const char* const kOpenFailed = "Error to open com port.\n";
const char* const kSetStateFailed = "Error to Set communication state";

} // namespace

CComSetupDialog::CComSetupDialog(IComSetupUI* ui) : m_pUI(ui), m_pPort(std::make_unique<CLynSerial>()) {}

CComSetupDialog::~CComSetupDialog() {
    if (m_pPort->IsOpen()) m_pPort->CloseCommPort();
}

void CComSetupDialog::ShowError(const std::string& message, const std::string& detail) {
    if (m_pUI) m_pUI->ShowError(message, detail);
}

int CComSetupDialog::DoCommSetup() {
    m_pPort->CloseCommPort();
    if (!m_pUI) return 0;
    m_pPort->SetDataNotifyMsg(this, kDataNotifyMsg);
    std::string name = m_strPortName;
    if (!m_pUI->AskPortName(name)) return 0;
    m_strPortName = name;
    return DoConfig() ? 1 : 0;
}

int CComSetupDialog::DoConfig() {
    if (!m_pPort->IsOpen() && !OpenComPort()) return 0;
    LynDcb settings;
    if (!m_pPort->GetCommState(settings)) return 0;
    if (!m_pUI || !m_pUI->EditLineSettings(m_strPortName, settings)) return 0;
    if (!m_pPort->SetCommState(settings)) {
        ShowError(kSetStateFailed, m_pPort->GetLastErrorText());
        return 0;
    }
    m_settings = settings;
    m_bHaveSettings = true;
    return 1;
}

int CComSetupDialog::OpenComPort() {
    if (m_pPort->OpenCommPort(m_strPortName.c_str()) != 0) {
        ShowError(kOpenFailed, m_pPort->GetLastErrorText());
        return 0;
    }
    return 1;
}

int CComSetupDialog::ReopenPort() {
    if (m_strPortName.empty()) return 0;
    if (m_pPort->OpenCommPort(m_strPortName.c_str()) != 0) return 0;
    LynDcb settings = m_settings;
    if (m_bHaveSettings && !m_pPort->SetCommState(settings)) {
        m_pPort->CloseCommPort(); // keeps the reason
        return 0;
    }
    return 1;
}

void CComSetupDialog::CloseIfLost() {
    // The reason stays readable: closing keeps the port's last error.
    if (m_pPort->IsPortLost() && m_pPort->IsOpen()) m_pPort->CloseCommPort();
}

int CComSetupDialog::Write(const std::uint8_t* data, int count) {
    if (!m_pPort->IsOpen() || m_pPort->IsPortLost()) return -1;
    if (count <= 0) return 0;
    if (!data) return -1;
    m_pPort->ClearLastError();
    const int sent = static_cast<int>(m_pPort->SendData(data, count));
    // The library reports write errors only through its state: a port that went away, or a line that held
    // a byte past its time limit, sent nothing the unit can use.
    const bool timedOut = m_pPort->GetLastErrorCode() == ETIMEDOUT;
    const bool lost = m_pPort->IsPortLost();
    CloseIfLost();
    return lost || timedOut ? -1 : sent;
}

int CComSetupDialog::ReadData(std::uint8_t* buffer, int& count, int wait) {
    TransferWaits::WaitForAnswer(wait);
    // A closed port (one that went away) keeps the reason it gave last instead of "not open".
    count = (buffer && count > 0 && m_pPort->IsOpen()) ? m_pPort->ReadData(buffer, count) : 0;
    CloseIfLost();
    return 1;
}

int CComSetupDialog::PurgePort(std::uint32_t flags) {
    const int purged = m_pPort->IsOpen() && m_pPort->PurgeComm(flags) ? 1 : 0;
    CloseIfLost();
    return purged;
}

int CComSetupDialog::SettleLine(int quietMs, int limitMs, const std::function<bool()>& stop) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastHeard = start;
    // Small steps, so that the silence is measured to a tenth of its length.
    const int step = std::max(1, quietMs / 10);
    bool more = false; // the last read filled the buffer: read on without waiting
    for (;;) {
        if (stop && stop()) return 0;
        std::uint8_t discarded[256];
        int count = static_cast<int>(sizeof discarded);
        ReadData(discarded, count, more ? 0 : step);
        more = count == static_cast<int>(sizeof discarded);
        const Clock::time_point now = Clock::now();
        if (count > 0) lastHeard = now;
        if (now - lastHeard >= std::chrono::milliseconds(quietMs)) break;
        if (now - start >= std::chrono::milliseconds(limitMs)) return 0;
    }
    PurgePort(LYN_PURGE_RXABORT | LYN_PURGE_RXCLEAR);
    m_bUnsettled = false;
    return 1;
}

int CComSetupDialog::OnData(const std::uint8_t* data, long count) {
    std::lock_guard<std::mutex> lock(m_ReceiveLock);
    m_ReceiveBuffer.fill(0);
    const long kept = (data && count > 0) ? std::min<long>(count, kReceiveBufferSize) : 0;
    if (kept > 0) std::memcpy(m_ReceiveBuffer.data(), data, static_cast<size_t>(kept));
    m_nReceived = static_cast<int>(kept);
    return 0;
}

int CComSetupDialog::GetReceivedData(std::uint8_t* buffer, int maximum) const {
    std::lock_guard<std::mutex> lock(m_ReceiveLock);
    if (!buffer || maximum <= 0) return 0;
    const int copied = std::min(maximum, m_nReceived);
    std::memcpy(buffer, m_ReceiveBuffer.data(), static_cast<size_t>(copied));
    return copied;
}

int CComSetupDialog::GetReceivedCount() const {
    std::lock_guard<std::mutex> lock(m_ReceiveLock);
    return m_nReceived;
}
