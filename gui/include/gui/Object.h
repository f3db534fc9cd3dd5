// Run-time class information: TObject, the class records (TClass) with their
// property, legacy-reader and handler tables, and the registry that creates
// objects by class name.
//
// A class takes part by putting GUI_CLASS(Name, Base) in its declaration and
// GUI_DEFINE_CLASS(Name) { ... } in one source file; the body receives a
// builder `c` that declares the class's published properties in order:
//
//   GUI_DEFINE_CLASS(TFont) {
//     c.String("Name", &TFont::Name, &TFont::SetName);
//     c.Integer("Height", &TFont::Height, &TFont::SetHeight);
//   }
//
// Subclasses inherit their ancestors' tables. A class with a public
// constructor taking the owner (TComponent*) or none can be created by name.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

#include "gui/Exceptions.h"
#include "gui/Types.h"

namespace gui {

class TObject;
class TClass;
class TComponent;
class TGraphic;
template <class T>
class TClassBuilder;

// ASCII case-insensitive comparison; names and identifiers of the layer are
// matched this way.
bool SameText(std::string_view a, std::string_view b);

// ---------------------------------------------------------------------------
// Type information for property values.

// Identifiers of an enumeration; an identifier's position is its value.
struct TEnumInfo {
  const char* TypeName;
  std::vector<std::string> Names;
  int ValueOf(std::string_view ident) const;  // -1 when unknown
  std::string NameOf(std::int64_t value) const;  // empty when out of range
};

// Named values of an integer-like type (colours, modal results).
struct TIdentMap {
  const char* TypeName;
  std::vector<std::pair<std::string, std::int64_t>> Entries;
  std::optional<std::int64_t> ValueOf(std::string_view ident) const;
  std::string NameOf(std::int64_t value) const;  // empty when none
};

// Colour names (clRed, clBtnFace, clNone, ...), for colour properties.
const TIdentMap& ColorIdents();

// A set as text, "[a, b]", and back; TextToSet throws EConvertError on an
// unknown identifier or bad syntax.
std::string SetToText(const TEnumInfo& info, std::uint64_t bits);
std::uint64_t TextToSet(const TEnumInfo& info, std::string_view text);

// A value as written in a form, handed to legacy readers.
struct TFormValue {
  enum class Kind { Integer, String, Identifier, Set, Graphic, GraphicList };
  Kind kind = Kind::Integer;
  std::int64_t Integer = 0;
  std::string Text;                 // string, identifier, or a graphic's class name
  std::vector<std::string> Items;   // set identifiers
  std::string File;                 // a graphic's file name
  std::vector<std::pair<std::string, std::string>> Graphics;  // class and file per list item
};

enum class TPropKind {
  Integer,
  Boolean,
  Enumeration,
  Set,
  Color,
  String,
  Object,
  Component,
  Event,
  Graphics,
  Collection
};

// One property of a class. Ordinal kinds (Integer, Boolean, Enumeration, Set,
// Color) travel as 64-bit values; Set values as bit masks.
struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  bool Published = true;
  std::optional<std::int64_t> Default;     // ordinal kinds only
  std::int64_t MinValue = 0, MaxValue = 0;  // Integer range of the C++ type
  const TEnumInfo* Enum = nullptr;          // Enumeration and Set
  const TIdentMap* Idents = nullptr;        // Integer and Color: named values
  const TClass& (*ObjectClass)() = nullptr;  // Object and Component: declared class; Collection: item class
  std::type_index EventType = typeid(void);

  std::function<std::int64_t(TObject&)> GetOrd;
  std::function<void(TObject&, std::int64_t)> SetOrd;
  std::function<std::string(TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<TObject*(TObject&)> GetObj;           // Object, Component
  std::function<void(TObject&, TObject*)> SetObj;     // Object (copies), Component
  std::function<void(TObject&, const std::any&)> SetEvent;  // holds EventType or is empty
  std::function<void(TObject&, const std::vector<TGraphic*>&)> SetGraphics;
  std::function<void(TObject&)> ClearItems;      // Collection
  std::function<TObject*(TObject&)> AddItem;     // Collection: a new item at the end
};

// Reads a property that forms may still hold but the class no longer has.
struct TLegacyReader {
  std::string Name;
  std::function<void(TObject&, const TFormValue&)> Read;
};

// A method of a form class that the form reader can bind to an event by name.
struct THandlerInfo {
  std::string Name;
  std::type_index Type = typeid(void);  // the event type it fits
  std::function<std::any(TObject& form)> Bind;
};

// ---------------------------------------------------------------------------

class TClass {
 public:
  using Factory = TObject* (*)(TComponent* owner);

