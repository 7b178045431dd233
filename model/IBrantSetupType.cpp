#include "model/IBrantSetupType.h"

#include "model/AllowedText.h"

IBrantSetupType* IBrantSetupType::m_pBrantSetupTypes[SETUP_TYPE_COUNT] = {nullptr, nullptr, nullptr, nullptr};

int IBrantSetupType::GetPopupProperties(int, int, CBrChnData**, int&) {
    return 1;
}

void IBrantSetupType::UpdateProperties(int, int, CBrChnData**, int&) {}

void IBrantSetupType::DoFileReadWrite(CArchive&, unsigned) {}

std::string IBrantSetupType::GetAllowedText(int row, int col) {
    const CBrChnData* cell =
        m_pDataSheet && row >= 1 && col >= 1 ? m_pDataSheet->GetCellChecked(row, col) : nullptr;
    return cell && cell->GetData().size() > 1 ? AllowedListText(cell->GetData()) : std::string();
}

void IBrantSetupType::OnUpdateModify(int, int, int, std::string) {}

void IBrantSetupType::OnNoticesSettled() {}

namespace {
thread_local int g_nCascadeDepth = 0;
thread_local bool g_bNoticeSent = false;
} // namespace

IBrantSetupType::CNoticeCascade::CNoticeCascade() {
    ++g_nCascadeDepth;
}

IBrantSetupType::CNoticeCascade::~CNoticeCascade() {
    if (g_nCascadeDepth > 1 || !g_bNoticeSent) {
        --g_nCascadeDepth;
        return;
    }
    // Still open while the setup types settle, so that a notice sent from there does not settle again.
    g_bNoticeSent = false;
    for (IBrantSetupType* setup : m_pBrantSetupTypes)
        if (setup) setup->OnNoticesSettled();
    g_bNoticeSent = false;
    --g_nCascadeDepth;
}

void IBrantSetupType::UpdateModify(int source, int row, int col, std::string text) {
    const CNoticeCascade cascade;
    g_bNoticeSent = true;
    IBrantSetupType* self =
        m_nSetupType >= 0 && m_nSetupType < SETUP_TYPE_COUNT ? m_pBrantSetupTypes[m_nSetupType] : nullptr;
    (self ? self : this)->OnUpdateModify(source, row, col, std::move(text));
}

CBrChnData* IBrantSetupType::CreateLabelCell(const std::string& title) {
    auto* cell = new CBrChnData(DATA_TYPE_TEXT, 0, CTRL_STYLE_PLAIN, CLR_DEFAULT);
    cell->AddData(title);
    cell->SetPropName(title);
    return cell;
}
