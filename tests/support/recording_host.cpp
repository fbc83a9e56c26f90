#include "tests/support/recording_host.h"

#include <cstdlib>

namespace vexobit::test {

namespace {
RecordingHost* active = nullptr;
}

RecordingHost::RecordingHost() {
    if (active) std::abort();  // one recorder at a time
    active = this;
}

RecordingHost::~RecordingHost() { active = nullptr; }

audioMasterCallback RecordingHost::callback() { return &RecordingHost::record; }

VstIntPtr VSTCALLBACK RecordingHost::record(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                            void* ptr, float opt) {
    if (!active) return 0;
    active->log.push_back({effect, opcode, index, value, ptr, opt});
    const auto found = active->answers.find(opcode);
    return found == active->answers.end() ? 0 : found->second;
}

}  // namespace vexobit::test
