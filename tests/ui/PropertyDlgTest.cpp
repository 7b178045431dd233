#include "model/CBrChnData.h"
#include "ui/CAboutDlg.h"
#include "ui/CComPortDlg.h"
#include "ui/CLineSettingsDlg.h"
#include "ui/CLynGridCtrl.h"
#include "ui/CPropertyDlg.h"
#include "ui/CSmallDialog.h"
#include "ui/CUpDown.h"

#include <QApplication>
#include <QPushButton>

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <vector>

// One row per property (name, value) above OK and Cancel: a list, a text, or a read-only property showing
// its first item in grey. OK writes the values back row by row; Cancel leaves every property alone.
TEST(PropertyDlg, RowsShowThePropertiesAndOkWritesThemBack) {
    const struct {
        int editable;
        CTRL_STYLE style;
        const char* items;
        const char* typed;
        int type;
        const char* shown;
        const char* afterOk;
    } rows[] = {
        {1, CTRL_STYLE_LIST, "OFF;ON", "ON", CLynGridCtrl::GVET_LIST, "OFF", "ON"},
        {1, CTRL_STYLE_LIST, "OFF;ON", "OFF", CLynGridCtrl::GVET_LIST, "OFF", "OFF"},
        {0, CTRL_STYLE_LIST, "OFF;ON", "ON", CLynGridCtrl::GVET_READONLY, "OFF", "OFF"},
        {1, CTRL_STYLE_PLAIN, "abc", "xyz", CLynGridCtrl::GVET_EDIT, "abc", "xyz"},
    };
    for (const bool ok : {true, false}) {
        std::vector<std::unique_ptr<CBrChnData>> cells;
        CBrChnData* properties[std::size(rows)] = {};
        std::vector<std::string> before;
        for (const auto& row : rows) {
            cells.push_back(std::make_unique<CBrChnData>(30, row.editable, row.style, 0xFF000000UL));
            cells.back()->SetPropName("P" + std::to_string(cells.size()));
            cells.back()->AddData(row.items);
            if (!row.editable) cells.back()->SetSelText("ON"); // shown as its first item all the same
            properties[cells.size() - 1] = cells.back().get();
            before.push_back(cells.back()->GetDataAsString());
        }
        CPropertyDlg dlg;
        dlg.SetProperties(properties, static_cast<int>(std::size(rows)));
        dlg.show();
        CLynGridCtrl& grid = *dlg.GetGrid();
        ASSERT_EQ(grid.GetRowCount(), static_cast<int>(std::size(rows)));
        EXPECT_EQ(grid.GetColumnCount(), 2);
        EXPECT_GE(dlg.GetOkButton()->geometry().top(), grid.geometry().bottom());
        EXPECT_GT(dlg.GetCancelButton()->geometry().left(), dlg.GetOkButton()->geometry().right());
        for (int r = 0; r < static_cast<int>(std::size(rows)); ++r) {
            const auto& row = rows[r];
            EXPECT_EQ(grid.GetItemText(r, 0), QStringLiteral("P%1").arg(r + 1));
            EXPECT_EQ(grid.GetCellType(r, 1), row.type) << r;
            EXPECT_EQ(grid.GetItemText(r, 1), QLatin1String(row.shown)) << r;
            EXPECT_EQ(grid.EditCell(r, 1, QLatin1String(row.typed)), row.editable) << r;
            EXPECT_EQ(grid.GetItemBkColour(r, 1), row.editable ? QColor() : QColor(0xE2, 0xE2, 0xE2)) << r;
        }
        if (ok)
            dlg.OnOK();
        else
            dlg.reject();
        EXPECT_EQ(dlg.result(), ok ? QDialog::Accepted : QDialog::Rejected);
        for (std::size_t r = 0; r < std::size(rows); ++r)
            EXPECT_EQ(cells[r]->GetDataAsString(), ok ? rows[r].afterOk : before[r])
                << r << (ok ? " OK" : " Cancel");
    }
}

// Small dialogs show their whole title and offer no maximise button.
TEST(SmallDialogs, TitlesAreWholeAndThereIsNoMaximiseButton) {
    CBrChnData block(3, 1, CTRL_STYLE_LIST, 0xFF000000UL);
    block.SetPropName("Block");
    block.AddData("OFF;ON");
    CBrChnData* properties[] = {&block};
    auto flags = std::make_unique<CPropertyDlg>();
    flags->SetProperties(properties, 1);
    flags->setWindowTitle(QString::fromUtf8("Flags \u2013 1  (A11)"));
    std::vector<std::unique_ptr<QDialog>> dialogs;
    dialogs.push_back(std::move(flags));
    dialogs.push_back(std::make_unique<CComPortDlg>(nullptr, QStringLiteral("/nonexistent")));
    dialogs.push_back(std::make_unique<CLineSettingsDlg>(QStringLiteral("COM1")));
    dialogs.push_back(std::make_unique<CAboutDlg>());
    dialogs.push_back(std::make_unique<CUpDown>());
    for (const auto& dialog : dialogs) {
        dialog->show();
        QApplication::processEvents();
        const std::string title = dialog->windowTitle().toStdString();
        EXPECT_GE(dialog->width(), CSmallDialog::TitleWidth(*dialog, dialog->windowTitle())) << title;
        EXPECT_TRUE(dialog->windowFlags() & Qt::CustomizeWindowHint) << title;
        EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint) << title;
        dialog->hide();
    }
}
