// A fake host callback for tests: records every call and answers from a
// per-opcode script. One recorder is active at a time (the callback is a
// plain C function), installed by the RecordingHost object's lifetime.
#pragma once

#include <map>
#include <vector>

#include "framework/vst_abi.h"

namespace vexobit::test {

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

class RecordingHost {
public:
    RecordingHost();
    ~RecordingHost();
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    // The callback to hand to an effect or entry point.
    static audioMasterCallback callback();

    // What the host answers to `opcode` from now on (0 unless set).
    void answer(VstInt32 opcode, VstIntPtr value) { answers[opcode] = value; }
    const std::vector<HostCall>& calls() const { return log; }
    void clear() { log.clear(); }

private:
    static VstIntPtr VSTCALLBACK record(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                        void* ptr, float opt);
    std::map<VstInt32, VstIntPtr> answers;
    std::vector<HostCall> log;
};

}  // namespace vexobit::test
