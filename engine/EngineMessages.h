// Thread messages that engine threads post to the event pump. Workers never
// call the client; the pump turns each message into one event.
#pragma once

#include <windows.h>

namespace tarnwick {

enum EngineMessage : UINT {
  kMsgQuit = 0x801,                  // pump ends
  kMsgAutoCompressPriority = 0x802,  // wParam: thread priority
  kMsgAutoFreePriority = 0x803,
  kMsgSmartLearningPriority = 0x804,
  kMsgSmartCpuPriority = 0x805,
  kMsgDeepCompressProgress = 0x806,  // wParam: 0..100
  kMsgFastFreeProgress = 0x807,      // wParam: 0..100
  kMsgProcessNew = 0x808,            // wParam: item index, lParam: process id
  kMsgProcessExit = 0x809,           // wParam: item index, lParam: process id
  kMsgGameModeState = 0x80A,         // wParam: _MO_GAME_MODE_STATE
  kMsgGameModeFailed = 0x80B,
  kMsgSmartCpuTune = 0x80C,          // wParam: process id, lParam: non-zero raised
};

// Posts to the pump's thread; a post to thread 0 or to an ended pump is lost
// silently, as every sender expects.
inline void PostToPump(DWORD pumpThreadId, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  if (pumpThreadId != 0) PostThreadMessageW(pumpThreadId, message, wParam, lParam);
}

}  // namespace tarnwick
