#include "startscreen/StartScreen.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("Quorvane"));

    auto *startScreen = new StartScreen; // deletes itself when it closes
    startScreen->show();
    return QApplication::exec();
}
