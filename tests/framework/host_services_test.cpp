// Every call an effect makes into the host: the opcode and slots it sends,
// how it converts the host's answer, and what it answers without a host.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/support/probe_effect.h"
#include "tests/support/recording_host.h"

namespace {

using vexobit::test::HostCall;
using vexobit::test::ProbeEffect;
using vexobit::test::RecordingHost;

// Pointers handed to services; the host only passes them back, never reads them.
char hostText[64];
alignas(16) unsigned char opaqueRecord[16];
template <typename T>
T* opaque() {
    return reinterpret_cast<T*>(opaqueRecord);
}
// What a host answers for services that answer a pointer.
int hostObject;
const VstIntPtr kHostPointer = reinterpret_cast<VstIntPtr>(&hostObject);

// Operation results folded into one integer so a single table holds them all.
template <typename T>
VstIntPtr asAnswer(T result) {
    if constexpr (std::is_pointer_v<T>) return reinterpret_cast<VstIntPtr>(result);
    else if constexpr (std::is_same_v<T, bool>) return result ? 1 : 0;
    else return static_cast<VstIntPtr>(result);
}

struct Conversion {
    VstIntPtr hostAnswer;
    VstIntPtr expected;
};

// The host's answer unchanged, for counts, levels and vendor data.
const std::vector<Conversion> kUnchanged = {{4242, 4242}, {-3, -3}, {0, 0}};
// Boolean and 1/0 answers: any nonzero host answer means yes.
const std::vector<Conversion> kYesNo = {{-1, 1}, {0, 0}, {1, 1}, {2, 1}};
const std::vector<Conversion> kPointer = {{kHostPointer, kHostPointer}, {0, 0}};
// A positive 64-bit answer that a 32-bit block size cannot hold (0 on 32-bit).
const VstIntPtr kBeyondBlockSize = static_cast<VstIntPtr>(std::int64_t{1} << 32);
// Operations without an answer; the lambda answers 0.
const std::vector<Conversion> kIgnored = {{7, 0}};

struct ServiceCase {
    const char* name;
    std::function<VstIntPtr(ProbeEffect&)> call;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    std::vector<Conversion> answers;
    VstIntPtr fallback;
};

std::vector<ServiceCase> serviceCases() {
    using E = ProbeEffect;
    void* text = hostText;
    return {
        // Base class.
        {"setParameterAutomated",
         [](E& e) {
             e.setParameterAutomated(5, 0.25f);
             EXPECT_EQ(e.setParameterCalls, 1);
             EXPECT_EQ(e.lastParameterIndex, 5);
             EXPECT_EQ(e.lastParameterValue, 0.25f);
             return VstIntPtr{0};
         },
         0, 5, 0, nullptr, 0.25f, kIgnored, 0},
        {"getMasterVersion", [](E& e) { return asAnswer(e.getMasterVersion()); }, 1, 0, 0, nullptr, 0.0f,
         {{0, 1}, {2400, 2400}, {-1, -1}}, 1},
        {"getCurrentUniqueId", [](E& e) { return asAnswer(e.getCurrentUniqueId()); }, 2, 0, 0, nullptr, 0.0f,
         {{fourCharCode('a', 'b', 'c', 'd'), fourCharCode('a', 'b', 'c', 'd')}, {0, 0}}, 0},
        {"masterIdle",
         [](E& e) {
             e.masterIdle();
             return VstIntPtr{0};
         },
         3, 0, 0, nullptr, 0.0f, kIgnored, 0},
        // Pins: 0 from the host means connected.
        {"isInputConnected", [](E& e) { return asAnswer(e.isInputConnected(3)); }, 4, 3, 0, nullptr, 0.0f,
         {{0, 1}, {1, 0}, {-1, 0}}, 1},
        {"isOutputConnected", [](E& e) { return asAnswer(e.isOutputConnected(2)); }, 4, 2, 1, nullptr, 0.0f,
         {{0, 1}, {1, 0}, {-1, 0}}, 1},

        // Extended class.
        {"wantEvents",
         [](E& e) {
             e.wantEvents(3);
             return VstIntPtr{0};
         },
         6, 0, 3, nullptr, 0.0f, kIgnored, 0},
        {"getTimeInfo", [](E& e) { return asAnswer(e.getTimeInfo(0x0F00)); }, 7, 0, 0x0F00, nullptr, 0.0f,
         kPointer, 0},
        {"tempoAt", [](E& e) { return asAnswer(e.tempoAt(1234)); }, 10, 0, 1234, nullptr, 0.0f, kUnchanged, 0},
        {"getNumAutomatableParameters", [](E& e) { return asAnswer(e.getNumAutomatableParameters()); }, 11, 0, 0,
         nullptr, 0.0f, kUnchanged, 0},
        {"getParameterQuantization", [](E& e) { return asAnswer(e.getParameterQuantization()); }, 12, 0, 0,
         nullptr, 0.0f, kUnchanged, 0},
        {"ioChanged", [](E& e) { return asAnswer(e.ioChanged()); }, 13, 0, 0, nullptr, 0.0f, kYesNo, 0},
        {"needIdle", [](E& e) { return asAnswer(e.needIdle()); }, 14, 0, 0, nullptr, 0.0f, kYesNo, 0},
        {"sizeWindow", [](E& e) { return asAnswer(e.sizeWindow(640, 480)); }, 15, 640, 480, nullptr, 0.0f, kYesNo,
         0},
        // Only a positive answer replaces the stored rate and block size.
        {"updateSampleRate",
         [](E& e) {
             const float rate = e.updateSampleRate();
             EXPECT_EQ(rate, e.getSampleRate());
             return asAnswer(rate);
         },
         16, 0, 0, nullptr, 0.0f, {{48000, 48000}, {1, 1}, {0, 44100}, {-1, 44100}, {-96000, 44100}}, 44100},
        {"updateBlockSize",
         [](E& e) {
             const VstInt32 size = e.updateBlockSize();
             EXPECT_EQ(size, e.getBlockSize());
             return asAnswer(size);
         },
         17, 0, 0, nullptr, 0.0f, {{512, 512}, {1, 1}, {0, 1024}, {-5, 1024}, {kBeyondBlockSize, 1024}}, 1024},
        {"getInputLatency", [](E& e) { return asAnswer(e.getInputLatency()); }, 18, 0, 0, nullptr, 0.0f,
         kUnchanged, 0},
        {"getOutputLatency", [](E& e) { return asAnswer(e.getOutputLatency()); }, 19, 0, 0, nullptr, 0.0f,
         kUnchanged, 0},
        // The pin number stays with the effect.
        {"getPreviousPlug", [](E& e) { return asAnswer(e.getPreviousPlug(3)); }, 20, 0, 0, nullptr, 0.0f, kPointer,
         0},
        {"getNextPlug", [](E& e) { return asAnswer(e.getNextPlug(4)); }, 21, 0, 0, nullptr, 0.0f, kPointer, 0},
        {"willProcessReplacing", [](E& e) { return asAnswer(e.willProcessReplacing()); }, 22, 0, 0, nullptr, 0.0f,
         kUnchanged, 0},
        {"getCurrentProcessLevel", [](E& e) { return asAnswer(e.getCurrentProcessLevel()); }, 23, 0, 0, nullptr,
         0.0f, kUnchanged, 0},
        {"getAutomationState", [](E& e) { return asAnswer(e.getAutomationState()); }, 24, 0, 0, nullptr, 0.0f,
         kUnchanged, 0},
        {"offlineStart", [](E& e) { return asAnswer(e.offlineStart(opaque<VstAudioFile>(), 5, 2)); }, 25, 2, 5,
         opaqueRecord, 0.0f, kYesNo, 0},
        {"offlineReadSource", [](E& e) { return asAnswer(e.offlineRead(opaque<VstOfflineTask>(), 6, true)); }, 26,
         1, 6, opaqueRecord, 0.0f, kYesNo, 0},
        {"offlineReadDestination",
         [](E& e) { return asAnswer(e.offlineRead(opaque<VstOfflineTask>(), 6, false)); }, 26, 0, 6, opaqueRecord,
         0.0f, kYesNo, 0},
        {"offlineWrite", [](E& e) { return asAnswer(e.offlineWrite(opaque<VstOfflineTask>(), 9)); }, 27, 0, 9,
         opaqueRecord, 0.0f, kYesNo, 0},
        {"offlineGetCurrentPass", [](E& e) { return asAnswer(e.offlineGetCurrentPass()); }, 28, 0, 0, nullptr, 0.0f,
         kYesNo, 0},
        {"offlineGetCurrentMetaPass", [](E& e) { return asAnswer(e.offlineGetCurrentMetaPass()); }, 29, 0, 0,
         nullptr, 0.0f, kYesNo, 0},
        {"setOutputSamplerate",
         [](E& e) {
             e.setOutputSamplerate(96000.0f);
             return VstIntPtr{0};
         },
         30, 0, 0, nullptr, 96000.0f, kIgnored, 0},
        {"getOutputSpeakerArrangement", [](E& e) { return asAnswer(e.getOutputSpeakerArrangement()); }, 31, 0, 0,
         nullptr, 0.0f, kPointer, 0},
        {"getHostVendorString", [](E& e) { return asAnswer(e.getHostVendorString(hostText)); }, 32, 0, 0, text,
         0.0f, kYesNo, 0},
        {"getHostProductString", [](E& e) { return asAnswer(e.getHostProductString(hostText)); }, 33, 0, 0, text,
         0.0f, kYesNo, 0},
        {"getHostVendorVersion", [](E& e) { return asAnswer(e.getHostVendorVersion()); }, 34, 0, 0, nullptr, 0.0f,
         kUnchanged, 0},
        {"hostVendorSpecific",
         [](E& e) { return asAnswer(e.hostVendorSpecific(7, -8, opaqueRecord, 0.5f)); }, 35, 7, -8, opaqueRecord,
         0.5f, {{kHostPointer, kHostPointer}, {-3, -3}, {0, 0}}, 0},
        {"canHostDo", [](E& e) { return asAnswer(e.canHostDo(hostText)); }, 37, 0, 0, text, 0.0f, kYesNo, 0},
        {"getHostLanguage", [](E& e) { return asAnswer(e.getHostLanguage()); }, 38, 0, 0, nullptr, 0.0f,
         kUnchanged, 0},
        {"openWindow", [](E& e) { return asAnswer(e.openWindow(opaque<VstWindow>())); }, 39, 0, 0, opaqueRecord,
         0.0f, kPointer, 0},
        {"closeWindow", [](E& e) { return asAnswer(e.closeWindow(opaque<VstWindow>())); }, 40, 0, 0, opaqueRecord,
         0.0f, kYesNo, 0},
        {"getDirectory", [](E& e) { return asAnswer(e.getDirectory()); }, 41, 0, 0, nullptr, 0.0f, kPointer, 0},
        {"updateDisplay", [](E& e) { return asAnswer(e.updateDisplay()); }, 42, 0, 0, nullptr, 0.0f, kYesNo, 0},
        {"beginEdit", [](E& e) { return asAnswer(e.beginEdit(11)); }, 43, 11, 0, nullptr, 0.0f, kYesNo, 0},
        {"endEdit", [](E& e) { return asAnswer(e.endEdit(12)); }, 44, 12, 0, nullptr, 0.0f, kYesNo, 0},
        {"openFileSelector", [](E& e) { return asAnswer(e.openFileSelector(opaque<VstFileSelect>())); }, 45, 0, 0,
         opaqueRecord, 0.0f, kYesNo, 0},
        {"closeFileSelector", [](E& e) { return asAnswer(e.closeFileSelector(opaque<VstFileSelect>())); }, 46, 0,
         0, opaqueRecord, 0.0f, kYesNo, 0},
        {"getChunkFile", [](E& e) { return asAnswer(e.getChunkFile(opaqueRecord)); }, 48, 0, 0, opaqueRecord, 0.0f,
         kYesNo, 0},
        {"getInputSpeakerArrangement", [](E& e) { return asAnswer(e.getInputSpeakerArrangement()); }, 49, 0, 0,
         nullptr, 0.0f, kPointer, 0},
    };
}

void PrintTo(const ServiceCase& service, std::ostream* os) { *os << service.name; }

class HostService : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(HostService, SendsOneCallWithItsSlotsAndConvertsTheAnswer) {
    const ServiceCase& service = GetParam();
    for (const auto& [hostAnswer, expected] : service.answers) {
        SCOPED_TRACE(testing::Message() << "host answers " << hostAnswer);
        RecordingHost host;
        host.answer(service.opcode, hostAnswer);
        ProbeEffect effect(RecordingHost::callback());

        EXPECT_EQ(service.call(effect), expected);

        ASSERT_EQ(host.calls().size(), 1u);
        const HostCall& sent = host.calls().front();
        EXPECT_EQ(sent.effect, effect.getAeffect());
        EXPECT_EQ(sent.opcode, service.opcode);
        EXPECT_EQ(sent.index, service.index);
        EXPECT_EQ(sent.value, service.value);
        EXPECT_EQ(sent.ptr, service.ptr);
        EXPECT_EQ(sent.opt, service.opt);
    }

