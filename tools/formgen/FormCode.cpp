#include "FormCode.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>
#include <vector>

namespace formgen {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool IsIdentifier(const std::string& s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// "a::b::TName", each part an identifier.
bool IsQualifiedName(const std::string& s) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t sep = s.find("::", start);
    if (!IsIdentifier(s.substr(start, sep == std::string::npos ? std::string::npos : sep - start))) return false;
    if (sep == std::string::npos) return true;
    start = sep + 2;
  }
}

bool IsKeyword(const std::string& s) {
  static const std::set<std::string> keywords = {
      "alignas",     "alignof",   "and",        "and_eq",    "asm",      "auto",         "bitand",
      "bitor",       "bool",      "break",      "case",      "catch",    "char",         "char8_t",
      "char16_t",    "char32_t",  "class",      "compl",     "concept",  "const",        "consteval",
      "constexpr",   "constinit", "const_cast", "continue",  "co_await", "co_return",    "co_yield",
      "decltype",    "default",   "delete",     "do",        "double",   "dynamic_cast", "else",
      "enum",        "explicit",  "export",     "extern",    "false",    "float",        "for",
      "friend",      "goto",      "if",         "inline",    "int",      "long",         "mutable",
      "namespace",   "new",       "noexcept",   "not",       "not_eq",   "nullptr",      "operator",
      "or",          "or_eq",     "private",    "protected", "public",   "register",     "reinterpret_cast",
      "requires",    "return",    "short",      "signed",    "sizeof",   "static",       "static_assert",
      "static_cast", "struct",    "switch",     "template",  "this",     "thread_local", "throw",
      "true",        "try",       "typedef",    "typeid",    "typename", "union",        "unsigned",
      "using",       "virtual",   "void",       "volatile",  "wchar_t",  "while",        "xor",
      "xor_eq"};
  return keywords.count(s) > 0;
}

// The members the written class has besides the fields.
bool IsMemberName(const std::string& s) {
  static const std::set<std::string> members = {"Part",      "PartComponent",  "PartClass",     "PartName",
                                                "FormTexts", "BindComponents", "DefineHandlers"};
  return members.count(s) > 0;
}

std::string Namespace(const std::string& qualified) {
  const std::size_t sep = qualified.rfind("::");
  return sep == std::string::npos ? std::string() : qualified.substr(0, sep);
}

std::string ShortName(const std::string& qualified) {
  const std::size_t sep = qualified.rfind("::");
  return sep == std::string::npos ? qualified : qualified.substr(sep + 2);
}

// A class as code in another namespace names it: from the global one.
std::string Global(const std::string& qualified) { return Namespace(qualified).empty() ? qualified : "::" + qualified; }

const char* SlotCode(TextProperty p) {
  switch (p) {
    case TextProperty::Caption:
      return "kCaption";
    case TextProperty::Hint:
      return "kHint";
    case TextProperty::Text:
      return "kText";
  }
  return "kCaption";
}

class Writer {
 public:
  Writer(const Form& form, const ClassMap& classes, const CodeNames& names)
      : form_(form), classes_(classes), names_(names) {}

  FormCode Run() {
    const ClassEntry& root = Lookup(form_.Class, form_.Line);
    ns_ = Namespace(root.Cpp);
    formClass_ = ShortName(root.Cpp);
    parts_ = formClass_ + "Components";
    rootHeader_ = root.Header;
    CheckName(form_.Name, form_.Line, "form");
    for (const Component& c : form_.Components) {
      CheckName(c.Name, c.Line, "component");
      types_.push_back(Lookup(c.Class, c.Line));
    }
    for (const HandlerUse& h : form_.Handlers) CheckName(h.Handler, h.Line, "handler");
    return {WriteHeader(), WriteSource()};
  }

 private:
  [[noreturn]] void Fail(int line, const std::string& what) const {
    throw Error(names_.FormFile + ":" + std::to_string(line) + ": " + what);
  }

  const ClassEntry& Lookup(const std::string& cls, int line) const {
    auto it = classes_.find(Upper(cls));
    if (it == classes_.end()) Fail(line, "the class " + cls + " is not in " + names_.MapFile);
    return it->second;
  }

