#include "vst2/AEffEditor.h"

namespace orvo
{

bool AEffEditor::getRect(ERect** rect)
{
    if (rect)
    {
        *rect = nullptr;
    }
    return false;
}

bool AEffEditor::open(void* ptr)
{
    systemWindow = ptr;
    return false;
}

void AEffEditor::close()
{
    systemWindow = nullptr;
}

bool AEffEditor::isOpen()
{
    return systemWindow != nullptr;
}

void AEffEditor::idle()
{
}

bool AEffEditor::onKeyDown(VstKeyCode& /*keyCode*/)
{
    return false;
}

bool AEffEditor::onKeyUp(VstKeyCode& /*keyCode*/)
{
    return false;
}

bool AEffEditor::setKnobMode(VstInt32 /*val*/)
{
    return false;
}

bool AEffEditor::onWheel(float /*distance*/)
{
    return false;
}

} // namespace orvo
