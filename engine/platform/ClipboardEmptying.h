// Seam: emptying the clipboard, so tests never clear the desktop's own.
#pragma once

namespace tarnwick::platform {

class ClipboardEmptying {
 public:
  virtual ~ClipboardEmptying() = default;
  // Opens the clipboard without an owner window; false when another window
  // holds it.
  virtual bool OpenUnowned() = 0;
  virtual bool Empty() = 0;
  virtual void Close() = 0;
};

// OpenClipboard(null), EmptyClipboard, CloseClipboard.
ClipboardEmptying& RealClipboardEmptying();

}  // namespace tarnwick::platform
