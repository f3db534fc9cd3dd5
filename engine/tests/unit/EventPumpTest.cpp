// The event pump: engine threads post, the client's sinks receive events in
// posting order on the client's own thread; Close ends delivery for good.
#include "EventPump.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "EngineMessages.h"
#include "MODefrag.h"
#include "MOMain.h"
#include "kit/Own.h"
#include "testsupport/Messages.h"
#include "tests/support/EventSink.h"
#include "tests/support/FakeHostProcess.h"

using tarnwick::CMOMain;
using tarnwick::PumpWorker;
using tarnwick::test::EventSink;
using testsupport::HandleMessagesUntil;
using tarnwick::test::RecordedEvent;

namespace {

struct Post {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Posts from another thread, as the engine's workers do.
void PostFromWorker(DWORD pump, std::vector<Post> posts) {
  std::thread worker([pump, &posts] {
    for (const Post& post : posts) tarnwick::PostToPump(pump, post.message, post.wParam, post.lParam);
  });
  worker.join();
}

class EventPumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = std::make_unique<CMOMain>(host_);
    IConnectionPointContainer* container = main_.get();
    ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID__IMOMainEvents, point_.Out()));
  }

  // Sinks outlive the engine's references to them.
  EventSink& NewSink() {
    sinks_.push_back(kit::ComPtr<EventSink>::Adopt(new EventSink));
    return *sinks_.back().Get();
  }

  DWORD Connect(IUnknown* sink) {
    DWORD cookie = 0;
    EXPECT_EQ(S_OK, point_->Advise(sink, &cookie));
    return cookie;
  }

  // Go in reverse: the connection point, the engine, the sinks, the apartment.
  kit::Apartment apartment_;
  tarnwick::test::FakeHostProcess host_;
  std::vector<kit::ComPtr<EventSink>> sinks_;
  std::unique_ptr<CMOMain> main_;
  kit::ComPtr<IConnectionPoint> point_;
};

// An apartment of its own for a sink that is called directly on the pump's
// thread (a free-threaded client).
class MtaThread {
 public:
  template <class F>
  void Run(F work) {
    std::thread thread([&work] {
      kit::Apartment mta(COINIT_MULTITHREADED);
      work();
    });
    thread.join();
  }
};

DWORD WINAPI WaitForStop(void* stop) { return WaitForSingleObject(static_cast<HANDLE>(stop), INFINITE); }

}  // namespace

TEST_F(EventPumpTest, EventsArriveOnTheClientThreadInPostingOrder) {
  EventSink& sink = NewSink();
  Connect(&sink);
  PostFromWorker(main_->EventThreadId(), {
                                             {0x807, 0, 0},
                                             {0x7FF, 1, 1},  // not the pump's: ignored
                                             {0x807, 25, 0},
                                             {0x806, 3, 0},
                                             {0x808, 5, 4321},
                                             {0x80D, 0, 0},
                                             {0x809, 5, 4321},
                                             {0x80C, 4321, 2},
                                             {0x80C, 4321, 0},
                                             {0x80A, 2, 0},
                                             {0x80B, 0, 0},
                                             {0x807, 100, 0},
                                         });
  ASSERT_TRUE(HandleMessagesUntil([&] { return sink.Count() >= 10; }));
  std::vector<RecordedEvent> events = sink.Events();
  const DISPID ids[] = {2, 2, 1, 3, 4, 5, 5, 6, 7, 2};
  const std::vector<LONGLONG> values[] = {{0},          {25},           {3},          {5, 4321}, {5, 4321},
                                          {4321, -1},   {4321, 0},      {2},          {},        {100}};
  ASSERT_EQ(10u, events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(ids[i], events[i].id) << "event " << i;
    EXPECT_EQ(values[i], events[i].values) << "event " << i;
    EXPECT_EQ(GetCurrentThreadId(), events[i].thread) << "event " << i;
  }
  EXPECT_EQ((std::vector<VARTYPE>{VT_UI4, VT_BOOL}), events[5].types);
  EXPECT_EQ((std::vector<VARTYPE>{VT_I4}), events[7].types);
}

TEST_F(EventPumpTest, EverySinkGetsTheEventAndUnadviseStopsOne) {
  EventSink& first = NewSink();
  EventSink& second = NewSink();
  DWORD firstCookie = Connect(&first);
  Connect(&second);
  PostFromWorker(main_->EventThreadId(), {{0x80B, 0, 0}});
  ASSERT_TRUE(HandleMessagesUntil([&] { return first.Count() == 1 && second.Count() == 1; }));
  ASSERT_EQ(S_OK, point_->Unadvise(firstCookie));
  PostFromWorker(main_->EventThreadId(), {{0x807, 9, 0}});
  ASSERT_TRUE(HandleMessagesUntil([&] { return second.Count() == 2; }));
  EXPECT_EQ(1u, first.Count());
}

TEST_F(EventPumpTest, MessagesWithoutASinkAreConsumed) {
  // The priority message posted last shows when the pump has taken the
  // others: only then may the sink connect.
  IMODefrag* defrag = nullptr;
  ASSERT_EQ(S_OK, main_->get_Defrag(&defrag));
  HANDLE autoCompress = static_cast<tarnwick::CMODefrag*>(defrag)->AutoCompressThread();
  defrag->Release();
  ASSERT_NE(nullptr, autoCompress);
  PostFromWorker(main_->EventThreadId(),
                 {{0x807, 1, 0}, {0x808, 1, 2}, {0x80B, 0, 0}, {0x802, static_cast<WPARAM>(THREAD_PRIORITY_LOWEST), 0}});
  ASSERT_TRUE(HandleMessagesUntil([&] { return GetThreadPriority(autoCompress) == THREAD_PRIORITY_LOWEST; }));

  EventSink& sink = NewSink();
  Connect(&sink);
  PostFromWorker(main_->EventThreadId(), {{0x806, 50, 0}});
  ASSERT_TRUE(HandleMessagesUntil([&] { return sink.Count() == 1; }));
  testsupport::HandleMessages();
  ASSERT_EQ(1u, sink.Count());
  EXPECT_EQ(1, sink.Events()[0].id);
}

