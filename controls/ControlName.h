#pragma once

#include <QString>

// Controls carry their design names as object names; an element of a control
// array is written with its index, as in "ledHome(3)".
namespace ControlName {

QString element(const QString &arrayName, int index);

struct Parsed {
    QString base;
    int index = -1; // -1: a single control, not an array element
};

// "ledHome(3)" gives {"ledHome", 3}; "Shape1" gives {"Shape1", -1}.
Parsed parse(const QString &objectName);

} // namespace ControlName
