#pragma once

#include "model/BrTypes.h"
#include "unit/CUndoHistory.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CArchive;
class CZemUnit;
class IBrantAlarm;
class IBrantSetupType;

// The data side of the Tavik document: one configuration unit, its file, its modified flag.
// The desktop program and the command-line tool both wrap it.
class CTavikDoc {
public:
    CTavikDoc();
    ~CTavikDoc();
    CTavikDoc(const CTavikDoc&) = delete;
    CTavikDoc& operator=(const CTavikDoc&) = delete;

    // Back to the default configuration, "Untitled" and unmodified. Returns nonzero on success.
    int OnNewDocument();
    // Loading starts from the default sheets; then the unit reads or writes itself.
    void Serialize(CArchive& archive);
    // Loads `path`. On failure `error` says why and the document is a new default document; returns 0.
    int OnOpenDocument(const std::string& path, std::string& error);
    // Saves to `path` through a flushed temporary file in the same folder that replaces the target in one
    // step (ReplaceFileWith), so a failed save leaves the previous file untouched. A symbolic link is kept and
    // the file it points to replaced; anything but a regular file is refused. Returns 0 with `error` set on
    // failure.
    int OnSaveDocument(const std::string& path, std::string& error);
    // The document file's bytes for the current configuration.
    std::vector<std::uint8_t> SaveToBytes();
    // Loads from bytes; same failure behaviour as OnOpenDocument.
    int LoadFromBytes(std::vector<std::uint8_t> bytes, std::string& error);

    // The four setup types; returns 4, or (unsigned)-1 on failure.
    unsigned GetBrSetup(IBrantSetupType** setups);
    IBrantAlarm* GetUnit() const;
    CZemUnit* GetZemUnit() const { return m_pUnit.get(); }

    BOOL IsModified() const { return m_bModified; }
    // Clearing the flag also makes the current configuration the one Undo and Redo call unmodified.
    void SetModifiedFlag(BOOL modified = 1);

    // Undo and Redo over whole configurations. New, Open and a load start a new history.
    // After an accepted edit (or a download): records the configuration as one step; 0 when it is unchanged.
    int RecordUndoStep();
    // Bring back the configuration before (after) the current step; 0 when there is none.
    int Undo();
    int Redo();
    // Brings back the configuration of the current step, dropping every change not recorded since (a
    // download that failed half-way); the modified flag is as it was at that step.
    int RevertToUndoStep();
    bool CanUndo() const { return m_undo.CanUndo(); }
    bool CanRedo() const { return m_undo.CanRedo(); }
    const std::string& GetPathName() const { return m_strPathName; }
    void SetPathName(const std::string& path) { m_strPathName = path; }

    int m_nDirection = 0; // 0 upload, 1 download: chooses the progress texts

private:
    int RestoreUndoState(const CUndoHistory::State* state);

    std::unique_ptr<CZemUnit> m_pUnit;
    CUndoHistory m_undo;
    BOOL m_bModified = 0;
    std::string m_strPathName;
};
