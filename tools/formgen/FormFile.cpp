#include "FormFile.h"

#include <cctype>
#include <cstddef>

#include "gui/FormLexer.h"

namespace formgen {

namespace {

bool SameText(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return i == a.size() && !b[i];
}

using Tok = gui::TFormTok;
using Token = gui::TFormToken;
// Strings as their bytes: only whether one is empty matters here.
using LineLexer = gui::TFormLineLexer;

// Where a property line stands: a component (or the form), and within it
// the items of a collection ("Columns", or a dotted path for one nested
// in items) with the item's index.
struct Place {
  int Component = kRoot;
  std::string Collection;
  int Item = -1;
};

class Reader {
 public:
  Reader(const std::string& text, const std::string& file) : file_(file), lines_(gui::FormLines(text)) {}

  Form Run() {
    if (!NextLine()) {
      line_ = 1;
      Fail("the form is empty");
    }
    ReadObject(true);
    if (NextLine()) Fail("text after the form's last 'end'");
    return std::move(form_);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw Error(file_ + ":" + std::to_string(line_) + ": " + what);
  }

  // Moves to the next line that holds a token; false at the end.
  bool NextLine() {
    while (index_ < lines_.size()) {
      current_ = lines_[index_++];
      line_ = static_cast<int>(index_);
      LineLexer lex(current_);
      if (Peek(lex).kind != Tok::End) return true;
    }
    return false;
  }

  Token Next(LineLexer& lex) {
    try {
      return lex.Next();
    } catch (const std::string& problem) {
      Fail(problem);
    }
  }

  Token Peek(LineLexer& lex) {
    try {
      return lex.Peek();
    } catch (const std::string& problem) {
      Fail(problem);
    }
  }

  Token Expect(LineLexer& lex, Tok kind, const char* what) {
    Token t = Next(lex);
    if (t.kind != kind) Fail(std::string(what) + " is expected");
    return t;
  }

  void ExpectPunct(LineLexer& lex, char c) {
    Token t = Next(lex);
    if (t.kind != Tok::Punct || t.text[0] != c) Fail(std::string("'") + c + "' is expected");
  }

  void ExpectLineEnd(LineLexer& lex) {
    if (Next(lex).kind != Tok::End) Fail("unexpected text at the end of the line");
  }

  static bool IsPunct(const Token& t, const char* text) { return t.kind == Tok::Punct && t.text == text; }
  static bool IsWord(const Token& t, const char* word) { return t.kind == Tok::Ident && SameText(t.text, word); }

  // Moves to the next line of a block opened on line `opened`; when there is
  // none, the opening line is what needs fixing.
  void NextLineOf(int opened, const std::string& closing) {
    if (NextLine()) return;
    line_ = opened;
    Fail(closing + " is missing");
  }

  // The current line holds "object|inherited Name: TClass".
  void ReadObject(bool root) {
    const int startLine = line_;
    LineLexer lex(current_);
    const Token keyword = Expect(lex, Tok::Ident, "'object' or 'inherited'");
    const bool inheritedBlock = SameText(keyword.text, "inherited");
    if (!inheritedBlock && !SameText(keyword.text, "object")) Fail("'object' or 'inherited' is expected");
    const std::string name = Expect(lex, Tok::Ident, "a component name").text;
    ExpectPunct(lex, ':');
    const std::string className = Expect(lex, Tok::Ident, "a class name").text;
    ExpectLineEnd(lex);

    int index = kRoot;
    if (root) {
      form_.Name = name;
      form_.Class = className;
      form_.Line = line_;
      form_.Inherited = inheritedBlock;
    } else {
      // An inherited component is its ancestor form's: no field of this
      // form's class could stand for it.
      if (inheritedBlock) Fail("formgen takes no inherited component (" + name + ")");
      if (SameText(name, form_.Name.c_str())) Fail("a component named " + name + " already exists");
      for (const Component& c : form_.Components)
        if (SameText(name, c.Name.c_str())) Fail("a component named " + name + " already exists");
      form_.Components.push_back({name, className, line_});
      index = static_cast<int>(form_.Components.size()) - 1;
    }

    for (;;) {
      NextLineOf(startLine, "'end' for " + name);
      LineLexer lex(current_);
      const Token first = Next(lex);
      if (IsWord(first, "end")) return;
      // "object Name: TClass"; a property may be called Object.
      if ((IsWord(first, "object") || IsWord(first, "inherited")) && Peek(lex).kind == Tok::Ident)
        ReadObject(false);
      else
        ReadProperty(Place{index, "", -1});
    }
  }

