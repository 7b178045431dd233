// upload and download: the transfer commands of tavik-cli, the same transfer the program runs.
#include "tools/tavik-cli/CliCommands.h"
#include "tools/tavik-cli/CliFiles.h"
#include "tools/tavik-cli/CliInterrupt.h"
#include "tools/tavik-cli/CliSystem.h"

#include "link/CComSetupDialog.h"
#include "link/CScriptedComSetupUI.h"
#include "link/ITransferTrace.h"
#include "link/ITransferUI.h"
#include "link/TransferControl.h"
#include "model/CBrantSetupType.h"
#include "model/Cp1252.h"
#include "unit/BackupFolder.h"
#include "unit/CTavikDoc.h"
#include "unit/CUnitBackup.h"
#include "unit/CZemUnit.h"
#include "unit/UploadReport.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

namespace {
// The worker thread (trace, retry notes) and the progress loop both write to stderr; each write takes this
// lock, so that a stream without locks of its own (a test's string stream) is safe too.
using ErrLock = std::mutex;

// Retries the whole transfer as many times as allowed, then cancels; tells the user each time.
class CCliRetry : public ITransferUI {
public:
    CCliRetry(int retries, bool trace, std::ostream& err, ErrLock& lock)
        : m_nLeft(retries), m_bTrace(trace), m_err(err), m_lock(lock) {}
    bool AskRetry(const std::string& message, const std::string& reason) override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_nLeft <= 0 || CliInterruptGuard::Interrupted()) return false;
        --m_nLeft;
        std::string why = reason;
        if (!why.empty() && why.back() == '.') why.pop_back(); // a port's sentence ends here, not the line
        m_err << "\ntavik-cli: " << message << (why.empty() ? "" : ": " + why);
        // Called on the worker, which noted the failed exchange just before.
        if (m_bTrace) m_err << " (" << TransferControl::LastFailure() << ")";
        m_err << "; retrying (" << m_nLeft << " retries left)\n";
        return true;
    }

private:
    int m_nLeft;
    bool m_bTrace;
    std::ostream& m_err;
    ErrLock& m_lock;
};

// Every message in hex with a time stamp.
class CCliTrace : public ITransferTrace {
public:
    CCliTrace(std::ostream& err, ErrLock& lock) : m_err(err), m_lock(lock) {}
    void OnMessage(bool sent, const std::uint8_t* data, int count) override {
        using namespace std::chrono;
        const auto now = system_clock::now();
        const std::time_t seconds = system_clock::to_time_t(now);
        const int millis =
            static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
        const std::tm local = LocalTimeOf(seconds);
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                      millis);
        std::string line = std::string(stamp) + (sent ? " > " : " < ");
        char hex[4];
        for (int i = 0; i < count; ++i) {
            std::snprintf(hex, sizeof hex, "%02X ", data[i]);
            line += hex;
        }
        if (count == 0) line += "(nothing)";
        std::lock_guard<std::mutex> lock(m_lock);
        m_err << '\n' << line;
    }

private:
    std::ostream& m_err;
    ErrLock& m_lock;
};

// Progress on stderr: a bar redrawn in place on a terminal, one line per sheet otherwise (and while
// tracing, so that the bar does not overwrite trace lines).
class CProgressPrinter {
public:
    CProgressPrinter(std::ostream& err, ErrLock& lock, const char* format, unsigned long total, bool tracing)
        : m_err(err), m_lock(lock), m_format(format), m_total(total),
          m_bTerminal(!tracing && StderrIsTerminal()) {}

    // An upload knows how much it writes only once it has read the unit.
    void SetTotal(unsigned long total) { m_total = total; }
    void Show(unsigned long count, const std::string& title) {
        std::lock_guard<std::mutex> lock(m_lock);
        const int percent =
            m_total ? static_cast<int>(std::min<unsigned long>(count, m_total) * 100 / m_total) : 0;
        char text[128];
        std::snprintf(text, sizeof text, m_format, title.c_str());
        if (m_bTerminal) {
            const int filled = percent * 30 / 100;
            m_err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                  << std::string(static_cast<std::size_t>(30 - filled), ' ') << "] " << percent << "% "
                  << text << "        " << std::flush;
        } else if (!title.empty() && title != m_strLastTitle) {
            m_err << text << '\n';
        }
        if (!title.empty()) m_strLastTitle = title;
    }
    void Finish() {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_bTerminal) m_err << '\n';
    }

private:
    std::ostream& m_err;
    ErrLock& m_lock;
    const char* m_format;
    unsigned long m_total;
    bool m_bTerminal;
    std::string m_strLastTitle;
};
} // namespace

