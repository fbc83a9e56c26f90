// Building, freeing, copying and matching speaker arrangements. Blocks are
// 8 + 112 x channels bytes; the sanitizer build proves no block leaks and no
// access leaves its block.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "tests/support/probe_effect.h"

namespace {

using vexobit::test::ProbeEffect;

constexpr std::size_t kHeaderBytes = 8;
constexpr std::size_t kSpeakerBytes = 112;

std::size_t blockBytes(VstInt32 channels) { return kHeaderBytes + kSpeakerBytes * static_cast<std::size_t>(channels); }

// Speaker i of a block of any size, by byte offset as the layout defines it.
VstSpeakerProperties& speaker(VstSpeakerArrangement* arrangement, VstInt32 i) {
    auto* bytes = reinterpret_cast<unsigned char*>(arrangement);
    return *reinterpret_cast<VstSpeakerProperties*>(bytes + kHeaderBytes + kSpeakerBytes * static_cast<std::size_t>(i));
}

bool allZero(const void* start, std::size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(start);
    for (std::size_t i = 0; i < bytes; ++i) {
        if (p[i] != 0) return false;
    }
    return true;
}

// Gives a speaker contents that differ from every other speaker's.
void fillSpeaker(VstSpeakerProperties& s, int seed) {
    s.azimuth = 0.5f + static_cast<float>(seed);
    s.elevation = -0.25f * static_cast<float>(seed + 1);
    s.radius = 2.0f + static_cast<float>(seed);
    s.reserved = 0.125f;
    std::memset(s.name, 0, sizeof s.name);
    const std::string name = "speaker " + std::to_string(seed);
    std::memcpy(s.name, name.c_str(), name.size());
    s.type = 100 + seed;
    for (std::size_t i = 0; i < sizeof s.future; ++i) s.future[i] = static_cast<char>(seed * 31 + static_cast<int>(i));
}

void expectSameSpeaker(const VstSpeakerProperties& actual, const VstSpeakerProperties& expected) {
    EXPECT_EQ(actual.azimuth, expected.azimuth);
    EXPECT_EQ(actual.elevation, expected.elevation);
    EXPECT_EQ(actual.radius, expected.radius);
    EXPECT_EQ(actual.reserved, expected.reserved);
    EXPECT_EQ(std::memcmp(actual.name, expected.name, sizeof actual.name), 0);
    EXPECT_EQ(actual.type, expected.type);
    EXPECT_EQ(std::memcmp(actual.future, expected.future, sizeof actual.future), 0);
}

// An arrangement pointer freed with the effect's tool when the test ends.
struct Arrangement {
    explicit Arrangement(AudioEffectX& effect) : effect(effect) {}
    ~Arrangement() { effect.deallocateArrangement(&block); }
    Arrangement(const Arrangement&) = delete;
    Arrangement& operator=(const Arrangement&) = delete;

