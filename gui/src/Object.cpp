#include "gui/Object.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace gui {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string LowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

}  // namespace

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// --- enumeration and identifier tables -------------------------------------

int TEnumInfo::ValueOf(std::string_view ident) const {
  for (std::size_t i = 0; i < Names.size(); ++i)
    if (SameText(Names[i], ident)) return static_cast<int>(i);
  return -1;
}

std::string TEnumInfo::NameOf(std::int64_t value) const {
  if (value < 0 || value >= static_cast<std::int64_t>(Names.size())) return {};
  return Names[static_cast<std::size_t>(value)];
}

std::optional<std::int64_t> TIdentMap::ValueOf(std::string_view ident) const {
  for (const auto& [name, value] : Entries)
    if (SameText(name, ident)) return value;
  return std::nullopt;
}

std::string TIdentMap::NameOf(std::int64_t value) const {
  for (const auto& [name, v] : Entries)
    if (v == value) return name;
  return {};
}

std::string SetToText(const TEnumInfo& info, std::uint64_t bits) {
  std::string text = "[";
  for (std::size_t i = 0; i < info.Names.size() && i < 64; ++i) {
    if (!(bits & (std::uint64_t{1} << i))) continue;
    if (text.size() > 1) text += ", ";
    text += info.Names[i];
  }
  return text + "]";
}

std::uint64_t TextToSet(const TEnumInfo& info, std::string_view text) {
  auto trim = [](std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
  };
  text = trim(text);
  if (text.size() < 2 || text.front() != '[' || text.back() != ']')
    throw EConvertError("'" + std::string(text) + "' is not a set of " + info.TypeName);
  std::string_view inner = trim(text.substr(1, text.size() - 2));
  std::uint64_t bits = 0;
  while (!inner.empty()) {
    std::size_t comma = inner.find(',');
    std::string_view item = trim(inner.substr(0, comma));
    int v = info.ValueOf(item);
    if (v < 0 || v >= 64) throw EConvertError("'" + std::string(item) + "' is not a value of " + info.TypeName);
    bits |= std::uint64_t{1} << v;
    if (comma == std::string_view::npos) break;
    inner = inner.substr(comma + 1);
    if (trim(inner).empty()) throw EConvertError("Missing value after ',' in a set of " + std::string(info.TypeName));
  }
  return bits;
}

// --- class records -----------------------------------------------------------

bool TClass::InheritsFrom(const TClass& other) const {
  for (const TClass* c = this; c; c = c->parent_)
    if (c == &other) return true;
  return false;
}

TObject* TClass::Create(TComponent* owner) const {
  if (!factory_) throw EClassNotFound("Cannot create an instance of " + name_);
  return factory_(owner);
}

TPropInfo& TClass::Add(TPropInfo info) {
  // A redeclaration in the same class replaces the earlier entry.
  for (TPropInfo& p : props_)
    if (SameText(p.Name, info.Name)) return p = std::move(info);
  props_.push_back(std::move(info));
  return props_.back();
}

const TPropInfo* TClass::FindDeclaredProperty(std::string_view name) const {
  for (const TClass* c = this; c; c = c->parent_)
    for (const TPropInfo& p : c->props_)
      if (SameText(p.Name, name)) return &p;
  return nullptr;
}

const TPropInfo* TClass::FindProperty(std::string_view name) const {
  const TPropInfo* p = FindDeclaredProperty(name);
  return p && p->Published ? p : nullptr;
}

std::vector<const TPropInfo*> TClass::Properties() const {
  std::vector<const TClass*> chain;
  for (const TClass* c = this; c; c = c->parent_) chain.push_back(c);
  std::vector<const TPropInfo*> out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (const TPropInfo& p : (*it)->props_) {
      auto same = std::find_if(out.begin(), out.end(), [&](const TPropInfo* q) { return SameText(q->Name, p.Name); });
      if (same != out.end())
        *same = &p;  // keeps the ancestor's position, takes the descendant's entry
      else
        out.push_back(&p);
    }
  }
  std::erase_if(out, [](const TPropInfo* p) { return !p->Published; });
  return out;
}

const TLegacyReader* TClass::FindLegacyReader(std::string_view name) const {
  for (const TClass* c = this; c; c = c->parent_)
    for (const TLegacyReader& r : c->legacy_)
      if (SameText(r.Name, name)) return &r;
  return nullptr;
}

const THandlerInfo* TClass::FindHandler(std::string_view name) const {
  for (const TClass* c = this; c; c = c->parent_)
    for (const THandlerInfo& h : c->handlers_)
      if (SameText(h.Name, name)) return &h;
  return nullptr;
}

const TClass& TObject::StaticClass() {
  static const TClass& cls = TClass::Build<TObject>("TObject", nullptr, [](TClassBuilder<TObject>&) {});
  return cls;
}

// --- registry --------------------------------------------------------------------

void RegisterStandardClasses();  // the layer's own classes, Registrations.cpp

namespace {

struct Registry {
  std::mutex lock;
  std::map<std::string, const TClass*> byName;  // lower-case names
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

void Add(Registry& r, const TClass* cls) {
  auto [it, added] = r.byName.emplace(LowerCopy(cls->Name()), cls);
  if (!added && it->second != cls)
    throw EClassNotFound("A class named " + cls->Name() + " is already registered");
}

void EnsureStandard() {
  static std::once_flag once;
  std::call_once(once, [] { RegisterStandardClasses(); });
}

}  // namespace

void RegisterClasses(std::initializer_list<const TClass*> classes) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  for (const TClass* cls : classes) Add(r, cls);
}

const TClass* GetClass(std::string_view name) {
  EnsureStandard();
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  auto it = r.byName.find(LowerCopy(name));
  return it == r.byName.end() ? nullptr : it->second;
}

const TClass& FindClass(std::string_view name) {
  if (const TClass* cls = GetClass(name)) return *cls;
  throw EClassNotFound("Class " + std::string(name) + " not found");
}

}  // namespace gui
