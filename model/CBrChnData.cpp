#include "model/CBrChnData.h"

#include "model/CArchive.h"

#include <algorithm>

CBrChnData::CBrChnData(short dataType, int editable, CTRL_STYLE style, unsigned long bkColour)
    : m_nDataType(dataType), m_bEditable(editable), m_nStyle(style), m_clrBk(bkColour) {}

// A selection outside the item list (possible after reading a damaged document) yields the empty string
// instead of reading past the list.
std::string CBrChnData::GetDataAsString() const {
    if (m_nSel < 0 || static_cast<std::size_t>(m_nSel) >= m_items.size()) return std::string();
    return m_items[static_cast<std::size_t>(m_nSel)];
}

std::string CBrChnData::FitToMaxLength(std::string text) const {
    // The grid takes a limit of 0 as no limit, as it does -1.
    if (m_nMaxTextLen > 0 && text.size() > static_cast<std::size_t>(m_nMaxTextLen))
        text.resize(static_cast<std::size_t>(m_nMaxTextLen));
    return text;
}

// A cell without items takes the text as its single item; a selection outside the list replaces item 0.
void CBrChnData::SetText(std::string text) {
    if (m_items.empty()) {
        m_items.push_back(std::move(text));
        m_nSel = 0;
        return;
    }
    if (m_nSel < 0 || static_cast<std::size_t>(m_nSel) >= m_items.size()) m_nSel = 0;
    m_items[static_cast<std::size_t>(m_nSel)] = std::move(text);
}

int CBrChnData::SetSelText(std::string text) {
    if (m_items.size() == 1) {
        m_items[0] = std::move(text);
        m_nSel = 0;
        return 0;
    }
    int index = -1;
    if (!IsItemExist(text, index)) return -1;
    m_nSel = index;
    return index;
}

BOOL CBrChnData::IsItemExist(const std::string& text, int& index) const {
    const auto it = std::find(m_items.begin(), m_items.end(), text);
    if (it == m_items.end()) return 0;
    index = static_cast<int>(it - m_items.begin());
    return 1;
}

void CBrChnData::RemoveItem(const std::string& text) {
    int index = -1;
    if (!IsItemExist(text, index)) return;
    m_items.erase(m_items.begin() + index);
    if (index == m_nSel)
        m_nSel = 0;
    else if (index < m_nSel && m_nSel >= 1)
        --m_nSel;
}

unsigned CBrChnData::AddData(const std::string& text) {
    if (GetStrArFromPChar(text.c_str(), m_items) == 0) m_items.emplace_back();
    return static_cast<unsigned>(m_items.size());
}

// Sorted insert from index `first` on, keeping the same value selected.
unsigned CBrChnData::Put(std::string text, int first, int) {
    const std::size_t start = first < 0 ? 0 : static_cast<std::size_t>(first);
    for (std::size_t i = start; i < m_items.size(); ++i) {
        if (m_items[i] > text) {
            m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(i), std::move(text));
            if (static_cast<int>(i) <= m_nSel) ++m_nSel;
            return static_cast<unsigned>(m_nSel);
        }
    }
    AddData(text);
    return static_cast<unsigned>(m_nSel);
}

unsigned CBrChnData::AddProp(const _PROPINFO& info) {
    m_strPropName = info.name ? info.name : "";
    m_nDataType = static_cast<short>(info.dataType);
    m_bEditable = info.editable;
    m_nStyle = info.style;
    m_nSel = 0;
    return AddData(info.items ? info.items : "");
}

void CBrChnData::Copy(const CBrChnData& other) {
    m_nDataType = other.m_nDataType;
    m_bEditable = other.m_bEditable;
    m_nSel = other.m_nSel;
    m_nMaxTextLen = other.m_nMaxTextLen;
    m_items = other.m_items;
    m_clrBk = other.m_clrBk;
}

int CBrChnData::GetStrArFromPChar(const char* text, std::vector<std::string>& out) {
    const std::string copy(text ? text : "");
    int pieces = 0;
    std::size_t start = 0;
    while (start <= copy.size()) {
        std::size_t end = copy.find(';', start);
        if (end == std::string::npos) end = copy.size();
        if (end > start) {
            out.push_back(copy.substr(start, end - start));
            ++pieces;
        }
        start = end + 1;
    }
    return pieces;
}

void CBrChnData::DoFileReadWrite(CArchive& archive, unsigned) {
    if (archive.IsLoading())
        FileRead(archive);
    else
        FileWrite(archive);
}

void CBrChnData::FileWrite(CArchive& archive) const {
    archive.WriteString(m_strPropName);
    archive.WriteInt16(m_nDataType);
    archive.WriteInt32(m_bEditable);
    archive.WriteInt32(m_nSel);
    archive.WriteInt32(m_nStyle);
    archive.WriteInt32(static_cast<std::int32_t>(m_items.size()));
    for (const std::string& item : m_items)
        archive.WriteString(item);
}

void CBrChnData::FileRead(CArchive& archive) {
    archive.ReadString(); // the stored name is discarded: the cell keeps the name its sheet gave it
    m_nDataType = archive.ReadInt16();
    m_bEditable = archive.ReadInt32();
    m_nSel = archive.ReadInt32();
    m_nStyle = static_cast<CTRL_STYLE>(archive.ReadInt32());
    m_items.clear();
    const std::int32_t count = archive.ReadInt32();
    // Every item takes at least its length byte: a count that the file cannot back, or that no sheet
    // produces, is a damaged file, refused before anything is allocated for it.
    if (count > MAX_ITEMS || (count > 0 && static_cast<std::size_t>(count) > archive.GetRemaining()))
        throw CArchiveException(CArchiveException::badSchema, "an item count exceeds the file");
    if (count > 0) archive.CountItems(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        std::string item = archive.ReadString();
        // Older files stored the degree sign the way the unit shows it (0xDF).
        if (item == "\xDF"
                    "C")
            item = "\xB0"
                   "C";
        m_items.push_back(std::move(item));
    }
}
