// Switching an extended effect on (effMainsChanged): it registers for MIDI
// events when it is a synth or its canDo says for certain that it receives
// them, and otherwise tells the host nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/audio_effect_x.h"
#include "tests/support/recording_host.h"

namespace {

using vexobit::test::RecordingHost;

class MidiEffect : public AudioEffectX {
public:
    MidiEffect(bool synth, VstInt32 canDoAnswer)
        : AudioEffectX(RecordingHost::callback(), 1, 1), canDoAnswer(canDoAnswer) {
        isSynth(synth);
    }
    void processReplacing(float**, float**, VstInt32) override {}
    VstInt32 canDo(char* text) override {
        asked.emplace_back(text);
        return canDoAnswer;
    }

    VstInt32 canDoAnswer;
    std::vector<std::string> asked;
};

TEST(ExtendedResume, RegistersForMidiOnlyForSynthsOrACertainCanDo) {
    struct Case {
        const char* name;
        bool synth;
        VstInt32 canDoAnswer;
        bool wantsMidi;
    };
    const Case cases[] = {
        {"plain effect, canDo don't know", false, 0, false},
        {"canDo no", false, -1, false},
        {"canDo other than 1", false, 2, false},
        {"canDo yes", false, 1, true},
        {"synth, canDo no", true, -1, true},
        {"synth, canDo don't know", true, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingHost host;
        MidiEffect effect(c.synth, c.canDoAnswer);
        effect.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);

        // A synth is not asked; any other effect is asked exactly this.
        const std::vector<std::string> expectedAsked =
            c.synth ? std::vector<std::string>{} : std::vector<std::string>{"receiveVstMidiEvent"};
        EXPECT_EQ(effect.asked, expectedAsked);

        if (!c.wantsMidi) {
            EXPECT_TRUE(host.calls().empty()) << "sent opcode " << host.calls().front().opcode;
            continue;
        }
        ASSERT_EQ(host.calls().size(), 1u);
        const auto& call = host.calls().front();
        EXPECT_EQ(call.effect, effect.getAeffect());
        EXPECT_EQ(call.opcode, audioMasterWantMidi);
        EXPECT_EQ(call.index, 0);
        EXPECT_EQ(call.value, 1);
        EXPECT_EQ(call.ptr, nullptr);
        EXPECT_EQ(call.opt, 0.0f);
    }
}

TEST(ExtendedResume, SwitchingOffSendsNothing) {
    RecordingHost host;
    MidiEffect effect(true, 1);
    effect.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    EXPECT_TRUE(host.calls().empty());
    EXPECT_TRUE(effect.asked.empty());
}

}  // namespace
