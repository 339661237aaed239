// Rectangles, gesture arithmetic, knob angles and the geometry of every
// control of the effect's layout.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "editor/IBlendSpec.h"
#include "editor/IBounds.h"
#include "editor/IGestureMath.h"
#include "editor/IKnobArcImg.h"
#include "editor/IKnobGeometry.h"
#include "editor/IKnobRotVal.h"
#include "editor/IRgba.h"
#include "editor/ISlider.h"
#include "tests/editor/EditorTestImages.h"
#include "tests/editor/EditorTestPlugin.h"
#include "tests/editor/HeadlessEditor.h"
#include "tests/editor/TestLayout.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180;

TEST(EditorGeometry, BoundsUnionAndIntersection) {
  const IBounds empty{};
  struct Case {
    IBounds a, b, united, common;
  } cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, {0, 0, 20, 20}, {5, 5, 10, 10}},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 20, 10}, empty},  // touching is no overlap
      {empty, {3, 4, 5, 6}, {3, 4, 5, 6}, empty},
      {{3, 4, 5, 6}, empty, {3, 4, 5, 6}, empty},
      {{-5, -5, 5, 5}, {-2, -1, 1, 2}, {-5, -5, 5, 5}, {-2, -1, 1, 2}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.a.Union(c.b), c.united);
    EXPECT_EQ(c.a.Intersection(c.b), c.common);
  }
  EXPECT_TRUE(IBounds({0, 0, 2, 2}).Contains(1, 1));
  EXPECT_FALSE(IBounds({0, 0, 2, 2}).Contains(2, 1));  // right edge exclusive
}

TEST(EditorGeometry, ColoursAndBlendsReachTheRasterLibrary) {
  EXPECT_EQ((IRgba{160, 255, 128, 1}).Packed(), 0xA0FF8001u);
  EXPECT_EQ((IRgba{0x1FF, -1, 0, 0}).Packed(), 0xFFFF0000u);  // low 8 bits of each field
  const IBlendSpec kinds[] = {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {7, 1}};
  const RBlendMode modes[] = {0x10000, 0x0, 0x10001, 0x10002, 0x10000};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(BlendModeOf(&kinds[i]), modes[i]) << i;
  EXPECT_EQ(BlendModeOf(nullptr), 0x10000u);
  EXPECT_EQ(BlendWeightOf(nullptr), 1.0f);
}

TEST(EditorGeometry, GestureArithmetic) {
  const IBounds knob{0, 0, 40, 60};
  const auto V = IDragDirection::Vertical, H = IDragDirection::Horizontal;
  struct Drag {
    int32_t dX, dY;
    IDragDirection direction;
    bool fine;
    double change;
  } drags[] = {
      {0, -60, V, false, 0.25}, {0, -60, V, true, 0.025},  {0, 60, V, false, -0.25},
      {40, 0, H, false, 0.25},  {-4, 0, H, true, -0.0025}, {25, 0, V, false, 0.0},
  };
  for (const Drag& d : drags) {
    EXPECT_NEAR(KnobDragValue(0.5, d.dX, d.dY, knob, 4.0, d.direction, d.fine) - 0.5, d.change,
                1e-15);
  }
  EXPECT_DOUBLE_EQ(WheelValue(0.995, 1, false), 0.995 + 0.01);
  EXPECT_DOUBLE_EQ(WheelValue(0.995, 1, true), 0.995 + 0.001);
  EXPECT_DOUBLE_EQ(WheelValue(0.5, -3, false), 0.5 - 0.03);

  // The effect's Damping track: {211, 178, 277, 194}, 16-pixel handle, travel 50.
  const IBounds track{211, 178, 277, 194};
  struct Slide {
    int32_t x, y, travel;
    bool vertical;
    double value;
  } slides[] = {
      {219, 180, 50, false, 0.0}, {244, 180, 50, false, 0.5},
      {269, 180, 50, false, 1.0}, {211, 180, 50, false, -0.16},  // clamped later by the control
      {0, 186, 8, true, 1.0},     {0, 194, 8, true, 0.0},        // vertical: the top is 1
      {244, 180, 0, false, 0.3},                                 // no travel: the value stays
  };
  for (const Slide& s : slides) {
    EXPECT_DOUBLE_EQ(SliderValueAt(0.3, s.x, s.y, track, 16, 16, s.travel, s.vertical), s.value)
        << s.x << "," << s.y;
  }
}

