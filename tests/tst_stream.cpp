#include "BoardDriver.h"
#include "HeadlessChromium.h"
#include "ModalAnswerer.h"
#include "PrivateSettings.h"
#include "TestProgram.h"

#include "core/StreamSettings.h"
#include "stream/AllowedHosts.h"
#include "stream/StreamServer.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QLabel>
#include <QNetworkInterface>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTcpServer>
#include <QWebSocket>

namespace {

using namespace std::chrono_literals;

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
        const bool complete = QTest::qWaitFor([&] {
            in += socket.readAll();
            const qsizetype end = in.indexOf("\r\n\r\n");
            reply.head = in.left(end), reply.body = in.mid(end + 4);
            const QByteArray length = reply.header("Content-Length");
            const bool whole = end >= 0 && (length.isNull() || reply.body.size() >= length.toInt());
            return socket.state() == QAbstractSocket::UnconnectedState || (whole && reply.header("Connection") != "close");
        }, 5000);
        reply.status = complete ? in.split(' ').value(1).toInt() : 0;
        return reply;
    }
    QJsonValue state() const { return QJsonDocument::fromJson(fetch(get("/state.json")).body).object(); }

private Q_SLOTS:
    void init()
    {
        QTcpServer probe; // a port free now
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        m_port = probe.serverPort();
        probe.close();
        m_host = "127.0.0.1:" + QByteArray::number(m_port);
        QVERIFY(m_server.start(settings()));
    }
    void cleanup() { m_server.stop(), PrivateSettings::clear(); }

    void settingsFromTheStore()
    {
        const struct { QByteArray stored; StreamSettings read; } rows[] = {
            {"Enabled=1\nPort= 1024 \nAllowNetwork=true", {true, 1024, true}}, {"Port=80", {false, 8765, false}},
            {"Enabled=yes\nPort=65536\nAllowNetwork=maybe", {false, 8765, false}}};
        for (const auto &[stored, read] : rows) {
            PrivateSettings::clear();
            QVERIFY(PrivateSettings::write("[Stream]\n" + stored + "\n"));
            QVERIFY2(LoadStreamSettings() == read, stored);
        }
    }

    // Every route and refusal, and the headers every reply carries.
    void routes()
    {
        const QByteArray html = "text/html", js = "text/javascript", css = "text/css", text = "text/plain";
        const struct { QByteArray request; int status; QByteArray type; } rows[] = {
            {get("/overlay?corner=br&scale=2"), 200, html}, {get("/overlay.js"), 200, js},
            {get("/board.css"), 200, css}, {get("/state.json"), 200, "application/json"}, {get("/admin"), 404, text},
            {"POST /overlay HTTP/1.1\r\nHost: %h\r\nContent-Length: 0\r\n\r\n", 405, text}, {get("/live"), 426, text},
            {get("/overlay", {}, "localhost:%p"), 200, html}, {get("/overlay", {}, "[::1]:%p"), 200, html},
            {get("/state.json", {}, "attacker.example:%p"), 403, text}, // a name rebound to 127.0.0.1
            {get("/state.json", {}, "127.0.0.1:1"), 403, text}, {get("/state.json", {}, "192.168.1.5:%p"), 403, text},
            {"GET /state.json HTTP/1.0\r\n\r\n", 403, text}, {"GET /state.json HTTP/1.1\r\n\r\n", 400, text},
            {"GET / HTTP/1.1\r\nHost: %h\r\nHost: %h\r\n\r\n", 400, text},
            {"GET / HTTP/1.1\r\nHost: %h\r\nContent-Length: 5\r\n\r\nhello", 400, text},
            {get("/overlay", "Cookie: " + QByteArray(9000, 'a') + "\r\n"), 431, text},
            {get("/live", Upgrade), 101, {}}, {get("/live", Upgrade + "Origin: http://localhost:%p\r\n"), 101, {}},
            {get("/live", Upgrade + "Origin: http://attacker.example\r\n"), 403, text},
            {get("/live", Upgrade + "Origin: null\r\n"), 403, text}, // a page opened from a file
            {get("/live", UpgradeOnly + "Sec-WebSocket-Version: 13\r\n"), 400, text}};
        for (const auto &[request, status, type] : rows) {
            const Reply r = fetch(request);
            const QByteArray sent = QByteArray(request).replace("%h", m_host).replace("%p", QByteArray::number(m_port));
            const QByteArray page = "connect-src 'self' ws://" + sent.mid(sent.indexOf("Host: ") + 6).split('\r')[0] + ';';
            const QByteArray policy = r.header("Content-Security-Policy");
            QVERIFY2(r.status == status
                         && (status == 101
                             || (r.header("Content-Type").startsWith(type) && r.header("Cache-Control") == "no-store"
                                 && r.header("Content-Length").toInt() == r.body.size() && policy.startsWith("default-src 'none'")
                                 && r.header("X-Content-Type-Options") == "nosniff" && (status != 405 || r.header("Allow") == "GET")
                                 && (status != 200 || (policy.contains("script-src 'self';") && policy.contains(page))))),
                     sent.left(80) + " got " + r.head);
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
        page.open(QUrl("ws://" + m_host + "/live"));
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
        page.sendTextMessage(QString(2000, u'a')); // a page has nothing that long to say
        QTRY_COMPARE(page.closeCode(), QWebSocketProtocol::CloseCodeTooMuchData);
        const QJsonValue now = state(), played = now["game"], look = now["board"];
        const std::pair<QJsonValue, QJsonValue> rows[] = {{now["seq"], seq + 2},
            {messages[1]["seq"], seq + 1}, {messages[1]["game"], played}, {messages[2]["board"], look},
            {played["atBat"], 23}, {played["home"]["innings"][1], 0}, {played["home"]["innings"][2], QJsonValue::Null},
            {played["home"]["hitsEntry"], QJsonValue::Undefined}, {played["version"], QJsonValue::Undefined},
            {look["formBackColor"], "#563412"}, {look["ledColor"], "#ffff00"}, // red in the low byte; top ignored
            {look["homeText"], "Cubs"}, {look["teamSize"], 19.5}};
        for (const auto &[actual, expected] : rows)
            QCOMPARE(actual, expected);
    }

    void clientsAreCapped()
    {
        std::vector<std::unique_ptr<QWebSocket>> pages;
        while (pages.size() < StreamServer::MaxClients)
            pages.push_back(std::make_unique<QWebSocket>()), pages.back()->open(QUrl("ws://" + m_host + "/live"));
        QTRY_COMPARE_WITH_TIMEOUT(m_server.clientCount(), StreamServer::MaxClients, 10000);
        const Reply refused = fetch(get("/live", Upgrade));
        QVERIFY2(refused.status == 503 && refused.header("Retry-After") == "1", refused.head);
    }

    // Loopback only, unless allowed: this computer's outside address is
    // refused. The address offered then comes through the server's plugin.
    void servesThisComputerOnly()
    {
        const QList<QHostAddress> all = QNetworkInterface::allAddresses();
        const auto outside = std::find_if(all.begin(), all.end(),
            [](const QHostAddress &address) { return !address.isLoopback() && !address.isLinkLocal(); });
        if (outside == all.end())
            QSKIP("This computer has no address but loopback ones.");
        QTcpSocket socket;
        socket.connectToHost(*outside, m_port);
        QVERIFY(!socket.waitForConnected(5000) && socket.error() == QAbstractSocket::ConnectionRefusedError);
        const StreamSettings allowed{true, m_port, true};
        QCOMPARE(allowed.overlayAddress(), allowed.overlayAddress(AllowedHosts::networkAddress()));
    }

    // The program's wiring: a key on the board reaches the pages,
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

        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::LocalHost) && !program().serve({true, other.serverPort(), false}));
        QVERIFY(!program().stream()->isServing() && program().stream()->overlayAddress().isEmpty());
        QCOMPARE(fetch(get("/state.json")).status, 0);
        ModalAnswerer look([&](QWidget *options) {
            // OK even after a failed check, so the options never wait for a hand that is gone.
            const auto ok = qScopeGuard([&] { options->findChild<QPushButton *>("cmdOk")->click(); });
            const auto *problem = options->findChild<QLabel *>("lblStreamProblem");
            QVERIFY(!problem->isHidden() && problem->text().contains(QString::number(other.serverPort()) + " is in use"));
            options->findChild<QSpinBox *>("txtStreamPort")->setValue(m_port);
            options->findChild<QCheckBox *>("chkStreamEnabled")->setChecked(true);
            const QString address = QStringLiteral("http://127.0.0.1:%1/overlay").arg(m_port);
            QVERIFY(problem->isHidden() && options->findChild<QLabel *>("lblStreamAddress")->text() == address);
        });
        drive.type("ledBall(0)", "o");
        QVERIFY(look.answered() && LoadStreamSettings() == settings());
        QCOMPARE(fetch(get("/state.json")).status, 200);
        delete &board;
    }

    // The pages in a real browser, at a streaming program's default 800 x 600.
    void aBrowserFollowsTheBoard()
    {
        if (HeadlessChromium::executable().isEmpty())
            QSKIP("Chromium is not installed (Debian package chromium): the pages were not tried in a browser.");
        HeadlessChromium browser;
        QString error;
        QVERIFY2(browser.start(&error), qPrintable(error));
        const QString overlay = browser.open(QString::fromLatin1("http://" + m_host + "/overlay?corner=br"), 800, 600);
        QVERIFY2(!overlay.isEmpty(), qPrintable(browser.lastError()));
        // Served afresh, the page finds the program again by itself, the game changed meanwhile.
        m_server.stop();
        GameState game;
        game.home.inning(1) = 4;
        m_server.publishGame(game);
        QVERIFY(m_server.start(settings()));
        QVERIFY(browser.waitUntil(overlay, "document.querySelector('#home .runs .led:last-child').dataset.digit === '4'", 10s));
        // The scorebug in the bottom right corner of the source.
        QVERIFY(browser.evaluate(overlay, "const r = document.getElementById('bug').getBoundingClientRect();"
                                          "r.right <= 800 && r.bottom <= 600 && r.left > 400 && r.top > 300")
                == QJsonValue(true));
        const QString board = browser.open(QString::fromLatin1("http://" + m_host + "/board"), 800, 600);
        QVERIFY(browser.waitUntil(board, "document.getElementById('ledHome-1').dataset.digit === '4' && "
                                         "document.getElementById('ledHomeRuns-0').dataset.digit === '4'", 10s));
    }
};

QTEST_MAIN(TestStream)
#include "tst_stream.moc"
