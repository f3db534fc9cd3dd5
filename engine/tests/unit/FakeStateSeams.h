// Fakes of the memory-status, processor-counter and clipboard seams.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/Clipboard.h"
#include "platform/MemoryStatus.h"
#include "platform/ProcessorCounters.h"

namespace tarnwick::testing {

class FakeMemory : public platform::MemoryStatus {
 public:
  bool Query(platform::MemoryFigures* out) override {
    ++queries;
    if (!works) return false;
    *out = figures;
    return true;
  }
  void Set(uint64_t total, uint64_t available, uint64_t pagingTotal = 0, uint64_t pagingAvailable = 0) {
    figures = {total, available, pagingTotal, pagingAvailable};
  }
  platform::MemoryFigures figures{};
  bool works = true;
  int queries = 0;
};

// Counter values are kept per added counter; instances records what was added.
class FakeCounters : public platform::ProcessorCounters {
 public:
  struct Query : platform::ProcessorTimeQuery {
    explicit Query(FakeCounters& owner) : owner(owner) {}
    bool AddCounter(int instance) override {
      if (owner.failAddAt >= 0 && static_cast<int>(owner.instances.size()) == owner.failAddAt) return false;
      owner.instances.push_back(instance);
      return true;
    }
    bool Collect() override { return owner.collects; }
    bool Read(size_t counter, long* percent) override {
      if (counter >= owner.instances.size() || owner.failReadAt == static_cast<int>(counter)) return false;
      *percent = owner.values[counter];
      return true;
    }
    FakeCounters& owner;
  };

  unsigned ProcessorCount() override { return processors; }
  std::unique_ptr<platform::ProcessorTimeQuery> OpenQuery() override {
    if (!opens) return nullptr;
    return std::make_unique<Query>(*this);
  }

  unsigned processors = 0;
  bool opens = true;
  bool collects = true;
  int failAddAt = -1;   // the add with this 0-based number fails
  int failReadAt = -1;  // reading this counter fails
  std::vector<int> instances;
  std::map<size_t, long> values;
};

class FakeClipboard : public platform::Clipboard {
 public:
  bool Open() override {
    if (opens) open = true;
    return opens;
  }
  UINT NextFormat(UINT format) override {
    if (!open) return 0;
    if (format == 0) return formats.empty() ? 0 : formats.begin()->first;
    auto next = formats.upper_bound(format);
    return next == formats.end() ? 0 : next->first;
  }
  SIZE_T BlockSize(UINT format) override {
    asked.push_back(format);
    return formats[format];
  }
  void Close() override { open = false; }

  std::map<UINT, SIZE_T> formats;
  std::vector<UINT> asked;
  bool opens = true;
  bool open = false;
};

}  // namespace tarnwick::testing
