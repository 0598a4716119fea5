#include <QCoreApplication>
#include <QUrl>
#include <QWebSocket>

#include <cstdio>
#include <memory>
#include <vector>

// Pages following the board, out of the benchmark's process so their memory
// and work are not the server's:
//   quorvane_stream_clients PORT COUNT
// Opens COUNT WebSockets to 127.0.0.1:PORT/live, reads every message, prints
// "ready" once each has had its first, and runs until it is ended.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool portOk = false;
    bool countOk = false;
    const int port = args.value(1).toInt(&portOk);
    const int count = args.value(2).toInt(&countOk);
    if (args.size() != 3 || !portOk || !countOk || count < 1) {
        std::fputs("usage: quorvane_stream_clients PORT COUNT\n", stderr);
        return 2;
    }
    std::vector<std::unique_ptr<QWebSocket>> pages;
    int greeted = 0;
    for (int i = 0; i < count; ++i) {
        auto page = std::make_unique<QWebSocket>();
        auto *raw = page.get();
        QObject::connect(raw, &QWebSocket::textMessageReceived, raw, [&greeted, count, raw] {
            if (raw->property("greeted").toBool())
                return;
            raw->setProperty("greeted", true);
            if (++greeted == count) {
                std::puts("ready");
                std::fflush(stdout);
            }
        });
        QObject::connect(raw, &QWebSocket::disconnected, &app, [] { QCoreApplication::exit(1); });
        page->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
        pages.push_back(std::move(page));
    }
    return app.exec();
}
