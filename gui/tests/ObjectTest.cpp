// Class records, the registry, property tables, assignment and the
// component tree.
#include <gtest/gtest.h>

#include <memory>

#include "TestClasses.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/ImageList.h"

using namespace gui;
using namespace testing_gui;

namespace {

class TBaseThing : public TComponent {
  GUI_CLASS(TBaseThing, TComponent)

 public:
  explicit TBaseThing(TComponent* owner) : TComponent(owner) {}
  int secret = 0;
};

class TPublisher : public TBaseThing {
  GUI_CLASS(TPublisher, TBaseThing)

 public:
  explicit TPublisher(TComponent* owner) : TBaseThing(owner) {}
};

GUI_DEFINE_CLASS(TBaseThing) {
  c.Protected();
  c.Integer("Secret", &TBaseThing::secret, &TBaseThing::secret, 0);
}

GUI_DEFINE_CLASS(TPublisher) { c.Publish("Secret", 7); }

}  // namespace

namespace twin {
class TImageList : public TComponent {
  GUI_CLASS(TImageList, TComponent)

 public:
  using TComponent::TComponent;
};
GUI_DEFINE_CLASS(TImageList) {}
}  // namespace twin

TEST(ClassRegistry, CreatesRegisteredClassesByName) {
  const TClass* cls = GetClass("timagelist");  // names match without regard to case
  ASSERT_NE(cls, nullptr);
  TComponent owner(nullptr);
  TObject* made = cls->Create(&owner);
  ASSERT_TRUE(made->Is<TImageList>());
  EXPECT_EQ(static_cast<TComponent*>(made)->Owner(), &owner);
  EXPECT_EQ(made->ClassName(), "TImageList");

  EXPECT_EQ(GetClass("TNoSuchThing"), nullptr);
  EXPECT_THROW(FindClass("TNoSuchThing"), EClassNotFound);
  EXPECT_FALSE(TGraphic::StaticClass().CanCreate());  // abstract
  EXPECT_THROW(TGraphic::StaticClass().Create(), EClassNotFound);
  EXPECT_THROW(RegisterClasses({&twin::TImageList::StaticClass()}), EClassNotFound)
      << "a second class may not take a registered name";
}

TEST(ClassRegistry, TypeTestsAndCasts) {
  TBitmap bitmap;
  TObject& object = bitmap;
  EXPECT_TRUE(object.InheritsFrom(TGraphic::StaticClass()));
  EXPECT_FALSE(object.InheritsFrom(TComponent::StaticClass()));
  EXPECT_EQ(&object.As<TGraphic>(), &bitmap);
  try {
    object.As<TFont>();
    FAIL();
  } catch (const EInvalidCast& e) {
    EXPECT_NE(e.Message().find("TBitmap"), std::string::npos);
  }
}

TEST(PropertyTables, InheritedOrderedAndPublishedOnDemand) {
  const TClass& widget = TTestWidget::StaticClass();
  const TPropInfo* count = widget.FindProperty("count");
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->Kind, TPropKind::Integer);
  EXPECT_EQ(*count->Default, 0);
  ASSERT_NE(widget.FindProperty("Tag"), nullptr) << "inherited from TComponent";
  std::vector<const TPropInfo*> all = widget.Properties();
  ASSERT_GE(all.size(), 4u);
  EXPECT_EQ(all[0]->Name, "Name");
  EXPECT_EQ(all[1]->Name, "Tag");
  EXPECT_EQ(all[2]->Name, "Count");
  const TPropInfo* small = widget.FindProperty("Small");
  EXPECT_EQ(small->MinValue, 0);
  EXPECT_EQ(small->MaxValue, 255);

  EXPECT_EQ(TBaseThing::StaticClass().FindProperty("Secret"), nullptr) << "declared but not published";
  EXPECT_NE(TBaseThing::StaticClass().FindDeclaredProperty("Secret"), nullptr);
  const TPropInfo* secret = TPublisher::StaticClass().FindProperty("Secret");
  ASSERT_NE(secret, nullptr);
  EXPECT_EQ(*secret->Default, 7);
  TPublisher p(nullptr);
  secret->SetOrd(p, 42);
  EXPECT_EQ(p.secret, 42);
  EXPECT_EQ(secret->GetOrd(p), 42);
}

