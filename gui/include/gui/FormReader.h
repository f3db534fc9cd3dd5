// The form reader: builds a form's components from its text form (see
// gui/README.md for the format). Components are created by class name from
// the class registry, properties are set in file order through the class
// property tables (a reference to a component that exists already too; one
// to a component declared later is set at the end), handlers are bound by
// name from the root's class handler table, and then every component read
// gets Loaded. The reader is strict: anything it does not know is an
// EFormError naming the form and the line.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gui/Component.h"

namespace gui {

// Where form texts and the picture files they name come from.
class TFormSource {
 public:
  virtual ~TFormSource() = default;
  // The form text of a class (UTF-8), or nothing when the class has none.
  virtual std::optional<std::string> FormText(const std::string& className) = 0;
  // The bytes of a picture file named in the form of formClass, exactly as
  // the form spells the file name; nothing when missing.
  virtual std::optional<std::vector<std::uint8_t>> PictureData(const std::string& formClass,
                                                               const std::string& fileName) = 0;
};

// Resource names used by brimvale_add_forms (cmake/BrimvaleForms.cmake):
// RCDATA "TMAINFORM" for the form of class TMainForm, and RCDATA
// "TMAINFORM_ART_FREE_PNG" for the file 'art/free.png' that it names (the
// upper-cased file name with every character other than A-Z and 0-9 made
// '_', behind the form's name and '_').
std::string FormResourceName(const std::string& className);
std::string PictureResourceName(const std::string& formClass, const std::string& fileName);

// Forms embedded in a module's RCDATA resources.
class TResourceFormSource : public TFormSource {
 public:
  // Null stands for the program's own module.
  explicit TResourceFormSource(HINSTANCE module = nullptr);
  std::optional<std::string> FormText(const std::string& className) override;
  std::optional<std::vector<std::uint8_t>> PictureData(const std::string& formClass,
                                                       const std::string& fileName) override;

 private:
  HINSTANCE module_;
};

// Forms held in memory (tests, tools).
class TMemoryFormSource : public TFormSource {
 public:
  void AddForm(const std::string& className, std::string text);
  void AddPicture(const std::string& formClass, const std::string& fileName, std::vector<std::uint8_t> bytes);
  std::optional<std::string> FormText(const std::string& className) override;
  std::optional<std::vector<std::uint8_t>> PictureData(const std::string& formClass,
                                                       const std::string& fileName) override;

 private:
  std::map<std::string, std::string> forms_;  // upper-case class names
  std::map<std::string, std::vector<std::uint8_t>> pictures_;
};

// Reads the form of root's class (the nearest ancestor's when the class has
// none of its own) into root. A form that starts with `inherited` first
// reads the form of the nearest ancestor class that has one.
void ReadForm(TComponent& root, TFormSource& source);
// The same from the program's own resources.
void ReadForm(TComponent& root);

}  // namespace gui
