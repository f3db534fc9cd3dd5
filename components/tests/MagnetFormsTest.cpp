// Window snapping between real forms: docking on WM_MOVE, following on
// WM_MOVING, undocking, and the life of server and clients.
#include "MagnetCS.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "gui/FormReader.h"
#include "gui/Forms.h"

using namespace components;

using namespace gui;

namespace {

TForm* NewForm(int left, int top, int width, int height) {
  auto* form = new TForm(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetBounds(left, top, width, height);
  form->HandleNeeded();
  return form;
}

TRect WindowRect(TForm& form) {
  RECT r;
  GetWindowRect(form.Handle(), &r);
  return Rect(r.left, r.top, r.right, r.bottom);
}

class MagnetForms : public ::testing::Test {
 protected:
  void SetUp() override {
    main = NewForm(100, 100, 661, 540);  // right 761, bottom 640
    server = new TMagnetServer(main);
    rules = NewForm(900, 900, 240, 300);
    client = new TMagnetClient(rules);
  }
  void TearDown() override {
    delete rules;
    delete main;
  }
  // Where the user lets go of the client window.
  void Drop(int left, int top) { rules->SetBounds(left, top, rules->Width(), rules->Height()); }
  // The server window being dragged to (left, top).
  void DragServer(int left, int top) {
    RECT target{left, top, left + main->Width(), top + main->Height()};
    SendMessageA(main->Handle(), WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&target));
  }
  bool Docked() const {
    auto& list = server->MagnetClientList();
    return std::find(list.begin(), list.end(), client) != list.end();
  }

  TForm* main = nullptr;
  TForm* rules = nullptr;
  TMagnetServer* server = nullptr;
  TMagnetClient* client = nullptr;
};

}  // namespace

TEST_F(MagnetForms, SnapsBelowDocksAndFollowsTheServer) {
  EXPECT_EQ(server, TMagnetServer::Current());
  EXPECT_FALSE(client->Enable());
  Drop(200, 670);  // 30 below, overlapping horizontally
  EXPECT_EQ(640, rules->Top());
  EXPECT_EQ(200, rules->Left());
  EXPECT_EQ(Bounds(200, 640, 240, 300), WindowRect(*rules));
  EXPECT_TRUE(Docked());
  EXPECT_TRUE(client->Enable());
  EXPECT_EQ(server, client->DockedTo());

  DragServer(115, 120);
  EXPECT_EQ(Bounds(115, 120, 661, 540), main->BoundsRect());
  EXPECT_EQ(Bounds(215, 660, 240, 300), WindowRect(*rules));
  EXPECT_TRUE(Docked()) << "carried to the same place, it snaps again";
  EXPECT_EQ(1u, server->MagnetClientList().size());
}

TEST_F(MagnetForms, SideDistancesDecideTheSnap) {
  Drop(100 - 240 - 49, 200);
  EXPECT_EQ(100 - 240, rules->Left()) << "49 pixels left of the server";
  EXPECT_EQ(200, rules->Top());
  EXPECT_TRUE(Docked());

  Drop(100 - 240 - 50, 200);
  EXPECT_EQ(100 - 240 - 50, rules->Left());
  EXPECT_FALSE(Docked());
  EXPECT_EQ(nullptr, client->DockedTo());
  EXPECT_TRUE(client->Enable()) << "undocking keeps Enable";

  Drop(761 - 10, 300);
  EXPECT_EQ(761, rules->Left()) << "ten pixels over the right edge still snaps";
  Drop(761 - 11, 300);
  EXPECT_EQ(761 - 11, rules->Left());
  EXPECT_FALSE(Docked());

  rules->SetBounds(50, 650, 800, 100);  // wider than the server on both sides
  EXPECT_EQ(650, rules->Top()) << "neither vertical edge lies within the server's span";
  EXPECT_FALSE(Docked());
}

