#include "app/Program.h"

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
    parser.process(*app);
    if (!parser.positionalArguments().isEmpty()) {
        const QString message = QStringLiteral("%1: Unexpected argument '%2'.\n")
                                    .arg(QCoreApplication::applicationName(), parser.positionalArguments().first());
        std::fputs(qPrintable(message), stderr);
        return 1;
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
    const int code = QCoreApplication::exec();
    program.finish();
    return code;
}
