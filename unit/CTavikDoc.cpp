#include "unit/CTavikDoc.h"

#include "model/CArchive.h"
#include "model/CBrantSetupType.h"
#include "unit/CZemUnit.h"
#include "unit/FileReplace.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Documents are a few tens of kilobytes. The largest the sheets can produce, with the LCD unit lists full
// (24 lists of 65536 units of four characters, 7.5 MiB), fits; anything larger is not ours and is refused
// before reading.
constexpr off_t MAX_DOCUMENT_SIZE = 16L * 1024 * 1024;
#ifdef _WIN32
// Windows reads files as text unless told otherwise, and has no close-on-exec.
constexpr int kReadFlags = O_RDONLY | O_BINARY;
#else
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC;
#endif

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " '" + path + "': " + std::strerror(errno);
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    const int fd = ::open(path.c_str(), kReadFlags);
    if (fd < 0) {
        error = SystemError("Cannot open", path);
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok)
        error = SystemError("Cannot read", path);
    else if (!S_ISREG(info.st_mode)) {
        error = "'" + path + "' is not a file";
        ok = false;
    } else if (info.st_size > MAX_DOCUMENT_SIZE) {
        error = "'" + path + "' is far too large to be a Tavik document";
        ok = false;
    }
    if (ok) {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error = n < 0 ? SystemError("Cannot read", path) : "'" + path + "' changed while it was read";
                ok = false;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return ok;
}

// A layout change adds one to the version word; a word beyond this is no layout any program wrote.
constexpr std::uint32_t MAX_PLAUSIBLE_VERSION = 255;

std::uint32_t LittleEndianAt(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;)
        value = value << 8 | bytes[at + i];
    return value;
}

// Bytes that cannot be a document of any version: too short for the version word, a version word far
// beyond every layout, or a first record whose title and sheet word do not fit in the file. The title's
// text is not looked at: an older or translated program stored its own.
bool CannotBeDocument(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 4 || LittleEndianAt(bytes, 0, 4) > MAX_PLAUSIBLE_VERSION) return true;
    std::size_t at = 4;
    const auto take = [&bytes, &at](std::size_t size, std::uint64_t& value) {
        if (bytes.size() - at < size) return false;
        value = LittleEndianAt(bytes, at, size);
        at += size;
        return true;
    };
    // The title's length prefix: one byte below 255, else 0xFF and 16 bits, else 0xFFFF and 32 bits.
    std::uint64_t length = 0;
    if (!take(1, length)) return true;
    if (length == 0xFF && (!take(2, length) || (length == 0xFFFF && !take(4, length)))) return true;
    return bytes.size() - at < length + 4;
}

} // namespace

CTavikDoc::CTavikDoc() : m_pUnit(std::make_unique<CZemUnit>()) {}

CTavikDoc::~CTavikDoc() = default;

IBrantAlarm* CTavikDoc::GetUnit() const {
    return m_pUnit.get();
}

int CTavikDoc::OnNewDocument() {
    if (!m_pUnit) return 0;
    m_strPathName.clear();
    m_bModified = 0;
    const int ok = m_pUnit->Initialize() > 0;
    m_undo.Reset(SaveToBytes());
    return ok;
}

void CTavikDoc::SetModifiedFlag(BOOL modified) {
    m_bModified = modified ? 1 : 0;
    if (!m_bModified) m_undo.MarkSaved();
}

int CTavikDoc::RecordUndoStep() {
    return m_undo.Record(SaveToBytes()) ? 1 : 0;
}

int CTavikDoc::Undo() {
    return RestoreUndoState(m_undo.Undo());
}

int CTavikDoc::Redo() {
    return RestoreUndoState(m_undo.Redo());
}

int CTavikDoc::RevertToUndoStep() {
    return RestoreUndoState(m_undo.Current());
}

int CTavikDoc::RestoreUndoState(const CUndoHistory::State* state) {
    if (!state) return 0;
    CArchive archive{std::vector<std::uint8_t>(*state)};
    try {
        Serialize(archive); // the document's own bytes: they load as they were saved
    } catch (const CArchiveException&) {
        return 0;
    }
    m_bModified = m_undo.IsSaved() ? 0 : 1;
    return 1;
}

void CTavikDoc::Serialize(CArchive& archive) {
    if (archive.IsLoading()) m_pUnit->Initialize();
    m_pUnit->Serialize(archive);
    if (!archive.IsLoading()) return;
    // Documents of older versions hold values as they were typed ("07", "0.300"): the sheets hold one text
    // per value, the one the unit gives back. This changes no value, so the document stays unmodified.
    for (int type = 0; type < SETUP_TYPE_COUNT; ++type)
        if (CBrantSetupType* setup = m_pUnit->GetSetupType(type)) setup->CanonicalizeCells();
}

unsigned CTavikDoc::GetBrSetup(IBrantSetupType** setups) {
    int count = 0;
    if (!m_pUnit || !m_pUnit->GetBrSetups(setups, &count)) return static_cast<unsigned>(-1);
    return static_cast<unsigned>(count);
}

std::vector<std::uint8_t> CTavikDoc::SaveToBytes() {
    CArchive archive(CArchive::store);
    Serialize(archive);
    return archive.GetBuffer();
}

int CTavikDoc::LoadFromBytes(std::vector<std::uint8_t> bytes, std::string& error) {
    if (CannotBeDocument(bytes)) {
        error = "The file is not a Tavik document.";
        OnNewDocument();
        return 0;
    }
    CArchive archive(std::move(bytes));
    try {
        Serialize(archive);
    } catch (const CArchiveException& e) {
        error = std::string("The file is not a valid Tavik document: ") + e.what() + ".";
        OnNewDocument();
        return 0;
    }
    if (archive.GetRemaining() != 0) {
        // Bytes after the last record: not a file this program wrote.
        error = "The file is not a valid Tavik document: unexpected data after the alarm sheet.";
        OnNewDocument();
        return 0;
    }
    m_bModified = 0;
    m_undo.Reset(SaveToBytes());
    return 1;
}

int CTavikDoc::OnOpenDocument(const std::string& path, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) {
        OnNewDocument();
        return 0;
    }
    if (!LoadFromBytes(std::move(bytes), error)) {
        error = "'" + path + "': " + error;
        return 0;
    }
    m_strPathName = path;
    return 1;
}

int CTavikDoc::OnSaveDocument(const std::string& path, std::string& error) {
    const std::vector<std::uint8_t> bytes = SaveToBytes();
    if (!ReplaceFileWith(path, bytes, error)) return 0;
    m_strPathName = path;
    SetModifiedFlag(0);
    return 1;
}
