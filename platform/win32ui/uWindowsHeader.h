// <windows.h> for this folder. It defines DrawText as a macro (DrawTextA or DrawTextW),
// which would rename the text renderer's DrawText method in every file that sees it; the
// macro is removed, and the system function is called by its explicit name DrawTextW.
#pragma once

#include <windows.h>

#undef DrawText
