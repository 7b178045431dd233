#pragma once

#include "model/BrTypes.h"

#include <string>
#include <vector>

class CArchive;

// Constant record from which a property-popup cell is made; items are separated by ';'.
struct _PROPINFO {
    const char* name;
    std::int32_t dataType;
    std::int32_t editable;
    CTRL_STYLE style;
    const char* items;
};

// One parameter cell: its value, the values it may take, how the grid presents it, and its document record.
// The current value is the item at the selection index (empty when there are no items).
class CBrChnData {
public:
    CBrChnData() = default;
    CBrChnData(short dataType, int editable, CTRL_STYLE style, unsigned long bkColour);
    CBrChnData(const CBrChnData& other) = default;
    CBrChnData& operator=(const CBrChnData& other) = default;
    virtual ~CBrChnData() = default;

    // The most items a cell holds. Only the LCD unit lists grow with editing, and they stop here; the
    // document loader takes any cell up to this size.
    static constexpr std::int32_t MAX_ITEMS = 65536;

    const std::string& GetName() const { return m_strPropName; }
    void SetPropName(std::string name) { m_strPropName = std::move(name); }
    std::vector<std::string>& GetData() { return m_items; }
    const std::vector<std::string>& GetData() const { return m_items; }

    std::string GetDataAsString() const;
    // `text` as the grid lets it be entered into this cell: cut after the maximum text length, if any.
    std::string FitToMaxLength(std::string text) const;
    void SetText(std::string text);
    int SetSelText(std::string text);
    BOOL IsItemExist(const std::string& text, int& index) const;
    void RemoveItem(const std::string& text);
    unsigned AddData(const std::string& text);
    unsigned Put(std::string text, int first, int unused = 0);
    unsigned AddProp(const _PROPINFO& info);
    void Copy(const CBrChnData& other);
    void DoFileReadWrite(CArchive& archive, unsigned version);

    short m_nDataType = 0;
    std::int32_t m_bEditable = 1;
    std::int32_t m_nSel = 0;
    CTRL_STYLE m_nStyle = CTRL_STYLE_PLAIN;
    std::int32_t m_nMaxTextLen = -1;
    unsigned long m_clrBk = 0xFFFFFF;

private:
    static int GetStrArFromPChar(const char* text, std::vector<std::string>& out);
    void FileRead(CArchive& archive);
    void FileWrite(CArchive& archive) const;

    std::string m_strPropName;
    std::vector<std::string> m_items;
};
