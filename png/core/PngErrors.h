// Failures of the PNG codec. Every class carries the text the user sees. The
// core is portable and knows no GUI: the picture (PngPicture.h) raises each
// failure again as the GUI layer's exception of the same name.
#pragma once

#include <stdexcept>
#include <string>

namespace png::core {

// The failures with a text of their own, then the two raised with a text
// given each time. The core and the picture each declare one class per name.
#define BRIMVALE_PNG_FIXED_FAILURES(X)                                                           \
  X(EPNGInvalidFileHeader) X(EPngUnexpectedEnd) X(EPNGIHDRNotFirst) X(EPNGUnknownCriticalChunk)  \
  X(EPNGNoImageData) X(EPngInvalidCRC) X(EPngInvalidIHDR) X(EPNGSizeExceeds)                     \
  X(EPNGUnknownCompression) X(EPNGUnknownInterlace) X(EPNGInvalidPalette)                        \
  X(EPNGMissingMultipleIDAT) X(EPNGOutMemory) X(EPNGHeaderNotPresent) X(EPNGInvalidNewSize)
#define BRIMVALE_PNG_FAILURES(X) BRIMVALE_PNG_FIXED_FAILURES(X) X(EPngError) X(EPNGZLIBError)

enum class TPngFailure {
  Unnamed,  // the plain base class, as BitmapPixelFormat raises it
#define BRIMVALE_PNG_ENUM(Name) Name,
  BRIMVALE_PNG_FAILURES(BRIMVALE_PNG_ENUM)
#undef BRIMVALE_PNG_ENUM
};

// The text of a failure that has one of its own; empty for the others.
std::string FailureText(TPngFailure failure);

// Common base of the codec's failures.
class EPngException : public std::runtime_error {
public:
  EPngException(TPngFailure failure, const std::string& message)
      : std::runtime_error(message), failure_(failure) {}
  TPngFailure Failure() const { return failure_; }

private:
  TPngFailure failure_;
};

#define BRIMVALE_PNG_CORE_CLASS(Name)                                                  \
  class Name : public EPngException {                                                  \
  public:                                                                              \
    Name() : EPngException(TPngFailure::Name, FailureText(TPngFailure::Name)) {}       \
  };
BRIMVALE_PNG_FIXED_FAILURES(BRIMVALE_PNG_CORE_CLASS)
#undef BRIMVALE_PNG_CORE_CLASS

// Raised with one of its two texts (PngMessages), so it has no default one.
class EPngError : public EPngException {
public:
  explicit EPngError(const std::string& message) : EPngException(TPngFailure::EPngError, message) {}
};

// An inflate failure; the text names zlib's result code.
class EPNGZLIBError : public EPngException {
public:
  explicit EPNGZLIBError(int zlibCode);
};

namespace PngMessages {
extern const char* const ChunksNotCompatible;  // EPngError from a chunk assign
extern const char* const NoSuchPaletteEntry;   // EPngError from PaletteEntryColour
}

// zlib's result code as the error texts show it, e.g. "data error (-3)".
std::string ZlibCodeText(int code);

}  // namespace png::core
