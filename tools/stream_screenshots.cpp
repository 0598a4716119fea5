#include "ScreenshotSetup.h"
#include "HeadlessChromium.h"

#include "core/BoardSettings.h"
#include "core/GameState.h"
#include "core/SettingsStore.h"
#include "stream/StreamServer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QTcpServer>

#include <cstdio>

// Renders the stream pages in a headless Chromium, as a streaming program
// shows them, for the documentation:
//   quorvane_stream_screenshots OUTPUT_FOLDER
// The scorebug is composited over a ballpark drawn here, the board is shown
// whole. Chromium's text rendering differs between machines, so these pictures
// are not part of the screenshot check.
namespace {

using namespace std::chrono_literals;

constexpr int Width = 1920;
constexpr int Height = 1080;

// OBS Studio adds this to every browser source.
const QString ObsStyle = QStringLiteral(
    "const obs = document.createElement('style');"
    "obs.textContent = 'body { background-color: rgba(0,0,0,0); margin: 0px auto; overflow: hidden; }';"
    "document.head.appendChild(obs); true");

// A ballpark seen from behind home plate: sky, stands, a mown outfield and the
// infield's dirt. Drawn, so the picture is the program's own.
QImage ballpark()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 330);
    sky.setColorAt(0, QColor(0x4f, 0x8f, 0xd8));
    sky.setColorAt(1, QColor(0xc4, 0xdf, 0xf4));
    p.fillRect(0, 0, Width, 330, sky);

    // Stands: rows of seats with people dotted over them.
    p.fillRect(0, 250, Width, 150, QColor(0x2b, 0x32, 0x3c));
    QRandomGenerator dots(1876);
    const QColor shirts[] = {QColor(0xd9, 0x3b, 0x3b), QColor(0xf2, 0xf2, 0xf2), QColor(0x2f, 0x5f, 0xb3),
        QColor(0xe8, 0xc5, 0x4a), QColor(0x6b, 0x6b, 0x6b)};
    for (int row = 0; row < 9; ++row) {
        for (int x = int(dots.bounded(14)); x < Width; x += 10 + int(dots.bounded(12)))
            p.fillRect(x, 258 + row * 15, 6, 9, shirts[dots.bounded(5)]);
    }
    p.fillRect(0, 392, Width, 16, QColor(0x1d, 0x4f, 0x2e)); // the outfield wall

    // Outfield grass, mown in bands that widen towards the camera.
    for (int band = 0; band < 12; ++band) {
        const double top = 408 + 672.0 * (band * band) / 144.0;
        const double bottom = 408 + 672.0 * ((band + 1) * (band + 1)) / 144.0;
        p.fillRect(QRectF(0, top, Width, bottom - top + 1),
            band % 2 ? QColor(0x3d, 0x8b, 0x3d) : QColor(0x4a, 0x9e, 0x45));
    }

    // The infield: a dirt arc, its grass, the bases and the lines.
    QPainterPath dirt;
    dirt.moveTo(Width / 2.0, 1180);
    dirt.lineTo(-200, 760);
    dirt.quadTo(Width / 2.0, 430, Width + 200, 760);
    dirt.closeSubpath();
    p.fillPath(dirt, QColor(0xb9, 0x83, 0x52));
    QPainterPath grass;
    grass.moveTo(Width / 2.0, 1040);
    grass.lineTo(560, 760);
    grass.lineTo(Width / 2.0, 610);
    grass.lineTo(Width - 560, 760);
    grass.closeSubpath();
    p.fillPath(grass, QColor(0x47, 0x99, 0x42));
    p.setPen(QPen(Qt::white, 5));
    p.drawLine(QPointF(Width / 2.0, 1040), QPointF(-400, 560));
    p.drawLine(QPointF(Width / 2.0, 1040), QPointF(Width + 400, 560));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (const QPointF base : {QPointF(560, 760), QPointF(Width / 2.0, 610), QPointF(Width - 560, 760)})
        p.drawRect(QRectF(base - QPointF(14, 9), QSizeF(28, 18)));
    p.setBrush(QColor(0xa8, 0x74, 0x46));
    p.drawEllipse(QPointF(Width / 2.0, 790), 70, 34); // the mound
    return image;
}

// The middle of a game, as the program's own screenshots play it.
GameState someInnings()
{
    GameState game;
    const int home[] = {1, 0, 2, 0, 0, 3};
    const int visitor[] = {0, 0, 1, 1, 0, 0, 2};
    for (int i = 0; i < 6; ++i)
        game.home.inning(i + 1) = home[i];
    for (int i = 0; i < 7; ++i)
        game.visitor.inning(i + 1) = visitor[i];
    game.atBat = 23;
    game.balls = 3;
    game.strikes = 2;
    game.outs = 1;
    game.home.hits = 11;
    game.visitor.hits = 7;
    game.home.errors = 1;
    game.visitor.errors = 2;
    return game;
}

