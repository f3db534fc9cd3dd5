#include "PngErrors.h"

namespace {
const char* const kLineBreak = "\r\n";
}

EPNGInvalidFileHeader::EPNGInvalidFileHeader()
    : EPngException(
          "The file being readed is not a valid \"Portable Network Graphics\" image because it "
          "contains an invalid header. This file may be corruped, try obtaining it again.") {}

EPngUnexpectedEnd::EPngUnexpectedEnd()
    : EPngException(
          "This \"Portable Network Graphics\" image is invalid because the decoder found an "
          "unexpected end of the file.") {}

EPNGIHDRNotFirst::EPNGIHDRNotFirst()
    : EPngException(std::string("This \"Portable Network Graphics\" image is not supported or it "
                                "might be invalid.") +
                    kLineBreak + "(IHDR chunk is not the first)") {}

EPNGUnknownCriticalChunk::EPNGUnknownCriticalChunk()
    : EPngException(
          "This \"Portable Network Graphics\" image contains an unknown critical part which could "
          "not be decoded.") {}

EPNGNoImageData::EPNGNoImageData()
    : EPngException("This \"Portable Network Graphics\" image contains no data.") {}

EPngInvalidCRC::EPngInvalidCRC()
    : EPngException(
          "This \"Portable Network Graphics\" image is not valid because it contains invalid "
          "pieces of data (crc error)") {}

EPngInvalidIHDR::EPngInvalidIHDR()
    : EPngException(
          "The \"Portable Network Graphics\" image could not be loaded because one of its main "
          "piece of data (ihdr) might be corrupted") {}

EPNGSizeExceeds::EPNGSizeExceeds()
    : EPngException(
          "This \"Portable Network Graphics\" image is not supported because either it's width or "
          "height exceeds the maximum size, which is 65535 pixels length.") {}

EPNGUnknownCompression::EPNGUnknownCompression()
    : EPngException(
          "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme "
          "which could not be decoded.") {}

EPNGUnknownInterlace::EPNGUnknownInterlace()
    : EPngException(
          "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could "
          "not be decoded.") {}

EPNGInvalidPalette::EPNGInvalidPalette()
    : EPngException("The \"Portable Network Graphics\" image contains an invalid palette.") {}

EPNGMissingMultipleIDAT::EPNGMissingMultipleIDAT()
    : EPngException(
          "This \"Portable Network Graphics\" image is invalid because it has missing image "
          "parts.") {}

EPNGOutMemory::EPNGOutMemory()
    : EPngException(
          "Some operation could not be performed because the system is out of resources. Close "
          "some windows and try again.") {}

EPNGHeaderNotPresent::EPNGHeaderNotPresent()
    : EPngException(
          "This operation is not valid because the current image contains no valid header.") {}

EPNGInvalidNewSize::EPNGInvalidNewSize()
    : EPngException("The new size provided for image resizing is invalid.") {}

EPNGZLIBError::EPNGZLIBError(int zlibCode)
    : EPngException(
          std::string("Could not decompress the image because it contains invalid compressed data.") +
          kLineBreak + " Description: " + ZlibCodeText(zlibCode)) {}

namespace PngMessages {
const char* const ChunksNotCompatible = "The chunks must be compatible to be assigned.";
const char* const NoSuchPaletteEntry = "There is no such palette entry.";
}

std::string ZlibCodeText(int code) {
  switch (code) {
    case -6: return "incompatible version (-6)";
    case -5: return "buffer error (-5)";
    case -4: return "insufficient memory (-4)";
    case -3: return "data error (-3)";
    case -2: return "stream error (-2)";
    case -1: return "file error (-1)";
    case 0: return "(0)";
    case 1: return "stream end (1)";
    case 2: return "need dictionary (2)";
    default: return "(" + std::to_string(code) + ")";
  }
}