    SCOPED_TRACE("no host callback");
    ProbeEffect alone(nullptr);
    EXPECT_EQ(service.call(alone), service.fallback);
    EXPECT_EQ(alone.getSampleRate(), 44100.0f);
    EXPECT_EQ(alone.getBlockSize(), 1024);
}

INSTANTIATE_TEST_SUITE_P(EveryService, HostService, ::testing::ValuesIn(serviceCases()),
                         [](const ::testing::TestParamInfo<ServiceCase>& info) {
                             return std::string(info.param.name);
                         });

// Guards the table itself: each host opcode the plug-in may send has a row,
// and the ones it must never send (8, 9, 36, 47) have none.
TEST(HostServiceTable, CoversEverySendableOpcode) {
    std::set<VstInt32> covered;
    for (const ServiceCase& service : serviceCases()) covered.insert(service.opcode);
    std::set<VstInt32> sendable;
    for (VstInt32 opcode = 0; opcode <= 49; ++opcode) {
        if (opcode != 5 && opcode != 8 && opcode != 9 && opcode != 36 && opcode != 47) sendable.insert(opcode);
    }
    EXPECT_EQ(covered, sendable);
}

TEST(HostServiceNullPointer, SendsNothingAndAnswersFalse) {
    const struct {
        const char* name;
        VstInt32 opcode;
        std::function<bool(ProbeEffect&)> call;
    } cases[] = {
        {"openFileSelector", 45, [](ProbeEffect& e) { return e.openFileSelector(nullptr); }},
        {"closeFileSelector", 46, [](ProbeEffect& e) { return e.closeFileSelector(nullptr); }},
        {"getChunkFile", 48, [](ProbeEffect& e) { return e.getChunkFile(nullptr); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingHost host;
        host.answer(c.opcode, 1);
        ProbeEffect effect(RecordingHost::callback());
        EXPECT_FALSE(c.call(effect));
        EXPECT_TRUE(host.calls().empty());
    }
}

}  // namespace