int RunTransfer(CTavikDoc& document, int direction, const TransferOptions& options, std::ostream& err) {
    CZemUnit& unit = *document.GetZemUnit();
    const CliInterruptGuard interrupts;
    CScriptedComSetupUI portUI;
    portUI.AnswerPortName(options.port);
    unit.GetComSetup()->SetUI(&portUI);
    ErrLock errLock;
    CCliRetry retry(options.retries, options.trace, err, errLock);
    unit.SetTransferUI(&retry);
    CCliTrace trace(err, errLock);
    CBrantSetupType::SetTrace(options.trace ? &trace : nullptr);

    const int started = direction == 0 ? unit.UploadData() : unit.DownloadData();
    if (!started) {
        for (const auto& error : portUI.Errors()) {
            std::string message = error.message;
            while (!message.empty() && (message.back() == '\n' || message.back() == '.'))
                message.pop_back();
            err << "tavik-cli: " << message << (error.detail.empty() ? "" : ": " + error.detail) << '\n';
        }
        if (portUI.Errors().empty())
            err << "tavik-cli: the port " << options.port << " could not be set up\n";
        CBrantSetupType::SetTrace(nullptr);
        return CLI_FAILED;
    }

    const unsigned long total = unit.GetTotalTransBytes(direction);
    CProgressPrinter progress(err, errLock,
                              direction == 1 ? "Downloading %s data ..." : "Uploading %s data ...", total,
                              options.trace);
    bool stopAsked = false;
    while (!unit.IsTransEnd()) {
        if (CliInterruptGuard::Interrupted() && !stopAsked) {
            // The block in flight is finished (a written one read back), then the transfer ends.
            unit.StopTransfer();
            stopAsked = true;
        }
        progress.SetTotal(unit.GetTotalTransBytes(direction));
        progress.Show(unit.GetCurSendedNumBytes(), unit.GetTransTitle());
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    unit.JoinWorker();
    CBrantSetupType::SetTrace(nullptr);
    if (unit.GetTransferResult()) {
        progress.Show(unit.GetCurSendedNumBytes(), std::string());
        progress.Finish();
        if (direction == 0) {
            if (const std::string backup = BackupText(unit); !backup.empty()) err << backup << '\n';
            err << UploadSummary(unit) << '\n';
        }
        return CLI_OK;
    }
    progress.Finish();
    if (unit.WasStopped()) {
        err << "tavik-cli: stopped by " << CliInterruptGuard::What() << "\n";
    } else {
        err << "tavik-cli: " << unit.GetTransferError();
        if (options.trace) err << " (" << unit.GetTransferDetail() << ")";
        err << '\n';
    }
    // What the unit holds now: only the blocks whose write message went out can have changed.
    if (direction == 0) {
        err << "tavik-cli: " << WrittenBlocksText(unit)
            << (unit.GetWrittenBlockNames().empty() ? "; it holds what it held before" : "") << '\n';
        if (const std::string backup = BackupText(unit); !backup.empty())
            err << "tavik-cli: " << backup << '\n';
    }
    return unit.WasStopped() ? CliInterruptGuard::ExitStatus() : CLI_FAILED;
}

int RunUpload(const std::string& path, const TransferOptions& options, std::istream& in, std::ostream& out,
              std::ostream& err) {
    // The backup is tried before the unit is read: a place it cannot go stops the upload at once.
    if (!options.backup.empty() && !CheckOutput(options.backup, err)) return CLI_FAILED;
    CTavikDoc document;
    if (!LoadDocument(document, path, in, err)) return CLI_BAD_FILE;
    CUnitBackup backup;
    if (IsStdio(options.backup))
        backup.KeepWith(
            [&out](const std::vector<std::uint8_t>& bytes, std::string& error) {
                out.write(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<std::streamsize>(bytes.size()));
                out.flush();
                if (out) return true;
                error = "cannot write to standard output";
                return false;
            },
            "standard output");
    else if (!options.backup.empty())
        backup.KeepInFile(options.backup);
    else
        backup.KeepInFolder(DefaultBackupFolder());
    CZemUnit& unit = *document.GetZemUnit();
    unit.SetUploadBackup(options.noBackup ? nullptr : &backup);
    unit.SetWriteAllBlocks(options.allBlocks);
    const int result = RunTransfer(document, 0, options, err);
    unit.SetUploadBackup(nullptr);
    return result;
}

int RunDownload(const std::string& path, const TransferOptions& options, std::ostream& out,
                std::ostream& err) {
    // A download that could not save its result would have kept the unit busy for nothing.
    if (!CheckOutput(path, err)) return CLI_FAILED;
    CTavikDoc document;
    document.OnNewDocument();
    const int result = RunTransfer(document, 1, options, err);
    if (result != CLI_OK) {
        err << "tavik-cli: nothing was saved to '" << path << "'\n";
        return result;
    }
    if (!SaveDocument(document, path, out, err)) return CLI_FAILED;
    // What the sheets corrected is told, but the download itself succeeded.
    const std::string report = document.GetZemUnit()->GetCorrections().Report(SIZE_MAX);
    if (!report.empty()) err << "tavik-cli: " << Utf8FromCp1252(report) << '\n';
    return CLI_OK;
}
