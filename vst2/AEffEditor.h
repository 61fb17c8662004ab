// AEffEditor: the editor object that the framework knows. The dispatcher forwards the
// editor opcodes to it; the effect owns it (AudioEffect::setEditor). Runs on the host's
// user-interface thread.
#pragma once

#include "vst2/DAEffect.h"

namespace orvo
{

class AudioEffect;

class AEffEditor
{
  public:
    explicit AEffEditor(AudioEffect* owner = nullptr) noexcept : effect(owner) {}
    virtual ~AEffEditor() = default;

    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    // Virtual operations, in the order of their slots. They may throw (a window that cannot
    // be created); the dispatcher turns an exception into the answer 0.

    /// Stores a pointer to the editor's rectangle in *rect; the base stores null, answers false.
    virtual bool getRect(ERect** rect);
    /// ptr: the host's parent window. The base remembers it as systemWindow, answers false.
    virtual bool open(void* ptr);
    virtual void close();
    virtual bool isOpen();
    virtual void idle();
    virtual bool onKeyDown(VstKeyCode& keyCode);
    virtual bool onKeyUp(VstKeyCode& keyCode);
    virtual bool setKnobMode(VstInt32 val);
    virtual bool onWheel(float distance);

    AudioEffect* getEffect() const noexcept { return effect; }

  protected:
    AudioEffect* effect;          // the owning effect; set at construction, never changed
    void* systemWindow = nullptr; // written only by the base open and close
};

} // namespace orvo
