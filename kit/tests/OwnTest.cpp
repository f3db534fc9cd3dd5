// The owners release exactly once, whatever moves and resets happen.
#include "kit/Own.h"

#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

namespace {

std::vector<int> freed;

struct Counted {
  using Value = int;
  static Value Empty() noexcept { return 0; }
  static void Free(Value v) noexcept { freed.push_back(v); }
};
using Owned = kit::Unique<Counted>;

struct FakeUnknown : IUnknown {
  ULONG refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(Unique, ReleasesOnceThroughMovesResetsAndOutArguments) {
  freed.clear();
  {
    Owned a(1);
    Owned b(std::move(a));
    EXPECT_FALSE(a);
    Owned c(2);
    c = std::move(b);  // 2 goes, 1 moves in
    EXPECT_EQ(freed, std::vector<int>{2});
    auto& self = c;
    c = std::move(self);  // a self-move keeps the value
    EXPECT_EQ(c.Get(), 1);
    *c.Out() = 3;  // 1 goes
    Owned d(4);
    EXPECT_EQ(d.Release(), 4);  // given up, never freed
  }
  EXPECT_EQ(freed, (std::vector<int>{2, 1, 3}));
}

TEST(ComPtr, KeepsTheReferenceCountBalanced) {
  FakeUnknown object;
  {
    auto a = kit::ComPtr<IUnknown>::Adopt(&object);  // takes the first reference
    auto b = a;                                      // copies add one
    kit::ComPtr<IUnknown> c;
    c = b;
    EXPECT_EQ(object.refs, 3u);
    c = std::move(b);
    EXPECT_EQ(object.refs, 2u);
    auto d = kit::ComPtr<IUnknown>::Share(&object);
    EXPECT_EQ(object.refs, 3u);
    d.Out();
    EXPECT_EQ(object.refs, 2u);
    EXPECT_FALSE(a.As<IDispatch>(IID_IDispatch));
  }
  EXPECT_EQ(object.refs, 0u);
}

TEST(ScopeExit, RunsOnEveryPathUnlessDismissed) {
  int runs = 0;
  try {
    auto guard = kit::OnExit([&] { ++runs; });
    throw 1;
  } catch (int) {
  }
  {
    auto guard = kit::OnExit([&] { ++runs; });
    guard.Dismiss();
  }
  EXPECT_EQ(runs, 1);
}

TEST(Selection, PutsTheReplacedObjectBack) {
  kit::MemoryDC dc(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc);
  HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BRUSH);
  kit::Gdi<HBRUSH> brush(CreateSolidBrush(RGB(1, 2, 3)));
  {
    kit::Selection keep(dc.Get(), brush.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), original);
}

}  // namespace

TEST(WindowDC, PassesGetDCExItsFlags) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  auto destroy = kit::OnExit([&] { DestroyWindow(window); });
  auto origin = [](HDC dc) {
    POINT p{};
    GetDCOrgEx(dc, &p);
    return std::pair(p.x, p.y);
  };
  kit::WindowDC client(window), whole(window, kit::WindowDC::Whole);
  kit::WindowDC exClient(window, DCX_CACHE), exWhole(window, DCX_CACHE | DCX_WINDOW);
  ASSERT_TRUE(exClient && exWhole);
  EXPECT_NE(origin(client.Get()), origin(whole.Get()));  // the caption lies between
  EXPECT_EQ(origin(exClient.Get()), origin(client.Get()));
  EXPECT_EQ(origin(exWhole.Get()), origin(whole.Get()));
}

// A nested apartment of the same kind pairs up too; one of another kind
// fails and must leave the thread's apartment alone.
TEST(Apartment, UninitializesExactlyWhatItInitialized) {
  auto kind = [] {
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    return SUCCEEDED(CoGetApartmentType(&type, &qualifier)) ? static_cast<int>(type) : -1;
  };
  std::thread([&] {
    {
      kit::Apartment sta;
      EXPECT_EQ(sta.Result(), S_OK);
      {
        kit::Apartment again;
        EXPECT_EQ(again.Result(), S_FALSE);
      }
      {
        kit::Apartment other(COINIT_MULTITHREADED);
        EXPECT_EQ(other.Result(), RPC_E_CHANGED_MODE);
      }
      const int still = kind();  // the process's first one may be its main one
      EXPECT_TRUE(still == APTTYPE_STA || still == APTTYPE_MAINSTA) << still;
    }
    EXPECT_EQ(kind(), -1);
  }).join();
}

// Memory a stream or the clipboard takes over is released from the owner;
// the rest goes with it.
TEST(Global, FreesWhatNothingTookOver) {
  HGLOBAL freed = nullptr, kept = nullptr;
  {
    kit::Global dropped(GlobalAlloc(GMEM_MOVEABLE, 16)), handedOn(GlobalAlloc(GMEM_MOVEABLE, 16));
    ASSERT_TRUE(dropped && handedOn);
    freed = dropped.Get();
    kept = handedOn.Release();
  }
  EXPECT_EQ(GlobalFlags(freed), static_cast<UINT>(GMEM_INVALID_HANDLE));
  EXPECT_EQ(GlobalSize(kept), 16u);
  GlobalFree(kept);
}
