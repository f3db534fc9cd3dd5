// A process for the process page's tests to list, end and change: it waits
// for the process whose id it is given and ends with it (five minutes at
// most), so a failed test leaves nothing running.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const DWORD parentId = static_cast<DWORD>(std::strtoul(commandLine, nullptr, 10));
  HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, parentId);
  if (!parent) return 1;
  WaitForSingleObject(parent, 5 * 60 * 1000);
  CloseHandle(parent);
  return 0;
}
