// Stands in for the browser and the mail program in the tests: the shell
// starts it for every link, and it writes the link into "opened-links.txt"
// beside itself, one a line.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string file(path);
  file = file.substr(0, file.find_last_of('\\') + 1) + "opened-links.txt";
  std::ofstream out(file, std::ios::app | std::ios::binary);
  for (int i = 1; i < __argc; ++i) out << __argv[i] << "\r\n";
  return 0;
}
