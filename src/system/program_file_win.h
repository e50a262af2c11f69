// The running program file, as the settings file and the title need it.
#pragma once

#include <string>

#include "base/text.h"

namespace tarvik::fw {

// Its full path in UTF-16, however long, so that a folder in any script
// (C:\Users\Сергей on an English Windows) is named right.
std::wstring ProgramFilePath();

// The program's title from that path ("Tarvik" for TARVIK.EXE), taken from
// the name in Windows-1251: a character the page lacks becomes "?".
Text ProgramFileTitle();

}  // namespace tarvik::fw
