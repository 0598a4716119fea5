#pragma once

#include <QVariant>

#include <optional>

class QObject;

// Reaching a control's property by its name. Qt's setProperty() on a name the
// class does not declare silently creates a dynamic property; here that counts
// as "the control lacks the property".
namespace Properties {

bool has(const QObject *object, const char *name);
std::optional<QVariant> read(const QObject *object, const char *name);
// False when the object lacks the property, it is read-only, or it refuses the value.
bool write(QObject *object, const char *name, const QVariant &value);

} // namespace Properties
