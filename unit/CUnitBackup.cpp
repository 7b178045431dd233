#include "unit/CUnitBackup.h"

#include "model/CBrantSetupType.h"
#include "sheets/general/GeneralTables.h"
#include "unit/BackupFolder.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"
#include "unit/FileReplace.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
// The sheets refer to each other through one table; a second configuration takes it over while it decodes,
// and gives it back to the document's sheets afterwards. Nothing else uses the table meanwhile: the
// window thread edits nothing while a transfer runs.
class SetupTableKeeper {
public:
    SetupTableKeeper() { std::copy_n(IBrantSetupType::m_pBrantSetupTypes, SETUP_TYPE_COUNT, m_saved); }
    ~SetupTableKeeper() { std::copy_n(m_saved, SETUP_TYPE_COUNT, IBrantSetupType::m_pBrantSetupTypes); }
    SetupTableKeeper(const SetupTableKeeper&) = delete;
    SetupTableKeeper& operator=(const SetupTableKeeper&) = delete;

private:
    IBrantSetupType* m_saved[SETUP_TYPE_COUNT] = {};
};

// "unit-12-20261207-174501.zmg": the time stamp, and the number that tells two backups of one second apart.
bool ParseBackupName(const std::string& name, std::string& key) {
    if (name.rfind("unit-", 0) != 0 || name.size() < 5 + 1 + 1 + 15 + 4 ||
        name.compare(name.size() - 4, 4, ".zmg") != 0)
        return false;
    const std::string middle = name.substr(5, name.size() - 9); // <number>-<date>-<time>[-<n>]
    const std::size_t dash = middle.find('-');
    if (dash == std::string::npos || middle.size() < dash + 16) return false;
    const std::string stamp = middle.substr(dash + 1, 15);
    if (stamp[8] != '-') return false;
    for (std::size_t i = 0; i < stamp.size(); ++i)
        if (i != 8 && !std::isdigit(static_cast<unsigned char>(stamp[i]))) return false;
    const std::string extra = middle.substr(dash + 16);
    if (!extra.empty() && (extra[0] != '-' || extra.size() > 7)) return false;
    // The same second sorts by the number added: none, then "-2", "-3", ..., "-10".
    char number[16];
    std::snprintf(number, sizeof number, "%06d", extra.empty() ? 1 : std::atoi(extra.c_str() + 1));
    key = stamp + number;
    return true;
}

// Only the newest backups stay; one that cannot be removed is left (it is no reason to fail an upload).
void Prune(const std::string& folder) {
    std::vector<std::pair<std::string, fs::path>> backups;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string key;
        if (it->is_regular_file(ec) && ParseBackupName(it->path().filename().string(), key))
            backups.emplace_back(key, it->path());
    }
    if (backups.size() <= static_cast<std::size_t>(CUnitBackup::kMaxKept)) return;
    std::sort(backups.begin(), backups.end());
    const std::size_t extra = backups.size() - static_cast<std::size_t>(CUnitBackup::kMaxKept);
    for (std::size_t i = 0; i < extra; ++i)
        fs::remove(backups[i].second, ec);
}

// The device number as a name may carry it: its digits, or "unknown".
std::string NamePart(const std::string& deviceNumber) {
    std::string digits;
    for (char c : deviceNumber)
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    return digits.empty() ? std::string("unknown") : digits;
}
} // namespace

void CUnitBackup::KeepInFolder(const std::string& folder) {
    m_where = InFolder;
    m_strTarget = folder;
}

void CUnitBackup::KeepInFile(const std::string& path) {
    m_where = InFile;
    m_strTarget = path;
}

void CUnitBackup::KeepWith(Writer writer, const std::string& name) {
    m_where = ByWriter;
    m_writer = std::move(writer);
    m_strTarget = name;
}

std::vector<std::uint8_t> CUnitBackup::Decode(const Images& images, std::string& deviceNumber) {
    const SetupTableKeeper table;
    CTavikDoc document;
    document.OnNewDocument();
    CZemUnit& unit = *document.GetZemUnit();
    // As a download applies them: block by block in unit order, each sheet finished after its last block.
    for (int type = 0; type < SETUP_TYPE_COUNT; ++type) {
        CBrantSetupType* setup = unit.GetSetupType(type);
        std::vector<Block> blocks = images[static_cast<std::size_t>(type)];
        for (std::size_t block = 0; block < blocks.size(); ++block)
            setup->ApplyBlock(static_cast<int>(block), blocks[block].data());
        setup->EndApply();
    }
    const CDataSheet* general = unit.GetSetupType(SETUP_GENERAL)->GetDataSheet();
    const CBrChnData* number = general ? general->GetCellChecked(GEN_ROW_DEVICE_NUMBER, 1) : nullptr;
    deviceNumber = number ? number->GetDataAsString() : std::string();
    return document.SaveToBytes();
}

int CUnitBackup::KeepInFolder(const std::vector<std::uint8_t>& bytes, const std::string& deviceNumber,
                              std::string& error) {
    if (m_strTarget.empty()) {
        error = "no folder for backups (neither XDG_STATE_HOME nor HOME is set)";
        return 0;
    }
    std::error_code ec;
    fs::create_directories(fs::path(m_strTarget), ec);
    if (ec) {
        error = "cannot make the folder '" + m_strTarget + "': " + ec.message();
        return 0;
    }
    const std::tm local = BackupLocalTime(std::time(nullptr));
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string stem = m_strTarget + static_cast<char>(fs::path::preferred_separator) + "unit-" +
                             NamePart(deviceNumber) + "-" + stamp;
    // Two uploads within one second keep two backups.
    std::string path = stem + ".zmg";
    for (int n = 2; fs::exists(fs::path(path), ec) && n < 1000; ++n)
        path = stem + "-" + std::to_string(n) + ".zmg";
    if (!ReplaceFileWith(path, bytes, error)) return 0;
    m_strPath = path;
    Prune(m_strTarget);
    return 1;
}

int CUnitBackup::Keep(const Images& images, std::string& error) {
    std::string deviceNumber;
    const std::vector<std::uint8_t> bytes = Decode(images, deviceNumber);
    switch (m_where) {
    case InFolder:
        return KeepInFolder(bytes, deviceNumber, error);
    case InFile:
        if (!ReplaceFileWith(m_strTarget, bytes, error)) return 0;
        break;
    case ByWriter:
        if (!m_writer || !m_writer(bytes, error)) return 0;
        break;
    }
    m_strPath = m_strTarget;
    return 1;
}
