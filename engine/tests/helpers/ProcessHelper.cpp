// A program that does nothing for a while: the process-list tests start it,
// find it and end it. It ends by itself after two minutes in case a test
// could not.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Sleep(120000);
  return 0;
}
