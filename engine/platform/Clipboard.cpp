#include "platform/Clipboard.h"

namespace tarnwick::platform {
namespace {

class Win32Clipboard final : public Clipboard {
 public:
  bool Open() override { return OpenClipboard(GetShellWindow()) != FALSE; }
  UINT NextFormat(UINT format) override { return EnumClipboardFormats(format); }
  SIZE_T BlockSize(UINT format) override {
    HANDLE data = GetClipboardData(format);
    return data ? GlobalSize(data) : 0;
  }
  void Close() override { CloseClipboard(); }
};

}  // namespace

Clipboard& RealClipboard() {
  static Win32Clipboard instance;
  return instance;
}

}  // namespace tarnwick::platform
