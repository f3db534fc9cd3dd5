// The shell: starting programs by their file and the small icons of
// executables. Tests replace it with a fake, so no test starts or ends the
// desktop shell.
#pragma once

#include <windows.h>

namespace tarnwick::platform {

class ShellLaunch {
 public:
  virtual ~ShellLaunch() = default;

  // ShellExecuteW without a window or a directory, shown normally; gives its
  // result (above 32 on success).
  virtual INT_PTR Execute(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters) = 0;
  // Small icon of a file and its index in the system image list; null when
  // the shell has none. The caller owns the icon. Called on the process
  // list's icon worker (COM initialised there), beside the other calls.
  virtual HICON SmallIcon(const wchar_t* path, int& imageIndex) = 0;
};

ShellLaunch& RealShellLaunch();

}  // namespace tarnwick::platform
