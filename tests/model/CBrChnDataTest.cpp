#include "model/CBrChnData.h"
#include "model/CArchive.h"

#include <gtest/gtest.h>

namespace {
// The items of a cell as one text, separated by ';'.
std::string Joined(const CBrChnData& cell) {
    std::string text;
    for (const std::string& item : cell.GetData())
        text += (text.empty() ? "" : ";") + item;
    return text;
}
} // namespace

// AddData splits at ';' and drops empty pieces (a text of separators only adds one empty item). The
// selection follows its item when another item is removed or inserted; a missing item changes nothing.
TEST(CellItemList, ItemsAndSelection) {
    for (const auto& [text, count, items] : std::vector<std::tuple<const char*, unsigned, const char*>>{
             {"", 1, ""}, {";", 1, ""}, {"A;;B;", 2, "A;B"}, {"OFF;1;2", 3, "OFF;1;2"}}) {
        CBrChnData cell;
        EXPECT_EQ(cell.AddData(text), count) << text;
        EXPECT_EQ(Joined(cell), items) << text;
    }
    enum Op { Remove, Select, PutFrom1, PutFrom3 };
    const struct {
        const char* items;
        int selection;
        Op op;
        const char* text;
        const char* itemsAfter;
        int selectionAfter;
    } cases[] = {
        {"OFF;A;B;C", 3, Remove, "A", "OFF;B;C", 2},
        {"OFF;A;B;C", 1, Remove, "C", "OFF;A;B", 1},
        {"OFF;A;B;C", 3, Remove, "C", "OFF;A;B", 0}, // the selected item goes: item 0
        {"OFF;A", 1, Remove, "absent", "OFF;A", 1},
        {"OFF;A;C", 2, PutFrom1, "B", "OFF;A;B;C", 3}, // sorted from the first item given
        {"OFF;A;C", 1, PutFrom1, "ZZ", "OFF;A;C;ZZ", 1},
        {"OFF;A;C", 2, PutFrom3, "0", "OFF;A;C;0", 2}, // first at the end appends
        {"OFF;ON", 0, Select, "ON", "OFF;ON", 1},
        {"OFF;ON", 1, Select, "MAYBE", "OFF;ON", 1},
        {"12", 0, Select, "not a number", "not a number", 0}, // a single item is replaced
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.items) + " " + c.text);
        CBrChnData cell(DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, CLR_DEFAULT);
        cell.AddData(c.items);
        cell.m_nSel = c.selection;
        if (c.op == Remove) cell.RemoveItem(c.text);
        if (c.op == PutFrom1 || c.op == PutFrom3) cell.Put(c.text, c.op == PutFrom1 ? 1 : 3);
        if (c.op == Select) {
            EXPECT_EQ(cell.SetSelText(c.text), c.text == std::string("MAYBE") ? -1 : c.selectionAfter);
        }
        EXPECT_EQ(Joined(cell), c.itemsAfter);
        EXPECT_EQ(cell.m_nSel, c.selectionAfter);
    }
}

// A damaged document may leave a selection outside the list, or a cell without items.
TEST(CellItemList, OutOfRangeSelectionAndEmptyListsAreSafe) {
    CBrChnData cell;
    cell.AddData("a;b");
    for (int selection : {5, -3}) {
        cell.m_nSel = selection;
        EXPECT_EQ(cell.GetDataAsString(), "");
    }
    CBrChnData empty;
    EXPECT_EQ(empty.GetDataAsString(), "");
    empty.SetText("value");
    EXPECT_EQ(Joined(empty), "value");
    EXPECT_EQ(empty.GetDataAsString(), "value");
}

TEST(CellItemList, CopyAndAddPropKeepTheirOwnParts) {
    const _PROPINFO info = {"source", DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, "x;y"};
    CBrChnData source(DATA_TYPE_INT, 1, CTRL_STYLE_PLAIN, CLR_DEFAULT);
    EXPECT_EQ(source.AddProp(info), 2u);
    EXPECT_EQ(source.GetName(), "source");
    EXPECT_EQ(source.m_nStyle, CTRL_STYLE_LIST);
    source.m_nSel = 1;
    source.m_nMaxTextLen = 7;
    CBrChnData target(DATA_TYPE_INT, 1, CTRL_STYLE_POPUP, 0x123456);
    target.SetPropName("target");
    target.Copy(source);
    EXPECT_EQ(target.GetName(), "target");
    EXPECT_EQ(target.m_nStyle, CTRL_STYLE_POPUP);
    EXPECT_EQ(target.GetDataAsString(), "y");
    EXPECT_EQ(target.m_nMaxTextLen, 7);
    EXPECT_EQ(target.m_clrBk, CLR_DEFAULT) << "the colour is the source's";
    EXPECT_EQ(target.m_bEditable, 0);
}

// The record's layout; a loaded cell keeps its own name, length limit and colour, and the unit's degree
// sign (0xDF) comes back as the document's (0xB0).
TEST(CellRecord, LayoutAndLoad) {
    CBrChnData stored(DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, CLR_DEFAULT);
    stored.AddData("OFF;\xDF"
                   "C");
    stored.m_nSel = 1;
    stored.SetPropName("N");
    CArchive out(CArchive::store);
    stored.DoFileReadWrite(out, 3);
    const std::vector<std::uint8_t> expected = {0x01, 'N',              // name
                                                0x1E, 0x00,             // data type
                                                0x00, 0x00, 0x00, 0x00, // editable
                                                0x01, 0x00, 0x00, 0x00, // selection
                                                0x01, 0x00, 0x00, 0x00, // style
                                                0x02, 0x00, 0x00, 0x00, // item count
                                                0x03, 'O',  'F',  'F',  0x02, 0xDF, 0x43};
    EXPECT_EQ(out.GetBuffer(), expected);

    CBrChnData loaded(DATA_TYPE_INT, 1, CTRL_STYLE_PLAIN, CLR_DEFAULT);
    loaded.SetPropName("own name");
    loaded.m_nMaxTextLen = 4;
    CArchive in(out.GetBuffer());
    loaded.DoFileReadWrite(in, 3);
    EXPECT_EQ(in.GetRemaining(), 0u);
    EXPECT_EQ(loaded.GetName(), "own name");
    EXPECT_EQ(loaded.m_nDataType, DATA_TYPE_TEXT);
    EXPECT_EQ(loaded.m_bEditable, 0);
    EXPECT_EQ(loaded.m_nStyle, CTRL_STYLE_LIST);
    EXPECT_EQ(loaded.m_nMaxTextLen, 4);
    EXPECT_EQ(Joined(loaded), "OFF;\xB0"
                              "C");
    EXPECT_EQ(loaded.m_nSel, 1);
}

// An item count beyond the bytes, or backed by bytes but more items than any cell has (so a file cannot make
// each of its bytes cost a string), is refused.
TEST(CellRecord, ImpossibleItemCountIsRefusedBeforeAllocating) {
    for (const auto& [count, stored] : std::vector<std::pair<std::int32_t, int>>{
             {0x7FFFFFFF, 0}, {CBrChnData::MAX_ITEMS + 1, CBrChnData::MAX_ITEMS + 1}}) {
        CArchive out(CArchive::store);
        out.WriteString("");
        out.WriteInt16(30);
        for (std::int32_t value : {0, 0, 0, count})
            out.WriteInt32(value);
        for (int i = 0; i < stored; ++i)
            out.WriteString("");
        CBrChnData cell;
        CArchive in(out.GetBuffer());
        EXPECT_THROW(cell.DoFileReadWrite(in, 3), CArchiveException) << count;
    }
}
