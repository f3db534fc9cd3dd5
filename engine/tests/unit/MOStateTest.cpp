// Memory figures, grades, processor usage by index and the clipboard size,
// through fake seams; one smoke test against the real system.
#include "MOState.h"

#include <gtest/gtest.h>

#include "FakeStateSeams.h"

using namespace tarnwick;
using namespace tarnwick::testing;

namespace {

struct StateFixture : ::testing::Test {
  FakeMemory memory;
  FakeCounters counters;
  FakeClipboard clipboard;
};

uint8_t Usage(CMOState& state, unsigned char index, HRESULT expected = S_OK) {
  unsigned char value = 0xEE;
  EXPECT_EQ(expected, state.get_CPUUsage(index, &value)) << "index " << int(index);
  return value;
}

// One figure through the interface; `get` is a get_ member of CMOState.
template <class Get>
UINT64 Figure(CMOState& state, Get get) {
  UINT64 value = 0xDEAD;
  EXPECT_EQ(S_OK, (state.*get)(&value));
  return value;
}

}  // namespace

TEST_F(StateFixture, GradesFollowTheRoundedUsedPercent) {
  struct Case {
    uint64_t used;  // of 1000
    _MO_MEMORY_STATE grade;
  } cases[] = {{0, MO_MS_GREAT},   {390, MO_MS_GREAT},  {394, MO_MS_GREAT}, {395, MO_MS_GOOD},
               {400, MO_MS_GOOD},  {690, MO_MS_GOOD},   {694, MO_MS_GOOD},  {695, MO_MS_MEDIUM},
               {890, MO_MS_MEDIUM}, {900, MO_MS_BAD},   {1000, MO_MS_BAD}};
  memory.Set(1000, 1000);
  CMOState state(memory, counters, clipboard);
  for (const Case& c : cases) {
    memory.Set(1000, 1000 - c.used);
    ASSERT_EQ(S_OK, state.Refresh());
    _MO_MEMORY_STATE grade = MO_MS_UNKNOWN;
    ASSERT_EQ(S_OK, state.get_MemoryState(&grade));
    EXPECT_EQ(c.grade, grade) << c.used << " of 1000 used";
  }
}

TEST_F(StateFixture, FiguresComeFromOneSampleAndUsedIsTotalMinusAvailable) {
  const uint64_t gib = 1ull << 30;
  memory.Set(16 * gib, 5 * gib, 24 * gib, 20 * gib);
  CMOState state(memory, counters, clipboard);  // the first sample is taken at construction
  EXPECT_EQ(16 * gib, Figure(state, &CMOState::get_TotalPhysicalMemory));
  EXPECT_EQ(5 * gib, Figure(state, &CMOState::get_AvailPhysicalMemory));
  EXPECT_EQ(11 * gib, Figure(state, &CMOState::get_UsedPhysicalMemory));
  EXPECT_EQ(24 * gib, Figure(state, &CMOState::get_TotalPagingFile));
  EXPECT_EQ(20 * gib, Figure(state, &CMOState::get_AvailPagingFile));
  EXPECT_EQ(4 * gib, Figure(state, &CMOState::get_UsedPagingFile));
  EXPECT_EQ(MO_MS_GOOD, state.Grade());  // 68.75 %
}

TEST_F(StateFixture, FailedOrZeroSampleKeepsThePreviousOne) {
  memory.Set(1000, 50, 2000, 1000);
  CMOState state(memory, counters, clipboard);
  memory.works = false;
  EXPECT_EQ(S_OK, state.Refresh());
  EXPECT_FALSE(state.SampleMemory());
  memory.works = true;
  memory.Set(0, 0, 0, 0);  // would divide by zero
  EXPECT_FALSE(state.SampleMemory());
  EXPECT_EQ(1000u, state.TotalPhysical());
  EXPECT_EQ(950u, Figure(state, &CMOState::get_UsedPhysicalMemory));
  EXPECT_EQ(MO_MS_BAD, state.Grade());
  // Available above total is taken as nothing used, never as a wrapped count.
  memory.Set(1000, 1200, 10, 20);
  EXPECT_TRUE(state.SampleMemory());
  EXPECT_EQ(0u, Figure(state, &CMOState::get_UsedPhysicalMemory));
  EXPECT_EQ(0u, Figure(state, &CMOState::get_UsedPagingFile));
}

