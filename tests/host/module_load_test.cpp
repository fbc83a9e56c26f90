// Loads the built module file as a host does and drives an instance only
// through the record.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "framework/vst_abi.h"
#include "tests/support/loaded_module.h"

namespace {

VstIntPtr answerVersion = 2400;
int hostCallsWithNullRecord = 0;

VstIntPtr VSTCALLBACK host(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == 1 /* audioMasterVersion */) {
        if (!effect) ++hostCallsWithNullRecord;
        return answerVersion;
    }
    return 0;
}

class Module : public testing::Test {
protected:
    void SetUp() override {
        module = std::make_unique<vexobit::test::LoadedModule>(VEXOBIT_MODULE_PATH);
        ASSERT_TRUE(module->loaded()) << module->loadError();
        pluginMain = module->entry();
        legacyMain = module->entry("main");
        answerVersion = 2400;
        hostCallsWithNullRecord = 0;
    }
    std::unique_ptr<vexobit::test::LoadedModule> module;
    VstPluginMainProc pluginMain = nullptr;
    VstPluginMainProc legacyMain = nullptr;
};

TEST_F(Module, ExportsBothEntryNamesForTheSameFunction) {
    ASSERT_NE(pluginMain, nullptr);
    EXPECT_EQ(pluginMain, legacyMain);
    // Nothing else of ours is visible.
    EXPECT_EQ(module->symbol("createEffect"), nullptr);
    EXPECT_EQ(module->symbol("moduleHandle"), nullptr);
}

TEST_F(Module, RefusesHostsThatAnswerNoVersionOrHaveNoCallback) {
    answerVersion = 0;
    EXPECT_EQ(pluginMain(host), nullptr);
    EXPECT_EQ(hostCallsWithNullRecord, 1);
    EXPECT_EQ(pluginMain(nullptr), nullptr);
}

TEST_F(Module, HostSessionThroughTheRecord) {
    for (VstPluginMainProc entry : {pluginMain, legacyMain}) {
        AEffect* e = entry(host);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(hostCallsWithNullRecord, 1);
        hostCallsWithNullRecord = 0;
        EXPECT_EQ(e->magic, kEffectMagic);
        EXPECT_EQ(e->uniqueID, fourCharCode('v', 'x', 'b', 't'));
        EXPECT_EQ(e->numParams, 3);

        e->dispatcher(e, effOpen, 0, 0, nullptr, 0);
        e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        e->dispatcher(e, effSetBlockSize, 0, 256, nullptr, 0);
        e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0);
        e->setParameter(e, 0, 0.8f);
        e->setParameter(e, 1, 0.25f);
        e->setParameter(e, 2, 0.5f);
        EXPECT_EQ(e->getParameter(e, 1), 0.25f);

        std::vector<float> in0(256), in1(256, 0.0f), out0(256), out1(256);
        float* ins[] = {in0.data(), in1.data()};
        float* outs[] = {out0.data(), out1.data()};
        float peak = 0;
        for (int block = 0; block < 20; ++block) {
            for (int i = 0; i < 256; ++i) in0[i] = std::sin(0.05f * static_cast<float>(block * 256 + i));
            e->processReplacing(e, ins, outs, 256);
            for (int i = 0; i < 256; ++i) {
                ASSERT_EQ(out0[i], out1[i]);
                peak = std::max(peak, std::fabs(out0[i]));
            }
        }
        EXPECT_GT(peak, 0.05f);  // slew-limited, but not silent
        EXPECT_LE(peak, 0.5f * 1.25f);

        e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0);
        EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0), 1);
    }
}

TEST_F(Module, InstancesAreIndependent) {
    AEffect* a = pluginMain(host);
    AEffect* b = pluginMain(host);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    a->setParameter(a, 2, 0.0f);
    EXPECT_EQ(b->getParameter(b, 2), 1.0f);
    a->dispatcher(a, effClose, 0, 0, nullptr, 0);
    b->dispatcher(b, effClose, 0, 0, nullptr, 0);
}

}  // namespace
