#include "model/CBrChnData.h"
#include "model/CArchive.h"

#include <gtest/gtest.h>

namespace {
CBrChnData MakeList(std::initializer_list<const char*> items, int selection = 0) {
    CBrChnData cell(DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, CLR_DEFAULT);
    for (const char* item : items)
        cell.AddData(item);
    cell.m_nSel = selection;
    return cell;
}

std::vector<std::string> Items(const CBrChnData& cell) {
    return cell.GetData();
}
} // namespace

TEST(CellItemList, AddDataSplitsAtSeparatorsAndDropsEmptyPieces) {
    // A text of separators only adds one empty item.
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {""}}, {";", {""}}, {"A;;B;", {"A", "B"}}, {"OFF;1;2", {"OFF", "1", "2"}}};
    for (const auto& [text, items] : cases) {
        CBrChnData cell;
        EXPECT_EQ(cell.AddData(text), items.size()) << text;
        EXPECT_EQ(Items(cell), items) << text;
    }
}

TEST(CellItemList, SetSelTextReplacesASingleItemAndSelectsInLists) {
    CBrChnData single;
    single.AddData("12");
    EXPECT_EQ(single.SetSelText("not a number"), 0);
    EXPECT_EQ(single.GetDataAsString(), "not a number");

    CBrChnData list = MakeList({"OFF", "ON"});
    EXPECT_EQ(list.SetSelText("ON"), 1);
    EXPECT_EQ(list.GetDataAsString(), "ON");
    EXPECT_EQ(list.SetSelText("MAYBE"), -1);
    EXPECT_EQ(list.m_nSel, 1);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"OFF", "ON"}));
}

TEST(CellItemList, RemoveItemKeepsTheSelectedValue) {
    CBrChnData cell = MakeList({"OFF", "A", "B", "C"}, 3);
    cell.RemoveItem("A");
    EXPECT_EQ(cell.GetDataAsString(), "C");
    cell.RemoveItem("C");
    EXPECT_EQ(cell.m_nSel, 0) << "removing the selected item selects item 0";
    cell.RemoveItem("absent");
    EXPECT_EQ(Items(cell), (std::vector<std::string>{"OFF", "B"}));
}

TEST(CellItemList, PutInsertsSortedAndKeepsTheSelection) {
    CBrChnData cell = MakeList({"OFF", "A", "C"}, 2);
    cell.Put("B", 1, 0);
    EXPECT_EQ(Items(cell), (std::vector<std::string>{"OFF", "A", "B", "C"}));
    EXPECT_EQ(cell.m_nSel, 3);
    EXPECT_EQ(cell.GetDataAsString(), "C");

    cell.Put("0", 4, 0);
    EXPECT_EQ(cell.GetData().back(), "0") << "first at the end appends";
    cell.Put("ZZ", 1, 0);
    EXPECT_EQ(cell.GetData().back(), "ZZ");
}

TEST(CellItemList, CopyKeepsOwnNameAndStyle) {
    CBrChnData source = MakeList({"x", "y"}, 1);
    source.SetPropName("source");
    source.m_nMaxTextLen = 7;
    CBrChnData target(DATA_TYPE_INT, 1, CTRL_STYLE_POPUP, 0x123456);
    target.SetPropName("target");
    target.Copy(source);
    EXPECT_EQ(target.GetName(), "target");
    EXPECT_EQ(target.m_nStyle, CTRL_STYLE_POPUP);
    EXPECT_EQ(target.GetDataAsString(), "y");
    EXPECT_EQ(target.m_nMaxTextLen, 7);
    EXPECT_EQ(target.m_clrBk, CLR_DEFAULT);
}

TEST(CellItemList, AddPropTakesTheRecord) {
    const _PROPINFO info = {"Block", DATA_TYPE_TEXT, 0, CTRL_STYLE_LIST, "OFF;ON"};
    CBrChnData cell;
    EXPECT_EQ(cell.AddProp(info), 2u);
    EXPECT_EQ(cell.GetName(), "Block");
    EXPECT_EQ(cell.m_nStyle, CTRL_STYLE_LIST);
    EXPECT_EQ(cell.m_bEditable, 0);
}

// A damaged document may leave a selection outside the list, or a cell without items.
TEST(CellItemList, OutOfRangeSelectionAndEmptyListsAreSafe) {
    CBrChnData cell = MakeList({"a", "b"});
    for (int selection : {5, -3}) {
        cell.m_nSel = selection;
        EXPECT_EQ(cell.GetDataAsString(), "");
    }

    CBrChnData empty;
    EXPECT_EQ(empty.GetDataAsString(), "");
    empty.SetText("value");
    EXPECT_EQ(Items(empty), std::vector<std::string>{"value"});
    EXPECT_EQ(empty.GetDataAsString(), "value");
}

TEST(CellRecord, RoundTripKeepsTheCellsOwnName) {
    CBrChnData stored = MakeList({"OFF",
                                  "\xB0"
                                  "C",
                                  ""},
                                 1);
    stored.SetPropName("stored name");
    stored.m_nDataType = DATA_TYPE_FLOAT;
    CArchive out(CArchive::store);
    stored.DoFileReadWrite(out, 3);

    CBrChnData loaded(DATA_TYPE_INT, 1, CTRL_STYLE_PLAIN, CLR_DEFAULT);
    loaded.SetPropName("own name");
    loaded.m_nMaxTextLen = 4;
    CArchive in(out.GetBuffer());
    loaded.DoFileReadWrite(in, 3);
    EXPECT_EQ(in.GetRemaining(), 0u);
    EXPECT_EQ(loaded.GetName(), "own name");
    EXPECT_EQ(loaded.m_nDataType, DATA_TYPE_FLOAT);
    EXPECT_EQ(loaded.m_bEditable, 0);
    EXPECT_EQ(loaded.m_nSel, 1);
    EXPECT_EQ(loaded.m_nStyle, CTRL_STYLE_LIST);
    EXPECT_EQ(loaded.m_nMaxTextLen, 4) << "length limit and colour are not stored";
    EXPECT_EQ(Items(loaded), Items(stored));
}

TEST(CellRecord, LayoutAndDegreeRepair) {
    CBrChnData cell;
    cell.AddData("\xDF"
                 "C");
    CArchive out(CArchive::store);
    cell.DoFileReadWrite(out, 3);
    const std::vector<std::uint8_t> expected = {0x00,                   // name
                                                0x00, 0x00,             // data type
                                                0x01, 0x00, 0x00, 0x00, // editable
                                                0x00, 0x00, 0x00, 0x00, // selection
                                                0x00, 0x00, 0x00, 0x00, // style
                                                0x01, 0x00, 0x00, 0x00, // item count
                                                0x02, 0xDF, 0x43};
    EXPECT_EQ(out.GetBuffer(), expected);

    CBrChnData loaded;
    CArchive in(out.GetBuffer());
    loaded.DoFileReadWrite(in, 3);
    EXPECT_EQ(loaded.GetDataAsString(), "\xB0"
                                        "C");
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
