#include "model/CBrantSetupType.h"

#include "model/CArchive.h"
#include "model/CDownloadCorrections.h"
#include "model/CanonicalText.h"
#include "model/IPrompt.h"
#include "model/Messages.h"
#include "model/NumberText.h"
#include "model/TextLimits.h"

#include <cmath>
#include <cstdio>

unsigned long CBrantSetupType::m_cbTrans = 0;
std::mutex CBrantSetupType::m_CritSec;

namespace {
const INPUT_TYPE g_inputTypes[CBrantSetupType::m_nInpTypes] = {
    {"OFF", "0", 0.0f, 0.0f, 0},
    {"20 mA", "mA", 0.0f, 20.0f, 4},
    {"10 V", "V", 0.0f, 10.0f, 2},
    {"24 V", "V", 0.0f, 24.0f, 3},
};
} // namespace

CBrantSetupType::CBrantSetupType() {
    for (int i = 0; i < m_nInpTypes; ++i)
        m_pInpTypes[static_cast<std::size_t>(i)] = std::make_unique<INPUT_TYPE>(g_inputTypes[i]);
}

std::string CBrantSetupType::CanonicalInputParameter(int parameter, const std::string& text) {
    if (parameter == 0) {
        std::vector<std::string> names;
        for (const INPUT_TYPE& record : g_inputTypes)
            names.push_back(record.m_strName);
        return ListSpelling(names, text);
    }
    if (parameter == 1) return CanonicalUnitText(text);
    return parameter >= 2 && parameter <= 6 ? CanonicalNumber(text) : text;
}

CBrantSetupType::~CBrantSetupType() {
    FreeDataSheet();
}

void CBrantSetupType::FreeDataSheet() {
    if (!m_pDataSheet) return;
    if (m_pDataSheet->m_pSections) {
        DeleteDataSheet(*m_pDataSheet->m_pSections);
        delete m_pDataSheet->m_pSections;
    }
    delete m_pDataSheet;
    m_pDataSheet = nullptr;
}

void CBrantSetupType::PrepareDataSheet(int sections) {
    if (!m_pDataSheet) m_pDataSheet = new CDataSheet;
    if (!m_pDataSheet->m_pSections) m_pDataSheet->m_pSections = new CSectionArray;
    m_pDataSheet->m_pSections->resize(static_cast<std::size_t>(sections), nullptr);
}

CBrChnData* CBrantSetupType::GetCell(int row, int col) const {
    return m_pDataSheet ? m_pDataSheet->GetCellChecked(row, col) : nullptr;
}

CBrChnData* CBrantSetupType::GetCellOf(SETUP_TYPE type, int row, int col) {
    IBrantSetupType* setup = m_pBrantSetupTypes[type];
    if (!setup || !setup->GetDataSheet()) return nullptr;
    return setup->GetDataSheet()->GetCellChecked(row, col);
}

void CBrantSetupType::NotifyAll(int row, int col, const std::string& text) {
    // One cascade for all four: the Alarm sheet hears this notice after the Logical Input sheet has
    // followed it.
    const CNoticeCascade cascade;
    for (IBrantSetupType* setup : m_pBrantSetupTypes)
        if (setup) setup->UpdateModify(m_nSetupType, row, col, text);
}

const INPUT_TYPE* CBrantSetupType::FindInputType(const std::string& name) const {
    for (const auto& record : m_pInpTypes)
        if (record && record->m_strName == name) return record.get();
    return nullptr;
}

bool CBrantSetupType::IsOffChannelCell(int, int) const {
    return false;
}

void CBrantSetupType::NoteReceived(int row, int col, const std::string& unitValue) {
    if (m_pCorrections) m_pCorrections->Note(m_nSetupType, row, col, unitValue);
}

std::string CBrantSetupType::CodeText(unsigned code) {
    return "code " + std::to_string(code);
}

BYTE CBrantSetupType::GetInputType(int row, int col) {
    const CBrChnData* cell = GetCell(row, col);
    const INPUT_TYPE* record = cell ? FindInputType(cell->GetDataAsString()) : nullptr;
    return record ? record->m_nCode : 0;
}

