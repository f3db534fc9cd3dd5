// Run once before the window tests: the test display has no window manager,
// and Wine waits two seconds for one at every hide of a window it would
// leave to a manager. Wine then places the windows itself. (The setting
// means nothing to Windows.)
#include <windows.h>

int main() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return 1;
  LONG result = RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 0 : 1;
}
