// Seam: reading what the clipboard holds.
#pragma once

#include <windows.h>

namespace tarnwick::platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Opens the clipboard for reading; false when another window holds it.
  virtual bool Open() = 0;
  // The format after `format` (0 starts the walk); 0 ends it.
  virtual UINT NextFormat(UINT format) = 0;
  // Size of the memory block that holds `format`'s data; 0 without data.
  // Only for formats whose data is a global memory block.
  virtual SIZE_T BlockSize(UINT format) = 0;
  virtual void Close() = 0;
};

// OpenClipboard (owned by the shell's window), EnumClipboardFormats,
// GetClipboardData and GlobalSize.
Clipboard& RealClipboard();

}  // namespace tarnwick::platform
