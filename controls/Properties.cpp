#include "controls/Properties.h"

#include <QMetaProperty>
#include <QObject>

namespace Properties {

namespace {

std::optional<QMetaProperty> declared(const QObject *object, const char *name)
{
    if (!object)
        return std::nullopt;
    const QMetaObject *meta = object->metaObject();
    const int index = meta->indexOfProperty(name);
    if (index < 0)
        return std::nullopt;
    return meta->property(index);
}

} // namespace

bool has(const QObject *object, const char *name)
{
    return declared(object, name).has_value();
}

std::optional<QVariant> read(const QObject *object, const char *name)
{
    const auto property = declared(object, name);
    if (!property || !property->isReadable())
        return std::nullopt;
    return property->read(object);
}

bool write(QObject *object, const char *name, const QVariant &value)
{
    const auto property = declared(object, name);
    if (!property || !property->isWritable())
        return false;
    return property->write(object, value);
}

} // namespace Properties
