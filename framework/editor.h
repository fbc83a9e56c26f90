// The optional editor an effect may own. The dispatchers use only the
// operations declared here; no effect in this project installs one.
#pragma once

#include "framework/vst_abi.h"

struct ERect {
    short top;
    short left;
    short bottom;
    short right;
};

class AEffEditor {
public:
    virtual ~AEffEditor() = default;
    // Answers the editor's window rectangle through *rect.
    virtual bool getRect(ERect** rect) = 0;
    // Opens the editor inside the host's parent window.
    virtual bool open(void* parentWindow) = 0;
    virtual void close() = 0;
    virtual void idle() = 0;
    virtual bool onKeyDown(VstKeyCode& key) = 0;
    virtual bool onKeyUp(VstKeyCode& key) = 0;
    virtual bool setKnobMode(VstInt32 mode) = 0;
};