  void CheckName(const std::string& name, int line, const char* what) const {
    if (IsKeyword(name)) Fail(line, std::string("the ") + what + " name " + name + " is a C++ keyword");
    if (IsMemberName(name) || name == formClass_ || name == parts_)
      Fail(line, std::string("the ") + what + " name " + name + " is taken by formgen's code");
  }

  std::string PartOf(int component) const {
    return "Part::" + (component == kRoot ? form_.Name : form_.Components[static_cast<std::size_t>(component)].Name);
  }

  void OpenNamespace(std::ostringstream& out) const {
    if (!ns_.empty()) out << "namespace " << ns_ << " {\n\n";
  }
  void CloseNamespace(std::ostringstream& out) const {
    if (!ns_.empty()) out << "\n}  // namespace " << ns_ << "\n";
  }

  std::string WriteHeader() const {
    std::ostringstream out;
    out << "// Written by formgen from " << names_.FormFile << "; change the form, not this file.\n"
        << "#pragma once\n\n#include <span>\n\n#include \"" << names_.Support << "\"\n\n";

    // Forward declarations, a block for each namespace.
    std::map<std::string, std::set<std::string>> declared;
    for (const ClassEntry& t : types_) declared[Namespace(t.Cpp)].insert(ShortName(t.Cpp));
    declared[ns_].insert(formClass_);
    for (const auto& [space, names] : declared) {
      if (!space.empty()) out << "namespace " << space << " {\n";
      for (const std::string& n : names) out << "class " << n << ";\n";
      if (!space.empty()) out << "}  // namespace " << space << "\n";
      out << "\n";
    }

    OpenNamespace(out);
    out << "// The parts of the form " << form_.Name << ": a typed field for each component, bound\n"
        << "// by name once the form is read, and the handlers its events name. " << formClass_ << "\n"
        << "// derives from it.\n"
        << "class " << parts_ << " {\n public:\n  enum class Part {\n    " << form_.Name << ",\n";
    for (const Component& c : form_.Components) out << "    " << c.Name << ",\n";
    out << "  };\n\n";
    for (std::size_t i = 0; i < form_.Components.size(); ++i)
      out << "  " << Global(types_[i].Cpp) << "* " << form_.Components[i].Name << " = nullptr;\n";
    if (!form_.Components.empty()) out << "\n";
    out << "  // The form itself or one of its components; EFormError before the binding.\n"
        << "  gui::TComponent& PartComponent(Part part);\n"
        << "  static const gui::TClass& PartClass(Part part);\n"
        << "  static const char* PartName(Part part);\n"
        << "  // Each caption, hint and text the form gives, in the form's order.\n"
        << "  static std::span<const TFormText<Part>> FormTexts();\n\n"
        << " protected:\n"
        << "  ~" << parts_ << "() = default;  // only ever a window's base\n\n"
        << "  // Binds every field to the form's component of its name; EFormError\n"
        << "  // names the first one the form lacks.\n"
        << "  void BindComponents();\n"
        << "  // Enters every handler the form names into " << formClass_ << "'s class table.\n"
        << "  static void DefineHandlers(gui::TClassBuilder<" << formClass_ << ">& c);\n"
        << "};\n";
    CloseNamespace(out);
    return out.str();
  }