void CBrantSetupType::SetInputType(int row, int col, BYTE code) {
    CBrChnData* cell = GetCell(row, col);
    if (!cell) return;
    std::string name;
    for (const auto& record : m_pInpTypes)
        if (record && record->m_nCode == code) {
            name = record->m_strName;
            break;
        }
    NoteReceived(row, col, name.empty() ? CodeText(code) : name);
    if (cell->SetSelText(name) == -1) cell->AddData(name);
}

// --- 3-byte numbers: magnitude in bytes 0-1, byte 2 bit 7 the sign and bits 4-3 the scale.

int CBrantSetupType::GetDevider(const std::string& text) {
    const std::size_t point = text.find_first_of(".,");
    if (point == std::string::npos) return 0;
    // Ten to the number of characters after the separator; saturates instead of overflowing.
    const std::size_t decimals = text.size() - point - 1;
    int divider = 1;
    for (std::size_t i = 0; i < decimals && i < 9; ++i)
        divider *= 10;
    return divider;
}

namespace {
constexpr unsigned long long MAX_MAGNITUDE = 0xFFFF;
constexpr int MAX_SCALE = 3;

// The 3-byte magnitude and scale nearest to a text the unit cannot hold as typed: a number of millionths
// rounded to at most `maxScale` decimals, or to fewer where the magnitude would pass 16 bits.
void Nearest3Bytes(unsigned long long millionths, int maxScale, unsigned& magnitude, int& scale) {
    magnitude = static_cast<unsigned>(MAX_MAGNITUDE);
    scale = 0;
    if (millionths > MAX_MAGNITUDE * 1000000ULL) return;
    unsigned long long bestDistance = ~0ULL;
    unsigned long long step = 1000;
    for (int s = MAX_SCALE; s > maxScale; --s)
        step *= 10;
    for (int s = maxScale; s >= 0; --s, step *= 10) {
        unsigned long long count = (millionths + step / 2) / step;
        if (count > MAX_MAGNITUDE) count = MAX_MAGNITUDE;
        const unsigned long long held = count * step;
        const unsigned long long distance = held > millionths ? held - millionths : millionths - held;
        if (distance < bestDistance) { // on a tie the finer scale stays
            bestDistance = distance;
            magnitude = static_cast<unsigned>(count);
            scale = s;
        }
    }
}
} // namespace

UINT CBrantSetupType::Check3Bytes(const std::string& text) {
    DecimalNumber number;
    if (!ParseDecimal(text, number)) return IDS_INVALID_VALUE_LAST;
    if (number.decimals > MAX_SCALE) return IDS_TOO_MANY_DECIMALS;
    if (number.digits > MAX_MAGNITUDE) return IDS_NUMBER_TOO_LARGE;
    return 0;
}

void CBrantSetupType::Encode3Bytes(const std::string& text, BYTE* out) {
    unsigned magnitude = 0;
    int scale = 0;
    bool negative = false;
    DecimalNumber number;
    if (ParseDecimal(text, number)) {
        negative = number.negative;
        if (number.decimals <= MAX_SCALE && number.digits <= MAX_MAGNITUDE) {
            magnitude = static_cast<unsigned>(number.digits);
            scale = number.decimals;
        } else {
            number.negative = false;
            long long millionths = 0;
            if (!ToSteps(number, 6, millionths)) millionths = -1; // far beyond 16 bits
            Nearest3Bytes(millionths < 0 ? ~0ULL : static_cast<unsigned long long>(millionths),
                          number.decimals < MAX_SCALE ? number.decimals : MAX_SCALE, magnitude, scale);
        }
    } else {
        // Read as the earlier program did (an exponent or "0x" counts), with the decimals it counted.
        double value = AtoF(text);
        if (!std::isfinite(value)) value = 0.0;
        negative = value < 0;
        int decimals = 0;
        for (int divider = GetDevider(text); divider >= 10 && decimals < MAX_SCALE; divider /= 10)
            ++decimals;
        const double millionths = std::fabs(value) * 1e6;
        Nearest3Bytes(millionths >= 1e18 ? ~0ULL : static_cast<unsigned long long>(std::llround(millionths)),
                      decimals, magnitude, scale);
    }
    out[0] = static_cast<BYTE>(magnitude & 0xFF);
    out[1] = static_cast<BYTE>(magnitude >> 8);
    BYTE flags = static_cast<BYTE>(out[2] & ~0x98);
    flags |= static_cast<BYTE>(scale << 3);
    if (negative && magnitude != 0) flags |= 0x80;
    out[2] = flags;
}

