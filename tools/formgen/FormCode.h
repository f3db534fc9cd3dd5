// Writes the C++ code of a form read by ReadForm: a header with a class
// holding a typed field per component, and a source with the binding, the
// handler table and the places of the form's texts (see README.md).
#pragma once

#include <map>
#include <string>

#include "FormFile.h"

namespace formgen {

// What a class a form names is in C++: "ck::TCkLabel" declared in "CkLabel.h".
struct ClassEntry {
  std::string Cpp;
  std::string Header;
};

// By upper-cased form class name, as the class registry finds classes
// without regard to case.
using ClassMap = std::map<std::string, ClassEntry>;

// One class a line: "TCkLabel  ck::TCkLabel  CkLabel.h"; "//" starts a comment.
ClassMap ReadClassMap(const std::string& text, const std::string& file);

struct CodeNames {
  std::string FormFile;  // the form's file name, for comments and errors
  std::string MapFile;   // the class map's, for errors
  std::string Header;    // the file name the source includes the header by
  std::string Support;   // the header of what the code stands on (Bind, TFormText, ...)
};

struct FormCode {
  std::string Header;
  std::string Source;
};

FormCode WriteFormCode(const Form& form, const ClassMap& classes, const CodeNames& names);

}  // namespace formgen