class Shooter
{
public:
    Shooter(HeadlessChromium &browser, const QDir &output, quint16 port)
        : m_browser(browser)
        , m_output(output)
        , m_base(QStringLiteral("http://127.0.0.1:%1").arg(port))
    {
    }

    // The page at the size once it shows ready, with OBS's style added;
    // transparent where the page is.
    QImage shoot(const QString &path, const QString &ready, QSize size = QSize(Width, Height))
    {
        const QString tab = m_browser.open(m_base + path, size.width(), size.height());
        const QJsonObject clear {{QStringLiteral("r"), 0}, {QStringLiteral("g"), 0}, {QStringLiteral("b"), 0},
            {QStringLiteral("a"), 0}};
        if (tab.isEmpty()
            || !m_browser.call(tab, QStringLiteral("Emulation.setDefaultBackgroundColorOverride"),
                {{QStringLiteral("color"), clear}})
            || !m_browser.evaluate(tab, ObsStyle) || !m_browser.waitUntil(tab, ready, 10s)
            || !m_browser.evaluate(tab, QStringLiteral("document.fonts.ready.then(() => true)"))) {
            return fail(path);
        }
        const auto shot = m_browser.call(tab, QStringLiteral("Page.captureScreenshot"),
            {{QStringLiteral("format"), QStringLiteral("png")}});
        m_browser.call({}, QStringLiteral("Target.closeTarget"), {{QStringLiteral("targetId"), tab}});
        if (!shot)
            return fail(path);
        return QImage::fromData(
            QByteArray::fromBase64(shot->value(QStringLiteral("data")).toString().toLatin1()), "PNG");
    }

    void save(const QImage &image, const QString &name, QSize size = QSize(Width, Height))
    {
        const QString file = m_output.filePath(name + QStringLiteral(".png"));
        if (image.size() != size || !image.save(file, "PNG", 0)) {
            std::fprintf(stderr, "could not make %s\n", qPrintable(file));
            ++failures;
            return;
        }
        std::printf("%s\n", qPrintable(file));
    }

    int failures = 0;

private:
    QImage fail(const QString &path)
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(m_browser.lastError()));
        return {};
    }

    HeadlessChromium &m_browser;
    QDir m_output;
    QString m_base;
};

QImage over(const QImage &background, const QImage &overlay)
{
    QImage out = background.scaled(overlay.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter p(&out);
    p.drawImage(0, 0, overlay);
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDir output;
    if (const auto refused = refuseOutput(QApplication::arguments(), output))
        return *refused;
    LoadBoardSettings(SettingsDefaults::StartScreen);

    HeadlessChromium browser;
    QString error;
    if (!browser.start(&error)) {
        std::fprintf(stderr, "Chromium: %s\n", qPrintable(error));
        return 1;
    }
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    StreamServer server;
    if (!server.start({true, port, false}, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    server.publishGame(someInnings());

    Shooter shooter(browser, output, port);
    const QImage field = ballpark();
    const QString bugReady
        = QStringLiteral("!document.getElementById('bug').classList.contains('waiting')"
                         " && document.querySelector('#home .runs .led:last-child').dataset.digit === '6'");
    shooter.save(over(field, shooter.shoot(QStringLiteral("/overlay"), bugReady)),
        QStringLiteral("overlay-1920x1080-default"));
    // OBS's default size for a new browser source.
    const QSize obs(800, 600);
    shooter.save(over(field, shooter.shoot(QStringLiteral("/overlay"), bugReady, obs)),
        QStringLiteral("overlay-800x600-default"), obs);
    BoardSettings custom = BoardSettings::shared();
    applyCustomLook(custom);
    server.publishSettings(custom);
    shooter.save(over(field,
                     shooter.shoot(QStringLiteral("/overlay?corner=br&scale=1.25"),
                         bugReady
                             + QStringLiteral(" && document.querySelector('#home .name')"
                                              ".textContent === 'Owls'"))),
        QStringLiteral("overlay-1920x1080-custom-br"));
    shooter.save(shooter.shoot(QStringLiteral("/board"),
                     QStringLiteral("document.getElementById('ledHomeRuns-0').dataset.digit === '6'"
                                    " && document.getElementById('lblHome').textContent === 'Owls'")),
        QStringLiteral("board-1920x1080-custom"));
    return shooter.failures == 0 ? 0 : 1;
}
