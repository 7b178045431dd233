#pragma once

#include "model/BrTypes.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the unit held before an upload wrote to it, kept as a document: the blocks read first, decoded
// through the sheets' own download code, so that the backup is the document a download would have saved.
// Restoring is opening the backup and uploading it.
class CUnitBackup {
public:
    using Block = std::array<BYTE, 32>;
    using Images = std::array<std::vector<Block>, SETUP_TYPE_COUNT>; // per sheet in unit order
    // Takes the document's bytes; false with `error` set when they could not be kept.
    using Writer = std::function<bool(const std::vector<std::uint8_t>&, std::string& error)>;

    static constexpr int kMaxKept = 200;

    // Kept in `folder` (made when missing) as unit-<device number>-<YYYYMMDD-HHMMSS>.zmg, the unit's own
    // device number in the name; only the kMaxKept newest backups there stay.
    void KeepInFolder(const std::string& folder);
    // Kept in `path`, replaced whole.
    void KeepInFile(const std::string& path);
    // Handed to `writer` (standard output); `name` is what the messages call it.
    void KeepWith(Writer writer, const std::string& name);

    // On the transfer worker, before the first block is written. 1 when the backup is kept; 0 with
    // `error` set when it could not be.
    int Keep(const Images& images, std::string& error);
    // Where the last backup went; empty before one was kept.
    const std::string& GetPath() const { return m_strPath; }
    void Forget() { m_strPath.clear(); }

    // The document file of the configuration the blocks hold, and its device number as the General sheet
    // shows it.
    static std::vector<std::uint8_t> Decode(const Images& images, std::string& deviceNumber);

private:
    enum Where { InFolder, InFile, ByWriter };
    int KeepInFolder(const std::vector<std::uint8_t>& bytes, const std::string& deviceNumber,
                     std::string& error);

    Where m_where = InFolder;
    std::string m_strTarget; // the folder or the file
    Writer m_writer;
    std::string m_strPath;
};
