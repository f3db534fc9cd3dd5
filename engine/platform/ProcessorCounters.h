// Seam: the processor count and the processors' "% Processor Time"
// performance counters.
#pragma once

#include <cstddef>
#include <memory>

namespace tarnwick::platform {

// One open counter query. Destroying it closes the query.
class ProcessorTimeQuery {
 public:
  virtual ~ProcessorTimeQuery() = default;
  // Adds the processor-time counter of the 0-based processor `instance`, or
  // of all processors together when `instance` is negative. Counters are
  // numbered in the order they were added, from 0.
  virtual bool AddCounter(int instance) = 0;
  // Takes one sample of every counter; usage is measured between samples.
  virtual bool Collect() = 0;
  // Usage in whole percent of counter `counter` over the last interval.
  virtual bool Read(size_t counter, long* percent) = 0;
};

class ProcessorCounters {
 public:
  virtual ~ProcessorCounters() = default;
  // Number of processors; 0 when it cannot be read.
  virtual unsigned ProcessorCount() = 0;
  // A new query, or null when none can be opened.
  virtual std::unique_ptr<ProcessorTimeQuery> OpenQuery() = 0;
};

// NtQuerySystemInformation and the performance-data helper (pdh).
ProcessorCounters& RealProcessorCounters();

}  // namespace tarnwick::platform
