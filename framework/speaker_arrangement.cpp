// Speaker-arrangement tools of AudioEffectX.
//
// An arrangement is one block of 8 + 112 x numChannels bytes: the header
// (type, numChannels) followed by the speakers. VstSpeakerArrangement declares
// two speakers only to fix the layout, so speaker i of a block is reached by
// byte offset from the block's start, never by indexing past the declared
// array, and a block may be smaller than sizeof(VstSpeakerArrangement).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "framework/audio_effect_x.h"

namespace {

constexpr std::size_t kHeaderBytes = offsetof(VstSpeakerArrangement, speakers);
constexpr std::size_t kSpeakerBytes = sizeof(VstSpeakerProperties);
constexpr std::size_t kNameBytes = sizeof(VstSpeakerProperties::name);
static_assert(kHeaderBytes == 8 && kSpeakerBytes == 112 && kNameBytes == 64);
// Every speaker of a block lands on an address its fields may be read from:
// a byte array from new[] is aligned for any object that fits in it.
static_assert(kHeaderBytes % alignof(VstSpeakerProperties) == 0);
static_assert(kSpeakerBytes % alignof(VstSpeakerProperties) == 0);
static_assert(alignof(VstSpeakerArrangement) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

// The largest count whose block size still fits in size_t (matters on 32-bit).
constexpr std::size_t kMaxChannels = (SIZE_MAX - kHeaderBytes) / kSpeakerBytes;

// Blocks are std::byte arrays: such an array provides storage in which the
// records are created implicitly, and delete[] on the same type frees it.
std::byte* bytesOf(VstSpeakerArrangement* arrangement) { return reinterpret_cast<std::byte*>(arrangement); }

VstSpeakerProperties* speakerAt(VstSpeakerArrangement* arrangement, std::size_t i) {
    return reinterpret_cast<VstSpeakerProperties*>(bytesOf(arrangement) + kHeaderBytes + kSpeakerBytes * i);
}

void freeBlock(VstSpeakerArrangement*& arrangement) {
    delete[] bytesOf(arrangement);
    arrangement = nullptr;
}

}  // namespace

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 nbChannels) {
    if (!arrangement) return false;
    if (*arrangement) freeBlock(*arrangement);
    if (nbChannels < 0 || static_cast<std::size_t>(nbChannels) > kMaxChannels) return false;

    const std::size_t size = kHeaderBytes + kSpeakerBytes * static_cast<std::size_t>(nbChannels);
    std::byte* block = new (std::nothrow) std::byte[size]();  // zero-filled
    if (!block) return false;
    auto* created = reinterpret_cast<VstSpeakerArrangement*>(block);
    created->numChannels = nbChannels;
    *arrangement = created;
    return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) {
    if (arrangement && *arrangement) freeBlock(*arrangement);
    return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
    if (!to || !from) return false;
    // At most 63 characters are read, so an unterminated source name is cut
    // there; the rest of the destination name is zero. Byte by byte, so
    // copying a speaker onto itself is harmless.
    std::size_t length = 0;
    while (length < kNameBytes - 1 && from->name[length] != '\0') {
        to->name[length] = from->name[length];
        ++length;
    }
    std::fill(to->name + length, to->name + kNameBytes, '\0');
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memmove(to->future, from->future, sizeof to->future);
    return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
    if (!to || !from) return false;
    // Freeing *to would free the source itself; it already matches.
    if (*to == from) return true;
    if (!deallocateArrangement(to) || !allocateArrangement(to, from->numChannels) || !*to) return false;

    VstSpeakerArrangement* match = *to;
    match->type = from->type;
    // An allocateArrangement that gives more channels than asked for must not
    // make us read past the source's speakers.
    const auto count = static_cast<std::size_t>(std::max(0, std::min(match->numChannels, from->numChannels)));
    for (std::size_t i = 0; i < count; ++i) {
        if (!copySpeaker(speakerAt(match, i), speakerAt(from, i))) return false;
    }
    return true;
}
