// Editor requests; a plug-in without an editor answers 0 to each.
#include "vst/IEffectVST.h"

intptr_t IEffectVST::DispatchEditor(int32_t opcode, void* ptr) {
  if (!editor) return 0;
  switch (opcode) {
    case effEditGetRect:
      if (!ptr) return 0;
      *static_cast<ERect**>(ptr) = &editorRect;
      return 1;
    case effEditOpen:
      if (!editor->OpenEditorWindow(ptr)) return 0;
      EditorOpened();
      return 1;
    case effEditClose:
      EditorClosing();
      editor->CloseEditorWindow();
      return 1;
    default:
      return 0;
  }
}