  static bool IsEvent(const std::string& name) {
    return name.size() > 2 && (name[0] == 'O' || name[0] == 'o') && (name[1] == 'n' || name[1] == 'N') &&
           std::isupper(static_cast<unsigned char>(name[2]));
  }

  // One "Property = value" line, or the lines a picture list or a
  // collection runs on. Of a value only a string or an identifier standing
  // alone matters here; values are the reader's to judge.
  void ReadProperty(const Place& place) {
    LineLexer lex(current_);
    std::vector<std::string> path{Expect(lex, Tok::Ident, "a property name").text};
    for (;;) {
      const Token t = Next(lex);
      if (IsPunct(t, ".")) {
        path.push_back(Expect(lex, Tok::Ident, "a property name after '.'").text);
        continue;
      }
      if (IsPunct(t, "=")) break;
      Fail("'=' is expected after the property name");
    }
    std::string fullName;
    for (const std::string& p : path) fullName += (fullName.empty() ? "" : ".") + p;

    const Token value = Next(lex);
    const bool alone = Peek(lex).kind == Tok::End;
    if (IsPunct(value, "<")) return ReadCollection(lex, place, fullName);
    if (IsPunct(value, "(") && alone) return SkipPictureList();
    if (value.kind == Tok::End) Fail("a value is expected");
    if (!alone) return;  // a picture, a set, or what the reader will refuse
    const std::string& last = path.back();
    if (value.kind == Tok::Ident && IsEvent(last) && !SameText(value.text, "nil") && !SameText(value.text, "True") &&
        !SameText(value.text, "False"))
      form_.Handlers.push_back({value.text, fullName, place.Component, line_});
    if (value.kind == Tok::String && !value.text.empty() && path.size() == 1) {
      if (SameText(last, "Caption"))
        AddText(place, TextProperty::Caption, fullName);
      else if (SameText(last, "Hint"))
        AddText(place, TextProperty::Hint, fullName);
      else if (SameText(last, "Text"))
        AddText(place, TextProperty::Text, fullName);
    }
  }

  // The lines of a picture list, up to the one that starts with ")".
  void SkipPictureList() {
    const int opened = line_;
    do NextLineOf(opened, "')'");
    while (!IsPunct(FirstToken(), ")"));
  }

  Token FirstToken() {
    LineLexer lex(current_);
    return Next(lex);
  }

  void AddText(const Place& place, TextProperty property, const std::string& name) {
    if (place.Collection.empty()) {
      form_.Texts.push_back({place.Component, property, -1, line_});
      return;
    }
    // A list view's column captions are the one text of items a language
    // table can reach; any other would escape its check.
    if (!SameText(place.Collection, "Columns") || property != TextProperty::Caption)
      Fail("formgen knows no place for the " + name + " of an item of " + place.Collection);
    form_.Texts.push_back({place.Component, property, place.Item, line_});
  }

  // After "Property = <": "item" ... "end" blocks up to a line with ">"
  // ("<>" for none).
  void ReadCollection(LineLexer& lex, const Place& place, const std::string& name) {
    if (IsPunct(Peek(lex), ">")) return;
    const std::string collection = place.Collection.empty() ? name : place.Collection + "." + name;
    const int opened = line_;
    for (int item = 0;; ++item) {
      NextLineOf(opened, "'>' for " + name);
      const Token first = FirstToken();
      if (IsPunct(first, ">")) return;
      if (!IsWord(first, "item")) Fail("'item' or '>' is expected in " + name);
      const int itemLine = line_;
      for (;;) {
        NextLineOf(itemLine, "'end' of an item");
        if (IsWord(FirstToken(), "end")) break;
        ReadProperty(Place{place.Component, collection, item});
      }
    }
  }

  std::string file_;
  std::vector<std::string> lines_;
  std::size_t index_ = 0;
  int line_ = 0;
  std::string current_;
  Form form_;
};

}  // namespace

Form ReadForm(const std::string& text, const std::string& file) { return Reader(text, file).Run(); }

}  // namespace formgen
