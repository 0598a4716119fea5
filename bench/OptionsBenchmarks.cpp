#include "OptionsBenchmarks.h"

#include "BenchWindow.h"

#include "core/BoardSettings.h"
#include "settings/OptionsDialog.h"
#include "core/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <QTest>

namespace {

struct Texts {
    QString home;
    QString title;
};

// Both passes, every step, with the dialog on screen as the operator types.
void previewIt(benchmark::State &state, const Texts &texts)
{
    BoardSettings &s = BoardSettings::shared();
    LoadBoardSettings(SettingsDefaults::StartScreen);
    if (!texts.home.isEmpty())
        s.HomeText = texts.home;
    if (!texts.title.isEmpty())
        s.TitleText = texts.title;
    {
        OptionsDialog dialog;
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog)) {
            state.SkipWithError("the dialog was not shown");
            return;
        }
        BenchWindow::settle();
        for (auto _ : state)
            dialog.PreviewIt();
        // Counters would break the CSV report: every run must have the same.
        state.SetLabel(QStringLiteral("TeamSize %1; TitleSize %2")
                           .arg(dialog.edits().TeamSize.toText(), dialog.edits().TitleSize.toText())
                           .toStdString());
    }
    LoadBoardSettings(SettingsDefaults::StartScreen);
}

} // namespace

void registerOptionsBenchmarks()
{
    benchmark::RegisterBenchmark("preview_it/defaults", previewIt, Texts{})
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    // A 30-character home name and a 50-character title.
    const Texts longTexts{QStringLiteral("Brindlecomb Harbour Lighthouse"),
                          QStringLiteral("Brindlecomb County League Championship Final, 2024")};
    benchmark::RegisterBenchmark("preview_it/long_texts", previewIt, longTexts)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
}
