// The main window with its four sheet views, end to end: documents, tabs, what every view shows after an
// edit, and the marks and status that say what happened. The sheets' own rules are tested in tests/sheets.
#include "FrameFixture.h"

// Four tabs at the bottom (named in the print test), General shown; only the shown view takes input.
// Every toolbar button has an icon, from the theme or the resources.
TEST_F(FrameTest, TabsAndToolbar) {
    QTabWidget* tabs = Frame().GetTabCtrl();
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabPosition(), QTabWidget::South);
    for (const int shown : {0, 2}) {
        tabs->setCurrentIndex(shown);
        EXPECT_EQ(Frame().GetActiveView(), &View(shown));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(View(i).isEnabled(), i == shown) << i;
    }
    const QList<QToolBar*> bars = Frame().findChildren<QToolBar*>();
    ASSERT_EQ(bars.size(), 1);
    int buttons = 0;
    for (QAction* action : bars.front()->actions()) {
        if (action->isSeparator()) continue;
        ++buttons;
        EXPECT_FALSE(action->icon().pixmap(16, 16).isNull()) << action->text().toStdString();
    }
    EXPECT_EQ(buttons, 10);
    EXPECT_FALSE(Frame().windowIcon().pixmap(32, 32).isNull());
}

// Save (a value still in its cell editor is committed, not lost), New and Open, with the save question
// before a modified configuration is dropped; the title names the document and its modified state; the
// recent files are the last four, newest first; a document named on the command line is opened, and a
// missing one ends the start-up.
TEST_F(FrameTest, SaveNewAndOpenWithTheSaveQuestion) {
    const QString untitled = QStringLiteral("Untitled[*] - Brant Tavik Programmer");
    EXPECT_EQ(Frame().windowTitle(), untitled);
    Grid(1).EditCell(1, 1, QStringLiteral("24 V"));
    EXPECT_TRUE(Frame().isWindowModified());
    Frame().show();
    Frame().SetActiveView(0);
    Grid(0).SetFocusCell(3, 1);
    Grid(0).setFocus();
    QTest::keyClicks(&Grid(0), QStringLiteral("2"));
    auto* editor = Grid(0).findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("7"));
    ASSERT_EQ(Value(0, 3, 1), "1") << "not yet committed";
    app.saveName = dir.filePath(QStringLiteral("plant"));
    ASSERT_TRUE(app.OnFileSave());
    const QString path = dir.filePath(QStringLiteral("plant.zmg"));
    EXPECT_EQ(Value(0, 3, 1), "27");
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("plant.zmg[*] - Brant Tavik Programmer"));
    EXPECT_FALSE(Frame().isWindowModified());

    ChangeDeviceNumber(QStringLiteral("9"));
    app.saveAnswer = QMessageBox::Cancel;
    Frame().OnFileNew();
    EXPECT_EQ(Value(0, 3, 1), "9");
    EXPECT_FALSE(Frame().close()) << "closing is refused as well";
    app.saveAnswer = QMessageBox::Discard;
    Frame().SetActiveView(3);
    Frame().OnFileNew();
    EXPECT_EQ(app.saveQuestions, 3);
    EXPECT_EQ(Grid(0).GetItemText(3, 1), QStringLiteral("1"));
    EXPECT_EQ(Frame().GetActiveIndex(), 0);
    EXPECT_FALSE(app.GetDoc()->IsModified());
    EXPECT_EQ(Frame().windowTitle(), untitled);

    Frame().SetActiveView(3);
    ASSERT_TRUE(app.OpenDocumentFile(path));
    EXPECT_EQ(Frame().GetActiveIndex(), 0);
    EXPECT_EQ(Grid(0).GetItemText(3, 1), QStringLiteral("27"));
    EXPECT_EQ(Grid(1).GetItemText(1, 1), QStringLiteral("24 V"));
    EXPECT_TRUE(Grid(3).GetListItems(1, 1).contains(QStringLiteral("IN 11")));
    EXPECT_FALSE(app.GetDoc()->IsModified());
    EXPECT_EQ(app.GetRecentFiles().value(0), QFileInfo(path).absoluteFilePath());
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(app.DoSave(dir.filePath(QStringLiteral("f%1.zmg").arg(i))));
    EXPECT_EQ(app.GetRecentFiles(), (QStringList{dir.filePath("f4.zmg"), dir.filePath("f3.zmg"),
                                                 dir.filePath("f2.zmg"), dir.filePath("f1.zmg")}));

    TestApp second;
    ASSERT_TRUE(second.InitInstance({QStringLiteral("tavik"), path}, false));
    EXPECT_EQ(second.GetMainFrame()->GetTavikView(0)->GetGrid()->GetItemText(3, 1), QStringLiteral("27"));
    TestApp third;
    EXPECT_FALSE(
        third.InitInstance({QStringLiteral("tavik"), dir.filePath(QStringLiteral("missing.zmg"))}, false));

    // A damaged file, or one that is no document at all, is named in the message and leaves a new document.
    QByteArray noise(300, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>(i * 7919 % 251);
    const QString broken = dir.filePath(QStringLiteral("broken.zmg"));
    for (const QByteArray& bytes : {QByteArray("\x03\x00\x00\x00\x07Gen", 8),
                                    QByteArray("hello, this is text\n"), noise, QByteArray()}) {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        prompt.Clear();
        EXPECT_FALSE(app.OpenDocumentFile(broken));
        ASSERT_EQ(prompt.Messages().size(), 1u);
        const QString message = QString::fromStdString(prompt.Messages()[0]);
        EXPECT_TRUE(message.contains(QStringLiteral("broken.zmg")) &&
                    message.contains(QStringLiteral("not a Tavik document")) && !message.contains("newer"))
            << message.toStdString();
        EXPECT_EQ(Grid(0).GetItemText(3, 1), QStringLiteral("1"));
        EXPECT_TRUE(view_check::ShowsItsSheet(View(0)));
    }
}

