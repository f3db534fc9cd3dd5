// Reads a form file for formgen: its components, the handlers its events
// name and the texts it gives. Its tokens are the program's form reader's
// own (gui/FormLexer.h) and its lines are read as that reader reads them
// (gui/src/FormReader.cpp), so every form the reader takes is understood
// here; the reader stays the judge of classes, properties and values when
// the program runs.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace formgen {

// A problem in an input; the message starts with "file:line: ".
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Component {
  std::string Name;
  std::string Class;
  int Line = 0;
};

// The form itself where a component index is expected.
constexpr int kRoot = -1;

// "OnClick = btnFreeUpClick": a property whose name is On and a capital
// letter on, set to an identifier other than nil (in a component, one of
// its sub-objects or a collection item).
struct HandlerUse {
  std::string Handler;
  std::string Event;
  int Component = kRoot;
  int Line = 0;
};

enum class TextProperty { Caption, Hint, Text };

// A caption, hint or text the form gives as a string that is not empty;
// Column is the item's index for the captions of a list view's Columns, else -1.
struct FormText {
  int Component = kRoot;
  TextProperty Property = TextProperty::Caption;
  int Column = -1;
  int Line = 0;
};

struct Form {
  std::string Name;
  std::string Class;
  int Line = 0;                       // of its object line
  bool Inherited = false;             // the form starts with `inherited`
  std::vector<Component> Components;  // in the order of the file
  std::vector<HandlerUse> Handlers;
  std::vector<FormText> Texts;
};

// `file` names the form in errors.
Form ReadForm(const std::string& text, const std::string& file);

}  // namespace formgen
