// Failures of the PNG codec. Every class carries the text the user sees.
#pragma once

#include <string>

#include "gui/Exceptions.h"  // header only, so the core stays portable

// Common base of the codec's failures: an Exception of the GUI layer, so the
// application's handler shows their texts like any other.
class EPngException : public gui::Exception {
public:
  explicit EPngException(const std::string& message) : gui::Exception(message) {}
};

#define BRIMVALE_PNG_EXCEPTION(Name)                                   \
  class Name : public EPngException {                                  \
  public:                                                              \
    Name();                                                            \
    explicit Name(const std::string& message) : EPngException(message) {} \
  };

BRIMVALE_PNG_EXCEPTION(EPNGInvalidFileHeader)
BRIMVALE_PNG_EXCEPTION(EPngUnexpectedEnd)
BRIMVALE_PNG_EXCEPTION(EPNGIHDRNotFirst)
BRIMVALE_PNG_EXCEPTION(EPNGUnknownCriticalChunk)
BRIMVALE_PNG_EXCEPTION(EPNGNoImageData)
BRIMVALE_PNG_EXCEPTION(EPngInvalidCRC)
BRIMVALE_PNG_EXCEPTION(EPngInvalidIHDR)
BRIMVALE_PNG_EXCEPTION(EPNGSizeExceeds)
BRIMVALE_PNG_EXCEPTION(EPNGUnknownCompression)
BRIMVALE_PNG_EXCEPTION(EPNGUnknownInterlace)
BRIMVALE_PNG_EXCEPTION(EPNGInvalidPalette)
BRIMVALE_PNG_EXCEPTION(EPNGMissingMultipleIDAT)
BRIMVALE_PNG_EXCEPTION(EPNGOutMemory)
BRIMVALE_PNG_EXCEPTION(EPNGHeaderNotPresent)
BRIMVALE_PNG_EXCEPTION(EPNGInvalidNewSize)

#undef BRIMVALE_PNG_EXCEPTION

// Raised with one of its two texts, so it has no default one.
class EPngError : public EPngException {
public:
  explicit EPngError(const std::string& message) : EPngException(message) {}
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
