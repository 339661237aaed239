#include "editor/IPlatformEditor.h"

IEditor* NewPlatformEditor(IEffectBase*, int32_t, int32_t, int32_t, void*) { return nullptr; }