TEST(PropertyTables, SetsAsText) {
  const TPropInfo* style = TFont::StaticClass().FindProperty("Style");
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(SetToText(*style->Enum, 0b101), "[fsBold, fsUnderline]");
  EXPECT_EQ(TextToSet(*style->Enum, " [ fsItalic,fsStrikeOut ] "), 0b1010u);
  EXPECT_EQ(TextToSet(*style->Enum, "[]"), 0u);
  EXPECT_THROW(TextToSet(*style->Enum, "[fsHeavy]"), EConvertError);
  EXPECT_THROW(TextToSet(*style->Enum, "fsBold"), EConvertError);
  EXPECT_THROW(TextToSet(*style->Enum, "[fsBold,]"), EConvertError);
}

TEST(Persistent, AssignCopiesOrSaysCannotAssign) {
  TFont a, b;
  a.SetName("Arial");
  a.SetHeight(-20);
  b.Assign(&a);
  EXPECT_EQ(b.Name(), "Arial");
  EXPECT_EQ(b.Height(), -20);

  TBrush brush;
  try {
    b.Assign(&brush);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TBrush to a TFont");
  }
  EXPECT_THROW(b.Assign(nullptr), EConvertError);
}

TEST(Components, OwnedChildrenAreDestroyedWithTheOwner) {
  bool firstGone = false, secondGone = false;
  auto* owner = new TComponent(nullptr);
  auto* first = new TTestWidget(owner);
  auto* second = new TTestWidget(owner);
  first->destroyedFlag = &firstGone;
  second->destroyedFlag = &secondGone;
  first->SetName("First");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->FindComponent("FIRST"), first);
  EXPECT_EQ(second->notifications.size(), 0u) << "second was inserted after first";
  ASSERT_EQ(first->notifications.size(), 1u);
  EXPECT_EQ(first->notifications[0], std::make_pair(static_cast<TComponent*>(second), opInsert));

  delete second;  // leaves the tree: the sibling hears of it
  EXPECT_TRUE(secondGone);
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(first->notifications.back(), std::make_pair(static_cast<TComponent*>(second), opRemove));

  delete owner;
  EXPECT_TRUE(firstGone);
}

TEST(Components, FreeNotificationReachesAcrossOwners) {
  TComponent ownerA(nullptr);
  auto ownerB = std::make_unique<TComponent>(nullptr);
  auto* watcher = new TTestWidget(&ownerA);
  auto* target = new TTestWidget(ownerB.get());
  watcher->SetBuddy(target);
  ownerB.reset();  // destroys target
  EXPECT_EQ(watcher->Buddy(), nullptr) << "the watcher dropped its reference on opRemove";

  // The other way round: the watcher goes first and the link goes with it.
  auto ownerC = std::make_unique<TComponent>(nullptr);
  auto* target2 = new TTestWidget(ownerC.get());
  auto* watcher2 = new TTestWidget(&ownerA);
  watcher2->SetBuddy(target2);
  delete watcher2;
  ownerC.reset();  // must not call into the deleted watcher
}

TEST(Components, NamesAreIdentifiersUniqueWithinTheOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("btnOne");
  EXPECT_THROW(b->SetName("BTNONE"), EComponentError);
  EXPECT_THROW(b->SetName("1st"), EComponentError);
  EXPECT_THROW(b->SetName("has space"), EComponentError);
  b->SetName("_two2");
  a->SetName("");  // unnamed is allowed
  EXPECT_EQ(owner.FindComponent("btnOne"), nullptr);
  EXPECT_EQ(owner.FindComponent("_TWO2"), b);
}