  std::string WriteSource() const {
    std::ostringstream out;
    out << "// Written by formgen from " << names_.FormFile << "; change the form, not this file.\n"
        << "#include \"" << names_.Header << "\"\n\n";
    std::set<std::string> headers{rootHeader_};
    for (const ClassEntry& t : types_) headers.insert(t.Header);
    for (const std::string& h : headers) out << "#include \"" << h << "\"\n";
    out << "\n";
    OpenNamespace(out);

    const std::string& root = form_.Name;
    out << "gui::TComponent& " << parts_ << "::PartComponent(Part part) {\n  switch (part) {\n"
        << "    case Part::" << root << ": return static_cast<" << formClass_ << "&>(*this);\n";
    for (const Component& c : form_.Components)
      out << "    case Part::" << c.Name << ": return BoundPart(" << c.Name << ", \"" << c.Name << "\");\n";
    out << "  }\n  NoSuchPart(\"" << root << "\", static_cast<int>(part));\n}\n\n";

    out << "const gui::TClass& " << parts_ << "::PartClass(Part part) {\n  switch (part) {\n"
        << "    case Part::" << root << ": return " << formClass_ << "::StaticClass();\n";
    for (std::size_t i = 0; i < form_.Components.size(); ++i)
      out << "    case Part::" << form_.Components[i].Name << ": return " << Global(types_[i].Cpp)
          << "::StaticClass();\n";
    out << "  }\n  NoSuchPart(\"" << root << "\", static_cast<int>(part));\n}\n\n";

    out << "const char* " << parts_ << "::PartName(Part part) {\n  switch (part) {\n"
        << "    case Part::" << root << ": return \"" << root << "\";\n";
    for (const Component& c : form_.Components)
      out << "    case Part::" << c.Name << ": return \"" << c.Name << "\";\n";
    out << "  }\n  NoSuchPart(\"" << root << "\", static_cast<int>(part));\n}\n\n";

    out << "std::span<const TFormText<" << parts_ << "::Part>> " << parts_ << "::FormTexts() {\n";
    if (form_.Texts.empty()) {
      out << "  return {};\n}\n\n";
    } else {
      out << "  static constexpr TFormText<Part> kTexts[] = {\n";
      for (const FormText& t : form_.Texts) {
        out << "      {" << PartOf(t.Component) << ", ";
        if (t.Column >= 0)
          out << "ColumnCaption(" << t.Column << ")";
        else
          out << SlotCode(t.Property);
        out << "},  // line " << t.Line << "\n";
      }
      out << "  };\n  return kTexts;\n}\n\n";
    }

    out << "void " << parts_ << "::BindComponents() {\n";
    if (!form_.Components.empty()) {
      out << "  gui::TComponent& form = PartComponent(Part::" << root << ");\n";
      for (const Component& c : form_.Components) out << "  Bind(form, " << c.Name << ", \"" << c.Name << "\");\n";
    }
    out << "}\n\n";

    out << "void " << parts_ << "::DefineHandlers([[maybe_unused]] gui::TClassBuilder<" << formClass_ << ">& c) {\n";
    std::set<std::string> entered;
    for (const HandlerUse& h : form_.Handlers) {
      // A handler several events name is entered once (the table finds the first).
      if (!entered.insert(Upper(h.Handler)).second) continue;
      out << "  c.Handler(\"" << h.Handler << "\", &" << formClass_ << "::" << h.Handler << ");  // line " << h.Line
          << ": " << h.Event << "\n";
    }
    out << "}\n";
    CloseNamespace(out);
    return out.str();
  }

  const Form& form_;
  const ClassMap& classes_;
  const CodeNames& names_;
  std::vector<ClassEntry> types_;  // each component's, in order
  std::string ns_, formClass_, parts_, rootHeader_;
};

}  // namespace

ClassMap ReadClassMap(const std::string& text, const std::string& file) {
  ClassMap map;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::size_t comment = line.find("//");
    if (comment != std::string::npos) line.erase(comment);
    std::istringstream words(line);
    std::vector<std::string> fields;
    for (std::string w; words >> w;) fields.push_back(w);
    if (fields.empty()) continue;
    auto fail = [&](const std::string& what) { throw Error(file + ":" + std::to_string(number) + ": " + what); };
    if (fields.size() != 3) fail("a line holds a form class, its C++ class and its header");
    if (!IsIdentifier(fields[0])) fail("'" + fields[0] + "' is not a class name");
    if (!IsQualifiedName(fields[1])) fail("'" + fields[1] + "' is not a C++ class name");
    if (!map.emplace(Upper(fields[0]), ClassEntry{fields[1], fields[2]}).second) fail(fields[0] + " is listed twice");
  }
  return map;
}

FormCode WriteFormCode(const Form& form, const ClassMap& classes, const CodeNames& names) {
  return Writer(form, classes, names).Run();
}

}  // namespace formgen
