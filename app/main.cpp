#include "app/Program.h"
#include "core/StreamSettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// --help and --version only print, so they must work where no display can be
// opened (a terminal over ssh, a packaging check): they get a core application.
bool onlyPrints(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app = onlyPrints(argc, argv)
        ? std::make_unique<QCoreApplication>(argc, argv)
        : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(QUORVANE_VERSION_MAJOR)
                                                .arg(QUORVANE_VERSION_MINOR)
                                                .arg(QUORVANE_VERSION_PATCH));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A scoreboard for baseball games, kept from the keyboard."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption audience(
        QStringLiteral("audience"),
        QStringLiteral("Opens the audience board at start: full screen on a second screen, "
                       "or beside the board."));
    parser.addOption(audience);
    const QCommandLineOption serve(
        QStringLiteral("serve"),
        QStringLiteral("Serves the overlay to streaming programs in this run, on the stored port."));
    parser.addOption(serve);
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("The port to serve the overlay on in this run (1024 to 65535)."),
                                  QStringLiteral("N"));
    parser.addOption(port);
    parser.process(*app);
    const auto refuse = [](const QString &what) {
        std::fputs(qPrintable(QStringLiteral("%1: %2\n").arg(QCoreApplication::applicationName(), what)), stderr);
        return 1;
    };
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));

    StreamSettings stream = LoadStreamSettings();
    stream.Enabled = stream.Enabled || parser.isSet(serve);
    if (parser.isSet(port)) {
        const auto chosen = StreamSettings::portFromText(parser.value(port));
        if (!chosen) {
            return refuse(QStringLiteral("The port must be a number from %1 to %2, not '%3'.")
                              .arg(StreamSettings::LowestPort)
                              .arg(StreamSettings::HighestPort)
                              .arg(parser.value(port)));
        }
        stream.Port = *chosen;
    }

    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorvane.Quorvane"));

    Program program;
    // The icon is drawn from an SVG, which takes a plugin and the vector
    // renderer: the start screen comes on screen first.
    program.start([] {
        QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/org.quorvane.Quorvane.svg")));
    });
    if (parser.isSet(audience))
        program.openAudience();
    // A port that is taken leaves the board running, and says so.
    if (stream.Enabled)
        program.serve(stream);
    const int code = QCoreApplication::exec();
    program.finish();
    return code;
}
