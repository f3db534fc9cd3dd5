#include "PngErrors.h"

namespace png::core {

namespace {
const char* const kLineBreak = "\r\n";
}

std::string FailureText(TPngFailure failure) {
  switch (failure) {
    case TPngFailure::EPNGInvalidFileHeader:
      return "The file being readed is not a valid \"Portable Network Graphics\" image because it "
             "contains an invalid header. This file may be corruped, try obtaining it again.";
    case TPngFailure::EPngUnexpectedEnd:
      return "This \"Portable Network Graphics\" image is invalid because the decoder found an "
             "unexpected end of the file.";
    case TPngFailure::EPNGIHDRNotFirst:
      return std::string("This \"Portable Network Graphics\" image is not supported or it might be "
                         "invalid.") +
             kLineBreak + "(IHDR chunk is not the first)";
    case TPngFailure::EPNGUnknownCriticalChunk:
      return "This \"Portable Network Graphics\" image contains an unknown critical part which could "
             "not be decoded.";
    case TPngFailure::EPNGNoImageData:
      return "This \"Portable Network Graphics\" image contains no data.";
    case TPngFailure::EPngInvalidCRC:
      return "This \"Portable Network Graphics\" image is not valid because it contains invalid "
             "pieces of data (crc error)";
    case TPngFailure::EPngInvalidIHDR:
      return "The \"Portable Network Graphics\" image could not be loaded because one of its main "
             "piece of data (ihdr) might be corrupted";
    case TPngFailure::EPNGSizeExceeds:
      return "This \"Portable Network Graphics\" image is not supported because either it's width or "
             "height exceeds the maximum size, which is 65535 pixels length.";
    case TPngFailure::EPNGUnknownCompression:
      return "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme "
             "which could not be decoded.";
    case TPngFailure::EPNGUnknownInterlace:
      return "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could "
             "not be decoded.";
    case TPngFailure::EPNGInvalidPalette:
      return "The \"Portable Network Graphics\" image contains an invalid palette.";
    case TPngFailure::EPNGMissingMultipleIDAT:
      return "This \"Portable Network Graphics\" image is invalid because it has missing image "
             "parts.";
    case TPngFailure::EPNGOutMemory:
      return "Some operation could not be performed because the system is out of resources. Close "
             "some windows and try again.";
    case TPngFailure::EPNGHeaderNotPresent:
      return "This operation is not valid because the current image contains no valid header.";
    case TPngFailure::EPNGInvalidNewSize:
      return "The new size provided for image resizing is invalid.";
    default:
      return std::string();
  }
}

EPNGZLIBError::EPNGZLIBError(int zlibCode)
    : EPngException(TPngFailure::EPNGZLIBError,
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

}  // namespace png::core