  TClass(const TClass&) = delete;
  TClass& operator=(const TClass&) = delete;

  const std::string& Name() const { return name_; }
  const TClass* Parent() const { return parent_; }
  bool InheritsFrom(const TClass& other) const;
  bool CanCreate() const { return factory_ != nullptr; }
  // A new instance; owner is passed to components and ignored otherwise.
  // EClassNotFound for a class that cannot be created.
  TObject* Create(TComponent* owner = nullptr) const;

  // Published property by name, searching ancestors; null when none.
  const TPropInfo* FindProperty(std::string_view name) const;
  // Property by name, published or not.
  const TPropInfo* FindDeclaredProperty(std::string_view name) const;
  // All published properties, ancestors' first, each name once.
  std::vector<const TPropInfo*> Properties() const;
  const TLegacyReader* FindLegacyReader(std::string_view name) const;
  const THandlerInfo* FindHandler(std::string_view name) const;

  template <class T, class Define>
  static const TClass& Build(const char* name, const TClass* parent, Define define);

 private:
  template <class T>
  friend class TClassBuilder;
  TClass(const char* name, const TClass* parent, Factory factory)
      : name_(name), parent_(parent), factory_(factory) {}
  TPropInfo& Add(TPropInfo info);

  std::string name_;
  const TClass* parent_;
  Factory factory_;
  std::vector<TPropInfo> props_;
  std::vector<TLegacyReader> legacy_;
  std::vector<THandlerInfo> handlers_;
};

// ---------------------------------------------------------------------------

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const TClass& StaticClass();
  virtual const TClass& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType().Name(); }
  bool InheritsFrom(const TClass& c) const { return ClassType().InheritsFrom(c); }

  template <class T>
  bool Is() const { return dynamic_cast<const T*>(this) != nullptr; }
  // This object as a T; EInvalidCast when it is not one.
  template <class T>
  T& As() {
    if (T* p = dynamic_cast<T*>(this)) return *p;
    throw EInvalidCast("Invalid class typecast: " + ClassName() + " is not a " + T::StaticClass().Name());
  }
};

// ---------------------------------------------------------------------------
// Class registry: the classes that forms and picture data may name.

void RegisterClasses(std::initializer_list<const TClass*> classes);
// The registered class of that name (case-insensitive), or null.
const TClass* GetClass(std::string_view name);
// As GetClass, but EClassNotFound when there is none.
const TClass& FindClass(std::string_view name);

// ---------------------------------------------------------------------------

#define GUI_CLASS(Name, Base)                                                \
 public:                                                                     \
  using inherited = Base;                                                    \
  static const ::gui::TClass& StaticClass();                                 \
  const ::gui::TClass& ClassType() const override { return StaticClass(); }  \
                                                                             \
 private:                                                                    \
  static void DefineClass(::gui::TClassBuilder<Name>& c);                    \
                                                                             \
 public:

