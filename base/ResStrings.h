#pragma once
// Texts of the program's string table.
#include <string>

// The string `id` of the running module's string table, in the ANSI code page.
std::string LoadStr(unsigned id);
