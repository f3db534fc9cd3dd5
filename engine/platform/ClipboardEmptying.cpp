#include "platform/ClipboardEmptying.h"

#include <windows.h>

namespace tarnwick::platform {
namespace {

class Win32ClipboardEmptying final : public ClipboardEmptying {
 public:
  bool OpenUnowned() override { return OpenClipboard(nullptr) != FALSE; }
  bool Empty() override { return EmptyClipboard() != FALSE; }
  void Close() override { CloseClipboard(); }
};

}  // namespace

ClipboardEmptying& RealClipboardEmptying() {
  static Win32ClipboardEmptying instance;
  return instance;
}

}  // namespace tarnwick::platform