// One edit may change other sheets (an input switched on or off changes what the logical inputs and alarms
// offer and hold): after every random edit of the first channels, where the sheets refer to each other
// most, and after tab changes, cuts, New and Open, each view shows exactly what its sheet holds.
TEST_F(FrameTest, EveryViewShowsItsSheetAfterEachEditAndTabChange) {
    std::string step;
    const auto expectEveryView = [&] {
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(view_check::ShowsItsSheet(View(i))) << "after " << step;
    };
    const auto edit = [&](int tab, int row, int col, const QString& text) {
        step = "tab " + std::to_string(tab) + " (" + std::to_string(row) + "," + std::to_string(col) +
               ") = \"" + text.toStdString() + "\"";
        Frame().GetTabCtrl()->setCurrentIndex(tab);
        expectEveryView();
        Grid(tab).EditCell(row, col, text);
        expectEveryView();
    };
    std::mt19937 random(20261206);
    const auto pick = [&random](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    };
    const QStringList typed{"0", "5", "12", "100", "-3", "Tank 1"};
    for (int i = 0; i < 150 && !HasFatalFailure(); ++i) {
        const int tab = i % 3 == 0 ? 1 : pick(4);
        const CDataSheet* sheet = View(tab).GetSetup()->GetDataSheet();
        const int row = 1 + pick(std::min(3, sheet->GetNumSections() - 1));
        const int col = tab == 1 && i % 3 == 0 ? 1 : 1 + pick(sheet->GetNumCells(row) - 1);
        const CBrChnData* cell = sheet->GetCellChecked(row, col);
        if (cell->m_nStyle == CTRL_STYLE_POPUP) continue;
        const std::vector<std::string>& items = cell->GetData();
        edit(tab, row, col,
             items.size() > 1
                 ? FromCp1252(items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))])
                 : typed[pick(static_cast<int>(typed.size()))]);
        if (i % 25 == 24) {
            step = "cutting row " + std::to_string(row) + " of tab " + std::to_string(tab);
            Grid(tab).SetSelectedRange(row, 1, row, 2);
            View(tab).OnEditCut();
            expectEveryView();
        }
    }
    const QString path = dir.filePath(QStringLiteral("views.zmg"));
    ASSERT_TRUE(app.DoSave(path));
    step = "New";
    Frame().OnFileNew();
    expectEveryView();
    step = "Open";
    ASSERT_TRUE(app.OpenDocumentFile(path));
    expectEveryView();
}

