#include "board/ScoreBoard.h"
#include "settings/SettingsStore.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("Quorvane"));

    LoadBoardSettings(SettingsDefaults::StartScreen);
    ScoreBoard board;
    board.show();
    return QApplication::exec();
}
