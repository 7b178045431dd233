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

#include <memory>

namespace {
std::unique_ptr<CBrChnData> MakeFlag(const char* name, int editable = 1) {
    auto cell = std::make_unique<CBrChnData>(3, editable, CTRL_STYLE_LIST, 0xFF000000UL);
    cell->SetPropName(name);
    cell->AddData("OFF;ON");
    return cell;
}
} // namespace

TEST(PropertyDlg, OnePropertyIsOneRowWithBothButtonsBelowTheGrid) {
    auto block = MakeFlag("Block");
    CBrChnData* properties[] = {block.get()};
    CPropertyDlg dlg;
    dlg.SetProperties(properties, 1);
    dlg.show();
    EXPECT_EQ(dlg.GetGrid()->GetRowCount(), 1);
    EXPECT_EQ(dlg.GetGrid()->GetColumnCount(), 2);
    EXPECT_EQ(dlg.GetGrid()->GetItemText(0, 0), QStringLiteral("Block"));
    EXPECT_EQ(dlg.GetGrid()->GetCellType(0, 1), CLynGridCtrl::GVET_LIST);
    const QRect grid = dlg.GetGrid()->geometry();
    EXPECT_GE(dlg.GetOkButton()->geometry().top(), grid.bottom());
    EXPECT_GE(dlg.GetCancelButton()->geometry().top(), grid.bottom());
    EXPECT_GT(dlg.GetCancelButton()->geometry().left(), dlg.GetOkButton()->geometry().right());
    EXPECT_TRUE(dlg.GetOkButton()->isVisible());
    dlg.reject();
}

TEST(PropertyDlg, OkWritesTheChosenValuesBack) {
    auto block = MakeFlag("Block");
    auto control = MakeFlag("Control");
    CBrChnData* properties[] = {block.get(), control.get()};
    CPropertyDlg dlg;
    dlg.SetProperties(properties, 2);
    dlg.Fill();
    dlg.GetGrid()->SetItemText(1, 1, QStringLiteral("ON"));
    dlg.OnOK();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(block->GetDataAsString(), "OFF");
    EXPECT_EQ(control->GetDataAsString(), "ON");
}

TEST(PropertyDlg, CancelLeavesEveryPropertyAlone) {
    auto block = MakeFlag("Block");
    CBrChnData* properties[] = {block.get()};
    CPropertyDlg dlg;
    dlg.SetProperties(properties, 1);
    dlg.Fill();
    dlg.GetGrid()->SetItemText(0, 1, QStringLiteral("ON"));
    dlg.reject();
    EXPECT_EQ(block->GetDataAsString(), "OFF");
}

TEST(PropertyDlg, ReadOnlyPropertyShowsItsFirstItemInGreyAndOkSelectsIt) {
    auto block = MakeFlag("Block", 0);
    block->SetSelText("ON");
    CBrChnData* properties[] = {block.get()};
    CPropertyDlg dlg;
    dlg.SetProperties(properties, 1);
    dlg.Fill();
    EXPECT_EQ(dlg.GetGrid()->GetCellType(0, 1), CLynGridCtrl::GVET_READONLY);
    EXPECT_EQ(dlg.GetGrid()->GetItemText(0, 1), QStringLiteral("OFF"));
    EXPECT_EQ(dlg.GetGrid()->GetItemBkColour(0, 1), QColor(0xE2, 0xE2, 0xE2));
    EXPECT_EQ(dlg.GetGrid()->EditCell(0, 1, QStringLiteral("ON")), 0);
    dlg.OnOK();
    EXPECT_EQ(block->GetDataAsString(), "OFF");
}

TEST(PropertyDlg, SingleItemPropertyIsEditableText) {
    CBrChnData text(30, 1, CTRL_STYLE_PLAIN, 0xFF000000UL);
    text.SetPropName("Name");
    text.AddData("abc");
    CBrChnData* properties[] = {&text};
    CPropertyDlg dlg;
    dlg.SetProperties(properties, 1);
    dlg.Fill();
    EXPECT_EQ(dlg.GetGrid()->GetCellType(0, 1), CLynGridCtrl::GVET_EDIT);
    dlg.GetGrid()->SetItemText(0, 1, QStringLiteral("xyz"));
    dlg.OnOK();
    EXPECT_EQ(text.GetDataAsString(), "xyz");
}

// Small dialogs show their whole title and offer no maximise button.
TEST(SmallDialogs, TitlesAreWholeAndThereIsNoMaximiseButton) {
    auto block = MakeFlag("Block");
    CBrChnData* properties[] = {block.get()};
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
