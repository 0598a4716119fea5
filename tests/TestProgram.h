#pragma once

#include "app/Program.h"

// The program as a test process drives it: one for the whole process, as the
// real program has. Tests delete its windows when they clean up; the program
// itself lives to the end of the process.
inline Program &program()
{
    static auto *const instance = new Program;
    return *instance;
}