TEST_F(EventPumpTest, AfterCloseNothingArrivesAndPostsFail) {
  EventSink& sink = NewSink();
  Connect(&sink);
  DWORD pump = main_->EventThreadId();
  PostFromWorker(pump, {{0x807, 10, 0}});
  ASSERT_TRUE(HandleMessagesUntil([&] { return sink.Count() == 1; }));
  ASSERT_EQ(S_OK, main_->Close());
  EXPECT_FALSE(PostThreadMessageW(pump, 0x807, 20, 0));  // the pump is gone
  testsupport::HandleMessages();
  EXPECT_EQ(1u, sink.Count());
}

// The pump is inside an event call to this thread while this thread, not
// serving its queue, calls Close: Close must serve the pending call (which
// delivers nothing any more) and let the pump end by itself.
TEST_F(EventPumpTest, CloseWhileTheClientOwesThePumpAReply) {
  HANDLE reached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EventSink& direct = NewSink();  // called on the pump's own thread, before the client's sink
  direct.onEvent = [reached](const RecordedEvent&) { SetEvent(reached); };
  MtaThread mta;
  mta.Run([&] { Connect(&direct); });
  EventSink& client = NewSink();
  Connect(&client);

  HANDLE pumpThread = OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, main_->EventThreadId());
  ASSERT_NE(nullptr, pumpThread);
  PostFromWorker(main_->EventThreadId(), {{0x807, 50, 0}, {0x807, 60, 0}});
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reached, 20000));  // no messages served meanwhile
  ASSERT_EQ(S_OK, main_->Close());
  EXPECT_EQ(0u, client.Count());
  EXPECT_EQ(1u, direct.Count());
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pumpThread, 20000));  // ended, not killed
  DWORD code = 1;
  GetExitCodeThread(pumpThread, &code);
  EXPECT_EQ(0u, code);
  CloseHandle(pumpThread);
  CloseHandle(reached);
}

TEST_F(EventPumpTest, CloseFromInsideAHandlerReturnsAndEndsDelivery) {
  EventSink& sink = NewSink();
  HRESULT closed = E_FAIL;
  sink.onEvent = [&](const RecordedEvent& event) {
    if (event.id == 2) closed = main_->Close();
  };
  Connect(&sink);
  HANDLE pumpThread = OpenThread(SYNCHRONIZE, FALSE, main_->EventThreadId());
  ASSERT_NE(nullptr, pumpThread);
  PostFromWorker(main_->EventThreadId(), {{0x807, 1, 0}, {0x80B, 0, 0}});
  ASSERT_TRUE(HandleMessagesUntil([&] { return WaitForSingleObject(pumpThread, 0) == WAIT_OBJECT_0; }));
  EXPECT_EQ(S_OK, closed);
  ASSERT_EQ(1u, sink.Count());
  EXPECT_EQ(2, sink.Events()[0].id);
  CloseHandle(pumpThread);
}

TEST_F(EventPumpTest, AFaultingHandlerDoesNotStopThePump) {
  EventSink& faulty = NewSink();
  faulty.throwInHandler = true;
  MtaThread mta;
  mta.Run([&] { Connect(&faulty); });
  EventSink& client = NewSink();
  Connect(&client);
  PostFromWorker(main_->EventThreadId(), {{0x807, 1, 0}, {0x807, 2, 0}});
  ASSERT_TRUE(HandleMessagesUntil([&] { return client.Count() == 2; }));
  EXPECT_EQ(2u, faulty.Count());
}

TEST_F(EventPumpTest, PriorityMessagesSetTheKnownWorkerThreads) {
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE worker = CreateThread(nullptr, 0, &WaitForStop, stop, 0, nullptr);
  ASSERT_NE(nullptr, worker);
  main_->Pump().SetWorkerThread(PumpWorker::AutoFree, worker);
  EventSink& sink = NewSink();
  Connect(&sink);
  // 0x802 has no thread yet: nothing happens. The event after each step
  // shows the pump has handled the message before it.
  PostFromWorker(main_->EventThreadId(), {{0x802, static_cast<WPARAM>(THREAD_PRIORITY_IDLE), 0},
                                          {0x803, static_cast<WPARAM>(THREAD_PRIORITY_IDLE), 0},
                                          {0x80B, 0, 0}});
  ASSERT_TRUE(HandleMessagesUntil([&] { return sink.Count() == 1; }));
  EXPECT_EQ(THREAD_PRIORITY_IDLE, GetThreadPriority(worker));
  PostFromWorker(main_->EventThreadId(), {{0x803, THREAD_PRIORITY_NORMAL, 0}, {0x80B, 0, 0}});
  ASSERT_TRUE(HandleMessagesUntil([&] { return sink.Count() == 2; }));
  EXPECT_EQ(THREAD_PRIORITY_NORMAL, GetThreadPriority(worker));

  ASSERT_EQ(S_OK, main_->Close());
  tarnwick::PostToPump(main_->EventThreadId(), 0x803, static_cast<WPARAM>(THREAD_PRIORITY_IDLE), 0);
  EXPECT_EQ(THREAD_PRIORITY_NORMAL, GetThreadPriority(worker));
  SetEvent(stop);
  WaitForSingleObject(worker, INFINITE);
  CloseHandle(worker);
  CloseHandle(stop);
}
