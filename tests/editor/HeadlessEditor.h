// An editor without a window: Present records the areas it is asked to
// show, images are decoded from PNG files in a folder, text is drawn with
// the fake font system, the end-of-edit countdown runs on Tick, and every
// window service records its call.
#pragma once

#include <string>
#include <vector>

#include "editor/IEditor.h"

// Text runs through the fake font system, whose glyphs are known to the
// pixel, for the whole process: fonts stay in the process-wide cache and keep
// the system that made them, so every headless editor uses this one.
void UseFakeFonts();

class HeadlessEditor : public IEditor {
 public:
  HeadlessEditor(IEffectBase* plugin, std::string imageFolder, int32_t width = 488,
                 int32_t height = 282, int32_t fps = 0);

  // One tick of the window timer: the countdown, then the repaint check.
  // Returns whether anything was painted.
  bool Tick();

  bool Present(const IBounds& area) override;
  void EditControlText(IControl*) override {}
  void EditParameterText(IControl* control, IParameter* parameter) override;
  void EditTextInRect(IControl*, const ITextStyle&, const IBounds&, const char*, bool,
                      bool) override {}
  void HostFolder(IGrowableBuffer&) override {}
  void ModuleFolder(IGrowableBuffer&) override {}
  void AskForFile(IGrowableBuffer&, int32_t, const char*, const char*) override {}
  bool AskForColour(IRgba&, const char*) override { return false; }
  bool OpenWebPage(const char* address, const char*, const char*, const char*) override;
  void StartEndEditCountdown(int32_t ticks) override { countdown = ticks; }
  void StopEndEditCountdown() override { countdown = 0; }
  void* OpenEditorWindow(const IParentWindow&) override { return nullptr; }
  void CloseEditorWindow() override {}
  void* NativeWindow() override { return nullptr; }
  RBitmap* LoadBitmapResource(int32_t id, const char* name) override;

  std::vector<IBounds> presented;
  std::vector<std::string> pagesOpened;
  std::vector<int32_t> textEntries;  // parameter index of each text entry opened
  bool pagesOpen = true;             // what OpenWebPage answers
  int32_t countdown = 0;

 private:
  std::string folder;
};