std::string CBrantSetupType::Decode3Bytes(const BYTE* in) {
    const WORD magnitude = static_cast<WORD>(in[0] | (in[1] << 8));
    static const int dividers[4] = {0, 10, 100, 1000};
    const int divider = dividers[(in[2] >> 3) & 0x03];
    const int sign = (in[2] & 0x80) ? -1 : 1;
    return GetFormatedString(magnitude, divider, sign);
}

void CBrantSetupType::Get3BytesParm(int row, BYTE* out, int col) {
    const CBrChnData* cell = GetCell(row, col);
    Encode3Bytes(cell ? cell->GetDataAsString() : std::string(), out);
}

void CBrantSetupType::Set3ByteParm(int row, BYTE* in, int col) {
    CBrChnData* cell = GetCell(row, col);
    if (!cell) return;
    const std::string text = Decode3Bytes(in);
    NoteReceived(row, col, text);
    if (cell->SetSelText(text) == -1) cell->AddData(text);
}

void CBrantSetupType::Get3ByteInpParms(BYTE* out, int row, const int* cols, int count) {
    for (int k = 0; k < count; ++k)
        Get3BytesParm(row, out + 3 * k, cols[k]);
}

void CBrantSetupType::Set3ByteParms(BYTE* in, int row, const int* cols, int count) {
    for (int k = 0; k < count; ++k)
        Set3ByteParm(row, in + 3 * k, cols[k]);
}

