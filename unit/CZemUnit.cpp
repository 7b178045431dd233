#include "unit/CZemUnit.h"

#include "link/CComSetupDialog.h"
#include "model/CArchive.h"
#include "model/ChannelNames.h"
#include "sheets/alarms/CAlarm.h"
#include "sheets/general/CGeneral.h"
#include "sheets/logical/CLogicalInput.h"
#include "sheets/physical/CPhysicalInput.h"

namespace {
const SETUP_TYPE g_setupTypes[SETUP_TYPE_COUNT] = {SETUP_GENERAL, SETUP_PHYSICAL_INPUT, SETUP_LOGICAL_INPUT,
                                                   SETUP_ALARM};
const char* const g_setupTitles[SETUP_TYPE_COUNT] = {"General", "Physical Input", "Logical Input", "Alarm"};
} // namespace

CZemUnit::CZemUnit() {
    m_pSetupTypes = {new CGeneral, new CPhysicalInput, new CLogicalInput, new CAlarm};
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i) {
        IBrantSetupType::m_pBrantSetupTypes[i] = m_pSetupTypes[static_cast<std::size_t>(i)];
        m_pSetupTypes[static_cast<std::size_t>(i)]->SetCorrections(&m_corrections);
    }
    m_pComSetup = new CComSetupDialog;
}

CZemUnit::~CZemUnit() {
    // A transfer still running ends at its next block rather than running on to the end.
    if (m_worker.joinable() && !m_bTransEnded.load()) StopTransfer();
    JoinWorker();
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i) {
        if (IBrantSetupType::m_pBrantSetupTypes[i] == m_pSetupTypes[static_cast<std::size_t>(i)])
            IBrantSetupType::m_pBrantSetupTypes[i] = nullptr;
        delete m_pSetupTypes[static_cast<std::size_t>(i)];
    }
    delete m_pComSetup;
}

int CZemUnit::Initialize() {
    for (CBrantSetupType* setup : m_pSetupTypes)
        setup->Initialize();
    return 1;
}

int CZemUnit::GetNumTypeSetup(SETUP_TYPE* types, std::string* titles, unsigned& count) {
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i) {
        types[i] = g_setupTypes[i];
        titles[i] = g_strSetupLabels[i];
    }
    count = SETUP_TYPE_COUNT;
    return 1;
}

int CZemUnit::GetBrSetups(IBrantSetupType** setups, int* count) {
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i) {
        if (!m_pSetupTypes[static_cast<std::size_t>(i)]) return 0;
        setups[i] = m_pSetupTypes[static_cast<std::size_t>(i)];
    }
    *count = SETUP_TYPE_COUNT;
    return 1;
}

int CZemUnit::GetDataSheet(SETUP_TYPE type, CDataSheet** sheet) {
    *sheet = nullptr;
    CBrantSetupType* setup = GetSetupType(type);
    if (!setup || !setup->GetDataSheet() || !setup->GetDataSheet()->m_pSections) return 0;
    auto* copy = new CDataSheet;
    copy->m_pSections = new CSectionArray(*setup->GetDataSheet()->m_pSections);
    *sheet = copy;
    return 1;
}

CBrantSetupType* CZemUnit::GetSetupType(int index) const {
    return index >= 0 && index < SETUP_TYPE_COUNT ? m_pSetupTypes[static_cast<std::size_t>(index)] : nullptr;
}

int CZemUnit::GetNumTransBlocks() const {
    int blocks = 0;
    for (CBrantSetupType* setup : m_pSetupTypes)
        blocks += setup->GetNumTransBlocks();
    return blocks;
}

std::string CZemUnit::GetTitle(int index) const {
    return index >= 0 && index < SETUP_TYPE_COUNT ? g_setupTitles[index] : std::string();
}

int CZemUnit::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteUInt32(FILE_VERSION);
        for (CBrantSetupType* setup : m_pSetupTypes)
            setup->DoFileReadWrite(archive, FILE_VERSION);
        return 1;
    }
    const unsigned version = archive.ReadUInt32();
    if (version > FILE_VERSION)
        throw CArchiveException(CArchiveException::badSchema,
                                "the file was written by a newer program (version " +
                                    std::to_string(version) + ")");
    m_nReadVersion = version;
    for (CBrantSetupType* setup : m_pSetupTypes) {
        try {
            setup->DoFileReadWrite(archive, version);
        } catch (const CArchiveException& error) {
            // The half-read sheet goes back to its defaults; the error tells which sheet failed.
            setup->Initialize();
            throw CArchiveException(CArchiveException::badSchema, "the " + setup->GetTitle() +
                                                                      " part of the file is damaged (" +
                                                                      error.what() + ")");
        }
    }
    return 1;
}
