#include "controls/ControlName.h"

namespace ControlName {

QString element(const QString &arrayName, int index)
{
    return QStringLiteral("%1(%2)").arg(arrayName).arg(index);
}

Parsed parse(const QString &objectName)
{
    const qsizetype open = objectName.indexOf(u'(');
    if (open <= 0 || !objectName.endsWith(u')'))
        return {objectName, -1};
    bool ok = false;
    const int index = objectName.mid(open + 1, objectName.size() - open - 2).toInt(&ok);
    if (!ok || index < 0)
        return {objectName, -1};
    return {objectName.left(open), index};
}

} // namespace ControlName