TEST_F(MagnetForms, MissingStyleOrInactiveServerNeverDocks) {
  Drop(200, 670);
  ASSERT_TRUE(Docked());
  server->SetMagnetStyle({msTop, msLeft, msRight});
  Drop(200, 660);
  EXPECT_EQ(660, rules->Top());
  EXPECT_FALSE(Docked());

  server->SetMagnetStyle({msTop, msBottom, msLeft, msRight});
  Drop(200, 670);
  ASSERT_TRUE(Docked());
  server->SetActive(false);
  DragServer(130, 100);
  EXPECT_EQ(Bounds(200, 640, 240, 300), WindowRect(*rules)) << "no client follows";
  Drop(210, 650);
  EXPECT_EQ(640, rules->Top()) << "an inactive server still lets clients snap";
  EXPECT_FALSE(Docked()) << "but not dock";
  DragServer(100, 100);
  EXPECT_EQ(Bounds(210, 640, 240, 300), WindowRect(*rules));
}

TEST_F(MagnetForms, DraggedAwayAClientStopsFollowing) {
  Drop(200, 670);
  ASSERT_TRUE(Docked());
  Drop(200, 800);
  EXPECT_FALSE(Docked());
  DragServer(150, 100);
  EXPECT_EQ(Bounds(200, 800, 240, 300), WindowRect(*rules));
}

TEST_F(MagnetForms, AClientDockedBesideFollowsMovesOfAnySize) {
  // Docked to the right, low enough that a half-way position would lie
  // below the moved server.
  Drop(770, 600);
  ASSERT_EQ(761, rules->Left());
  ASSERT_TRUE(Docked());
  DragServer(110, 40);
  EXPECT_EQ(Bounds(771, 540, 240, 300), WindowRect(*rules));
  EXPECT_TRUE(Docked());
  DragServer(-190, 40);
  EXPECT_EQ(Bounds(471, 540, 240, 300), WindowRect(*rules));
  EXPECT_TRUE(Docked());
}

TEST_F(MagnetForms, ClientsAndServersComeAndGoSafely) {
  Drop(200, 670);
  ASSERT_TRUE(Docked());
  delete rules;  // the client leaves the server's list with its form
  rules = nullptr;
  EXPECT_TRUE(server->MagnetClientList().empty());
  DragServer(120, 100);

  rules = NewForm(200, 900, 240, 300);
  client = new TMagnetClient(rules);
  Drop(200, 670);
  ASSERT_TRUE(Docked());

  // A second server stays dormant and does not take over.
  auto* other = NewForm(0, 0, 50, 50);
  auto* dormant = new TMagnetServer(other);
  EXPECT_EQ(server, TMagnetServer::Current());
  EXPECT_EQ(nullptr, dormant->OwnerForm());
  delete other;
  EXPECT_EQ(server, TMagnetServer::Current());

  delete main;  // the server goes while a client is docked
  main = nullptr;
  EXPECT_EQ(nullptr, TMagnetServer::Current());
  EXPECT_EQ(nullptr, client->DockedTo());
  Drop(300, 300);  // no server: nothing happens
  EXPECT_EQ(Bounds(300, 300, 240, 300), WindowRect(*rules));

  main = NewForm(100, 100, 661, 540);
  server = new TMagnetServer(main);
  EXPECT_EQ(server, TMagnetServer::Current());
}

TEST(Magnet, OwnerMustBeAForm) {
  TComponent owner(nullptr);
  EXPECT_THROW(new TMagnetServer(&owner), EInvalidCast);
  EXPECT_THROW(new TMagnetClient(&owner), EInvalidCast);
  EXPECT_EQ(0, owner.ComponentCount());
}

TEST(Magnet, FormsSetTheProperties) {
  TMemoryFormSource source;
  source.AddForm("TForm", R"(object MainForm: TForm
  object MagnetServer1: TMagnetServer
    MagnetStyle = [msTop, msLeft]
    Active = False
  end
  object mcRulesForm: TMagnetClient
    OwnerForm = MainForm
    Enable = True
    Distance = 30
  end
end
)");
  TForm form(nullptr);
  ReadForm(form, source);
  auto* server = dynamic_cast<TMagnetServer*>(form.FindComponent("MagnetServer1"));
  auto* client = dynamic_cast<TMagnetClient*>(form.FindComponent("mcRulesForm"));
  ASSERT_NE(nullptr, server);
  ASSERT_NE(nullptr, client);
  EXPECT_EQ(TMagnetStyles({msTop, msLeft}), server->MagnetStyle());
  EXPECT_FALSE(server->Active());
  EXPECT_EQ(&form, server->OwnerForm());
  EXPECT_EQ(&form, client->OwnerForm());
  EXPECT_TRUE(client->Enable());
  EXPECT_EQ(30, client->Distance());
}
