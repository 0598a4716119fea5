#include "StreamBenchmarks.h"

#include "HeadlessChromium.h"

#include "stream/StreamServer.h"
#include "stream/StreamWorker.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

bool startServer(StreamServer &server, benchmark::State &state)
{
    QString error;
    if (!server.start({true, freePort(), false}, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return false;
    }
    return true;
}

quint16 portOf(const StreamServer &server)
{
    return quint16(QUrl(server.overlayAddress()).port());
}

template <typename Done> bool spinUntil(Done done, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Pages in a process of their own, so their memory and work are not counted.
class OutsidePages
{
public:
    bool open(quint16 port, int count)
    {
        if (count == 0)
            return true;
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quorvane_stream_clients"),
            {QString::number(port), QString::number(count)});
        return spinUntil(
                   [&] { return m_process.canReadLine() || m_process.state() == QProcess::NotRunning; }, 20s)
            && m_process.readLine().trimmed() == "ready";
    }
    ~OutsidePages()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
};

// The server started and `pages` pages of another process following it.
bool serveToPages(StreamServer &server, OutsidePages &outside, int pages, benchmark::State &state)
{
    if (!startServer(server, state))
        return false;
    if (!outside.open(portOf(server), pages)
        || !spinUntil([&] { return server.clientCount() == pages; }, 20s)) {
        state.SkipWithError("the pages did not connect");
        return false;
    }
    return true;
}

GameState withHomeRuns(int runs)
{
    GameState game;
    game.home.inning(1) = runs;
    return game;
}

// A fresh connection asks for the overlay; timed to the reply's first byte.
void overlayFirstByte(benchmark::State &state)
{
    StreamServer server;
    if (!startServer(server, state))
        return;
    const QByteArray request = "GET /overlay HTTP/1.1\r\nHost: 127.0.0.1:"
        + QByteArray::number(portOf(server)) + "\r\nConnection: close\r\n\r\n";
    for (auto _ : state) {
        QTcpSocket socket;
        const auto start = Clock::now();
        socket.connectToHost(QHostAddress::LocalHost, portOf(server));
        socket.write(request);
        while (socket.bytesAvailable() == 0 && socket.state() != QAbstractSocket::UnconnectedState)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(seconds(Clock::now() - start));
        if (!socket.peek(12).startsWith("HTTP/1.1 200")) {
            state.SkipWithError("the overlay was not served");
            break;
        }
        socket.abort();
    }
}

// What a change costs the board's thread: StreamServer::publishGame hands it
// to the server's own thread, whatever the number of pages. Timed one at a
// time, each sent before the next comes, as keystrokes are.
void publishCall(benchmark::State &state)
{
    const int pages = int(state.range(0));
    StreamServer server;
    OutsidePages outside;
    if (!serveToPages(server, outside, pages, state))
        return;
    int turn = 0;
    for (auto _ : state) {
        const GameState game = withHomeRuns(++turn % 10);
        const auto start = Clock::now();
        server.publishGame(game);
        state.SetIterationTime(seconds(Clock::now() - start));
        // As between keystrokes, the server's thread sends it before the next.
        QThread::msleep(3);
    }
}

// What a change costs the server's thread: the document made afresh and sent
// to every page, up to the frames handed to the network. The worker runs in
// this thread here, with the pages in another process.
void sendToPages(benchmark::State &state)
{
    const int pages = int(state.range(0));
    StreamWorker worker(BoardSettings::shared());
    QString error;
    const quint16 port = freePort();
    if (!worker.listen({true, port, false}, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    OutsidePages outside;
    if (!outside.open(port, pages) || !spinUntil([&] { return worker.clientCount() == pages; }, 20s)) {
        state.SkipWithError("the pages did not connect");
        return;
    }
    int turn = 0;
    for (auto _ : state) {
        worker.publishGame(withHomeRuns(++turn % 10));
        QCoreApplication::processEvents();
    }
}

// Resident memory in KiB, from Linux's /proc; nullopt elsewhere.
std::optional<double> residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? std::optional(fields[1].toDouble() * 4) : std::nullopt;
}

// What the server adds to the program's resident memory with 50 pages
// following it: run alone in a fresh process (scripts/bench does), so no
// earlier benchmark's heap hides it.
void memoryWithPages(benchmark::State &state)
{
    const int pages = int(state.range(0));
    for (auto _ : state) {
        const auto before = residentKiB();
        if (!before) {
            state.SkipWithError("resident memory is read from /proc, on Linux only");
            return;
        }
        StreamServer server;
        OutsidePages outside;
        if (!serveToPages(server, outside, pages, state))
            return;
        for (int turn = 0; turn < 100; ++turn) {
            server.publishGame(withHomeRuns(turn % 10));
            QCoreApplication::processEvents();
        }
        spinUntil([] { return false; }, 200ms);
        state.counters["added_KiB"] = *residentKiB() - *before;
    }
}

// From a change to a headless Chromium's overlay showing it: publishGame, the
// WebSocket message, the page's script and its DOM. Two clocks: the page's
// own, read as the DOM changes (the wall clock both processes share, which
// Chromium gives to 0.1 ms), and this side's, when the page's report of the
// new digit arrives through a DevTools binding (the report's trip back
// included, an upper bound). Each run times 250 changes and gives the median
// and 99th percentile of both; the iteration time is the upper bound.
void liveLatency(benchmark::State &state)
{
    if (HeadlessChromium::executable().isEmpty()) {
        state.SkipWithError("Chromium is not installed");
        return;
    }
    StreamServer server;
    if (!startServer(server, state))
        return;
    server.publishGame(withHomeRuns(0));
    HeadlessChromium browser;
    QString error;
    const QString page = browser.start(&error)
        ? browser.open(QStringLiteral("http://127.0.0.1:%1/overlay").arg(portOf(server)), 1920, 1080)
        : QString();
    const QString ones = QStringLiteral("document.querySelector('#home .runs .led:last-child')");
    if (page.isEmpty() || !browser.waitUntil(page, ones + QStringLiteral(".dataset.digit === '0'"), 10s)
        || !browser.call(
            page, QStringLiteral("Runtime.addBinding"), {{QStringLiteral("name"), "reportShown"}})
        || !browser.evaluate(page,
            QStringLiteral(
                "const ones = %1; new MutationObserver(() => "
                "reportShown(ones.dataset.digit + ' ' + (performance.timeOrigin + performance.now())))"
                ".observe(ones, "
                "{attributes: true, attributeFilter: ['data-digit']}); true")
                .arg(ones))) {
        state.SkipWithError(
            ("the overlay did not open in Chromium: " + error + browser.lastError()).toStdString().c_str());
        return;
    }
    QString shown;
    double shownInPage = 0; // ms since the epoch
    Clock::time_point shownAt;
    QObject::connect(&browser, &HeadlessChromium::event, &browser,
        [&](const QString &, const QString &method, const QJsonObject &params) {
            if (method == u"Runtime.bindingCalled") {
                shownAt = Clock::now();
                const QStringList report = params.value(QStringLiteral("payload")).toString().split(u' ');
                shown = report.value(0);
                shownInPage = report.value(1).toDouble();
            }
        });
    QTimer wake; // bounds every wait below
    wake.start(100);
    std::vector<double> latencies;
    std::vector<double> inPage;
    int turn = 0;
    for (auto _ : state) {
        const QString expected = QString::number(++turn % 10);
        const auto start = Clock::now();
        const auto wallStart = std::chrono::system_clock::now();
        server.publishGame(withHomeRuns(turn % 10));
        const QDeadlineTimer deadline(5000);
        while (shown != expected && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (shown != expected) {
            state.SkipWithError("the page did not show a change within 5 s");
            return;
        }
        latencies.push_back(seconds(shownAt - start));
        inPage.push_back(
            shownInPage / 1e3 - std::chrono::duration<double>(wallStart.time_since_epoch()).count());
        state.SetIterationTime(latencies.back());
    }
    const auto at = [](std::vector<double> &all, double share) {
        std::sort(all.begin(), all.end());
        return all[std::size_t(share * double(all.size() - 1))] * 1e6;
    };
    state.counters["median_us"] = at(inPage, 0.5);
    state.counters["p99_us"] = at(inPage, 0.99);
    state.counters["back_median_us"] = at(latencies, 0.5);
    state.counters["back_p99_us"] = at(latencies, 0.99);
}

} // namespace

void registerStreamBenchmarks()
{
    benchmark::RegisterBenchmark("stream_overlay_first_byte", overlayFirstByte)
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime();
    benchmark::RegisterBenchmark("stream_publish_call", publishCall)
        ->Arg(0)
        ->Arg(50)
        ->Iterations(500)
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime();
    benchmark::RegisterBenchmark("stream_send", sendToPages)
        ->Arg(0)
        ->Arg(50)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("stream_memory", memoryWithPages)->Arg(50)->Iterations(1);
    benchmark::RegisterBenchmark("stream_live_latency", liveLatency)
        ->Iterations(250)
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime();
}
