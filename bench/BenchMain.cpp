#include "BenchWindow.h"
#include "BoardBenchmarks.h"
#include "JournalBenchmarks.h"
#include "OptionsBenchmarks.h"
#include "StreamBenchmarks.h"

#include "core/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

// One virtual 4K screen at 96 DPI without window frames: the board maximised
// is exactly 3840 x 2160, on any machine and without a display.
bool useBenchScreen(const QTemporaryDir &scratch)
{
    const QString config = scratch.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QStringLiteral(R"({"windowFrameMargins": false, "screens": [{"name": "Bench", "x": 0, "y": 0,
 "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                   .arg(BenchWindow::ScreenSize.width())
                   .arg(BenchWindow::ScreenSize.height())
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QFile::encodeName(config));
    // The user's preferences never colour the figures.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("config"))));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    const QTemporaryDir scratch;
    if (!scratch.isValid() || !useBenchScreen(scratch)) {
        qCritical("quorvane_bench: cannot write its screen configuration");
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    LoadBoardSettings(SettingsDefaults::StartScreen);

    registerBoardBenchmarks();
    registerOptionsBenchmarks();
    registerJournalBenchmarks();
    registerStreamBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
