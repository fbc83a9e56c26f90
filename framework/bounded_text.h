// Bounded writes into text buffers the host or a caller supplies. A limit
// maxLen means the buffer holds maxLen characters and a terminator, so
// nothing is ever written past text[maxLen]. A null buffer or a negative
// limit writes nothing; a null source counts as the empty text.
#pragma once

#include "framework/vst_abi.h"

namespace vsttext {

// True when a buffer can take a text of up to maxLen characters.
inline bool writable(const char* text, VstInt32 maxLen) { return text != nullptr && maxLen >= 0; }

// At most maxLen characters of src; zero bytes fill the rest up to maxLen and
// text[maxLen] is always zero. Writes exactly maxLen + 1 bytes.
inline void copy(char* text, const char* src, VstInt32 maxLen) {
    if (!writable(text, maxLen)) return;
    VstInt32 i = 0;
    if (src)
        for (; i < maxLen && src[i] != 0; ++i) text[i] = src[i];
    for (; i <= maxLen; ++i) text[i] = 0;
}

// At most maxLen characters of src and one terminator, no filling: writes
// only as many bytes as the (cut) text takes.
inline void copyString(char* text, const char* src, VstInt32 maxLen) {
    if (!writable(text, maxLen)) return;
    VstInt32 i = 0;
    if (src)
        for (; i < maxLen && src[i] != 0; ++i) text[i] = src[i];
    text[i] = 0;
}

// The text already in the buffer followed by src, cut to maxLen characters
// and terminated. Looks at no more than text[0..maxLen] of the buffer.
inline void append(char* text, const char* src, VstInt32 maxLen) {
    if (!writable(text, maxLen)) return;
    VstInt32 length = 0;
    while (length < maxLen && text[length] != 0) ++length;
    if (src)
        for (; length < maxLen && *src != 0; ++src) text[length++] = *src;
    text[length] = 0;
}

}  // namespace vsttext