    AudioEffectX& effect;
    VstSpeakerArrangement* block = nullptr;
};

// A source arrangement with `channels` distinct speakers (and `spare` more
// speakers of storage beyond them, also filled).
void makeSource(Arrangement& source, VstInt32 type, VstInt32 channels, VstInt32 spare = 0) {
    ASSERT_TRUE(source.effect.allocateArrangement(&source.block, channels + spare));
    source.block->type = type;
    for (VstInt32 i = 0; i < channels + spare; ++i) fillSpeaker(speaker(source.block, i), i);
    source.block->numChannels = channels;
}

TEST(AllocateArrangement, GivesAZeroedBlockOfTheRequestedChannels) {
    ProbeEffect effect(nullptr);
    for (const VstInt32 channels : {0, 1, 2, 3, 8}) {
        SCOPED_TRACE(testing::Message() << channels << " channels");
        Arrangement a(effect);
        ASSERT_TRUE(effect.allocateArrangement(&a.block, channels));
        ASSERT_NE(a.block, nullptr);
        // Dirty every byte, then allocate over it: the old block is freed
        // first and the new one (often the same memory) is zero again.
        std::memset(a.block, 0xA5, blockBytes(channels));
        ASSERT_TRUE(effect.allocateArrangement(&a.block, channels));
        ASSERT_NE(a.block, nullptr);
        EXPECT_EQ(a.block->numChannels, channels);
        EXPECT_EQ(a.block->type, 0);
        EXPECT_TRUE(allZero(a.block, offsetof(VstSpeakerArrangement, numChannels)));
        EXPECT_TRUE(allZero(&speaker(a.block, 0), blockBytes(channels) - kHeaderBytes));
    }
}

TEST(AllocateArrangement, NegativeCountFreesTheOldBlockAndLeavesNull) {
    ProbeEffect effect(nullptr);
    Arrangement a(effect);
    EXPECT_FALSE(effect.allocateArrangement(&a.block, -1));
    EXPECT_EQ(a.block, nullptr);

    ASSERT_TRUE(effect.allocateArrangement(&a.block, 2));
    EXPECT_FALSE(effect.allocateArrangement(&a.block, -3));
    EXPECT_EQ(a.block, nullptr);

    EXPECT_FALSE(effect.allocateArrangement(nullptr, 2));
}

TEST(DeallocateArrangement, FreesAndNullsAndAcceptsNull) {
    ProbeEffect effect(nullptr);
    VstSpeakerArrangement* block = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&block, 4));
    EXPECT_TRUE(effect.deallocateArrangement(&block));
    EXPECT_EQ(block, nullptr);
    EXPECT_TRUE(effect.deallocateArrangement(&block));
    EXPECT_TRUE(effect.deallocateArrangement(nullptr));
}

TEST(CopySpeaker, CopiesEveryFieldAndBoundsTheName) {
    ProbeEffect effect(nullptr);
    VstSpeakerProperties source;
    fillSpeaker(source, 3);

    struct {
        const char* what;
        std::size_t nameLength;  // characters before the terminator, 64 for none
        std::size_t copied;
    } const cases[] = {
        {"short name", 4, 4},
        {"63 characters", 63, 63},
        {"64 characters, unterminated", 64, 63},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::memset(source.name, 0, sizeof source.name);
        std::memset(source.name, 'x', c.nameLength);
        VstSpeakerProperties target;
        std::memset(&target, 0xEE, sizeof target);

        ASSERT_TRUE(effect.copySpeaker(&target, &source));

        for (std::size_t i = 0; i < sizeof target.name; ++i) {
            ASSERT_EQ(target.name[i], i < c.copied ? 'x' : '\0') << "name byte " << i;
        }
        VstSpeakerProperties expected = source;
        std::memcpy(expected.name, target.name, sizeof expected.name);
        expectSameSpeaker(target, expected);
    }
}

TEST(CopySpeaker, RefusesNull) {
    ProbeEffect effect(nullptr);
    VstSpeakerProperties s;
    fillSpeaker(s, 1);
    EXPECT_FALSE(effect.copySpeaker(nullptr, &s));
    EXPECT_FALSE(effect.copySpeaker(&s, nullptr));
    EXPECT_FALSE(effect.copySpeaker(nullptr, nullptr));
}

TEST(MatchArrangement, ReplacesTheTargetWithACopy) {
    ProbeEffect effect(nullptr);
    struct {
        VstInt32 sourceChannels;
        VstInt32 oldTargetChannels;  // -1: no block yet
    } const cases[] = {{0, -1}, {0, 4}, {3, -1}, {3, 5}, {2, 2}, {6, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sourceChannels << " channels over " << c.oldTargetChannels);
        Arrangement source(effect);
        makeSource(source, 42, c.sourceChannels);
        Arrangement target(effect);
        if (c.oldTargetChannels >= 0) {
            ASSERT_TRUE(effect.allocateArrangement(&target.block, c.oldTargetChannels));
            std::memset(target.block, 0x5A, blockBytes(c.oldTargetChannels));
        }

        ASSERT_TRUE(effect.matchArrangement(&target.block, source.block));

        ASSERT_NE(target.block, nullptr);
        EXPECT_NE(target.block, source.block);
        EXPECT_EQ(target.block->type, 42);
        EXPECT_EQ(target.block->numChannels, c.sourceChannels);
        for (VstInt32 i = 0; i < c.sourceChannels; ++i) {
            SCOPED_TRACE(testing::Message() << "speaker " << i);
            expectSameSpeaker(speaker(target.block, i), speaker(source.block, i));
        }
    }
}

