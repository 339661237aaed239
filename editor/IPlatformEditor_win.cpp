#include <new>

#include "editor/IEditorWin.h"
#include "editor/IPlatformEditor.h"

IEditor* NewPlatformEditor(IEffectBase* plugin, int32_t width, int32_t height, int32_t fps,
                           void* moduleInstance) {
  auto* editor = new (std::nothrow) IEditorWin(plugin, width, height, fps);
  if (editor) editor->SetModuleInstance(moduleInstance);
  return editor;
}
