#include <windows.h>

#include "Program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return orvane::RunProgram(); }