TEST(EditorGeometry, KnobAnglesAndOffsets) {
  struct Case {
    double value, angleDegrees;
    float offset;
    double arcEndDegrees, imageArcEndDegrees;
  } cases[] = {
      {0.0, -150, -1.0f, -148, -147},
      {0.5, 0, 0.0f, 0, 0},
      {1.0, 150, -1.0f, 150, 150},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(KnobAngle(300, c.value), c.angleDegrees * kDegree, 1e-6) << c.value;
    EXPECT_EQ(KnobSourceOffset(c.value), c.offset);
    EXPECT_NEAR(ArcEndAngle(300, c.value), c.arcEndDegrees * kDegree, 1e-12);
    EXPECT_NEAR(ImageArcEndAngle(300, c.value), c.imageArcEndDegrees * kDegree, 1e-12);
  }
  EXPECT_DOUBLE_EQ(ArcStartAngle(300), -148 * kDegree);
  EXPECT_DOUBLE_EQ(ImageArcStartAngle(300), -147 * kDegree);
  // At 0 the arc is empty, at 1 it spans 298 degrees.
  EXPECT_NEAR(ArcEndAngle(300, 0.0), ArcStartAngle(300), 1e-12);
  EXPECT_NEAR(ArcEndAngle(300, 1.0) - ArcStartAngle(300), 298 * kDegree, 1e-12);
  EXPECT_FLOAT_EQ(KnobImageSourceOffset(1.0),
                  -static_cast<float>(std::sin(11 * std::numbers::pi / 16)));
}

TEST(EditorGeometry, EffectLayoutAreas) {
  EditorTestPlugin plugin;
  HeadlessEditor editor(&plugin, TestImageFolder());
  TestLayout::Build(editor, &plugin);
  ASSERT_EQ(editor.ControlCount(), TestLayout::Count);

  const IBounds expected[] = {
      {0, 0, 488, 282},     {148, 15, 340, 62},   {28, 156, 70, 219},   {88, 156, 130, 219},
      {148, 156, 190, 219}, {298, 156, 340, 219}, {358, 156, 400, 219}, {418, 156, 460, 219},
      {218, 91, 270, 161},  {204, 178, 284, 212}, {204, 227, 284, 261},
  };
  const int32_t params[] = {-1, -1, 2, 3, 4, 5, 6, 7, 0, 1, 8};
  for (int32_t i = 0; i < TestLayout::Count; ++i) {
    EXPECT_EQ(editor.ControlAt(i)->rect, expected[i]) << i;
    EXPECT_EQ(editor.ControlAt(i)->targetRect, expected[i]) << i;
    EXPECT_EQ(editor.ControlAt(i)->paramIdx, params[i]) << i;
  }
  const IBounds tracks[] = {{211, 178, 277, 194}, {211, 227, 277, 243}};
  for (int32_t i : {0, 1}) {
    auto* slider = static_cast<ISlider*>(editor.ControlAt(TestLayout::Damping + i));
    EXPECT_EQ(slider->trackRect, tracks[i]);
    EXPECT_EQ(slider->barRect, tracks[i]);
    EXPECT_EQ(slider->travel, 50);
    EXPECT_EQ(slider->barTravel, 50);
  }
  auto* split = static_cast<IKnobArcImg*>(editor.ControlAt(TestLayout::SplitFreq));
  EXPECT_EQ(split->knob.W, 104);
  EXPECT_EQ(split->knob.frames, 2);
  auto* lowDrive = static_cast<IKnobRotVal*>(editor.ControlAt(TestLayout::LowDrive));
  EXPECT_EQ(lowDrive->centreX, 49);
  EXPECT_EQ(lowDrive->centreY, 177);
}

TEST(EditorGeometry, ControlsWithOtherSettings) {
  const ITextStyle style = TestLayout::TextStyle();
  const IBitmapStrip handle{nullptr, 16, 12, 1};
  // A vertical slider: a track as wide as the handle, length pixels long.
  const ISliderImg vertical(nullptr, 0, {100, 10, 120, 100}, handle, style, 60, 0);
  EXPECT_EQ(vertical.trackRect, (IBounds{102, 10, 118, 70}));
  EXPECT_EQ(vertical.travel, 48);
  // An explicit knob size, and an arc knob whose texts sit beside the arc.
  const IBitmapStrip knob{nullptr, 42, 42, 1};
  const IKnobRotVal sized(nullptr, 0, 50, 50, knob, style, 5, 300, 4.0, 30, 0, 1.0f);
  EXPECT_EQ(sized.rect, (IBounds{35, 29, 65, 92}));
  const IKnobArc arc(nullptr, 0, 244, 117, style, {}, 21.0f, 3.0f, 2, IKnobArc::TextCentred, 2, 300,
                     4.0, 1);
  EXPECT_EQ(arc.rect, (IBounds{218, 91, 270, 143}));
  EXPECT_EQ(arc.direction, IDragDirection::Horizontal);
}

}  // namespace
