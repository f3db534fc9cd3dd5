// The exception classes of the GUI layer. Every failure the layer reports is
// an Exception (or a subclass) carrying a message that can be shown as is.
#pragma once

#include <exception>
#include <string>

namespace gui {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

#define GUI_EXCEPTION(Name, Base)                     \
  class Name : public Base {                          \
   public:                                            \
    explicit Name(std::string message) : Base(std::move(message)) {} \
  }

GUI_EXCEPTION(EConvertError, Exception);      // a value that cannot be converted or assigned
GUI_EXCEPTION(EInvalidCast, Exception);       // an object used as a class it is not
GUI_EXCEPTION(EClassNotFound, Exception);     // a class name that is not registered
GUI_EXCEPTION(EComponentError, Exception);    // component names and ownership
GUI_EXCEPTION(EStreamError, Exception);       // streams and files
GUI_EXCEPTION(EFormError, Exception);         // a form resource that cannot be read
GUI_EXCEPTION(EInvalidGraphic, Exception);    // picture data that is not valid
GUI_EXCEPTION(EInvalidGraphicOperation, Exception);  // an operation a graphic does not support
GUI_EXCEPTION(EOutOfResources, Exception);    // the system refused a GDI object

#undef GUI_EXCEPTION

}  // namespace gui