TEST_F(StateFixture, FourProcessorsHaveOneCounterEachAfterTheTotal) {
  counters.processors = 4;
  counters.values = {{0, 50}, {1, 10}, {2, 20}, {3, 30}, {4, 40}};
  CMOState state(memory, counters, clipboard);
  EXPECT_EQ((std::vector<int>{-1, 0, 1, 2, 3}), counters.instances);
  EXPECT_EQ(4u, state.ProcessorCount());
  state.Refresh();
  EXPECT_EQ(50, Usage(state, 0));
  EXPECT_EQ(10, Usage(state, 1));
  EXPECT_EQ(40, Usage(state, 4));
  EXPECT_EQ(0, Usage(state, 5, S_FALSE));
  EXPECT_EQ(0, Usage(state, 255, S_FALSE));
  EXPECT_EQ(50, state.TotalCpuUsage());

  counters.values[4] = 250;  // out of range is capped, not wrapped to a byte
  counters.values[3] = -3;
  state.Refresh();
  EXPECT_EQ(100, Usage(state, 4));
  EXPECT_EQ(0, Usage(state, 3));
}

TEST_F(StateFixture, OneProcessorReportsTheTotalAsProcessorOne) {
  counters.processors = 1;
  counters.values = {{0, 37}};
  CMOState state(memory, counters, clipboard);
  EXPECT_EQ((std::vector<int>{-1}), counters.instances);
  state.Refresh();
  EXPECT_EQ(37, Usage(state, 0));
  EXPECT_EQ(37, Usage(state, 1));
  EXPECT_EQ(0, Usage(state, 2, S_FALSE));
}

TEST_F(StateFixture, WithoutQueryOrProcessorCountEveryIndexIsRefused) {
  counters.processors = 2;
  counters.opens = false;
  CMOState noQuery(memory, counters, clipboard);
  EXPECT_EQ(0, Usage(noQuery, 0, S_FALSE));
  EXPECT_EQ(0, noQuery.TotalCpuUsage());
  EXPECT_EQ(S_OK, noQuery.Refresh());

  FakeCounters unknownCount;
  CMOState noCount(memory, unknownCount, clipboard);
  EXPECT_EQ(0, Usage(noCount, 0, S_FALSE));
  EXPECT_TRUE(unknownCount.instances.empty());
}

TEST_F(StateFixture, FailingCountersKeepTheBytesFromThatIndexOn) {
  counters.processors = 4;
  counters.failAddAt = 3;  // total, processors 1 and 2 added; processor 3 fails
  counters.values = {{0, 60}, {1, 61}, {2, 62}};
  CMOState state(memory, counters, clipboard);
  EXPECT_EQ((std::vector<int>{-1, 0, 1}), counters.instances);
  state.Refresh();
  EXPECT_EQ(62, Usage(state, 2));
  EXPECT_EQ(0, Usage(state, 3));  // never read: its first value stays, with S_OK
  EXPECT_EQ(0, Usage(state, 4));

  counters.values = {{0, 70}, {1, 71}, {2, 72}};
  counters.failReadAt = 1;
  EXPECT_FALSE(state.SampleProcessors());
  EXPECT_EQ(70, Usage(state, 0));
  EXPECT_EQ(61, Usage(state, 1));
  EXPECT_EQ(62, Usage(state, 2));

  counters.collects = false;
  counters.failReadAt = -1;
  EXPECT_FALSE(state.SampleProcessors());
  EXPECT_EQ(70, Usage(state, 0));
}

