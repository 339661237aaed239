#include "editor/ILinkControl.h"

#include "editor/IEditor.h"
#include "framework/TextCopy.h"

ILinkControl::ILinkControl(IEffectBase* owner, const IBounds& area, const char* first,
                           const char* second, const char* windowCaption)
    : IControl(owner, area) {
  CopyTextBounded(address, sizeof address, first);
  CopyTextBounded(secondAddress, sizeof secondAddress, second);
  CopyTextBounded(caption, sizeof caption, windowCaption);
}

void ILinkControl::MousePressed(int32_t, int32_t, const IMouseKeys&) {
  IEditor* editor = Editor();
  if (!editor) return;
  if (address[0] != '\0' && editor->OpenWebPage(address, caption, nullptr, nullptr)) return;
  if (secondAddress[0] != '\0') editor->OpenWebPage(secondAddress, caption, nullptr, nullptr);
}
