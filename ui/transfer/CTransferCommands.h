// ui/transfer: the unit's transfers in the desktop program. CTransferCommands runs Upload, Download and
// Compare with Unit for the document; the progress window, the retry question, the port and line-settings
// dialogs with the port list of each system serve it, and the sheet room's cell list shows a comparison.
// Uploads keep the unit's previous configuration as a backup document.
#pragma once

#include "ui/transfer/CComSetupUI.h"
#include "ui/transfer/CTransferProgress.h"
#include "ui/transfer/CUpDownPrompt.h"
#include "unit/CUnitBackup.h"

#include <QObject>
#include <QPointer>

#include <functional>

class IDocumentFrame;
class CTavikDoc;

// The document's transfer commands: Upload, Download and COM Setup. Installs the COM setup dialogs and
// the retry dialog on the document's unit for as long as it lives.
class CTransferCommands : public QObject {
    Q_OBJECT
public:
    // saveModified asks to save a modified document; false when the user cancelled.
    CTransferCommands(CTavikDoc* doc, IDocumentFrame* frame, std::function<bool()> saveModified,
                      QObject* parent = nullptr);
    // A transfer still running is stopped and waited for, so the unit never calls a dialog that is gone.
    ~CTransferCommands() override;

    // Sends the configuration to the unit; the document itself does not change. The unit is read first and
    // what it held kept in the per-user backups folder; then only the blocks that differ are written (every
    // block when the line settings say so). The result stays in the status bar with a button that opens the
    // backup; an upload that stopped half-way names the blocks it wrote and offers to upload again.
    void Upload();
    // Asks to save a modified document, then reads the configuration from the unit into the default
    // sheets. Afterwards the document is "Untitled" and unmodified and the General tab is shown. A download
    // that fails or is stopped leaves the document as it was.
    void Download();
    // Reads the unit like Download, lists every cell where it differs from the document, and then puts the
    // document back as it was.
    void Compare();
    // Names and configures the port.
    void OnComSetup();

    bool IsTransferring() const { return m_bBusy; }

private:
    // Runs a download into the document's sheets; true when every block arrived. The caller puts the
    // document back (RevertToUndoStep) when it should not keep what arrived.
    bool RunDownload();
    void ShowStatus(const QString& text, const QString& backupPath = QString());
    // Lines of corrections a message box shows after a download; the rest are counted.
    static constexpr std::size_t kShownCorrections = 30;

    CTavikDoc* m_pDoc;
    // The frame, reached through its narrow door while its window lives.
    IDocumentFrame* Frame() const { return m_pWindow ? m_pFrame : nullptr; }
    IDocumentFrame* m_pFrame;
    QPointer<QWidget> m_pWindow;
    std::function<bool()> m_saveModified;
    CComSetupUI m_comUI;
    CUpDownPrompt m_prompt;
    CTransferProgress m_progress;
    CUnitBackup m_backup;
    bool m_bBusy = false;
};
