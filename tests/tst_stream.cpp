#include "BoardDriver.h"
#include "HeadlessChromium.h"
#include "ModalAnswerer.h"
#include "PrivateSettings.h"
#include "TestProgram.h"

#include "core/StreamSettings.h"
#include "stream/StreamServer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebSocket>

namespace {

using namespace std::chrono_literals;

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

struct Reply {
    int status = 0;
    QByteArray head;
    QByteArray body;
    bool closed = false;

    QByteArray header(const QByteArray &name) const
    {
        for (const QByteArray &line : head.split('\n')) {
            if (line.toLower().startsWith(name.toLower() + ':'))
                return line.mid(name.size() + 1).trimmed();
        }
        return {};
    }
};

// Sends raw bytes and reads one reply, head and body, or what came before the
// server closed the connection.
Reply exchange(quint16 port, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(request);
    Reply reply;
    QByteArray in;
    const bool complete = QTest::qWaitFor(
        [&] {
            in += socket.readAll();
            reply.closed = socket.state() == QAbstractSocket::UnconnectedState;
            const qsizetype end = in.indexOf("\r\n\r\n");
            if (end < 0)
                return reply.closed;
            reply.head = in.left(end);
            reply.body = in.mid(end + 4);
            const QByteArray length = reply.header("Content-Length");
            const bool whole = length.isNull() || reply.body.size() >= length.toInt();
            return reply.closed || (whole && reply.header("Connection") != "close");
        },
        5000);
    reply.status = complete ? in.split(' ').value(1).toInt() : 0;
    return reply;
}

QByteArray get(const QByteArray &path, const QByteArray &host, const QByteArray &extra = {})
{
    return "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n" + extra + "Connection: close\r\n\r\n";
}

const QByteArray UpgradeOnly = "Connection: Upgrade\r\nUpgrade: websocket\r\n";
const QByteArray Upgrade
    = UpgradeOnly + "Sec-WebSocket-Version: 13\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";

// A frame as a page sends it: final, masked.
QByteArray pageFrame(quint8 opcode, const QByteArray &payload)
{
    QByteArray out(1, char(0x80 | opcode));
    if (payload.size() < 126) {
        out += char(0x80 | payload.size());
    } else {
        out += char(0x80 | 126);
        out += char(payload.size() >> 8);
        out += char(payload.size() & 0xFF);
    }
    const QByteArray mask = "\x11\x22\x33\x44";
    out += mask;
    for (qsizetype i = 0; i < payload.size(); ++i)
        out += char(payload[i] ^ mask[i % 4]);
    return out;
}

QJsonValue at(QJsonValue value, const QString &path)
{
    for (const QString &step : path.split(u'/')) {
        bool index = false;
        const int i = step.toInt(&index);
        value = index ? value.toArray().at(i) : value.toObject().value(step);
    }
    return value;
}

GameState someGame()
{
    GameState game;
    game.atBat = 23;
    game.balls = 3;
    game.outs = 2;
    game.home.inning(1) = 3;
    game.home.inning(2) = 0;
    game.home.hits = 11;
    game.home.hitsEntry = QStringLiteral("1");
    game.visitor.errors = 4;
    return game;
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

    void settingsFromTheStore_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("network");
        QTest::newRow("none") << QByteArray() << false << 8765 << false;
        QTest::newRow("written") << QByteArray("Enabled=true\nPort=9000\nAllowNetwork=true") << true << 9000
                                 << true;
        QTest::newRow("by another program")
            << QByteArray("Enabled=1\nPort= 1024 \nAllowNetwork=0") << true << 1024 << false;
        QTest::newRow("port too low") << QByteArray("Port=80") << false << 8765 << false;
        QTest::newRow("port too high") << QByteArray("Port=65536") << false << 8765 << false;
        QTest::newRow("not numbers") << QByteArray("Enabled=yes\nPort=-9000\nAllowNetwork=maybe") << false
                                     << 8765 << false;
    }
    void settingsFromTheStore()
    {
        QFETCH(QByteArray, stored);
        PrivateSettings::clear();
        QVERIFY(PrivateSettings::write("[Stream]\n" + stored + "\n"));
        const StreamSettings read = LoadStreamSettings();
        QTEST(read.Enabled, "enabled");
        QTEST(read.Port, "port");
        QTEST(read.AllowNetwork, "network");
        PrivateSettings::clear();
    }
    void settingsSavedReadBack()
    {
        PrivateSettings::clear();
        QVERIFY(SaveStreamSettings({true, 4242, true}).ok);
        QCOMPARE(LoadStreamSettings(), (StreamSettings {true, 4242, true}));
        QVERIFY(
            PrivateSettings::contents().contains("[Stream]\nAllowNetwork=true\nEnabled=true\nPort=4242\n"));
        PrivateSettings::clear();
    }

