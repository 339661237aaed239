#include <new>

#include "editor/IEditorX11.h"
#include "editor/IPlatformEditor.h"

// The images come compiled into the module (IEmbeddedFiles.h): no module
// handle is needed.
IEditor* NewPlatformEditor(IEffectBase* plugin, int32_t width, int32_t height, int32_t fps,
                           void* /*moduleInstance*/) {
  return new (std::nothrow) IEditorX11(plugin, width, height, fps);
}
