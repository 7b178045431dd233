// One edit on the Alarm tab, from the grid's end-edit notification to the repainted grid: the set point of
// an active alarm is typed, validated by the alarm sheet, all 49 rows are refreshed from the cells, and the
// window paints what that changed.
#include "model/CScriptedPrompt.h"
#include "ui/grid/CLynGridCtrl.h"
#include "ui/sheet/CTavikView.h"
#include "unit/CTavikDoc.h"

#include <QApplication>
#include <QEvent>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

QApplication& Application() {
    static int argc = 1;
    static char name[] = "UiAlarmEditBench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Left alive until the process ends: widgets of the benchmark may outlive a static destructor.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

void AlarmSetPointEdit(benchmark::State& state) {
    Application();
    CScriptedPrompt prompt(true);
    CTavikDoc doc;
    doc.OnNewDocument();
    CTavikView physical(&doc);
    CTavikView alarms(&doc);
    physical.InitalizeView(1);
    physical.SetReady(true);
    alarms.InitalizeView(3);
    alarms.SetReady(true);
    alarms.resize(1000, 700);
    alarms.show();

    // IN 11 as a 20 mA input displaying 0..100, watched by every alarm.
    physical.GetGrid()->EditCell(1, 1, QStringLiteral("20 mA"));
    physical.GetGrid()->EditCell(1, 6, QStringLiteral("100"));
    alarms.UpdateAllRows(); // the input references now offer IN 11
    for (int row = 1; row <= 48; ++row)
        alarms.GetGrid()->EditCell(row, 1, QStringLiteral("IN 11"));
    QApplication::processEvents();

    CLynGridCtrl& grid = *alarms.GetGrid();
    PaintCounter counter;
    grid.viewport()->installEventFilter(&counter);
    int value = 0;
    for (auto _ : state) {
        value = (value + 7) % 100;
        grid.EditCell(24, 4, QString::number(value));
        // Paint what the edit changed, as the window does before it reads the next key press.
        QApplication::processEvents();
    }
    if (grid.GetItemText(24, 4) != QString::number(value))
        state.SkipWithError("the edit did not reach the grid");
    else if (counter.paints < state.iterations())
        state.SkipWithError("an edit was not painted");
    state.SetItemsProcessed(state.iterations());
}
} // namespace

BENCHMARK(AlarmSetPointEdit)->Unit(benchmark::kMicrosecond);