std::string CBrantSetupType::GetFormatedString(WORD value, int divider, int sign) {
    char text[32];
    if (divider == 0) {
        std::snprintf(text, sizeof text, "%d", sign < 0 ? -static_cast<int>(value) : static_cast<int>(value));
        return text;
    }
    const char* format = divider == 10     ? "%.1f"
                         : divider == 100  ? "%.2f"
                         : divider == 1000 ? "%.3f"
                                           : nullptr;
    if (!format) return " ";
    double number = static_cast<double>(value) / divider;
    if (sign < 0) number = -number;
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// --- 4-character unit texts: the unit shows the degree sign as 0xDF and pads with spaces.

void CBrantSetupType::GetLCDU(int row, int col, BYTE* out) {
    const CBrChnData* cell = GetCell(row, col);
    const std::string text = cell ? cell->GetDataAsString() : std::string();
    for (std::size_t i = 0; i < LCD_UNIT_LEN; ++i) {
        BYTE c = i < text.size() ? static_cast<BYTE>(text[i]) : 0x20;
        out[i] = c == 0xB0 ? 0xDF : c;
    }
}

void CBrantSetupType::SetLCDU(int row, int col, BYTE* in) {
    std::string text;
    for (int i = 0; i < LCD_UNIT_LEN; ++i) {
        if (in[i] == 0xDF) in[i] = 0xB0;
        if (in[i] != 0x20) text.push_back(static_cast<char>(in[i]));
    }
    CBrChnData* cell = GetCell(row, col);
    if (!cell) return;
    NoteReceived(row, col, text);
    // A unit the list does not know joins it whole (a ';' in it must not split it into several units).
    if (cell->SetSelText(text) == -1) {
        cell->GetData().push_back(text);
        cell->SetSelText(text);
    }
}

// --- Input checks.

BOOL CBrantSetupType::IsValidFloat(const std::string& text, float& out) {
    int points = 0;
    for (char c : text) {
        if (c == '.')
            ++points;
        else if (c < '0' || c > '9')
            return 0;
    }
    if (points > 1) return 0;
    out = static_cast<float>(AtoF(text));
    return 1;
}

BOOL CBrantSetupType::IsValidInt(const std::string& text, int& out) {
    for (char c : text)
        if (c < '0' || c > '9') return 0;
    out = AtoI(text);
    return 1;
}

// --- Error memory.

void CBrantSetupType::Error(int row, UINT id, BOOL show) {
    if (show && id && (row != m_nLastErrRow || id != m_nLastErrId))
        GetPrompt().ShowMessage(LoadMessage(id), IPrompt::Warning);
    m_nLastErrRow = row;
    m_nLastErrId = id;
}

void CBrantSetupType::GetError(int& row, UINT& id) const {
    row = m_nLastErrRow;
    id = m_nLastErrId;
}

// --- Canonical texts.

std::string CBrantSetupType::CanonicalText(int, int, const std::string& text) const {
    return text;
}

void CBrantSetupType::CanonicalizeCells() {
    const int sections = m_pDataSheet ? m_pDataSheet->GetNumSections() : 0;
    for (int row = 1; row < sections; ++row)
        for (int col = 1; col < m_pDataSheet->GetNumCells(row); ++col) {
            CBrChnData* cell = GetCell(row, col);
            if (!cell) continue;
            const std::string text = cell->GetDataAsString();
            // As the unit takes it: cut to what the display shows, then without the padding.
            const std::string canonical = CanonicalText(row, col, cell->FitToMaxLength(text));
            if (canonical == text) continue;
            // A list cell selects the item of that spelling; otherwise the text replaces the value.
            int index = -1;
            if (cell->IsItemExist(canonical, index))
                cell->m_nSel = index;
            else
                cell->SetText(canonical);
        }
}

// --- Transfer byte counter, shared by the worker and the progress display.

int CBrantSetupType::GetNumTransBlocks() {
    return m_pDataSheet && m_pDataSheet->GetNumSections() > 0 ? m_pDataSheet->GetNumSections() - 1 : 0;
}

// A block read moves 78 bytes (7-byte request, 71-byte answer); a block write 149 (the 71-byte message and
// the read-back).
unsigned long CBrantSetupType::GetTotalTransBytes(int direction) {
    ResetTransData();
    const unsigned long blocks = static_cast<unsigned long>(GetNumTransBlocks());
    if (direction == 1) return 78 * blocks;
    if (direction == 0) return 149 * blocks;
    return 0;
}

void CBrantSetupType::UpdateTransData(BYTE count) {
    std::lock_guard<std::mutex> lock(m_CritSec);
    m_cbTrans += count;
}

unsigned long CBrantSetupType::ReadProgressData() {
    std::lock_guard<std::mutex> lock(m_CritSec);
    return m_cbTrans;
}

void CBrantSetupType::ResetTransData() {
    std::lock_guard<std::mutex> lock(m_CritSec);
    m_cbTrans = 0;
}

// --- Document record: title, setup type, then every cell of the sheet in order.

void CBrantSetupType::DoFileReadWrite(CArchive& archive, unsigned version) {
    if (archive.IsLoading())
        FileRead(archive, version);
    else
        FileWrite(archive, version);
}

void CBrantSetupType::FileWrite(CArchive& archive, unsigned) {
    archive.WriteString(m_strTitle);
    archive.WriteInt32(m_nSetupType);
    const int sections = m_pDataSheet ? m_pDataSheet->GetNumSections() : 0;
    for (int s = 0; s < sections; ++s) {
        const CSection* section = (*m_pDataSheet->m_pSections)[static_cast<std::size_t>(s)];
        if (!section) continue;
        for (CBrChnData* cell : *section)
            if (cell) cell->DoFileReadWrite(archive, 3);
    }
}

void CBrantSetupType::FileRead(CArchive& archive, unsigned version) {
    m_strTitle = archive.ReadString();
    // The type is the index through which the sheets reach each other: a record of another type is damage.
    if (archive.ReadInt32() != m_nSetupType)
        throw CArchiveException(CArchiveException::badSchema, "a sheet record names the wrong sheet");
    const int sections = m_pDataSheet ? m_pDataSheet->GetNumSections() : 0;
    for (int s = 0; s < sections; ++s) {
        const CSection* section = (*m_pDataSheet->m_pSections)[static_cast<std::size_t>(s)];
        if (!section) throw CArchiveException(CArchiveException::badSchema);
        for (std::size_t c = 0; c < section->size(); ++c) {
            CBrChnData* cell = (*section)[c];
            if (!cell) throw CArchiveException(CArchiveException::badSchema);
            if (version <= 2 && c == 0) {
                // Older files: the row label is read into a copy and dropped, so the default label stays.
                CBrChnData scratch(*cell);
                try {
                    scratch.DoFileReadWrite(archive, version);
                } catch (const CArchiveException&) {
                    throw CArchiveException(CArchiveException::badSchema);
                }
                continue;
            }
            cell->DoFileReadWrite(archive, version);
        }
    }
}
