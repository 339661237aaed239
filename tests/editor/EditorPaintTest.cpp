// Paints compared with golden images: each control kind at values 0, 0.5
// and 1 side by side, and the effect's whole editor. After a deliberate
// change, rewrite the goldens with DM_UPDATE_GOLDEN=1 and look at them
// before committing. A few pixels are also checked against the formulas.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "editor/IBitmapCache.h"
#include "editor/IFrameControl.h"
#include "editor/IKnobArcImg.h"
#include "editor/IKnobRotVal.h"
#include "editor/ISlider.h"
#include "raster/RBlit.h"
#include "raster/RFill.h"
#include "raster/RMemBitmap.h"
#include "raster/RPixelView.h"
#include "tests/editor/EditorTestImages.h"
#include "tests/editor/EditorTestPlugin.h"
#include "tests/editor/HeadlessEditor.h"
#include "tests/editor/TestLayout.h"
#include "tests/raster/GoldenImage.h"

namespace {

constexpr uint32_t kGround = 0xFF283038;

uint32_t PixelAt(RBitmap* bitmap, int32_t x, int32_t y) { return RPixelView::Of(bitmap).Row(y)[x]; }

void ExpectMatchesGolden(RBitmap& image, const std::string& name) {
  ::ExpectMatchesGolden(image, DM_EDITOR_GOLDEN_DIR, name);
}

using ControlMaker = std::function<IControl*(IEditor&, IEffectBase*)>;

// The control painted alone on a plain ground at values 0, 0.5 and 1, the
// three canvases side by side.
std::unique_ptr<RMemBitmap> PaintAtThreeValues(const ControlMaker& make, int32_t width,
                                               int32_t height) {
  EditorTestPlugin plugin;
  HeadlessEditor editor(&plugin, TestImageFolder(), width, height);
  IControl* control = make(editor, &plugin);
  editor.AddControl(control);
  editor.CreateBackBuffer();
  auto strip = std::make_unique<RMemBitmap>(width * 3, height, 4);
  const double values[] = {0.0, 0.5, 1.0};
  for (int32_t i = 0; i < 3; ++i) {
    Raster_FillRect(editor.BackBuffer(), 0, 0, width, height, kGround, 1.0f, RBlend::Copy);
    control->value = values[i];
    editor.PaintInvalid({0, 0, width, height});
    Raster_BlitRect(strip.get(), editor.BackBuffer(), width * i, 0, 0, 0, width, height, 1.0f,
                    RBlend::Copy);
  }
  return strip;
}

TEST(EditorPaint, EachControlKindAtThreeValues) {
  const ITextStyle style = TestLayout::TextStyle();
  struct Case {
    const char* name;
    int32_t width, height;
    ControlMaker make;
  } cases[] = {
      {"knob_rot", 62, 80,
       [&](IEditor& e, IEffectBase* p) {
         return new IKnobRotVal(p, 2, 31, 31, e.GetBitmap(101, "img/knob.png", 1), style, 5, 300,
                                4.0, 0, 0, 0.8f);
       }},
      {"knob_rot_two_frames", 72, 90,
       [&](IEditor& e, IEffectBase* p) {
         return new IKnobRotVal(p, 3, 36, 36, e.GetBitmap(102, "img/knob2.png", 2), style, 5, 300,
                                4.0, 0, 0, 1.0f);
       }},
      {"knob_arc", 72, 90,
       [&](IEditor&, IEffectBase* p) {
         return new IKnobArc(p, 0, 36, 36, style, {160, 255, 255, 255}, 21.0f, 3.0f, 2,
                             IKnobArc::TextBelow, 2, 300, 4.0, 0);
       }},
      {"knob_arc_img", 72, 90,
       [&](IEditor& e, IEffectBase* p) {
         return new IKnobArcImg(p, 0, 36, 36, style, {160, 255, 255, 255}, 21.0f, 3.0f, 2,
                                IKnobArc::TextBelow, 2, 300, 4.0, 0,
                                e.GetBitmap(102, "img/knob2.png", 2), 300, 2, 21.0f, 3.0f, 1.0f);
       }},
      {"slider", 100, 54,
       [&](IEditor& e, IEffectBase* p) {
         return new ISlider(p, 1, {10, 10, 90, 44}, e.GetBitmap(103, "img/slider.png", 1), style,
                            66, 1, {80, 255, 255, 255});
       }},
      {"slider_img_vertical", 50, 110,
       [&](IEditor& e, IEffectBase* p) {
         return new ISliderImg(p, 8, {10, 10, 40, 100}, e.GetBitmap(103, "img/slider.png", 1),
                               style, 66, 0);
       }},
      {"frame_side_by_side", 60, 60,
       [&](IEditor& e, IEffectBase* p) {
         auto* frames = new IFrameControl(p, {4, 4, 56, 56}, e.GetBitmap(102, "img/knob2.png", 2));
         frames->vertical = false;
         return frames;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectMatchesGolden(*PaintAtThreeValues(c.make, c.width, c.height), c.name);
  }
}

TEST(EditorPaint, FramesTextsAndCopies) {
  EditorTestPlugin plugin;
  HeadlessEditor editor(&plugin, TestImageFolder(), 60, 60);
  editor.CreateBackBuffer();
  const IBitmapStrip strip = editor.GetBitmap(102, "img/knob2.png", 2);
  EXPECT_EQ(editor.GetBitmap(102, "img/knob2.png", 1).bitmap, strip.bitmap);
  const IBlendSpec overwrite{IBlendSpec::BlendOverwrite, 1.0f};
  editor.PaintInvalid({0, 0, 60, 60});  // no controls: sets nothing, presents nothing
  EXPECT_TRUE(editor.presented.empty());

  // Frame 2 of a 104-pixel strip of two frames side by side starts 52
  // columns in; frame 1 and single-frame strips start at 0.
  editor.AddControl(new IFrameControl(&plugin, {}, strip));
  editor.PaintInvalid({0, 0, 60, 60});
  struct Case {
    int32_t frames, frame, sourceX;
  } cases[] = {{2, 2, 52}, {2, 1, 0}, {1, 2, 0}};
  for (const Case& c : cases) {
    const IBitmapStrip framed{strip.bitmap, strip.W, strip.H, c.frames};
    Raster_FillRect(editor.BackBuffer(), 0, 0, 60, 60, kGround, 1.0f, RBlend::Copy);
    EXPECT_TRUE(editor.BlitBitmapFrame(framed, {0, 0, 52, 52}, c.frame, &overwrite, false));
    for (int32_t x : {0, 26, 51}) {
      EXPECT_EQ(PixelAt(editor.BackBuffer(), x, 26), PixelAt(strip.bitmap, c.sourceX + x, 26))
          << c.frames << " " << c.frame << " " << x;
    }
  }

  // An empty text succeeds and draws nothing.
  Raster_FillRect(editor.BackBuffer(), 0, 0, 60, 60, kGround, 1.0f, RBlend::Copy);
  ITextStyle style = TestLayout::TextStyle();
  EXPECT_TRUE(editor.PaintText(style, "", {0, 0, 60, 60}));
  EXPECT_TRUE(editor.PaintText(style, nullptr, {0, 0, 60, 60}));
  for (int32_t y = 0; y < 60; y += 7) EXPECT_EQ(PixelAt(editor.BackBuffer(), 30, y), kGround);
  EXPECT_TRUE(editor.PaintText(style, "88", {0, 0, 60, 60}));
  EXPECT_NE(style.cachedFont, nullptr);
  ITextStyle copy = TestLayout::TextStyle();
  copy.colour = {255, 0, 0, 0};  // colour and quality are not part of the key
  copy.quality = 3;
  EXPECT_EQ(editor.GetTextFont(copy), style.cachedFont);
  copy.style = 1;
  EXPECT_NE(editor.GetTextFont(copy), style.cachedFont);

  // Copies of a frame are shared by every editor of the process.
  HeadlessEditor other(&plugin, TestImageFolder(), 60, 60);
  const IBitmapStrip first = editor.CopyBitmapRegion(strip, {0, 0, 52, 52});
  const int32_t cached = IBitmapCache::Count();
  const IBitmapStrip second = other.CopyBitmapRegion(strip, {0, 0, 52, 52});
  EXPECT_EQ(second.bitmap, first.bitmap);
  EXPECT_EQ(IBitmapCache::Count(), cached);
  EXPECT_EQ(second.W, 52);
  EXPECT_EQ(second.frames, 2);
  EXPECT_EQ(PixelAt(second.bitmap, 26, 10), PixelAt(strip.bitmap, 26, 10));
}

struct LayoutPaint : ::testing::Test {
  LayoutPaint() {
    editor = new HeadlessEditor(&plugin, TestImageFolder());
    TestLayout::Build(*editor, &plugin);
    plugin.AttachEditor(editor);
    editor->MarkAllControlsChanged();
    editor->Tick();
  }
  EditorTestPlugin plugin;
  HeadlessEditor* editor;
};

TEST_F(LayoutPaint, WholeEditorAtTheDefaults) {
  EXPECT_EQ(editor->presented.back(), (IBounds{0, 0, 488, 282}));
  ExpectMatchesGolden(*editor->BackBuffer(), "editor_defaults");
}

TEST_F(LayoutPaint, PixelsFromTheFormulas) {
  RBitmap* buffer = editor->BackBuffer();
  // The background is copied as it is: the generated gradient
  // (30 + x * 40 / 488, 34 + y * 30 / 282, 48).
  EXPECT_EQ(PixelAt(buffer, 5, 5), 0xFF1E2230u);
  EXPECT_EQ(PixelAt(buffer, 214, 185), 0xFF2F3530u);  // left of the Damping bar
  EXPECT_EQ(PixelAt(buffer, 215, 187), 0xFF2F3530u);  // below it
  // Damping at 50 %: a two-pixel bar on rows 185 and 186 from x = 215 up to
  // the handle, whose left edge is at 211 + 0.5 * 50 = 236; the bar lightens
  // the ground by its alpha, 80 / 255.
  for (const auto& [x, y] : {std::pair{215, 185}, {235, 186}}) {
    const uint32_t bar = PixelAt(buffer, x, y);
    const int under[] = {48, 30 + x * 40 / 488, 34 + y * 30 / 282};  // blue, red, green
    const int shifts[] = {0, 16, 8};
    for (int c = 0; c < 3; ++c) {
      const int over = (bar >> shifts[c]) & 0xFF;
      EXPECT_NEAR(over, under[c] + (255 - under[c]) * 80 / 255.0, 1.0) << x << " " << shifts[c];
    }
  }
}

}  // namespace