TEST_F(StateFixture, ClipboardSumsMemoryBlocksAndSkipsGdiHandles) {
  CMOState state(memory, counters, clipboard);
  clipboard.formats = {{CF_TEXT, 10},         {CF_BITMAP, 1000},       {CF_METAFILEPICT, 16},
                       {CF_PALETTE, 1000},    {CF_UNICODETEXT, 20},    {CF_ENHMETAFILE, 1000},
                       {CF_DSPBITMAP, 1000},  {CF_GDIOBJFIRST + 5, 1000}, {0xC100, 4}};
  ULONG size = 0;
  ASSERT_EQ(S_OK, state.get_ClipboardSize(&size));
  EXPECT_EQ(50u, size);
  EXPECT_EQ((std::vector<UINT>{CF_TEXT, CF_METAFILEPICT, CF_UNICODETEXT, 0xC100}), clipboard.asked);
  EXPECT_FALSE(clipboard.open);

  clipboard.formats.clear();
  state.get_ClipboardSize(&size);
  EXPECT_EQ(0u, size);

  clipboard.opens = false;
  clipboard.formats = {{CF_TEXT, 10}};
  state.get_ClipboardSize(&size);
  EXPECT_EQ(0u, size);
}

TEST_F(StateFixture, HugeClipboardSaturatesInsteadOfWrapping) {
  if (sizeof(SIZE_T) < 8) GTEST_SKIP() << "a 32-bit process cannot hold 4 GB";
  CMOState state(memory, counters, clipboard);
  clipboard.formats = {{CF_TEXT, 0xFFFFFFF0}, {CF_UNICODETEXT, 0x20}};
  ULONG size = 0;
  state.get_ClipboardSize(&size);
  EXPECT_EQ(0xFFFFFFFFu, size);
}

TEST_F(StateFixture, DispatchReachesTheFigures) {
  memory.Set(4096, 1024);
  counters.processors = 2;
  counters.values = {{0, 12}, {1, 3}, {2, 21}};
  CMOState state(memory, counters, clipboard);
  state.Refresh();

  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ASSERT_EQ(S_OK, state.Invoke(5, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
  EXPECT_EQ(VT_UI8, result.vt);
  EXPECT_EQ(3072u, result.ullVal);

  VARIANT index;
  VariantInit(&index);
  index.vt = VT_UI1;
  index.bVal = 2;
  DISPPARAMS one = {&index, nullptr, 1, 0};
  ASSERT_EQ(S_OK, state.Invoke(2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &one, &result, nullptr, nullptr));
  EXPECT_EQ(VT_UI1, result.vt);
  EXPECT_EQ(21, result.bVal);

  IMOState* face = &state;
  unsigned char usage = 0;
  EXPECT_EQ(S_OK, face->get_CPUUsage(1, &usage));
  EXPECT_EQ(3, usage);
}

TEST(StateOnThisSystem, RealFiguresAreConsistent) {
  CMOState state;
  EXPECT_GT(state.ProcessorCount(), 0u);
  state.Refresh();
  const UINT64 total = Figure(state, &CMOState::get_TotalPhysicalMemory);
  EXPECT_GT(total, 0u);
  EXPECT_EQ(total, Figure(state, &CMOState::get_UsedPhysicalMemory) + Figure(state, &CMOState::get_AvailPhysicalMemory));
  EXPECT_EQ(Figure(state, &CMOState::get_TotalPagingFile),
            Figure(state, &CMOState::get_UsedPagingFile) + Figure(state, &CMOState::get_AvailPagingFile));
  unsigned char usage = 0;
  EXPECT_EQ(S_FALSE, state.get_CPUUsage(static_cast<unsigned char>(state.ProcessorCount() + 1), &usage));
  ULONG clipboardSize = 0;
  EXPECT_EQ(S_OK, state.get_ClipboardSize(&clipboardSize));
}
