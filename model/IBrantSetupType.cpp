#include "model/IBrantSetupType.h"

IBrantSetupType* IBrantSetupType::m_pBrantSetupTypes[SETUP_TYPE_COUNT] = {nullptr, nullptr, nullptr, nullptr};

int IBrantSetupType::GetPopupProperties(int, int, CBrChnData**, int&) {
    return 1;
}

void IBrantSetupType::UpdateProperties(int, int, CBrChnData**, int&) {}

void IBrantSetupType::DoFileReadWrite(CArchive&, unsigned) {}

void IBrantSetupType::OnUpdateModify(int, int, int, std::string) {}

void IBrantSetupType::UpdateModify(int source, int row, int col, std::string text) {
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
