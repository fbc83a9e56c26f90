// The parameter and program texts as a host sees them: the built module is
// loaded with dlopen, created through VSTPluginMain and asked only through the
// record's entries.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "framework/vst_abi.h"
#include "tests/support/loaded_module.h"

namespace {

constexpr VstIntPtr kHostVstVersion = 2400;

VstIntPtr VSTCALLBACK textsHost(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/,
                                void* /*ptr*/, float /*opt*/) {
    return opcode == audioMasterVersion ? kHostVstVersion : 0;
}

// One loaded module and one instance of its effect, closed and unloaded at the end.
class TextsViaModule : public testing::Test {
protected:
    void SetUp() override {
        module = std::make_unique<vexobit::test::LoadedModule>(VEXOBIT_MODULE_PATH);
        ASSERT_TRUE(module->loaded()) << module->loadError();
        const VstPluginMainProc entry = module->entry();
        ASSERT_NE(entry, nullptr);
        effect = entry(textsHost);
        ASSERT_NE(effect, nullptr);
        ASSERT_EQ(effect->magic, kEffectMagic);
        dispatch(effOpen);
    }
    void TearDown() override {
        if (effect) {
            EXPECT_EQ(dispatch(effClose), 1);
        }
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
    }
    // A roomy buffer, as hosts commonly pass; no text takes more than the
    // 32 bytes of the program name, so the rest stays as it was.
    std::string text(VstInt32 opcode, VstInt32 index = 0) {
        constexpr std::size_t kLongestText = 32;
        std::array<char, 256> buffer;
        buffer.fill('#');
        EXPECT_EQ(dispatch(opcode, index, 0, buffer.data()), 0);
        const std::string result(buffer.data());
        EXPECT_LT(result.size(), kLongestText);
        for (std::size_t i = kLongestText; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], '#') << "byte " << i;
        return result;
    }

    std::unique_ptr<vexobit::test::LoadedModule> module;
    AEffect* effect = nullptr;
};

TEST_F(TextsViaModule, HostReadsNamesLabelsAndDisplays) {
    ASSERT_EQ(effect->numParams, 3);
    EXPECT_EQ(text(effGetParamName, 0), "Input gain");
    EXPECT_EQ(text(effGetParamName, 1), "Sample rate");
    EXPECT_EQ(text(effGetParamName, 2), "Output gain");
    EXPECT_EQ(text(effGetParamLabel, 0), "dB");
    EXPECT_EQ(text(effGetParamLabel, 1), "Hz");
    EXPECT_EQ(text(effGetParamLabel, 2), "dB");
    EXPECT_EQ(text(effGetParamDisplay, 0), "0.00");
    EXPECT_EQ(text(effGetParamDisplay, 1), "NTSC $F - 33143.90");
    EXPECT_EQ(text(effGetParamDisplay, 2), "0.00");

    // A host moving the parameters sees the displays follow.
    effect->setParameter(effect, 0, 0.5f);
    effect->setParameter(effect, 1, 0.0f);
    effect->setParameter(effect, 2, 0.0f);
    EXPECT_EQ(text(effGetParamDisplay, 0), "-6.0");
    EXPECT_EQ(text(effGetParamDisplay, 1), "PAL $0 - 4177.40");
    EXPECT_EQ(text(effGetParamDisplay, 2), "-oo");

    std::array<char, 16> untouched;
    untouched.fill('#');
    dispatch(effGetParamName, 3, 0, untouched.data());
    for (const char c : untouched) EXPECT_EQ(c, '#');
}

TEST_F(TextsViaModule, HostRenamesTheProgram) {
    EXPECT_EQ(text(effGetProgramName), "Default");
    char name[] = "A program name that is forty characters.";
    ASSERT_EQ(std::strlen(name), 40u);
    EXPECT_EQ(dispatch(effSetProgramName, 0, 0, name), 0);
    EXPECT_EQ(text(effGetProgramName), std::string(name, 31));
    EXPECT_EQ(dispatch(effSetProgram, 0, 0), 0);
    EXPECT_EQ(dispatch(effGetProgram), 0);
}

}  // namespace
