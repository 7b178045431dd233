// What the views add to the grid and the sheets: an edit, a paste and the popup reach ValidateData, a refusal
// shows its message, and a paste reports what typing the same values would not store.
#include "FrameFixture.h"

// Edits, pastes and the flags popup all go through the sheet's ValidateData. A refusal shows its message
// (one for all refused pasted values; none for a declined confirmation or cells of a channel switched off)
// and the grid shows what the sheet kept; pasted letters set an alarm's flags and pasted text is cut where
// typing stops. Cut copies whole rows and resets them.
TEST_F(FrameTest, EditsPastesAndThePopupGoThroughValidateData) {
    ActivateAlarms(2);
    EXPECT_EQ(Grid(3).GetItemText(1, 10), QStringLiteral("20 mA")) << "mirror of the referenced input";
    Grid(1).EditCell(2, 1, QStringLiteral("10 V"));
    Grid(3).EditCell(1, 5, QStringLiteral("Pump"));
    app.GetDoc()->SetModifiedFlag(0);
    int popups = 0;
    View(3).SetPopupRunner([&](CPropertyDlg& dlg) {
        ++popups;
        View(3).OnNotifyPopup(CLynGridCtrl::GVN_BEGINLABELEDIT, 1, 9); // a second popup is not shown
        dlg.Fill();
        EXPECT_EQ(dlg.GetGrid()->GetItemText(1, 0), QStringLiteral("Control"));
        dlg.GetGrid()->SetItemText(1, 1, QStringLiteral("ON"));
        dlg.OnOK();
        return dlg.result();
    });
    const std::string refused = "Erroneous values have been detected. Appropriate values will be used.";
    const struct {
        bool pasted;
        int setup, row, col;
        const char* text;
        std::vector<std::string> messages;
        const char* shown; // at (row, col + at)
        int at;
        const char* flags;
    } rows[] = {
        {false, 0, 3, 1, "99", {LoadMessage(IDS_INVALID_VALUE) + "\nAllowed: 1 to 62"}, "1", 0, nullptr},
        {false,
         3,
         1,
         4,
         "250",
         {LoadMessage(IDS_OUT_OF_RANGE_NEAREST) + "\nAllowed: 0 to 100"},
         "100",
         0,
         nullptr}, // the input's range
        {false, 3, 1, 5, "5 Ω", {std::string(g_strNotCp1252) + "\nNot storable: U+03A9"}, "Pump", 0, nullptr},
        {false, 3, 5, 9, "", {}, "...", 0, nullptr},       // locked: alarm 5 has no input, no popup
        {false, 0, 1, 1, "CONFIG", {}, "OFF", 0, nullptr}, // declined
        {false, 0, 3, 1, "7", {}, "7", 0, nullptr},
        {false, 3, 1, 9, "", {}, "C", 0, "OFF,ON,OFF"},       // the popup sets Control
        {true, 1, 3, 3, "5\t1\t9\t2\n", {}, "0", 0, nullptr}, // IN 13 is switched off
        {true, 1, 2, 3, "-1\t0\t12\n", {refused}, "10", 2, nullptr},
        {true, 3, 1, 9, "BH", {LoadMessage(IDS_BLOCK_DISABLED)}, "BH", 0, "ON,OFF,ON"}, // Block kept
        {true, 3, 1, 9, "...", {}, "...", 0, "OFF,OFF,OFF"}, // a copied empty flag cell
        {true, 3, 1, 5, "HIGH LEVEL 2\n", {}, "HIGH LEVEL", 0, nullptr},
    };
    for (const auto& row : rows) {
        const std::string flags = Flags();
        prompt.Clear();
        if (row.pasted) {
            Grid(row.setup).SetFocusCell(row.row, row.col);
            QApplication::clipboard()->setText(QString::fromUtf8(row.text));
            View(row.setup).OnEditPaste();
        } else {
            Grid(row.setup).EditCell(row.row, row.col, QString::fromUtf8(row.text));
        }
        EXPECT_EQ(prompt.Messages(), row.messages) << row.text;
        EXPECT_EQ(prompt.Questions().size(), std::string(row.text) == "CONFIG" ? 1u : 0u) << row.text;
        EXPECT_EQ(Grid(row.setup).GetItemText(row.row, row.col + row.at), QString::fromUtf8(row.shown))
            << row.text;
        EXPECT_TRUE(view_check::ShowsItsSheet(View(row.setup))) << row.text;
        EXPECT_EQ(Flags(), row.flags ? row.flags : flags) << row.text;
    }
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(app.GetDoc()->IsModified());

    Grid(3).EditCell(1, 4, QStringLiteral("50"));
    Grid(3).EditCell(2, 5, QStringLiteral("Pump"));
    app.GetDoc()->SetModifiedFlag(0);
    ASSERT_TRUE(Grid(3).SetSelectedRange(1, 4, 2, 5));
    View(3).OnEditCut();
    EXPECT_TRUE(app.GetDoc()->IsModified());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("50\tHIGH LEVEL\n0\tPump\n"));
    for (int row = 1; row <= 2; ++row)
        EXPECT_EQ(Value(3, row, 1) + '|' + Value(3, row, 4) + '|' + Value(3, row, 5), "OFF|0|") << row;
    EXPECT_TRUE(view_check::ShowsItsSheet(View(3)));
}

