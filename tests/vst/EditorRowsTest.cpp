// The dispatcher's editor requests and the editor notifications of the host
// paths, with a recording stand-in for the editor attached to the effect.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/vst/InProcessPlugin.h"

namespace {

struct ShownValue {
  int32_t index;
  double value;
  bool normalised;
};

class RecordingEditor : public IEditorSeam {
 public:
  int32_t HandleHostWheel(float notches) override {
    wheel.push_back(notches);
    return 1;
  }
  void StartEndEditCountdown(int32_t ticks) override { countdown = ticks; }
  void StopEndEditCountdown() override { countdown = 0; }
  void* OpenEditorWindow(const IParentWindow& parent) override {
    openedWith = parent;
    calls.push_back("open");
    return windowToReturn;
  }
  void CloseEditorWindow() override { calls.push_back("close"); }
  void ShowParameterValue(int32_t index, double value, bool normalised) override {
    shown.push_back({index, value, normalised});
  }
  void CreateBackBuffer() override { calls.push_back("backbuffer"); }
  int32_t Width() const override { return width; }
  int32_t Height() const override { return height; }
  int32_t FramesPerSecond() const override { return 24; }

  int32_t width = 488, height = 282;
  void* windowToReturn = this;
  IParentWindow openedWith;
  int32_t countdown = 0;
  std::vector<float> wheel;
  std::vector<ShownValue> shown;
  std::vector<std::string> calls;
};

// The effect with the stand-in editor, noting the editor notifications.
class EffectWithEditor : public DuoManglerEffect {
 public:
  explicit EffectWithEditor(audioMasterCallback host) : DuoManglerEffect(host) {
    editorStandIn = new RecordingEditor;
    AttachEditor(editorStandIn);
  }
  void EditorOpened() override { editorStandIn->calls.push_back("opened"); }
  void EditorClosing() override { editorStandIn->calls.push_back("closing"); }

  RecordingEditor* editorStandIn;  // owned by the base
};

class EditorRows : public ::testing::Test {
 protected:
  void SetUp() override { editor().shown.clear(); }
  RecordingEditor& editor() { return *plugin.effect->editorStandIn; }
  InProcessPlugin<EffectWithEditor> plugin;
};

}  // namespace

TEST_F(EditorRows, AttachingTheEditorSetsTheFlagAndTheRectangle) {
  EXPECT_EQ(plugin.record->flags, 0x1019);
  ERect* rect = nullptr;
  EXPECT_EQ(plugin.Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 282);
  EXPECT_EQ(rect->right, 488);
  EXPECT_EQ(plugin.Dispatch(effEditGetRect, 0, 0, nullptr), 0);
}

TEST_F(EditorRows, ResizingCopiesTheEditorsCurrentSize) {
  editor().width = 600;
  editor().height = 40000;  // beyond the rectangle's 16 bits
  plugin.effect->EditorResized(1, 1);
  ERect* rect = nullptr;
  plugin.Dispatch(effEditGetRect, 0, 0, &rect);
  EXPECT_EQ(rect->right, 600);
  EXPECT_EQ(rect->bottom, 32767);
}

TEST_F(EditorRows, OpenAndCloseTheWindow) {
  int parent = 0;
  editor().calls.clear();
  EXPECT_EQ(plugin.Dispatch(effEditOpen, 0, 0, &parent), 1);
  // The host's pointer, named as the window system's handle it is.
#if defined(_WIN32)
  EXPECT_EQ(editor().openedWith.system, IParentWindow::kWin32);
  EXPECT_EQ(editor().openedWith.win32, &parent);
#else
  EXPECT_EQ(editor().openedWith.system, IParentWindow::kX11);
  EXPECT_EQ(editor().openedWith.x11, reinterpret_cast<uintptr_t>(&parent));
#endif
  EXPECT_EQ(plugin.Dispatch(effEditClose), 1);
  EXPECT_EQ(editor().calls, (std::vector<std::string>{"open", "opened", "closing", "close"}));

  editor().calls.clear();
  editor().windowToReturn = nullptr;
  EXPECT_EQ(plugin.Dispatch(effEditOpen, 0, 0, &parent), 0);
  EXPECT_EQ(editor().calls, (std::vector<std::string>{"open"}));
}

TEST_F(EditorRows, HostWheelReachesTheEditor) {
  EXPECT_EQ(plugin.Dispatch(effVendorSpecific, 0x73744341, 0x57686565, nullptr, -2.0f), 1);
  EXPECT_EQ(editor().wheel, std::vector<float>{-2.0f});
  EXPECT_EQ(plugin.Dispatch(effVendorSpecific, 0x73744341, 0x57686566, nullptr, 1.0f), 0);
  EXPECT_EQ(editor().wheel.size(), 1u);
}

TEST_F(EditorRows, HostParameterChangesAreShownNormalised) {
  plugin.record->setParameter(plugin.record, 3, 0.75f);
  ASSERT_EQ(editor().shown.size(), 1u);
  EXPECT_EQ(editor().shown[0].index, 3);
  EXPECT_EQ(editor().shown[0].value, 0.75);
  EXPECT_TRUE(editor().shown[0].normalised);
  plugin.record->setParameter(plugin.record, 9, 0.75f);
  EXPECT_EQ(editor().shown.size(), 1u);
}

