// The record a fresh instance hands the host, and the entry's answers.
#include <cstring>

#include "tests/conformance/conformance_host.h"

namespace conformance {
namespace {

class RecordTest : public ConformanceTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RecordTest, FreshRecordHoldsTheEffectsInvariants) {
    Plugin plugin(GetParam());
    const AEffect* e = plugin.record();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, fourCharCode('V', 's', 't', 'P'));
    EXPECT_NE(e->dispatcher, nullptr);
    EXPECT_NE(e->process, nullptr);
    EXPECT_NE(e->setParameter, nullptr);
    EXPECT_NE(e->getParameter, nullptr);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->numParams, 3);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_NE(e->flags & effFlagsCanReplacing, 0);
    EXPECT_EQ(e->flags & effFlagsCanDoubleReplacing, 0) << "only 32-bit samples are processed";
    EXPECT_EQ(e->flags & effFlagsHasEditor, 0) << "there is no editor";
    EXPECT_EQ(e->flags & effFlagsIsSynth, 0);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_NE(e->object, nullptr);
    EXPECT_EQ(e->user, nullptr);
    EXPECT_EQ(e->uniqueID, fourCharCode('v', 'x', 'b', 't'));
    EXPECT_EQ(e->version, 1);
    const char zeros[sizeof e->future] = {};
    EXPECT_EQ(std::memcmp(e->future, zeros, sizeof zeros), 0);
}

TEST_P(RecordTest, CloseAnswersOne) {
    Plugin plugin(GetParam());
    ASSERT_NE(plugin.record(), nullptr);
    EXPECT_EQ(plugin.close(), 1);
}

// The module exports the entry under both names hosts look for.
INSTANTIATE_TEST_SUITE_P(BothEntryNames, RecordTest, ::testing::Values("VSTPluginMain", "main"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST(Entry, BothNamesAreOneFunction) {
    EXPECT_EQ(module().entry("VSTPluginMain"), module().entry("main"));
}

TEST(Entry, HostWithoutVersionGetsNoEffect) {
    const VstPluginMainProc entry = module().entry("VSTPluginMain");
    ASSERT_NE(entry, nullptr);
    hostLog().versionAnswer.store(0);
    AEffect* refused = entry(hostCallback);
    hostLog().versionAnswer.store(2400);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(entry(nullptr), nullptr) << "no host callback";
}

TEST(Entry, EveryCallMakesANewInstance) {
    Plugin first, second;
    ASSERT_NE(first.record(), nullptr);
    ASSERT_NE(second.record(), nullptr);
    EXPECT_NE(first.record(), second.record());
    EXPECT_NE(first.record()->object, second.record()->object);
}

}  // namespace
}  // namespace conformance