// A block pasted into each sheet lists exactly the cells that typing the same values one by one, in the
// same order, would not store as given: refused (the value stays), corrected (another value is stored) and
// skipped (a locked cell, which takes no typing), each with what the cell holds; what lies past the sheet's
// end is counted. The configuration after the paste is the one after the typing.
TEST_F(FrameTest, APasteListsWhatTypingTheSameValuesWouldNotStore) {
    ActivateAlarms(1);
    CTavikDoc& doc = *app.GetDoc();
    const std::vector<std::uint8_t> start = doc.SaveToBytes();
    const auto restart = [&] {
        std::string error;
        ASSERT_TRUE(doc.LoadFromBytes(start, error)) << error;
        Frame().RefreshViews();
    };
    const auto everything = [&] {
        std::vector<std::string> values;
        for (int s = 0; s < 4; ++s) {
            const CDataSheet* sheet = View(s).GetSetup()->GetDataSheet();
            for (int row = 0; row < sheet->GetNumSections(); ++row)
                for (int col = 0; col < sheet->GetNumCells(row); ++col)
                    values.push_back(sheet->GetCellChecked(row, col)->GetDataAsString());
        }
        return values;
    };
    using Listed = std::set<std::tuple<int, int, std::string>>; // row, column, kind ("what" up to ':')
    const struct {
        int setup, row, col;
        const char* text;
    } blocks[] = {
        {0, 13, 1, "ON\n13\nlost\n"},                                    // above the hysteresis range
        {1, 1, 4, "-5\t30\t100\t7\tgone\n5\t1\n"},                       // IN 12 is off
        {2, 1, 1, "11\tLOG1\t12\n"},                                     // own name, IN 12 off
        {2, 2, 12, "OFF\tX\t20 mA\n"},                                   // the derived columns
        {3, 1, 4, "250\tHIGH LEVEL 22\t0.1\t99\t3\n7\tTANK\t1\t4\t2\n"}, // alarm 2 has no input
    };
    std::set<std::string> kinds;
    for (const auto& block : blocks) {
        SCOPED_TRACE(block.text);
        restart();
        reports.clear();
        Frame().SetActiveView(block.setup);
        Grid(block.setup).SetFocusCell(block.row, block.col);
        QApplication::clipboard()->setText(QString::fromUtf8(block.text));
        View(block.setup).OnEditPaste();
        ASSERT_EQ(reports.size(), 1u);
        Listed listed;
        int cut = 0;
        for (const CTavikView::PasteReport::Entry& e : reports.front().entries) {
            if (e.gridRow == 0) {
                ++cut;
                continue;
            }
            const std::string kind =
                e.what.section(QLatin1Char(':'), 0, 0).section(QLatin1Char(','), 0, 0).toStdString();
            listed.insert({e.gridRow, e.gridCol, kind});
            kinds.insert(kind);
            EXPECT_EQ(e.stored.toStdString(), Value(block.setup, e.gridRow, e.gridCol))
                << e.row.toStdString();
        }
        const std::vector<std::string> pasted = everything();

        restart();
        Listed typed;
        const QStringList lines = QString::fromUtf8(block.text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        bool past = false;
        for (int i = 0; i < lines.size(); ++i) {
            const QStringList values = lines[i].split(QLatin1Char('\t'));
            for (int j = 0; j < values.size(); ++j) {
                const int row = block.row + i, col = block.col + j;
                if (row >= Grid(block.setup).GetRowCount() || col >= Grid(block.setup).GetColumnCount()) {
                    past = true;
                    continue;
                }
                const std::string before = Value(block.setup, row, col);
                if (!Grid(block.setup).EditCell(row, col, values[j])) {
                    if (values[j] != Grid(block.setup).GetItemText(row, col))
                        typed.insert({row, col, "skipped"});
                    continue;
                }
                const CBrChnData* cell =
                    View(block.setup).GetSetup()->GetDataSheet()->GetCellChecked(row, col);
                // Another spelling of the same value ("11" for "IN 11") is the value as given.
                const std::string fitted = cell->FitToMaxLength(ToCp1252(values[j]));
                const auto* setup = dynamic_cast<const CBrantSetupType*>(View(block.setup).GetSetup());
                if (cell->GetDataAsString() != setup->CanonicalText(row, col, fitted))
                    typed.insert({row, col, cell->GetDataAsString() == before ? "refused" : "corrected"});
                else if (FromCp1252(fitted) != values[j])
                    typed.insert({row, col, "cut at 10 characters"});
            }
        }
        EXPECT_EQ(listed, typed);
        EXPECT_EQ(cut > 0, past);
        EXPECT_EQ(everything(), pasted) << "typing ends where the paste ended";
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"corrected", "cut at 10 characters", "refused", "skipped"}));
}
