#include "BoardDriver.h"
#include "HeadlessChromium.h"
#include "ModalAnswerer.h"
#include "PrivateSettings.h"
#include "TestProgram.h"

#include "core/StreamSettings.h"
#include "stream/StreamServer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QJsonDocument>
#include <QLabel>
#include <QNetworkInterface>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTcpServer>
#include <QWebSocket>

namespace {

using namespace std::chrono_literals;

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

struct Reply {
    int status = 0; // 0: no whole reply
    QByteArray head, body;
    QByteArray header(const QByteArray &name) const
    {
        for (const QByteArray &line : head.split('\n'))
            if (line.toLower().startsWith(name.toLower() + ':'))
                return line.mid(name.size() + 1).trimmed();
        return {};
    }
};

// A request for path, "%h" standing for the server's host and "%p" for its port.
QByteArray get(const QByteArray &path, const QByteArray &extra = {}, const QByteArray &host = "%h")
{
    return "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n" + extra + "Connection: close\r\n\r\n";
}

const QByteArray UpgradeOnly = "Connection: Upgrade\r\nUpgrade: websocket\r\n";
const QByteArray Upgrade
    = UpgradeOnly + "Sec-WebSocket-Version: 13\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";

// A frame as a page sends it: final, masked.
QByteArray pageFrame(quint8 opcode, const QByteArray &payload)
{
    const char mask[] = "\x11\x22\x33\x44";
    QByteArray out(1, char(0x80 | opcode));
    out += char(0x80 | std::min<qsizetype>(payload.size(), 126));
    if (payload.size() >= 126)
        out += char(payload.size() >> 8), out += char(payload.size() & 0xFF);
    out += mask;
    for (qsizetype i = 0; i < payload.size(); ++i)
        out += char(payload[i] ^ mask[i % 4]);
    return out;
}

} // namespace

class TestStream : public QObject
{
    Q_OBJECT

    PrivateSettings m_store;
    StreamServer m_server;
    quint16 m_port = 0;
    QByteArray m_host;

    StreamSettings settings() const { return {.Enabled = true, .Port = m_port, .AllowNetwork = false}; }

    // Sends raw bytes and reads one reply, or what came before the server closed.
    Reply fetch(QByteArray request) const
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        socket.write(request.replace("%h", m_host).replace("%p", QByteArray::number(m_port)));
        Reply reply;
        QByteArray in;
        const bool complete = QTest::qWaitFor(
            [&] {
                in += socket.readAll();
                const qsizetype end = in.indexOf("\r\n\r\n");
                reply.head = in.left(end), reply.body = in.mid(end + 4);
                const QByteArray length = reply.header("Content-Length");
                const bool whole = end >= 0 && (length.isNull() || reply.body.size() >= length.toInt());
                return socket.state() == QAbstractSocket::UnconnectedState
                    || (whole && reply.header("Connection") != "close");
            },
            5000);
        reply.status = complete ? in.split(' ').value(1).toInt() : 0;
        return reply;
    }
    QJsonValue state() const { return QJsonDocument::fromJson(fetch(get("/state.json")).body).object(); }

