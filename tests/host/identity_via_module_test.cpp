// What a host learns about Vexobit's identity, asked through the dispatcher
// of the built module as a host loads it: dlopen, VSTPluginMain, requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "framework/vst_abi.h"
#include "tests/support/loaded_module.h"
#include "tests/support/recording_host.h"

namespace {

using vexobit::test::RecordingHost;

class IdentityViaModule : public testing::Test {
protected:
    void SetUp() override {
        host.answer(audioMasterVersion, 2400);
        module = std::make_unique<vexobit::test::LoadedModule>(VEXOBIT_MODULE_PATH);
        ASSERT_TRUE(module->loaded()) << module->loadError();
        const VstPluginMainProc entry = module->entry();
        ASSERT_NE(entry, nullptr);
        effect = entry(RecordingHost::callback());
        ASSERT_NE(effect, nullptr);
        ASSERT_EQ(effect->magic, kEffectMagic);
        host.clear();
    }
    void TearDown() override {
        if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    RecordingHost host;
    std::unique_ptr<vexobit::test::LoadedModule> module;
    AEffect* effect = nullptr;
};

constexpr char kCanary = '\x5A';

TEST_F(IdentityViaModule, AnswersItsIdentity) {
    struct Case {
        const char* name;
        VstInt32 opcode;
        VstIntPtr value;
        const char* textIn;   // handed in the buffer; null for a buffer of canaries
        VstIntPtr answer;
        const char* textOut;  // what the buffer then starts with; null: left untouched
    };
    const Case cases[] = {
        {"effect name", effGetEffectName, 0, nullptr, 1, "Vexobit"},
        {"vendor string", effGetVendorString, 0, nullptr, 1, "v0.1 07.05.18 Dorvi"},
        {"no product string", effGetProductString, 0, nullptr, 0, nullptr},
        {"vendor version", effGetVendorVersion, 0, nullptr, 1000, nullptr},
        {"VST version", effGetVstVersion, 0, nullptr, 2400, nullptr},
        {"category unknown: not a synth", effGetPlugCategory, 0, nullptr, 0, nullptr},
        {"no current MIDI program", effGetCurrentMidiProgram, 0, nullptr, -1, nullptr},
        {"total samples to process echoed", effSetTotalSampleToProcess, 512, nullptr, 512, nullptr},
        {"bypass refused, value 2", effSetBypass, 2, nullptr, 0, nullptr},
        {"cannot receive MIDI", effCanDo, 0, "receiveVstMidiEvent", 0, nullptr},
        {"unique identifier through the base", effIdentify, 0, nullptr, fourCharCode('N', 'v', 'E', 'f'), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[256];
        std::fill(std::begin(buffer), std::end(buffer), kCanary);
        if (c.textIn) std::strcpy(buffer, c.textIn);
        const std::string before(buffer, sizeof buffer);

        EXPECT_EQ(dispatch(c.opcode, 0, c.value, buffer), c.answer);
        if (!c.textOut) {
            EXPECT_EQ(std::string(buffer, sizeof buffer), before) << "buffer changed";
            continue;
        }
        const std::size_t length = std::strlen(c.textOut);
        EXPECT_EQ(std::string(buffer, length), c.textOut);
        EXPECT_EQ(buffer[length], '\0');
        EXPECT_EQ(std::string(buffer + length + 1, sizeof buffer - length - 1),
                  std::string(sizeof buffer - length - 1, kCanary))
            << "wrote past the terminator";
    }
}

TEST_F(IdentityViaModule, VendorStringIsNineteenCharacters) {
    char buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), kCanary);
    ASSERT_EQ(dispatch(effGetVendorString, 0, 0, buffer), 1);
    EXPECT_EQ(std::strlen(buffer), 19u);
}

TEST_F(IdentityViaModule, SwitchingOnDoesNotRegisterForMidi) {
    dispatch(effMainsChanged, 0, 1, nullptr);
    for (const auto& call : host.calls()) EXPECT_NE(call.opcode, audioMasterWantMidi);
}

}  // namespace