// A refresh reports exactly the cells whose text, choices or editability changed, one cell at a time, so
// the window repaints those and nothing else.
TEST_F(FrameTest, ARefreshReportsExactlyTheChangedCells) {
    ActivateAlarms(2);
    const CLynGridModel& model = *Grid(3).GetModel();
    std::set<std::pair<int, int>> reported;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         EXPECT_EQ(from, to) << "one cell per report";
                         reported.insert({model.GridRow(from), model.GridColumn(from)});
                     });
    const auto snapshot = [&model] {
        std::vector<GridCell> cells;
        for (int row = 1; row < model.Rows(); ++row)
            for (int col = 1; col < model.Columns(); ++col)
                cells.push_back(*model.Cell(row, col));
        return cells;
    };
    const auto fields = [](const GridCell& c) {
        return std::tie(c.text, c.type, c.items, c.listEditable, c.textLen, c.background, c.popup, c.dataType,
                        c.tip);
    };
    // A set point; IN 12 joins the choices of every alarm; IN 11 leaves them, and alarms 1 and 2 are reset.
    for (const auto& [tab, row, col, text] :
         {std::tuple{3, 1, 4, "50"}, std::tuple{1, 2, 1, "24 V"}, std::tuple{1, 1, 1, "OFF"}}) {
        const std::vector<GridCell> before = snapshot();
        reported.clear();
        Grid(tab).EditCell(row, col, QLatin1String(text));
        View(3).UpdateAllRows();
        const std::vector<GridCell> after = snapshot();
        std::set<std::pair<int, int>> changed;
        for (std::size_t i = 0; i < after.size(); ++i)
            if (fields(before[i]) != fields(after[i]))
                changed.insert({1 + static_cast<int>(i) / (model.Columns() - 1),
                                1 + static_cast<int>(i) % (model.Columns() - 1)});
        EXPECT_FALSE(changed.empty()) << text;
        EXPECT_EQ(reported, changed) << text;
    }
}

// The marks tell the truth: a refused value leaves the document unmodified; a change that reached other
// sheets says so (folded under its cause in the list); a transfer's result leaves the status bar once the
// document changed; Undo goes back to the tab of the change with one cell selected; Export PDF adds the
// extension and says where it wrote. Compare lists cells whose canonical texts differ, with both texts.
TEST_F(FrameTest, MarksAndStatusSayWhatHappened) {
    ActivateAlarms(1);
    app.GetDoc()->SetModifiedFlag(0);
    ChangeDeviceNumber(QStringLiteral("99"));
    EXPECT_FALSE(app.GetDoc()->IsModified());
    EXPECT_FALSE(Frame().isWindowModified());

    Frame().ShowStatus(QStringLiteral("Download complete: 5 blocks read"));
    Frame().SetActiveView(1);
    ASSERT_TRUE(Grid(1).EditCell(1, 1, QStringLiteral("OFF")));
    EXPECT_TRUE(app.GetDoc()->IsModified());
    EXPECT_FALSE(Frame().statusBar()->currentMessage().startsWith(QStringLiteral("Download")));
    const std::vector<ConfigDifference> also = Frame().GetAlsoChanged();
    EXPECT_EQ(Frame().GetAlsoChangedText(),
              QStringLiteral("Also changed: %1 cells on Alarm").arg(also.size()));
    const std::vector<FoldedDifference> folded = FoldMirrorColumns(also);
    ASSERT_EQ(folded.size(), 1u) << "alarm 1's input reference, its mirrors folded under it";
    EXPECT_EQ(folded[0].difference.column + folded[0].difference.first + folded[0].difference.second,
              "InpRefIN 11OFF");
    EXPECT_EQ(folded[0].mirrors.size() + 1, also.size());

    Frame().SetActiveView(0);
    Grid(1).SetSelectedRange(1, 1, 5, 5);
    Frame().OnEditUndo();
    EXPECT_EQ(Frame().GetActiveIndex(), 1);
    EXPECT_EQ(Value(1, 1, 1), "20 mA");
    EXPECT_EQ(Grid(1).selectionModel()->selectedIndexes().size(), 1);
    EXPECT_TRUE(Frame().GetAlsoChangedText().isEmpty());

    Frame().SetPdfNameAsker([this](const QString&) { return dir.filePath(QStringLiteral("report")); });
    Frame().OnFileExportPdf();
    const QString written = dir.filePath(QStringLiteral("report.pdf"));
    EXPECT_TRUE(QFileInfo::exists(written));
    EXPECT_TRUE(Frame().statusBar()->currentMessage().contains(QDir::toNativeSeparators(written)));

    const ConfigValues document = ReadConfigValues(*app.GetDoc()->GetZemUnit());
    ConfigValues unit = document;
    EXPECT_TRUE(CompareConfigValues(document, unit).empty());
    unit.sheets[SETUP_ALARM].rows[1][6] = "0.4";
    const std::vector<ConfigDifference> delay = CompareConfigValues(document, unit);
    ASSERT_EQ(delay.size(), 1u);
    EXPECT_EQ(delay[0].first + " " + delay[0].second, "0.3 0.4");
}