private Q_SLOTS:
    void init()
    {
        m_port = freePort();
        m_host = "127.0.0.1:" + QByteArray::number(m_port);
        QString error;
        QVERIFY2(m_server.start(settings(), &error), qPrintable(error));
        m_server.publishGame(GameState());
    }
    void cleanup() { m_server.stop(); }

    void settingsFromTheStore()
    {
        const struct { QByteArray stored; StreamSettings read; } rows[] = {
            {"", {false, 8765, false}}, {"Enabled=true\nPort=9000\nAllowNetwork=true", {true, 9000, true}},
            {"Enabled=1\nPort= 1024 \nAllowNetwork=0", {true, 1024, false}}, // by another program
            {"Port=80", {false, 8765, false}}, {"Port=65536", {false, 8765, false}},
            {"Enabled=yes\nPort=-9000\nAllowNetwork=maybe", {false, 8765, false}}};
        for (const auto &[stored, read] : rows) {
            PrivateSettings::clear();
            QVERIFY(PrivateSettings::write("[Stream]\n" + stored + "\n"));
            QVERIFY2(LoadStreamSettings() == read, stored);
        }
        PrivateSettings::clear();
        QVERIFY(SaveStreamSettings({true, 4242, true}).ok);
        QVERIFY(PrivateSettings::contents().contains("[Stream]\nAllowNetwork=true\nEnabled=true\nPort=4242\n"));
        PrivateSettings::clear();
    }

    // Every route and refusal, and the headers every reply carries.
    void routes()
    {
        const QByteArray html = "text/html", js = "text/javascript", css = "text/css", text = "text/plain";
        const auto live = [](const QByteArray &headers) { return get("/live", headers); };
        const struct { QByteArray request; int status; QByteArray type; } rows[] = {
            {get("/overlay?corner=br&scale=2"), 200, html}, {get("/overlay.js"), 200, js},
            {get("/overlay.css"), 200, css}, {get("/led.js"), 200, js}, {get("/board"), 200, html},
            {get("/board.js"), 200, js}, {get("/board.css"), 200, css},
            {get("/state.json"), 200, "application/json"}, {get("/admin"), 404, text},
            {"POST /overlay HTTP/1.1\r\nHost: %h\r\nContent-Length: 0\r\n\r\n", 405, text},
            {"HEAD /board HTTP/1.1\r\nHost: %h\r\n\r\n", 405, text}, {get("/live"), 426, text},
            {get("/overlay", {}, "localhost:%p"), 200, html}, {get("/overlay", {}, "[::1]:%p"), 200, html},
            {get("/state.json", {}, "attacker.example:%p"), 403, text}, // a name rebound to 127.0.0.1
            {get("/state.json", {}, "127.0.0.1:1"), 403, text}, {get("/state.json", {}, "localhost"), 403, text},
            {get("/state.json", {}, "192.168.1.5:%p"), 403, text},
            {"GET /state.json HTTP/1.0\r\n\r\n", 403, text}, {"GET /state.json HTTP/1.1\r\n\r\n", 400, text},
            {"GET / HTTP/1.1\r\nHost: %h\r\nHost: %h\r\n\r\n", 400, text},
            {"GET / HTTP/1.1\r\nHost: %h\r\nContent-Length: 5\r\n\r\nhello", 400, text},
            {"\x16\x03\x01 hello\r\n\r\n", 400, text},
            {get("/overlay", "Cookie: " + QByteArray(9000, 'a') + "\r\n"), 431, text},
            {live(Upgrade), 101, {}}, {live(Upgrade + "Origin: http://localhost:%p\r\n"), 101, {}},
            {live(Upgrade + "Origin: http://attacker.example\r\n"), 403, text},
            {live(Upgrade + "Origin: null\r\n"), 403, text}, // a page opened from a file
            {live(Upgrade + "Origin: http://127.0.0.1:1\r\n"), 403, text},
            {live(UpgradeOnly + "Sec-WebSocket-Version: 8\r\nSec-WebSocket-Key: AAAAAAAAAAAAAAAAAAAAAA==\r\n"), 426,
             text},
            {live(UpgradeOnly + "Sec-WebSocket-Version: 13\r\n"), 400, text}};
        for (const auto &[request, status, type] : rows) {
            const Reply reply = fetch(request);
            const QByteArray policy = reply.header("Content-Security-Policy");
            const QByteArray sent = QByteArray(request).replace("%p", QByteArray::number(m_port)).replace("%h", m_host);
            const QByteArray page = "connect-src 'self' ws://" + sent.mid(sent.indexOf("Host: ") + 6).split('\r')[0];
            QVERIFY2(reply.status == status
                         && (status == 101
                             || (reply.header("Content-Type").startsWith(type)
                                 && reply.header("Cache-Control") == "no-store"
                                 && reply.header("Content-Length").toInt() == reply.body.size()
                                 && reply.header("X-Content-Type-Options") == "nosniff"
                                 && policy.startsWith("default-src 'none'")
                                 && (status != 405 || reply.header("Allow") == "GET")
                                 && (status != 200 || (policy.contains("script-src 'self';") && policy.contains(page + ';'))))),
                     sent.left(80) + " got " + reply.head);
        }
    }

    // /state.json: the game as the audience sees it, and the options; /live
    // sends it at once, then every change, once.
    void stateAndLiveFollowTheGameAndTheOptions()
    {
        QWebSocket page;
        QList<QJsonValue> messages;
        connect(&page, &QWebSocket::textMessageReceived, this,
            [&](const QString &text) { messages.append(QJsonDocument::fromJson(text.toUtf8()).object()); });
        page.open(QUrl(QString::fromLatin1("ws://" + m_host + "/live")));
        QTRY_COMPARE(messages.size(), 1);
        const double seq = messages[0]["seq"].toDouble();
        GameState game{.atBat = 23};
        game.home.inning(2) = 0;
        m_server.publishGame(game);
        game.home.hitsEntry = "1"; // typed, not yet entered: nothing shows
        m_server.publishGame(game);
        BoardSettings board;
        board.FormBackColor = 0x123456, board.LEDColor = int(0xFF00FFFFu), board.HomeText = "Cubs";
        board.TeamSize = FixedPoint::fromUnits(195000);
        m_server.publishSettings(board), m_server.publishSettings(board);
        QTRY_COMPARE(messages.size(), 3);
        const QJsonValue now = state(), played = now["game"], look = now["board"];
        const std::pair<QJsonValue, QJsonValue> rows[] = {{now["version"], 1}, {now["seq"], seq + 2},
            {messages[1]["seq"], seq + 1}, {messages[1]["game"], played}, {messages[2]["board"], look},
            {played["atBat"], 23}, {played["home"]["innings"][1], 0}, {played["home"]["innings"][2], QJsonValue::Null},
            {played["home"]["hitsEntry"], QJsonValue::Undefined}, {played["version"], QJsonValue::Undefined},
            {look["formBackColor"], "#563412"}, {look["ledColor"], "#ffff00"}, // red in the low byte; top ignored
            {look["homeText"], "Cubs"}, {look["teamSize"], 19.5}};
        for (const auto &[actual, expected] : rows)
            QCOMPARE(actual, expected);
    }

    // What a page may send, and what it gets back after the board's state: a
    // pong, or a close with its code.
    void framesFromPages()
    {
        const std::pair<QByteArray, QByteArray> rows[] = {{pageFrame(0x9, "hi"), "\x8a\x02hi"},
            {pageFrame(0x1, "hello") + pageFrame(0x9, ""), QByteArray("\x8a\x00", 2)},
            {pageFrame(0x8, "\x03\xe8"), "\x88\x03\xe8"}, {"\x81\x02hi", "\x88\x03\xea"}, // unmasked
            {pageFrame(0x3, ""), "\x88\x03\xea"}, {pageFrame(0x1, QByteArray(2000, 'a')), "\x88\x03\xf1"}};
        for (const auto &[sent, answer] : rows) {
            QTcpSocket page;
            page.connectToHost(QHostAddress::LocalHost, m_port);
            page.write(get("/live", Upgrade, m_host));
            QByteArray in;
            const auto readUntil = [&](auto done) {
                return QTest::qWaitFor([&] { in += page.readAll(); return done(); }, 5000);
            };
            const QByteArray board = fetch(get("/state.json")).body; // the first message
            QVERIFY(readUntil([&] { return in.contains(board); }));
            in.remove(0, in.indexOf(board) + board.size());
            page.write(sent);
            const bool close = answer.startsWith('\x88');
            QVERIFY(readUntil([&] { return in.size() >= answer.size() + close; }));
            if (close)
                in.remove(1, 1); // the length, which counts the reason's words
            QVERIFY2(in.startsWith(answer), in.toHex(' '));
            QCOMPARE(page.waitForDisconnected(close ? 5000 : 100), close);
        }
    }

    // A cap on pages, and on connections: a flood of them, half garbage, the
    // rest never ending, leaves the server answering.
    void clientsAndConnectionsAreCapped()
    {
        std::vector<std::unique_ptr<QWebSocket>> pages(StreamServer::MaxClients);
        for (auto &page : pages) {
            page = std::make_unique<QWebSocket>();
            page->open(QUrl(QString::fromLatin1("ws://" + m_host + "/live")));
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_server.clientCount(), StreamServer::MaxClients, 10000);
        const Reply refused = fetch(get("/live", Upgrade));
        QVERIFY2(refused.status == 503 && refused.header("Retry-After") == "1", refused.head);
        pages.pop_back();
        QTRY_COMPARE(m_server.clientCount(), StreamServer::MaxClients - 1);
        QCOMPARE(fetch(get("/live", Upgrade)).status, 101);
        pages.clear();
        std::vector<std::unique_ptr<QTcpSocket>> flood(2 * StreamServer::MaxConnections);
        for (size_t i = 0; i < flood.size(); ++i) {
            flood[i] = std::make_unique<QTcpSocket>();
            flood[i]->connectToHost(QHostAddress::LocalHost, m_port);
            flood[i]->write(i % 2 ? "\x01\x02 junk\r\n\r\n" : "GET /overlay HTTP/1.1\r\nHost: ");
        }
        QTest::qWait(200);
        flood.resize(flood.size() / 2);
        QCOMPARE(fetch(get("/state.json")).status, 200);
    }

    // Loopback only, unless the network is allowed: then this computer's own
    // address is a host too.
    void servesThisComputerOnly()
    {
        const QList<QHostAddress> all = QNetworkInterface::allAddresses();
        const auto outside = std::ranges::find_if(all, [](const QHostAddress &address) {
            return address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback();
        });
        if (outside == all.end())
            QSKIP("This computer has no address but loopback ones.");
        QTcpSocket socket;
        socket.connectToHost(*outside, m_port);
        QVERIFY(!socket.waitForConnected(5000) && socket.error() == QAbstractSocket::ConnectionRefusedError);
        QVERIFY(m_server.start({true, m_port, true}));
        QCOMPARE(fetch(get("/state.json", {}, outside->toString().toLatin1() + ":%p")).status, 200);
    }

    // The program's wiring: a key and an undo on the board reach the pages,
    // and a taken port is said in the options, where another is chosen.
    void theProgramServesWhatTheOperatorDoes()
    {
        m_server.stop();
        QVERIFY(program().serve(settings()));
        ScoreBoard &board = program().board();
        board.show();
        BoardDriver drive(board);
        drive.type("ledBall(0)", "3");
        QTRY_COMPARE(state()["game"]["balls"], QJsonValue(3));
        program().history().undoAction()->trigger();
        QTRY_COMPARE(state()["game"]["balls"], QJsonValue(0));

        QTcpServer other;
        const quint16 taken = freePort();
        QVERIFY(other.listen(QHostAddress::LocalHost, taken) && !program().serve({true, taken, false}));
        QVERIFY(!program().stream()->isServing() && program().stream()->overlayAddress().isEmpty());
        QCOMPARE(fetch(get("/state.json")).status, 0);
        ModalAnswerer look([&](QWidget *options) {
            // OK even after a failed check, so the options never wait for a hand that is gone.
            const auto ok = qScopeGuard([&] { options->findChild<QPushButton *>("cmdOk")->click(); });
            const auto *problem = options->findChild<QLabel *>("lblStreamProblem");
            QVERIFY(!problem->isHidden() && problem->text().contains(QString::number(taken) + " is in use"));
            options->findChild<QSpinBox *>("txtStreamPort")->setValue(m_port);
            options->findChild<QCheckBox *>("chkStreamEnabled")->setChecked(true);
            const QString address = QStringLiteral("http://127.0.0.1:%1/overlay").arg(m_port);
            QVERIFY(problem->isHidden() && options->findChild<QLabel *>("lblStreamAddress")->text() == address);
            const auto *warning = options->findChild<QLabel *>("lblStreamNetworkWarning");
            for (const bool allowed : {true, false}) {
                options->findChild<QCheckBox *>("chkStreamAllowNetwork")->click();
                QCOMPARE(warning->isHidden(), !allowed);
            }
            options->findChild<QPushButton *>("cmdStreamCopy")->click();
            QCOMPARE(QGuiApplication::clipboard()->text(), address);
        });
        drive.type("ledBall(0)", "o");
        QVERIFY(look.answered());
        QCOMPARE(LoadStreamSettings(), settings());
        QCOMPARE(fetch(get("/state.json")).status, 200);
        PrivateSettings::clear();
        delete &board;
    }

    // The pages in a real browser, as a streaming program's browser source
    // shows them: OBS's own style added, at its default 800 x 600.
    void aBrowserFollowsTheBoard()
    {
        if (HeadlessChromium::executable().isEmpty())
            QSKIP("Chromium is not installed (Debian package chromium): the pages were not tried in a browser.");
        HeadlessChromium browser;
        QString error;
        QVERIFY2(browser.start(&error), qPrintable(error));
        const QString overlay = browser.open(QString::fromLatin1("http://" + m_host + "/overlay?corner=br"), 800, 600);
        QVERIFY2(!overlay.isEmpty(), qPrintable(browser.lastError()));
        QVERIFY(browser.evaluate(overlay, "const obs = document.createElement('style'); obs.textContent = 'body { "
                                          "background-color: rgba(0,0,0,0); margin: 0px auto; overflow: hidden; }';"
                                          "document.head.appendChild(obs); true"));
        const QString runs = "document.querySelector('#home .runs .led:last-child').dataset.digit === '%1'";
        GameState game;
        game.home.inning(1) = 7;
        m_server.publishGame(game);
        QVERIFY(browser.waitUntil(overlay, runs.arg(7), 10s));
        // The scorebug in the bottom right corner of the source.
        QVERIFY(browser.evaluate(overlay, "const r = document.getElementById('bug').getBoundingClientRect();"
                                          "r.right <= 800 && r.bottom <= 600 && r.left > 400 && r.top > 300")
                == QJsonValue(true));
        // Served afresh, the page finds the program again by itself.
        m_server.stop();
        game.home.inning(1) = 4;
        m_server.publishGame(game);
        QVERIFY(m_server.start(settings()));
        QVERIFY(browser.waitUntil(overlay, runs.arg(4), 10s));
        const QString board = browser.open(QString::fromLatin1("http://" + m_host + "/board"), 800, 600);
        QVERIFY(browser.waitUntil(board, "document.getElementById('ledHome-1').dataset.digit === '4' && "
                                         "document.getElementById('ledHomeRuns-0').dataset.digit === '4'", 10s));
    }
};

QTEST_MAIN(TestStream)
#include "tst_stream.moc"
