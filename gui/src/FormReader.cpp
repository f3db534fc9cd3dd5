#include "gui/FormReader.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "gui/FormLexer.h"
#include "gui/Graphic.h"
#include "gui/Streams.h"
#include "kit/Own.h"

namespace gui {

// --- resource names and sources ---------------------------------------------------

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

const char* const kRcData = MAKEINTRESOURCEA(10);  // RT_RCDATA

}  // namespace

std::string FormResourceName(const std::string& className) { return Upper(className); }

std::string PictureResourceName(const std::string& formClass, const std::string& fileName) {
  std::string encoded = Upper(fileName);
  for (char& c : encoded)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) c = '_';
  return Upper(formClass) + "_" + encoded;
}

TResourceFormSource::TResourceFormSource(HINSTANCE module) : module_(module ? module : GetModuleHandleA(nullptr)) {}

std::optional<std::string> TResourceFormSource::FormText(const std::string& className) {
  std::string name = FormResourceName(className);
  if (!TResourceStream::Exists(module_, name.c_str(), kRcData)) return std::nullopt;
  TResourceStream stream(module_, name.c_str(), kRcData);
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
}

std::optional<std::vector<std::uint8_t>> TResourceFormSource::PictureData(const std::string& formClass,
                                                                        const std::string& fileName) {
  std::string name = PictureResourceName(formClass, fileName);
  if (!TResourceStream::Exists(module_, name.c_str(), kRcData)) return std::nullopt;
  TResourceStream stream(module_, name.c_str(), kRcData);
  return std::vector<std::uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

void TMemoryFormSource::AddForm(const std::string& className, std::string text) {
  forms_[Upper(className)] = std::move(text);
}

void TMemoryFormSource::AddPicture(const std::string& formClass, const std::string& fileName,
                                   std::vector<std::uint8_t> bytes) {
  pictures_[PictureResourceName(formClass, fileName)] = std::move(bytes);
}

std::optional<std::string> TMemoryFormSource::FormText(const std::string& className) {
  auto it = forms_.find(Upper(className));
  if (it == forms_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::vector<std::uint8_t>> TMemoryFormSource::PictureData(const std::string& formClass,
                                                                      const std::string& fileName) {
  auto it = pictures_.find(PictureResourceName(formClass, fileName));
  if (it == pictures_.end()) return std::nullopt;
  return it->second;
}

// --- lexer ----------------------------------------------------------------------------

namespace {

using Tok = TFormTok;
using Token = TFormToken;

// Turns UTF-8 form text into the program's 8-bit code page.
bool Utf8ToAnsi(const std::string& utf8, std::string& ansi) {
  if (utf8.empty()) {
    ansi.clear();
    return true;
  }
  int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (wide <= 0) return false;
  std::wstring w(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), w.data(), wide);
  int bytes = WideCharToMultiByte(CP_ACP, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  ansi.assign(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), wide, ansi.data(), bytes, nullptr, nullptr);
  return true;
}

// Strings in the program's code page.
class LineLexer : public TFormLineLexer {
 public:
  explicit LineLexer(const std::string& line) : TFormLineLexer(line, &Utf8ToAnsi) {}
};

// --- reader ------------------------------------------------------------------------------

struct Fixup {
  TObject* object;
  const TPropInfo* prop;
  std::string name;
  std::string form;
  int line;
  std::vector<TObject*> items;  // the collection items it was read in, outermost first
};

class Reader {
 public:
  Reader(TComponent& root, TFormSource& source) : root_(root), source_(source) {}

  void Run() {
    const TClass* cls = &root_.ClassType();
    std::optional<std::string> text;
    for (; cls && cls->InheritsFrom(TComponent::StaticClass()); cls = cls->Parent())
      if ((text = source_.FormText(cls->Name()))) break;
    if (!text) throw EFormError("No form for class " + root_.ClassName());

    root_.SetLoadingState(true);
    {
      auto loadingOff = kit::OnExit([this] {
        for (TComponent* c : loaded_) c->SetLoadingState(false);
        root_.SetLoadingState(false);
      });
      ReadText(*cls, *text);
      ResolveReferences();
      BindHandlers();
    }
    for (TComponent* c : loaded_) c->Loaded();
    root_.Loaded();
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw EFormError("Error in form " + form_ + ", line " + std::to_string(line_) + ": " + what);
  }

  // Reads one form text (its ancestors' first when it starts with inherited).
  void ReadText(const TClass& formClass, const std::string& text) {
    const std::vector<std::string> lines = FormLines(text);

    std::string savedForm = form_;
    const std::vector<std::string>* savedLines = lines_;
    std::size_t savedIndex = index_;
    int savedLine = line_;
    form_ = formClass.Name();
    lines_ = &lines;
    index_ = 0;

    if (!NextLine()) Fail("the form is empty");
    ReadObject(nullptr, &formClass);
    if (NextLine()) Fail("text after the form's last 'end'");

    form_ = savedForm;
    lines_ = savedLines;
    index_ = savedIndex;
    line_ = savedLine;
  }

  // Moves to the next line that holds anything; false at the end.
  bool NextLine() {
    while (index_ < lines_->size()) {
      current_ = (*lines_)[index_++];
      line_ = static_cast<int>(index_);
      LineLexer lex(current_);
      if (Lex([&] { return lex.Peek(); }).kind != Tok::End) return true;
    }
    return false;
  }

  template <class F>
  Token Lex(F f) {
    try {
      return f();
    } catch (const std::string& problem) {
      Fail(problem);
    }
  }

  Token Expect(LineLexer& lex, Tok kind, const char* what) {
    Token t = Lex([&] { return lex.Next(); });
    if (t.kind != kind) Fail(std::string(what) + " is expected");
    return t;
  }

  void ExpectPunct(LineLexer& lex, char c) {
    Token t = Lex([&] { return lex.Next(); });
    if (t.kind != Tok::Punct || t.text[0] != c) Fail(std::string("'") + c + "' is expected");
  }

  void ExpectLineEnd(LineLexer& lex) {
    if (Lex([&] { return lex.Next(); }).kind != Tok::End) Fail("unexpected text at the end of the line");
  }

  // The current line holds "object|inherited Name: TClass". rootClass is set
  // for the form's top block.
  void ReadObject(TComponent* parent, const TClass* rootClass) {
    const int startLine = line_;
    LineLexer lex(current_);
    Token keyword = Expect(lex, Tok::Ident, "'object' or 'inherited'");
    bool inheritedBlock = SameText(keyword.text, "inherited");
    if (!inheritedBlock && !SameText(keyword.text, "object")) Fail("'object' or 'inherited' is expected");
    std::string name = Expect(lex, Tok::Ident, "a component name").text;
    ExpectPunct(lex, ':');
    std::string className = Expect(lex, Tok::Ident, "a class name").text;
    ExpectLineEnd(lex);

    TComponent* component;
    if (rootClass) {
      if (!SameText(className, rootClass->Name()))
        Fail("the form is of class " + rootClass->Name() + ", not " + className);
      if (inheritedBlock) ReadAncestor(*rootClass);
      Guard([&] { root_.SetName(name); });
      component = &root_;
    } else if (inheritedBlock) {
      component = root_.FindComponent(name);
      if (!component) Fail("there is no inherited component " + name);
      if (!SameText(component->ClassName(), className))
        Fail(name + " is a " + component->ClassName() + ", not a " + className);
    } else {
      if (root_.FindComponent(name) || SameText(name, root_.Name())) Fail("a component named " + name + " already exists");
      const TClass* cls = GetClass(className);
      if (!cls) Fail("unknown class " + className);
      if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->CanCreate())
        Fail(className + " is not a component class that can be created");
      component = nullptr;
      Guard([&] {
        std::unique_ptr<TObject> made(cls->Create(&root_));
        component = static_cast<TComponent*>(made.release());
      });
      component->SetLoadingState(true);
      Guard([&] { component->SetName(name); });
      Guard([&] { component->SetParentComponent(parent ? parent : &root_); });
    }
    if (component != &root_ && std::find(loaded_.begin(), loaded_.end(), component) == loaded_.end())
      loaded_.push_back(component);

    for (;;) {
      if (!NextLine()) {
        line_ = startLine;  // the unclosed block is what needs fixing
        Fail("'end' is missing for " + name);
      }
      LineLexer peek(current_);
      Token first = Lex([&] { return peek.Next(); });
      if (first.kind == Tok::Ident && SameText(first.text, "end")) {
        ExpectLineEnd(peek);
        return;
      }
      if (first.kind == Tok::Ident && (SameText(first.text, "object") || SameText(first.text, "inherited")) &&
          Lex([&] { return peek.Peek(); }).kind == Tok::Ident) {
        ReadObject(component, nullptr);
        continue;
      }
      ReadProperty(*component);
    }
  }

  void ReadAncestor(const TClass& formClass) {
    for (const TClass* cls = formClass.Parent(); cls && cls->InheritsFrom(TComponent::StaticClass());
         cls = cls->Parent()) {
      if (auto text = source_.FormText(cls->Name())) {
        ReadText(*cls, *text);
        return;
      }
    }
    Fail("no ancestor of " + formClass.Name() + " has a form to inherit");
  }

  // Runs f, turning a failure of the object model into an error of this line.
  template <class F>
  void Guard(F f) {
    try {
      f();
    } catch (const EFormError&) {
      throw;
    } catch (const std::exception& e) {
      Fail(e.what());
    }
  }

  // --- values ---

  TFormValue ReadValue(LineLexer& lex) {
    TFormValue v;
    Token t = Lex([&] { return lex.Next(); });
    switch (t.kind) {
      case Tok::Number:
        v.kind = TFormValue::Kind::Integer;
        v.Integer = t.number;
        break;
      case Tok::String:
        v.kind = TFormValue::Kind::String;
        v.Text = t.text;
        break;
      case Tok::Ident: {
        Token next = Lex([&] { return lex.Peek(); });
        if (next.kind == Tok::String) {
          lex.Next();
          v.kind = TFormValue::Kind::Graphic;
          v.Text = t.text;
          v.File = PictureFile(next.text);
        } else {
          v.kind = TFormValue::Kind::Identifier;
          v.Text = t.text;
        }
        break;
      }
      case Tok::Punct:
        if (t.text == "[") {
          v.kind = TFormValue::Kind::Set;
          Token item = Lex([&] { return lex.Next(); });
          if (!(item.kind == Tok::Punct && item.text == "]")) {
            for (;;) {
              if (item.kind != Tok::Ident) Fail("an identifier is expected in the set");
              v.Items.push_back(item.text);
              Token sep = Lex([&] { return lex.Next(); });
              if (sep.kind == Tok::Punct && sep.text == "]") break;
              if (!(sep.kind == Tok::Punct && sep.text == ",")) Fail("',' or ']' is expected");
              item = Lex([&] { return lex.Next(); });
            }
          }
          break;
        }
        if (t.text == "(") {
          v.kind = TFormValue::Kind::GraphicList;
          if (Lex([&] { return lex.Peek(); }).kind == Tok::Punct && lex.Peek().text == ")") {
            lex.Next();
            break;
          }
          ExpectLineEnd(lex);
          ReadGraphicList(v);
          return v;
        }
        Fail("'" + t.text + "' cannot start a value");
      case Tok::End:
        Fail("a value is expected");
    }
    ExpectLineEnd(lex);
    return v;
  }

  // The build names picture resources after the file names byte by byte, so
  // only plain ASCII names come out the same on both sides.
  std::string PictureFile(const std::string& name) {
    if (name.empty()) Fail("a picture file name is empty");
    for (char c : name)
      if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
        Fail("the picture file name '" + name + "' is not plain ASCII");
    return name;
  }

  // One "TClass 'file'" per line up to a line with ")".
  void ReadGraphicList(TFormValue& v) {
    for (;;) {
      if (!NextLine()) Fail("')' is missing");
      LineLexer lex(current_);
      Token t = Lex([&] { return lex.Next(); });
      if (t.kind == Tok::Punct && t.text == ")") {
        ExpectLineEnd(lex);
        return;
      }
      if (t.kind != Tok::Ident) Fail("a picture class name is expected");
      Token file = Expect(lex, Tok::String, "a picture file name");
      ExpectLineEnd(lex);
      v.Graphics.emplace_back(t.text, PictureFile(file.text));
    }
  }

  static const char* KindName(TFormValue::Kind k) {
    switch (k) {
      case TFormValue::Kind::Integer: return "a number";
      case TFormValue::Kind::String: return "a string";
      case TFormValue::Kind::Identifier: return "an identifier";
      case TFormValue::Kind::Set: return "a set";
      case TFormValue::Kind::Graphic: return "a picture";
      case TFormValue::Kind::GraphicList: return "a picture list";
    }
    return "a value";
  }

  // One "Property = value" line of a component or of a collection's item;
  // a collection's value runs on to its closing '>'.
  void ReadProperty(TObject& target) {
    LineLexer lex(current_);
    std::vector<std::string> path{Expect(lex, Tok::Ident, "a property name").text};
    for (;;) {
      Token t = Lex([&] { return lex.Next(); });
      if (t.kind == Tok::Punct && t.text == ".") {
        path.push_back(Expect(lex, Tok::Ident, "a property name after '.'").text);
        continue;
      }
      if (t.kind == Tok::Punct && t.text == "=") break;
      Fail("'=' is expected after the property name");
    }
    std::string fullName;
    for (const std::string& p : path) fullName += (fullName.empty() ? "" : ".") + p;

    TObject* object = &target;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
      const TPropInfo* prop = object->ClassType().FindProperty(path[i]);
      if (!prop) Fail("unknown property " + path[i] + " of " + object->ClassName());
      if (prop->Kind != TPropKind::Object) Fail(path[i] + " has no sub-properties");
      TObject* sub = nullptr;
      Guard([&] { sub = prop->GetObj(*object); });
      if (!sub) Fail(path[i] + " of " + object->ClassName() + " holds no object");
      object = sub;
    }
    const std::string& last = path.back();
    if (object == &target && target.Is<TComponent>() && SameText(last, "Name"))
      Fail("a component's name is given in its object line");
    const TPropInfo* prop = object->ClassType().FindProperty(last);
    Token next = Lex([&] { return lex.Peek(); });
    if (next.kind == Tok::Punct && next.text == "<") {
      if (!prop) Fail("unknown property " + fullName + " of " + target.ClassName());
      if (prop->Kind != TPropKind::Collection) Fail(fullName + " does not hold a list of items");
      lex.Next();
      ReadCollection(lex, *object, *prop, fullName);
      return;
    }
    TFormValue value = ReadValue(lex);
    if (!prop) {
      if (const TLegacyReader* legacy = object->ClassType().FindLegacyReader(last)) {
        Guard([&] { legacy->Read(*object, value); });
        return;
      }
      Fail("unknown property " + fullName + " of " + target.ClassName());
    }
    Apply(*object, *prop, value, fullName);
  }

  // After "Property = <": "item" ... "end" blocks of item properties up to
  // a line with ">" (or "<>" for none). The items replace those there were.
  void ReadCollection(LineLexer& lex, TObject& object, const TPropInfo& prop, const std::string& name) {
    Token t = Lex([&] { return lex.Next(); });
    bool empty = t.kind == Tok::Punct && t.text == ">";
    if (!empty && t.kind != Tok::End) Fail("the items of " + name + " start on the next line");
    if (empty) ExpectLineEnd(lex);
    ForgetItems(readItems_[{&object, &prop}]);
    Guard([&] { prop.ClearItems(object); });
    if (empty) return;
    const int startLine = line_;
    for (;;) {
      if (!NextLine()) {
        line_ = startLine;
        Fail("'>' is missing for " + name);
      }
      LineLexer line(current_);
      Token first = Lex([&] { return line.Next(); });
      if (first.kind == Tok::Punct && first.text == ">") {
        ExpectLineEnd(line);
        return;
      }
      if (first.kind != Tok::Ident || !SameText(first.text, "item")) Fail("'item' or '>' is expected in " + name);
      ExpectLineEnd(line);
      TObject* item = nullptr;
      Guard([&] { item = prop.AddItem(object); });
      readItems_[{&object, &prop}].push_back(item);
      itemStack_.push_back(item);
      ReadItem(*item);
      itemStack_.pop_back();
    }
  }

  // Items about to go (a derived form lists the collection anew) take the
  // references and handlers still waiting in them along.
  void ForgetItems(std::vector<TObject*>& items) {
    auto inGone = [&](const Fixup& f) {
      return std::any_of(f.items.begin(), f.items.end(),
                         [&](TObject* i) { return std::find(items.begin(), items.end(), i) != items.end(); });
    };
    std::erase_if(fixups_, inGone);
    std::erase_if(handlers_, inGone);
    items.clear();
  }

  // The properties of one item, up to its "end".
  void ReadItem(TObject& item) {
    const int startLine = line_;
    for (;;) {
      if (!NextLine()) {
        line_ = startLine;
        Fail("'end' is missing for an item");
      }
      LineLexer peek(current_);
      Token first = Lex([&] { return peek.Next(); });
      if (first.kind == Tok::Ident && SameText(first.text, "end")) {
        ExpectLineEnd(peek);
        return;
      }
      ReadProperty(item);
    }
  }

  void Apply(TObject& object, const TPropInfo& prop, const TFormValue& v, const std::string& name) {
    using K = TFormValue::Kind;
    auto wrong = [&]() { Fail(std::string(KindName(v.kind)) + " is not a value for " + name); };
    switch (prop.Kind) {
      case TPropKind::Integer: {
        std::int64_t n = 0;
        if (v.kind == K::Integer) {
          n = v.Integer;
        } else if (v.kind == K::Identifier && prop.Idents && prop.Idents->ValueOf(v.Text)) {
          n = *prop.Idents->ValueOf(v.Text);
        } else if (v.kind == K::Identifier) {
          Fail("unknown value " + v.Text + " for " + name);
        } else {
          wrong();
        }
        if (n < prop.MinValue || n > prop.MaxValue)
          Fail(std::to_string(n) + " is out of range for " + name + " (" + std::to_string(prop.MinValue) + " to " +
               std::to_string(prop.MaxValue) + ")");
        Guard([&] { prop.SetOrd(object, n); });
        return;
      }
      case TPropKind::Boolean: {
        if (v.kind != K::Identifier) wrong();
        bool yes = SameText(v.Text, "True");
        if (!yes && !SameText(v.Text, "False")) Fail("True or False is expected for " + name);
        Guard([&] { prop.SetOrd(object, yes ? 1 : 0); });
        return;
      }
      case TPropKind::Enumeration: {
        if (v.kind != K::Identifier) wrong();
        int n = prop.Enum->ValueOf(v.Text);
        if (n < 0) Fail(v.Text + " is not a value of " + prop.Enum->TypeName);
        Guard([&] { prop.SetOrd(object, n); });
        return;
      }
      case TPropKind::Set: {
        if (v.kind != K::Set) wrong();
        std::uint64_t bits = 0;
        for (const std::string& item : v.Items) {
          int n = prop.Enum->ValueOf(item);
          if (n < 0 || n >= 64) Fail(item + " is not a value of " + prop.Enum->TypeName);
          bits |= std::uint64_t{1} << n;
        }
        Guard([&] { prop.SetOrd(object, static_cast<std::int64_t>(bits)); });
        return;
      }
      case TPropKind::Color: {
        std::int64_t n = 0;
        if (v.kind == K::Integer) {
          n = v.Integer;
          if (n < INT32_MIN || n > UINT32_MAX) Fail(std::to_string(n) + " is not a colour");
          n = static_cast<std::uint32_t>(n);
        } else if (v.kind == K::Identifier) {
          auto c = ColorIdents().ValueOf(v.Text);
          if (!c) Fail("unknown colour " + v.Text);
          n = *c;
        } else {
          wrong();
        }
        Guard([&] { prop.SetOrd(object, n); });
        return;
      }
      case TPropKind::String:
        if (v.kind != K::String) wrong();
        Guard([&] { prop.SetStr(object, v.Text); });
        return;
      case TPropKind::Object:
        if (v.kind != K::Graphic) Fail(name + " is set through its sub-properties (" + name + ".Property = value)");
        ApplyGraphic(object, prop, v, name);
        return;
      case TPropKind::Component:
        if (v.kind != K::Identifier) wrong();
        if (SameText(v.Text, "nil"))
          Guard([&] { prop.SetObj(object, nullptr); });
        else if (TComponent* target = Named(v.Text))
          SetReference(object, prop, *target, v.Text);
        else  // declared further down
          fixups_.push_back({&object, &prop, v.Text, form_, line_, itemStack_});
        return;
      case TPropKind::Event:
        if (v.kind != K::Identifier) wrong();
        if (SameText(v.Text, "nil"))
          Guard([&] { prop.SetEvent(object, std::any()); });
        else
          handlers_.push_back({&object, &prop, v.Text, form_, line_, itemStack_});
        return;
      case TPropKind::Collection:
        Fail(name + " is a list of items (" + name + " = < ... >)");
      case TPropKind::Graphics: {
        if (v.kind != K::GraphicList) wrong();
        std::vector<TGraphic*> list;
        for (const auto& [cls, file] : v.Graphics) list.push_back(DecodedPicture(cls, file).Graphic());
        Guard([&] { prop.SetGraphics(object, list); });
        return;
      }
    }
  }

  std::unique_ptr<TMemoryStream> PictureStream(const std::string& file) {
    auto bytes = source_.PictureData(form_, file);
    if (!bytes) Fail("the picture file '" + file + "' is not among the form's pictures");
    return std::make_unique<TMemoryStream>(std::move(*bytes));
  }

  // A picture file read in a format, decoded once per reading: forms repeat
  // the same file on many buttons, and every user of it gets a copy.
  TPicture& DecodedPicture(const std::string& className, const std::string& file) {
    if (!TPicture::FindFormatClass(className)) Fail(className + " is not a registered picture format");
    std::unique_ptr<TPicture>& picture = pictures_[{form_, Upper(className), file}];
    if (!picture) {
      auto stream = PictureStream(file);
      auto loaded = std::make_unique<TPicture>();
      Guard([&] { loaded->LoadGraphicData(className, *stream); });
      picture = std::move(loaded);
    }
    return *picture;
  }

  // A picture property: the picture holder creates the graphic through the
  // registered format; a graphic property gets a graphic of that format
  // assigned. Either goes through the property's setter when it has one.
  void ApplyGraphic(TObject& object, const TPropInfo& prop, const TFormValue& v, const std::string& name) {
    const TClass& target = prop.ObjectClass();
    if (target.InheritsFrom(TPicture::StaticClass())) {
      TPicture& picture = DecodedPicture(v.Text, v.File);
      Guard([&] {
        if (prop.SetObj)
          prop.SetObj(object, &picture);
        else if (auto* held = dynamic_cast<TPicture*>(prop.GetObj(object)))
          held->Assign(&picture);
      });
      return;
    }
    if (!target.InheritsFrom(TGraphic::StaticClass())) Fail(name + " does not hold a picture");
    TGraphic* graphic = DecodedPicture(v.Text, v.File).Graphic();
    Guard([&] {
      if (prop.SetObj) {
        prop.SetObj(object, graphic);
      } else {
        TObject* held = prop.GetObj(object);
        if (!held) Fail(name + " holds no object");
        static_cast<TPersistent*>(held)->Assign(graphic);
      }
    });
  }

  // --- end of reading ---

  // The form itself or one of its components, or null.
  TComponent* Named(const std::string& name) const {
    return SameText(name, root_.Name()) ? &root_ : root_.FindComponent(name);
  }

  void SetReference(TObject& object, const TPropInfo& prop, TComponent& target, const std::string& name) {
    const TClass& wanted = prop.ObjectClass();
    if (!target.InheritsFrom(wanted))
      Fail(name + " is a " + target.ClassName() + ", not a " + wanted.Name() + " for " + prop.Name);
    Guard([&] { prop.SetObj(object, &target); });
  }

  void ResolveReferences() {
    for (const Fixup& f : fixups_) {
      form_ = f.form;
      line_ = f.line;
      TComponent* target = Named(f.name);
      if (!target) Fail("unknown component " + f.name + " for " + f.prop->Name);
      SetReference(*f.object, *f.prop, *target, f.name);
    }
  }

  void BindHandlers() {
    for (const Fixup& h : handlers_) {
      form_ = h.form;
      line_ = h.line;
      const THandlerInfo* handler = root_.ClassType().FindHandler(h.name);
      if (!handler) Fail("unknown handler " + h.name + " (" + root_.ClassName() + " has no such method)");
      if (handler->Type != h.prop->EventType) Fail("handler " + h.name + " does not fit the event " + h.prop->Name);
      Guard([&] { h.prop->SetEvent(*h.object, handler->Bind(root_)); });
    }
  }

  TComponent& root_;
  TFormSource& source_;
  std::vector<TComponent*> loaded_;  // components read, in creation order
  std::vector<Fixup> fixups_;
  std::vector<Fixup> handlers_;
  std::vector<TObject*> itemStack_;  // the collection items being read, outermost first
  std::map<std::pair<TObject*, const TPropInfo*>, std::vector<TObject*>> readItems_;  // per collection
  // Decoded pictures by form, class and file.
  std::map<std::tuple<std::string, std::string, std::string>, std::unique_ptr<TPicture>> pictures_;
  std::string form_;
  const std::vector<std::string>* lines_ = nullptr;
  std::size_t index_ = 0;
  int line_ = 0;
  std::string current_;
};

}  // namespace

void ReadForm(TComponent& root, TFormSource& source) { Reader(root, source).Run(); }

void ReadForm(TComponent& root) {
  TResourceFormSource source;
  ReadForm(root, source);
}

}  // namespace gui
