#include "board/ProgramBoard.h"

#include "board/ScoreBoard.h"

#include <QCoreApplication>
#include <QPointer>

namespace ProgramBoard {

ScoreBoard &get()
{
    static QPointer<ScoreBoard> board;
    if (!board) {
        board = new ScoreBoard;
        // Windows must go before the application object does.
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, board,
                         &QObject::deleteLater);
    }
    return *board;
}

} // namespace ProgramBoard