    // Every route and refusal, and the headers every reply carries.
    void routes_data()
    {
        QTest::addColumn<QByteArray>("request"); // %h: the server's Host
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("type");
        const QByteArray h = "%h";
        const QByteArray text = "text/plain";
        QTest::newRow("overlay") << get("/overlay?corner=br&scale=2", h) << 200 << QByteArray("text/html");
        QTest::newRow("overlay script") << get("/overlay.js", h) << 200 << QByteArray("text/javascript");
        QTest::newRow("overlay style") << get("/overlay.css", h) << 200 << QByteArray("text/css");
        QTest::newRow("digits") << get("/led.js", h) << 200 << QByteArray("text/javascript");
        QTest::newRow("board") << get("/board", h) << 200 << QByteArray("text/html");
        QTest::newRow("board script") << get("/board.js", h) << 200 << QByteArray("text/javascript");
        QTest::newRow("board style") << get("/board.css", h) << 200 << QByteArray("text/css");
        QTest::newRow("state") << get("/state.json", h) << 200 << QByteArray("application/json");
        QTest::newRow("unknown") << get("/admin", h) << 404 << text;
        QTest::newRow("post") << QByteArray("POST /overlay HTTP/1.1\r\nHost: %h\r\nContent-Length: 0\r\n\r\n")
                              << 405 << text;
        QTest::newRow("head") << QByteArray("HEAD /board HTTP/1.1\r\nHost: %h\r\n\r\n") << 405 << text;
        QTest::newRow("live without upgrade") << get("/live", h) << 426 << text;
        QTest::newRow("localhost") << get("/overlay", "localhost:%p") << 200 << QByteArray("text/html");
        QTest::newRow("ipv6 loopback") << get("/overlay", "[::1]:%p") << 200 << QByteArray("text/html");
        QTest::newRow("rebound name") << get("/state.json", "attacker.example:%p") << 403 << text;
        QTest::newRow("other port") << get("/state.json", "127.0.0.1:1") << 403 << text;
        QTest::newRow("no port") << get("/state.json", "localhost") << 403 << text;
        QTest::newRow("network address") << get("/state.json", "192.168.1.5:%p") << 403 << text;
        QTest::newRow("no host, 1.0") << QByteArray("GET /state.json HTTP/1.0\r\n\r\n") << 403 << text;
        QTest::newRow("no host, 1.1") << QByteArray("GET /state.json HTTP/1.1\r\n\r\n") << 400 << text;
        QTest::newRow("two hosts") << QByteArray("GET / HTTP/1.1\r\nHost: %h\r\nHost: %h\r\n\r\n") << 400
                                   << text;
        QTest::newRow("body") << QByteArray("GET / HTTP/1.1\r\nHost: %h\r\nContent-Length: 5\r\n\r\nhello")
                              << 400 << text;
        QTest::newRow("garbage") << QByteArray("\x16\x03\x01 hello\r\n\r\n") << 400 << text;
        QTest::newRow("live, no origin") << get("/live", h, Upgrade) << 101 << QByteArray();
        QTest::newRow("live, own page")
            << get("/live", h, Upgrade + "Origin: http://localhost:%p\r\n") << 101 << QByteArray();
        QTest::newRow("live, other site")
            << get("/live", h, Upgrade + "Origin: http://attacker.example\r\n") << 403 << text;
        QTest::newRow("live, file page") << get("/live", h, Upgrade + "Origin: null\r\n") << 403 << text;
        QTest::newRow("live, old version") << get("/live", h,
            UpgradeOnly + "Sec-WebSocket-Version: 8\r\nSec-WebSocket-Key: AAAAAAAAAAAAAAAAAAAAAA==\r\n")
                                           << 426 << text;
        QTest::newRow("live, no key")
            << get("/live", h, UpgradeOnly + "Sec-WebSocket-Version: 13\r\n") << 400 << text;
        QTest::newRow("live, other port")
            << get("/live", h, Upgrade + "Origin: http://127.0.0.1:1\r\n") << 403 << text;
    }
    void routes()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, type);
        request.replace("%h", m_host).replace("%p", QByteArray::number(m_port));
        const Reply reply = exchange(m_port, request);
        QTEST(reply.status, "status");
        if (reply.status == 101)
            return;
        QVERIFY2(reply.header("Content-Type").startsWith(type), reply.head);
        QCOMPARE(reply.header("Content-Length").toInt(), reply.body.size());
        QCOMPARE(reply.header("Cache-Control"), "no-store");
        QCOMPARE(reply.header("X-Content-Type-Options"), "nosniff");
        const QByteArray policy = reply.header("Content-Security-Policy");
        QVERIFY2(policy.startsWith("default-src 'none'"), policy);
        if (reply.status == 200) {
            const QByteArray host = request.mid(request.indexOf("Host: ") + 6).split('\r').at(0);
            QVERIFY2(policy.contains("script-src 'self';")
                    && policy.contains("connect-src 'self' ws://" + host + ";"),
                policy);
        }
        if (reply.status == 405)
            QCOMPARE(reply.header("Allow"), "GET");
    }

    void stateFollowsTheGameAndTheOptions_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("expected"); // JSON text; empty: absent
        QTest::newRow("version") << "version" << QByteArray("1");
        QTest::newRow("at bat") << "game/atBat" << QByteArray("23");
        QTest::newRow("count") << "game/balls" << QByteArray("3");
        QTest::newRow("inning played") << "game/home/innings/0" << QByteArray("3");
        QTest::newRow("inning scoreless") << "game/home/innings/1" << QByteArray("0");
        QTest::newRow("inning to come") << "game/home/innings/2" << QByteArray("null");
        QTest::newRow("innings") << "game/visitor/innings"
                                 << QByteArray("[null,null,null,null,null,null,null,null,null,null]");
        QTest::newRow("runs") << "game/home/runs" << QByteArray("3");
        QTest::newRow("errors") << "game/visitor/errors" << QByteArray("4");
        QTest::newRow("no entry texts") << "game/home/hitsEntry" << QByteArray();
        QTest::newRow("no game version") << "game/version" << QByteArray();
        QTest::newRow("red low byte") << "board/formBackColor" << QByteArray("\"#563412\"");
        QTest::newRow("top byte ignored") << "board/ledColor" << QByteArray("\"#ffff00\"");
        QTest::newRow("name") << "board/homeText" << QByteArray("\"Cubs\"");
        QTest::newRow("size") << "board/teamSize" << QByteArray("19.5");
    }
    void stateFollowsTheGameAndTheOptions()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, expected);
        BoardSettings board;
        board.FormBackColor = 0x123456;
        board.LEDColor = int(0xFF00FFFFu);
        board.HomeText = QStringLiteral("Cubs");
        board.TeamSize = FixedPoint::fromUnits(195000);
        m_server.publishGame(someGame());
        m_server.publishSettings(board);
        const Reply reply = exchange(m_port, get("/state.json", m_host));
        const QJsonValue value = at(QJsonDocument::fromJson(reply.body).object(), path);
        if (expected.isEmpty())
            QVERIFY(value.isUndefined());
        else
            QCOMPARE(value, QJsonDocument::fromJson("[" + expected + "]").array().at(0));
    }

    void liveSendsAtOnceAndEveryChange()
    {
        QWebSocket page;
        QList<QJsonObject> messages;
        connect(&page, &QWebSocket::textMessageReceived, this,
            [&](const QString &text) { messages.append(QJsonDocument::fromJson(text.toUtf8()).object()); });
        page.open(QUrl(QStringLiteral("ws://%1/live").arg(QString::fromLatin1(m_host))));
        QTRY_COMPARE(messages.size(), 1);
        const double seq = messages[0].value("seq").toDouble();
        QCOMPARE(
            at(QJsonDocument::fromJson(exchange(m_port, get("/state.json", m_host)).body).object(), "seq"),
            seq);

        GameState game = someGame();
        m_server.publishGame(game);
        game.home.hitsEntry = QStringLiteral("12"); // typed, not yet entered: nothing shows
        m_server.publishGame(game);
        BoardSettings board = BoardSettings::shared();
        board.TitleText = QStringLiteral("Final");
        m_server.publishSettings(board);
        m_server.publishSettings(board);
        QTRY_COMPARE(messages.size(), 3);
        QCOMPARE(messages[1].value("seq").toDouble(), seq + 1);
        QCOMPARE(at(messages[1], "game/atBat").toInt(), 23);
        QCOMPARE(messages[2].value("seq").toDouble(), seq + 2);
        QSignalSpy pong(&page, &QWebSocket::pong);
        page.ping("still there?");
        QVERIFY(pong.wait(5000));
        QCOMPARE(at(messages[2], "board/titleText").toString(), "Final");
        QCOMPARE(m_server.clientCount(), 1);
    }

    // What a page may send, and what it gets back after the board's state.
    void framesFromPages_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answer"); // a close: its opcode and code
        QTest::addColumn<bool>("closed");
        QTest::newRow("ping") << pageFrame(0x9, "hi") << QByteArray("\x8a\x02hi") << false;
        QTest::newRow("text, then ping")
            << pageFrame(0x1, "hello") + pageFrame(0x9, "") << QByteArray("\x8a\x00", 2) << false;
        QTest::newRow("close") << pageFrame(0x8, "\x03\xe8") << QByteArray("\x88\x03\xe8") << true;
        QTest::newRow("unmasked") << QByteArray("\x81\x02hi") << QByteArray("\x88\x03\xea") << true;
        QTest::newRow("reserved opcode") << pageFrame(0x3, "") << QByteArray("\x88\x03\xea") << true;
        QTest::newRow("too large") << pageFrame(0x1, QByteArray(2000, 'a')) << QByteArray("\x88\x03\xf1")
                                   << true;
    }
    void framesFromPages()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, answer);
        QTcpSocket page;
        page.connectToHost(QHostAddress::LocalHost, m_port);
        page.write(get("/live", m_host, Upgrade));
        QByteArray in;
        QVERIFY(QTest::qWaitFor([&] { return (in += page.readAll()).contains("\r\n\r\n\x81"); }, 5000));
        // The first message: the board as it is, in a text frame.
        const qsizetype state = in.indexOf("\r\n\r\n") + 4;
        QVERIFY(QTest::qWaitFor([&] { return (in += page.readAll()).size() >= state + 4; }, 5000));
        const int length = (quint8(in[state + 2]) << 8) | quint8(in[state + 3]);
        QVERIFY(QTest::qWaitFor([&] { return (in += page.readAll()).size() >= state + 4 + length; }, 5000));
        in.remove(0, state + 4 + length);

        page.write(sent);
        const bool close = answer.startsWith('\x88');
        QVERIFY(
            QTest::qWaitFor([&] { return (in += page.readAll()).size() >= answer.size() + close; }, 5000));
        if (close)
            in.remove(1, 1); // the length, which counts the reason's words
        QCOMPARE(in.left(answer.size()).toHex(' '), answer.toHex(' '));
        QFETCH(bool, closed);
        QCOMPARE(page.waitForDisconnected(closed ? 5000 : 100), closed);
    }

    void clientsAreCapped()
    {
        std::vector<std::unique_ptr<QWebSocket>> pages;
        for (int i = 0; i < StreamServer::MaxClients; ++i) {
            pages.push_back(std::make_unique<QWebSocket>());
            pages.back()->open(QUrl(QStringLiteral("ws://%1/live").arg(QString::fromLatin1(m_host))));
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_server.clientCount(), StreamServer::MaxClients, 10000);
        const Reply refused = exchange(m_port, get("/live", m_host, Upgrade));
        QCOMPARE(refused.status, 503);
        QCOMPARE(refused.header("Retry-After"), "1");
        pages.pop_back();
        QTRY_COMPARE(m_server.clientCount(), StreamServer::MaxClients - 1);
        QCOMPARE(exchange(m_port, get("/live", m_host, Upgrade)).status, 101);
    }

    void oversizedHeadIsRefused()
    {
        const QByteArray head
            = "GET /overlay HTTP/1.1\r\nHost: " + m_host + "\r\nCookie: " + QByteArray(9000, 'a');
        const Reply reply = exchange(m_port, head);
        QCOMPARE(reply.status, 431);
        QVERIFY(reply.closed);
    }

    // Connections opened and dropped, half of them with garbage, more than
    // the server keeps at once: it still answers at once afterwards.
    void floodLeavesTheServerAnswering()
    {
        std::vector<std::unique_ptr<QTcpSocket>> flood;
        for (int i = 0; i < 2 * StreamServer::MaxConnections; ++i) {
            flood.push_back(std::make_unique<QTcpSocket>());
            flood.back()->connectToHost(QHostAddress::LocalHost, m_port);
            if (i % 2)
                flood.back()->write("\x01\x02 junk\r\n\r\n");
            else
                flood.back()->write("GET /overlay HTTP/1.1\r\nHost: ");
        }
        QTest::qWait(200);
        flood.resize(flood.size() / 2);
        QCOMPARE(exchange(m_port, get("/state.json", m_host)).status, 200);
    }


    void servesThisComputerOnly()
    {
        QHostAddress outside;
        for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
            if (!address.isLoopback() && !address.isLinkLocal()) {
                outside = address;
                break;
            }
        }
        if (outside.isNull())
            QSKIP("This computer has no address but loopback ones.");
        QTcpSocket socket;
        socket.connectToHost(outside, m_port);
        QVERIFY(QTest::qWaitFor(
            [&] {
                return socket.state() != QAbstractSocket::ConnectingState
                    && socket.state() != QAbstractSocket::HostLookupState;
            },
            5000));
        QCOMPARE(socket.error(), QAbstractSocket::ConnectionRefusedError);

        QString error;
        QVERIFY2(m_server.start({true, m_port, true}, &error), qPrintable(error));
        const QByteArray own
            = (outside.protocol() == QAbstractSocket::IPv6Protocol ? '[' + outside.toString().toLatin1() + ']'
                                                                   : outside.toString().toLatin1())
            + ':' + QByteArray::number(m_port);
        QCOMPARE(exchange(m_port, get("/state.json", own)).status, 200);
    }


    // The program's wiring: a key and an undo on the board reach the
    // pages, and a taken port is said in the options.
    void theProgramServesWhatTheOperatorDoes()
    {
        m_server.stop();
        QVERIFY(program().serve(settings()));
        ScoreBoard &board = program().board();
        board.show();
        BoardDriver drive(board);
        const auto balls = [&] {
            return at(QJsonDocument::fromJson(exchange(m_port, get("/state.json", m_host)).body).object(),
                "game/balls");
        };
        drive.type("ledBall(0)", "3");
        QTRY_COMPARE(balls(), QJsonValue(3));
        program().history().undoAction()->trigger();
        QTRY_COMPARE(balls(), QJsonValue(0));

        QTcpServer other;
        const quint16 taken = freePort();
        QVERIFY(other.listen(QHostAddress::LocalHost, taken));
        QVERIFY(!program().serve({true, taken, false}));
        QVERIFY(!program().stream()->isServing() && program().stream()->overlayAddress().isEmpty());
        QCOMPARE(exchange(m_port, get("/state.json", m_host)).status, 0);
        ModalAnswerer look([&](QWidget *options) {
            auto *problem = options->findChild<QLabel *>("lblStreamProblem");
            QVERIFY(problem->text().contains(QString::number(taken)) && problem->text().contains(u"in use")
                    && !problem->isHidden());
            // The operator picks a free port: OK serves there at once.
            options->findChild<QSpinBox *>("txtStreamPort")->setValue(m_port);
            options->findChild<QCheckBox *>("chkStreamEnabled")->setChecked(true);
            QVERIFY(problem->isHidden());
            QCOMPARE(options->findChild<QLabel *>("lblStreamAddress")->text(),
                     QStringLiteral("http://127.0.0.1:%1/overlay").arg(m_port));
            auto *network = options->findChild<QCheckBox *>("chkStreamAllowNetwork");
            auto *warning = options->findChild<QLabel *>("lblStreamNetworkWarning");
            network->click();
            QVERIFY(!warning->isHidden());
            network->click();
            QVERIFY(warning->isHidden());
            options->findChild<QPushButton *>("cmdStreamCopy")->click();
            QCOMPARE(QGuiApplication::clipboard()->text(), settings().overlayAddress());
            options->findChild<QPushButton *>("cmdOk")->click();
        });
        drive.type("ledBall(0)", "o");
        QVERIFY(look.answered());
        QCOMPARE(LoadStreamSettings(), settings());
        QCOMPARE(exchange(m_port, get("/state.json", m_host)).status, 200);
        PrivateSettings::clear();
        delete &board;
    }

    // The pages in a real browser, as a streaming program's browser source
    // shows them: OBS's own style added, at its default 800 x 600.
    void aBrowserFollowsTheBoard()
    {
        if (HeadlessChromium::executable().isEmpty())
            QSKIP("Chromium is not installed (Debian package chromium): the pages were not tried in a "
                  "browser.");
        HeadlessChromium browser;
        QString error;
        QVERIFY2(browser.start(&error), qPrintable(error));
        const QString base = QStringLiteral("http://%1").arg(QString::fromLatin1(m_host));
        const QString overlay = browser.open(base + "/overlay?corner=br", 800, 600);
        QVERIFY2(!overlay.isEmpty(), qPrintable(browser.lastError()));
        QVERIFY(browser.evaluate(overlay,
            QStringLiteral("const obs = document.createElement('style');"
                           "obs.textContent = 'body { background-color: rgba(0,0,0,0); margin: 0px auto; "
                           "overflow: hidden; }';"
                           "document.head.appendChild(obs); true")));
        const QString runs
            = QStringLiteral("document.querySelector('#home .runs .led:last-child').dataset.digit === '%1'");
        QVERIFY(browser.waitUntil(overlay, runs.arg(0), 10s));

        GameState game;
        game.home.inning(1) = 7;
        m_server.publishGame(game);
        QVERIFY(browser.waitUntil(overlay, runs.arg(7), 10s));
        const auto box = browser.evaluate(overlay,
            QStringLiteral("const r = document.getElementById('bug').getBoundingClientRect();"
                           "r.right <= 800 && r.bottom <= 600 && r.left > 400 && r.top > 300"));
        QVERIFY2(
            box && box->toBool(), "the scorebug is not in the bottom right corner of an 800 x 600 source");

        // Served afresh, the page finds the program again by itself.
        m_server.stop();
        game.home.inning(1) = 4;
        m_server.publishGame(game);
        QVERIFY(m_server.start(settings()));
        QVERIFY(browser.waitUntil(overlay, runs.arg(4), 10s));

        const QString board = browser.open(base + "/board", 800, 600);
        QVERIFY2(!board.isEmpty(), qPrintable(browser.lastError()));
        QVERIFY(browser.waitUntil(board,
            QStringLiteral("document.getElementById('ledHome-1').dataset.digit === '4'"
                           " && document.getElementById('ledHomeRuns-0').dataset.digit === '4'"),
            10s));
    }
};

QTEST_MAIN(TestStream)
#include "tst_stream.moc"