TEST_F(EditorRows, TypedValuesAreShownInParameterUnits) {
  char text[] = "50000";
  plugin.Dispatch(effString2Parameter, 0, 0, text);
  ASSERT_EQ(editor().shown.size(), 1u);
  EXPECT_EQ(editor().shown[0].value, 50000.0);
  EXPECT_FALSE(editor().shown[0].normalised);
}

TEST_F(EditorRows, LoadedStateAndProgramsArePushedToTheEditor) {
  plugin.Dispatch(effSetProgram, 0, 8);
  ASSERT_EQ(editor().shown.size(), 9u);
  EXPECT_EQ(editor().shown[0].value, 3000.0);
  EXPECT_FALSE(editor().shown[0].normalised);
  editor().shown.clear();
  void* bytes = nullptr;
  const intptr_t size = plugin.Dispatch(effGetChunk, 1, 0, &bytes);
  std::vector<uint8_t> chunk(static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + size);
  EXPECT_EQ(plugin.Dispatch(effSetChunk, 1, size, chunk.data()), 1);
  EXPECT_EQ(editor().shown.size(), 9u);
}

TEST_F(EditorRows, WheelGesturesKeepTheirEndPendingUntilAnotherParameter) {
  RecordingHost& host = plugin.host;
  plugin.effect->HostBeginEditUnlessPending(4);
  plugin.effect->DeferEndOfEdit(4);
  EXPECT_EQ(editor().countdown, 12);             // half the 24 frames per second
  plugin.effect->HostBeginEditUnlessPending(4);  // the same gesture goes on
  EXPECT_EQ(host.CountOf(audioMasterEndEdit), 0u);
  EXPECT_EQ(host.CountOf(audioMasterBeginEdit), 1u);
  plugin.effect->HostBeginEditUnlessPending(5);
  const std::vector<RecordingHost::Request> requests = host.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].opcode, audioMasterEndEdit);
  EXPECT_EQ(requests[1].index, 4);
  EXPECT_EQ(requests[2].opcode, audioMasterBeginEdit);
  EXPECT_EQ(requests[2].index, 5);
  // A press starts a new gesture after flushing a pending end.
  plugin.effect->DeferEndOfEdit(5);
  plugin.effect->HostBeginEdit(6);
  EXPECT_EQ(host.Requests()[3].opcode, audioMasterEndEdit);
  EXPECT_EQ(host.Requests()[3].index, 5);
  EXPECT_EQ(host.Requests()[4].index, 6);
  plugin.effect->FlushDeferredEndOfEdit();
  EXPECT_EQ(host.CountOf(audioMasterEndEdit), 2u);
}

namespace {

class EffectRecordingMidi : public DuoManglerEffect {
 public:
  using DuoManglerEffect::DuoManglerEffect;
  void MidiMessageReceived(const IShortMidi& message) override { notes.push_back(message); }
  void SysExReceived(const ISysExBlock& message) override { dumps.push_back(message); }
  std::vector<IShortMidi> notes;
  std::vector<ISysExBlock> dumps;
};

}  // namespace

TEST(IncomingEvents, MidiAndSysExReachTheEffectOthersAreSkipped) {
  InProcessPlugin<EffectRecordingMidi> plugin;
  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.deltaFrames = 33;
  note.midiData[0] = static_cast<char>(0x91);
  note.midiData[1] = 64;
  note.midiData[2] = static_cast<char>(127);
  char dump[] = {'\xF0', '\x01', '\xF7'};
  VstMidiSysexEvent sysex{};
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof sysex;
  sysex.deltaFrames = -2;
  sysex.dumpBytes = 3;
  sysex.sysexDump = dump;
  VstEvent unknown{};
  unknown.type = kVstParameterType;
  struct {
    VstEvents head;
    VstEvent* more[2];
  } list{};
  list.head.numEvents = 4;
  list.head.events[0] = &unknown;
  list.head.events[1] = reinterpret_cast<VstEvent*>(&note);
  list.more[0] = nullptr;
  list.more[1] = reinterpret_cast<VstEvent*>(&sysex);
  EXPECT_EQ(plugin.Dispatch(effProcessEvents, 0, 0, &list.head), 1);
  ASSERT_EQ(plugin.effect->notes.size(), 1u);
  EXPECT_EQ(plugin.effect->notes[0].sampleOffset, 33);
  EXPECT_EQ(plugin.effect->notes[0].status, 0x91);
  EXPECT_EQ(plugin.effect->notes[0].data1, 64);
  EXPECT_EQ(plugin.effect->notes[0].data2, 127);
  ASSERT_EQ(plugin.effect->dumps.size(), 1u);
  EXPECT_EQ(plugin.effect->dumps[0].sampleOffset, -2);
  EXPECT_EQ(plugin.effect->dumps[0].size, 3);
  EXPECT_EQ(plugin.effect->dumps[0].bytes, reinterpret_cast<const uint8_t*>(dump));
}
