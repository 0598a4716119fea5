#include "core/StreamServicePlugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPluginLoader>

StreamServicePlugin *StreamServicePlugin::instance(QString *problem)
{
    static QPluginLoader loader;
    static StreamServicePlugin *loaded = [] {
        const QString fileName = QStringLiteral(QUORVANE_STREAM_PLUGIN_FILE);
        const QDir program(QCoreApplication::applicationDirPath());
        for (const QString &candidate : {program.filePath(QStringLiteral(QUORVANE_PLUGIN_DIR) + u'/' + fileName),
                                         program.filePath(fileName)}) {
            if (QFile::exists(candidate)) {
                loader.setFileName(candidate);
                break;
            }
        }
        // Not found in either: Qt looks in its library paths (QT_PLUGIN_PATH).
        if (loader.fileName().isEmpty())
            loader.setFileName(fileName);
        return qobject_cast<StreamServicePlugin *>(loader.instance());
    }();
    if (!loaded && problem)
        *problem = QCoreApplication::translate("StreamServicePlugin", "The overlay server could not be loaded: %1")
                       .arg(loader.errorString());
    return loaded;
}