TEST(MatchArrangement, RefusesNullAndLeavesTheTarget) {
    ProbeEffect effect(nullptr);
    Arrangement target(effect);
    ASSERT_TRUE(effect.allocateArrangement(&target.block, 2));
    VstSpeakerArrangement* const before = target.block;
    EXPECT_FALSE(effect.matchArrangement(&target.block, nullptr));
    EXPECT_EQ(target.block, before);

    Arrangement source(effect);
    makeSource(source, 1, 1);
    EXPECT_FALSE(effect.matchArrangement(nullptr, source.block));
}

TEST(MatchArrangement, OfItselfKeepsTheBlock) {
    ProbeEffect effect(nullptr);
    Arrangement a(effect);
    makeSource(a, 9, 2);
    VstSpeakerArrangement* const before = a.block;
    VstSpeakerProperties first;
    fillSpeaker(first, 0);

    EXPECT_TRUE(effect.matchArrangement(&a.block, a.block));

    ASSERT_EQ(a.block, before);
    EXPECT_EQ(a.block->type, 9);
    EXPECT_EQ(a.block->numChannels, 2);
    expectSameSpeaker(speaker(a.block, 0), first);
}

// Replaces the three tools matchArrangement builds on, counting the calls and
// failing on demand.
class ToolProbe : public ProbeEffect {
public:
    ToolProbe() : ProbeEffect(nullptr) {}

    bool allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 nbChannels) override {
        ++allocations;
        requestedChannels = nbChannels;
        if (failAllocation) return false;
        return ProbeEffect::allocateArrangement(arrangement, nbChannels + extraChannels);
    }
    bool deallocateArrangement(VstSpeakerArrangement** arrangement) override {
        ++deallocations;
        return ProbeEffect::deallocateArrangement(arrangement);
    }
    bool copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) override {
        ++copies;
        if (copies == failCopyAt) return false;
        return ProbeEffect::copySpeaker(to, from);
    }

    bool failAllocation = false;
    int failCopyAt = 0;  // 1-based; 0 never
    VstInt32 extraChannels = 0;
    int allocations = 0;
    int deallocations = 0;
    VstInt32 requestedChannels = -1;
    int copies = 0;
};

TEST(MatchArrangement, GoesThroughTheEffectsOwnTools) {
    struct {
        const char* what;
        bool failAllocation;
        int failCopyAt;
        bool answer;
        int copies;
    } const cases[] = {
        {"all succeed", false, 0, true, 3},
        {"allocation fails", true, 0, false, 0},
        {"second copy fails", false, 2, false, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ToolProbe effect;
        Arrangement source(effect);
        makeSource(source, 5, 3);
        Arrangement target(effect);
        effect.allocations = 0;
        effect.failAllocation = c.failAllocation;
        effect.failCopyAt = c.failCopyAt;

        EXPECT_EQ(effect.matchArrangement(&target.block, source.block), c.answer);

        EXPECT_EQ(effect.deallocations, 1);
        EXPECT_EQ(effect.allocations, 1);
        EXPECT_EQ(effect.requestedChannels, 3);
        EXPECT_EQ(effect.copies, c.copies);
    }
}

// An allocateArrangement that hands out more channels than asked for: only the
// source's own speakers are copied, the rest stays zero.
TEST(MatchArrangement, CopiesNoMoreSpeakersThanTheSourceHas) {
    ToolProbe effect;
    Arrangement source(effect);
    makeSource(source, 5, 2, 1);  // speaker 2 exists in memory but not in the arrangement
    effect.extraChannels = 1;
    Arrangement target(effect);

    ASSERT_TRUE(effect.matchArrangement(&target.block, source.block));

    ASSERT_EQ(target.block->numChannels, 3);
    EXPECT_EQ(effect.copies, 2);
    expectSameSpeaker(speaker(target.block, 1), speaker(source.block, 1));
    EXPECT_TRUE(allZero(&speaker(target.block, 2), kSpeakerBytes));
}

}  // namespace