// The body is a static member of the class, so it may name protected and
// private accessors.
#define GUI_DEFINE_CLASS(Name)                                               \
  const ::gui::TClass& Name::StaticClass() {                                 \
    static const ::gui::TClass& cls =                                        \
        ::gui::TClass::Build<Name>(#Name, &Name::inherited::StaticClass(), &Name::DefineClass); \
    return cls;                                                              \
  }                                                                          \
  void Name::DefineClass([[maybe_unused]] ::gui::TClassBuilder<Name>& c)

namespace detail {

template <class T>
TObject* NewInstance(TComponent* owner) {
  if constexpr (std::is_constructible_v<T, TComponent*>)
    return new T(owner);
  else
    return new T();
}

template <class T>
constexpr bool kCreatable = !std::is_abstract_v<T> &&
                            (std::is_constructible_v<T, TComponent*> || std::is_default_constructible_v<T>);

template <class T, class G>
decltype(auto) Get(TObject& obj, G get) {
  return std::invoke(get, static_cast<T&>(obj));
}

template <class T, class S, class V>
void Put(TObject& obj, S set, V&& value) {
  if constexpr (std::is_member_object_pointer_v<S>)
    static_cast<T&>(obj).*set = std::forward<V>(value);
  else
    std::invoke(set, static_cast<T&>(obj), std::forward<V>(value));
}

template <class X>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<Set<E>> : std::true_type {};

}  // namespace detail

// Declares the properties, legacy readers and handlers of class T.
template <class T>
class TClassBuilder {
 public:
  explicit TClassBuilder(TClass& cls) : cls_(cls) {}

  // Declarations after Protected() are not published (a subclass may publish
  // them with Publish); Published() switches back.
  void Protected() { published_ = false; }
  void Published() { published_ = true; }

  template <class G, class S>
  void Integer(const char* name, G get, S set, std::optional<std::int64_t> def = {},
               const TIdentMap* idents = nullptr) {
    using V = std::decay_t<std::invoke_result_t<G, T&>>;
    static_assert(std::is_integral_v<V> && !std::is_same_v<V, bool>);
    TPropInfo& p = Ordinal<V>(name, TPropKind::Integer, get, set, def);
    p.MinValue = static_cast<std::int64_t>(std::numeric_limits<V>::min());
    p.MaxValue = std::numeric_limits<V>::max() > static_cast<std::uint64_t>(INT64_MAX)
                     ? INT64_MAX
                     : static_cast<std::int64_t>(std::numeric_limits<V>::max());
    p.Idents = idents;
  }

  template <class G, class S>
  void Boolean(const char* name, G get, S set, std::optional<bool> def = {}) {
    std::optional<std::int64_t> d;
    if (def) d = *def ? 1 : 0;
    Ordinal<bool>(name, TPropKind::Boolean, get, set, d);
  }

  template <class G, class S>
  void Enumeration(const char* name, const TEnumInfo& info, G get, S set, std::optional<std::int64_t> def = {}) {
    using V = std::decay_t<std::invoke_result_t<G, T&>>;
    Ordinal<V>(name, TPropKind::Enumeration, get, set, def).Enum = &info;
  }

  // V is a gui::Set<E> or an unsigned bit mask.
  template <class G, class S>
  void SetOf(const char* name, const TEnumInfo& info, G get, S set, std::optional<std::uint64_t> def = {}) {
    using V = std::decay_t<std::invoke_result_t<G, T&>>;
    TPropInfo p = MakeInfo(name, TPropKind::Set);
    if (def) p.Default = static_cast<std::int64_t>(*def);
    p.Enum = &info;
    p.GetOrd = [get](TObject& o) -> std::int64_t {
      if constexpr (detail::IsSet<V>::value)
        return static_cast<std::int64_t>(detail::Get<T>(o, get).Bits());
      else
        return static_cast<std::int64_t>(detail::Get<T>(o, get));
    };
    p.SetOrd = [set](TObject& o, std::int64_t v) {
      if constexpr (detail::IsSet<V>::value)
        detail::Put<T>(o, set, V::FromBits(static_cast<std::uint64_t>(v)));
      else
        detail::Put<T>(o, set, static_cast<V>(v));
    };
    cls_.Add(std::move(p));
  }

  template <class G, class S>
  void Color(const char* name, G get, S set, std::optional<std::int64_t> def = {}) {
    TPropInfo& p = Ordinal<std::uint32_t>(name, TPropKind::Color, get, set, def);
    p.Idents = &ColorIdents();
  }

  template <class G, class S>
  void String(const char* name, G get, S set) {
    TPropInfo p = MakeInfo(name, TPropKind::String);
    p.GetStr = [get](TObject& o) { return std::string(detail::Get<T>(o, get)); };
    p.SetStr = [set](TObject& o, const std::string& v) { detail::Put<T>(o, set, v); };
    cls_.Add(std::move(p));
  }

  // An owned sub-object (font, picture, graphic). The setter, when given,
  // takes a copy of what it is handed; without one, forms fill the object the
  // getter returns.
  template <class G, class S = std::nullptr_t>
  void Object(const char* name, G get, S set = nullptr) {
    using X = std::remove_pointer_t<std::decay_t<std::invoke_result_t<G, T&>>>;
    TPropInfo p = MakeInfo(name, TPropKind::Object);
    p.ObjectClass = &X::StaticClass;
    p.GetObj = [get](TObject& o) -> TObject* { return detail::Get<T>(o, get); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetObj = [set](TObject& o, TObject* v) { detail::Put<T>(o, set, dynamic_cast<X*>(v)); };
    cls_.Add(std::move(p));
  }

  // A reference to another component (not owned).
  template <class G, class S>
  void Component(const char* name, G get, S set) {
    using X = std::remove_pointer_t<std::decay_t<std::invoke_result_t<G, T&>>>;
    TPropInfo p = MakeInfo(name, TPropKind::Component);
    p.ObjectClass = &X::StaticClass;
    p.GetObj = [get](TObject& o) -> TObject* { return detail::Get<T>(o, get); };
    p.SetObj = [set](TObject& o, TObject* v) { detail::Put<T>(o, set, dynamic_cast<X*>(v)); };
    cls_.Add(std::move(p));
  }

  // An event held in a data member of a std::function type.
  template <class Fn>
  void Event(const char* name, Fn T::*member) {
    TPropInfo p = MakeInfo(name, TPropKind::Event);
    p.EventType = typeid(Fn);
    p.SetEvent = [member](TObject& o, const std::any& v) {
      static_cast<T&>(o).*member = v.has_value() ? std::any_cast<Fn>(v) : Fn();
    };
    cls_.Add(std::move(p));
  }

  // A list of graphics, each created from its picture data (image lists).
  template <class S>
  void Graphics(const char* name, S set) {
    TPropInfo p = MakeInfo(name, TPropKind::Graphics);
    p.SetGraphics = [set](TObject& o, const std::vector<TGraphic*>& v) { detail::Put<T>(o, set, v); };
    cls_.Add(std::move(p));
  }

  // A list of items the object owns (a list view's columns): the getter
  // returns the list, whose Clear() empties it and Add() appends a new item
  // of a GUI_CLASS class. Forms replace the items with those they list.
  template <class G>
  void Collection(const char* name, G get) {
    using L = std::remove_pointer_t<std::decay_t<std::invoke_result_t<G, T&>>>;
    using X = std::remove_pointer_t<decltype(std::declval<L&>().Add())>;
    TPropInfo p = MakeInfo(name, TPropKind::Collection);
    p.ObjectClass = &X::StaticClass;
    p.ClearItems = [get](TObject& o) { detail::Get<T>(o, get)->Clear(); };
    p.AddItem = [get](TObject& o) -> TObject* { return detail::Get<T>(o, get)->Add(); };
    cls_.Add(std::move(p));
  }

  // Publishes a property an ancestor declared, optionally with a new default.
  void Publish(const char* name, std::optional<std::int64_t> def = {}) {
    const TPropInfo* inheritedProp = cls_.Parent() ? cls_.Parent()->FindDeclaredProperty(name) : nullptr;
    if (!inheritedProp) throw EClassNotFound(std::string("No property ") + name + " to publish in " + cls_.Name());
    TPropInfo p = *inheritedProp;
    p.Published = published_;
    if (def) p.Default = def;
    cls_.Add(std::move(p));
  }

  // A reader for a property that older forms hold; an empty function reads
  // the value and drops it.
  void Legacy(const char* name, std::function<void(T&, const TFormValue&)> read) {
    cls_.legacy_.push_back({name, [read](TObject& o, const TFormValue& v) {
                              if (read) read(static_cast<T&>(o), v);
                            }});
  }

  // A handler that forms of class T (or a subclass) bind to events by name.
  template <class Base, class... Args>
  void Handler(const char* name, void (Base::*method)(Args...)) {
    static_assert(std::is_base_of_v<Base, T>);
    using Fn = std::function<void(Args...)>;
    THandlerInfo h;
    h.Name = name;
    h.Type = typeid(Fn);
    h.Bind = [method](TObject& form) -> std::any {
      Base* target = dynamic_cast<Base*>(&form);
      return Fn([target, method](Args... args) { (target->*method)(std::forward<Args>(args)...); });
    };
    cls_.handlers_.push_back(std::move(h));
  }

 private:
  TPropInfo MakeInfo(const char* name, TPropKind kind) {
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.Published = published_;
    return p;
  }

  template <class V, class G, class S>
  TPropInfo& Ordinal(const char* name, TPropKind kind, G get, S set, std::optional<std::int64_t> def) {
    TPropInfo p = MakeInfo(name, kind);
    p.Default = def;
    p.GetOrd = [get](TObject& o) { return static_cast<std::int64_t>(detail::Get<T>(o, get)); };
    p.SetOrd = [set](TObject& o, std::int64_t v) { detail::Put<T>(o, set, static_cast<V>(v)); };
    return cls_.Add(std::move(p));
  }

  TClass& cls_;
  bool published_ = true;
};

template <class T, class Define>
const TClass& TClass::Build(const char* name, const TClass* parent, Define define) {
  Factory factory = nullptr;
  if constexpr (detail::kCreatable<T>) factory = &detail::NewInstance<T>;
  // Class records live as long as the program; never destroyed, so no
  // static destruction order can pull one from under an object.
  auto* cls = new TClass(name, parent, factory);
  TClassBuilder<T> builder(*cls);
  define(builder);
  return *cls;
}

}  // namespace gui
