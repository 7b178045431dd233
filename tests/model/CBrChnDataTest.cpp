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

// AddData splits at ';' and drops empty pieces. The selection follows its item when another item is removed
// or inserted; a missing item changes nothing.
TEST(CellItemList, ItemsAndSelection) {
    enum Op { Add, Remove, Select, PutFrom1, PutFrom3 };
    // Items and selection before, the operation and its text, items and selection after.
    const std::tuple<const char*, int, Op, const char*, const char*, int> cases[] = {
        {"A;;B;", 1, Add, ";C", "A;B;C", 1},
        {"OFF;A;B;C", 3, Remove, "A", "OFF;B;C", 2},
        {"OFF;A;B;C", 1, Remove, "C", "OFF;A;B", 1},
        {"OFF;A;B;C", 3, Remove, "C", "OFF;A;B", 0}, // the selected item goes: item 0
        {"OFF;A", 1, Remove, "absent", "OFF;A", 1},
        {"OFF;A;C", 2, PutFrom1, "B", "OFF;A;B;C", 3}, // sorted from the first item given
        {"OFF;A;C", 1, PutFrom1, "ZZ", "OFF;A;C;ZZ", 1},
        {"OFF;A;C", 2, PutFrom3, "0", "OFF;A;C;0", 2}, // first at the end appends
        {"OFF;ON", 0, Select, "ON", "OFF;ON", 1},
        {"OFF;ON", 1, Select, "MAYBE", "OFF;ON", 1},
        {"12", 0, Select, "not a number", "not a number", 0}}; // a single item is replaced
    for (const auto& [items, selection, op, text, itemsAfter, selectionAfter] : cases) {
        SCOPED_TRACE(std::string(items) + " " + text);
        CBrChnData cell(DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, CLR_DEFAULT);
        cell.AddData(items);
        cell.m_nSel = selection;
        if (op == Add) cell.AddData(text);
        if (op == Remove) cell.RemoveItem(text);
        if (op == PutFrom1 || op == PutFrom3) cell.Put(text, op == PutFrom1 ? 1 : 3);
        if (op == Select) {
            EXPECT_EQ(cell.SetSelText(text), text == std::string("MAYBE") ? -1 : selectionAfter);
        }
        EXPECT_EQ(Joined(cell), itemsAfter);
        EXPECT_EQ(cell.m_nSel, selectionAfter);
    }
    CBrChnData separators;
    EXPECT_EQ(separators.AddData(";"), 1u) << "a text of separators only adds one empty item";
    EXPECT_EQ(separators.GetData(), std::vector<std::string>{""});
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
