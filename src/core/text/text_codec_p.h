#pragma once

// Shared by the CP932 encoder and decoder.
//
// Qt reaches CP932 through ICU, whose table for it follows IBM's PC layout for
// three control codes (byte 0x1A is U+001C, 0x1C is U+007F, 0x7F is U+001A).
// Windows maps all of ASCII straight through, so those three codes are handled
// here and never reach the codec. None of them can be the second byte of a
// double-byte character, so cutting the bytes at them is safe when decoding.

#include <QtGlobal>

namespace cp932 {

inline constexpr const char *CodecName = "windows-31j";

inline bool isIcuSwappedCode(uint c)
{
    return c == 0x1A || c == 0x1C || c == 0x7F;
}

} // namespace cp932
