// The fixture of the main-window tests: the application with its dialogs answered by the test, its frame and
// its four views, and a reader of PDF files.
#pragma once

#include "ViewCheck.h"

#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "model/Cp1252.h"
#include "model/Messages.h"
#include "ui/app/CMainFrame.h"
#include "ui/app/CTavikApp.h"
#include "ui/app/CommandLine.h"
#include "ui/report/CConfigReport.h"
#include "ui/sheet/CPropertyDlg.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"
#include "unit/ConfigCompare.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <random>
#include <set>

// The application with its dialogs answered by the test.
class TestApp : public CTavikApp {
public:
    int saveAnswer = QMessageBox::Discard;
    int saveQuestions = 0;
    QString saveName;

protected:
    int AskSaveChanges(const QString&) override { return ++saveQuestions, saveAnswer; }
    QString AskOpenFileName() override { return {}; }
    QString AskSaveFileName(const QString&) override { return saveName; }
};

class FrameTest : public ::testing::Test {
protected:
    FrameTest() {
        EXPECT_TRUE(app.InitInstance({QStringLiteral("tavik")}, false));
        // A paste's report goes to the scripted prompt (its kept message) and is kept for the test.
        for (int i = 0; i < 4; ++i)
            View(i).SetReportRunner([this](const CTavikView::PasteReport& report) {
                reports.push_back(report);
                prompt.ShowMessage(report.message.toStdString(), IPrompt::Warning);
            });
    }

    CMainFrame& Frame() { return *app.GetMainFrame(); }
    CTavikView& View(int index) { return *Frame().GetTavikView(index); }
    CLynGridCtrl& Grid(int index) { return *View(index).GetGrid(); }
    std::string Value(int setup, int row, int col) {
        return View(setup).GetSetup()->GetDataSheet()->GetProperty(row, col)->GetDataAsString();
    }
    void ChangeDeviceNumber(const QString& number) {
        Frame().SetActiveView(0);
        Grid(0).EditCell(3, 1, number);
    }
    // IN 11 as a 20 mA input showing 0 to 100, watched by alarm 1 (and alarm 2 when asked).
    void ActivateAlarms(int count = 1) {
        ASSERT_TRUE(Grid(1).EditCell(1, 1, QStringLiteral("20 mA")));
        Grid(1).EditCell(1, 6, QStringLiteral("100"));
        View(3).UpdateAllRows();
        for (int row = 1; row <= count; ++row)
            ASSERT_TRUE(Grid(3).EditCell(row, 1, QStringLiteral("IN 11")) && Value(3, row, 1) == "IN 11");
        prompt.Clear();
    }
    // The values of alarm 1's flags, joined.
    std::string Flags() {
        CBrChnData* properties[CPropertyDlg::kMaxProperties] = {};
        int count = 0;
        View(3).GetSetup()->GetPopupProperties(1, 9, properties, count);
        std::string values;
        for (int i = 0; i < count; ++i) {
            values += (i ? "," : "") + properties[i]->GetDataAsString();
            delete properties[i];
        }
        return values;
    }

    QTemporaryDir dir;
    std::vector<CTavikView::PasteReport> reports;
    CScriptedPrompt prompt{false}; // installed first, so the application leaves it in place of its boxes
    TestApp app;
};

// pdftotext reads the PDFs back. The Windows build has none; there the installed program's report is compared
// with the Linux program's instead.
inline bool HavePdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The text of a PDF file as pdftotext (poppler-utils) reads it, laid out as on the page.
inline QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0)
        << "pdftotext (scripts/install-deps.sh installs it) could not read " << path.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}
