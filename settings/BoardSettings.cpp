#include "settings/BoardSettings.h"

BoardSettings &BoardSettings::shared()
{
    static BoardSettings record;
    return record;
}
