#pragma once

#include "link/IComSetupUI.h"
#include "serial/CLynSerial.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// The COM port setup and the owner of the one serial port that leads to the unit. The setup (port name,
// line settings) runs on the window thread through an IComSetupUI; during a transfer the worker thread
// alone writes and reads the port.
class CComSetupDialog {
public:
    static constexpr int kReceiveBufferSize = 16384;
    // The data notification the port is told about; the serial library never sends it.
    static constexpr std::uint32_t kDataNotifyMsg = 1124;

    // ui is not owned; without one the setup cannot ask anything and fails.
    explicit CComSetupDialog(IComSetupUI* ui = nullptr);
    ~CComSetupDialog();
    CComSetupDialog(const CComSetupDialog&) = delete;
    CComSetupDialog& operator=(const CComSetupDialog&) = delete;

    void SetUI(IComSetupUI* ui) { m_pUI = ui; }
    IComSetupUI* GetUI() const { return m_pUI; }

    // Closes the port, asks for its name and configures it. Nonzero when the port is open and configured.
    int DoCommSetup();
    // Opens the port if needed, lets the user edit its line settings and applies them. Nonzero on success.
    int DoConfig();
    // Opens the port with the stored name: 1, or 0 after the message "Error to open com port.\n".
    int OpenComPort();
    // Opens the port again by its name, with the line settings it was last configured with, without asking
    // or showing anything (the port went away and may be back: a replugged adapter, a restarted unit). 1 on
    // success; 0 with the reason in GetLastErrorText. May run on the transfer worker.
    int ReopenPort();

    // Sends count bytes and returns count; -1 without sending when the port is not open or has gone away.
    // A port that reports it has gone away (here, in ReadData or PurgePort) is closed at once, so that the
    // device can come back under the same name; IsPortLost stays true until it is opened again.
    int Write(const std::uint8_t* data, int count);
    // Waits wait ms, then reads at most count of the bytes that have arrived; count becomes the number read.
    // Always 1.
    int ReadData(std::uint8_t* buffer, int& count, int wait);
    // Discards what is waiting on the port (LYN_PURGE_* flags). 1 on success, 0 when the port is not open.
    int PurgePort(std::uint32_t flags = LYN_PURGE_ALL);

    // After a failed exchange the unit may still be answering: a late answer would otherwise be taken for
    // the answer to the next request. The worker marks the line, and settles it before the next exchange.
    void MarkUnsettled() { m_bUnsettled = true; }
    bool IsUnsettled() const { return m_bUnsettled; }
    // Reads and discards until nothing has arrived for quietMs, then purges the input. 1 when the line fell
    // quiet; 0 when it still talked after limitMs or `stop` said so (the line then stays marked).
    int SettleLine(int quietMs, int limitMs, const std::function<bool()>& stop);

    // Handler of the data notification: keeps a copy of up to 16384 bytes in the receive buffer. Returns 0.
    int OnData(const std::uint8_t* data, long count);
    // Copies at most maximum bytes of the receive buffer out; returns how many.
    int GetReceivedData(std::uint8_t* buffer, int maximum) const;
    int GetReceivedCount() const;

    const std::string& GetPortName() const { return m_strPortName; }
    CLynSerial* GetPort() const { return m_pPort.get(); }
    LynHandle GetCommHandle() const { return m_pPort->GetCommHandle(); }
    bool IsPortOpen() const { return m_pPort->IsOpen(); }
    bool IsPortLost() const { return m_pPort->IsPortLost(); }
    // The port's reason for its last failure.
    std::string GetLastErrorText() const { return m_pPort->GetLastErrorText(); }

private:
    void ShowError(const std::string& message, const std::string& detail);
    void CloseIfLost();

    IComSetupUI* m_pUI;
    std::array<std::uint8_t, kReceiveBufferSize> m_ReceiveBuffer{};
    int m_nReceived = 0;
    mutable std::mutex m_ReceiveLock;
    std::unique_ptr<CLynSerial> m_pPort;
    std::string m_strPortName;
    LynDcb m_settings;            // the line settings last applied by the setup
    bool m_bHaveSettings = false; // false until a setup applied them
    bool m_bUnsettled = false;    // used by the transfer worker alone
};
