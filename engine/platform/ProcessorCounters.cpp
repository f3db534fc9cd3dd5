#include "platform/ProcessorCounters.h"

#include <windows.h>
#include <pdh.h>

#include <cstddef>
#include <string>
#include <vector>

#include <kit/Own.h>

namespace tarnwick::platform {
namespace {

// SystemBasicInformation in the layout of this build's own bitness: the
// pointer-sized fields move the processor count from offset 40 (32-bit) to
// offset 56 (64-bit), and a 32-bit sized buffer fails on 64-bit Windows.
struct BasicInformation {
  ULONG reserved;
  ULONG timerResolution;
  ULONG pageSize;
  ULONG physicalPages;
  ULONG lowestPhysicalPage;
  ULONG highestPhysicalPage;
  ULONG allocationGranularity;
  ULONG_PTR lowestUserAddress;
  ULONG_PTR highestUserAddress;
  ULONG_PTR activeProcessorsMask;
  CHAR numberOfProcessors;
};
static_assert(offsetof(BasicInformation, numberOfProcessors) == (sizeof(void*) == 8 ? 56 : 40));
static_assert(sizeof(BasicInformation) == (sizeof(void*) == 8 ? 64 : 44));

using QuerySystemInformation = LONG(WINAPI*)(ULONG infoClass, PVOID info, ULONG length, PULONG returned);

QuerySystemInformation LookUpQuerySystemInformation() {
  static const QuerySystemInformation routine = [] {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll ? reinterpret_cast<QuerySystemInformation>(
                       reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")))
                 : nullptr;
  }();
  return routine;
}

// A counter query, closed with its counters when it goes.
struct PdhQueryTraits {
  using Value = PDH_HQUERY;
  static Value Empty() noexcept { return nullptr; }
  static void Free(Value query) noexcept { PdhCloseQuery(query); }
};
using PdhQuery = kit::Unique<PdhQueryTraits>;

class PdhProcessorTimeQuery final : public ProcessorTimeQuery {
 public:
  explicit PdhProcessorTimeQuery(PdhQuery query) : query_(std::move(query)) {}

  bool AddCounter(int instance) override {
    const std::wstring name = instance < 0 ? L"_Total" : std::to_wstring(instance);
    const std::wstring path = L"\\Processor(" + name + L")\\% Processor Time";
    // English names work on every display language of Windows.
    PDH_HCOUNTER counter = nullptr;
    if (PdhAddEnglishCounterW(query_.Get(), path.c_str(), 0, &counter) != ERROR_SUCCESS) return false;
    counters_.push_back(counter);
    return true;
  }

  bool Collect() override { return PdhCollectQueryData(query_.Get()) == ERROR_SUCCESS; }

  bool Read(size_t counter, long* percent) override {
    if (counter >= counters_.size() || !percent) return false;
    PDH_FMT_COUNTERVALUE value = {};
    if (PdhGetFormattedCounterValue(counters_[counter], PDH_FMT_LONG, nullptr, &value) != ERROR_SUCCESS)
      return false;
    *percent = value.longValue;
    return true;
  }

 private:
  PdhQuery query_;
  std::vector<PDH_HCOUNTER> counters_;
};

class Win32ProcessorCounters final : public ProcessorCounters {
 public:
  unsigned ProcessorCount() override {
    QuerySystemInformation query = LookUpQuerySystemInformation();
    if (!query) return 0;
    BasicInformation info = {};
    if (query(0 /* SystemBasicInformation */, &info, sizeof(info), nullptr) < 0) return 0;
    return static_cast<unsigned char>(info.numberOfProcessors);
  }

  std::unique_ptr<ProcessorTimeQuery> OpenQuery() override {
    PdhQuery query;
    if (PdhOpenQueryW(nullptr, 1, query.Out()) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<PdhProcessorTimeQuery>(std::move(query));
  }
};

}  // namespace

ProcessorCounters& RealProcessorCounters() {
  static Win32ProcessorCounters instance;
  return instance;
}

}  // namespace tarnwick::platform
