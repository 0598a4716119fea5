#include "core/BoardSettings.h"

BoardSettings &BoardSettings::shared()
{
    static BoardSettings record;
    return record;
}
