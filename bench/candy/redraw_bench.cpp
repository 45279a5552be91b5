// One full repaint of a candy button: the main window's treat button (129 x 41,
// Rounded) and a large Gel button (300 x 80).
#include <benchmark/benchmark.h>

#include "core/candy/candy_button.h"
#include "core/candy/color_scheme.h"

namespace zc::candy {
namespace {

class NullHost : public CandyHost {
 public:
  void PropertyChanged(std::string_view) override {}
  void Refresh(const Raster& raster) override { benchmark::DoNotOptimize(raster.Pixels().data()); }
  void SetWindowShape(const PixelMask*) override {}
  std::optional<Color> ParentBackground() override { return Rgb(0, 0, 0); }
  void SetHandPointer(bool) override {}
  void StartHoverTracking() override {}
  void RequestLeaveNotification() override {}
  void RaiseEvent(const CandyEvent&) override {}
};

class NullSurface : public CandySurface {
 public:
  TextExtent MeasureCaption(TextView, const CandyFont&) override { return {60, 15}; }
  void DrawCaption(Raster&, int, int, TextView, const CandyFont&, Color, bool) override {}
  void PictureSizeInPixels(const CandyPicture&, double& w, double& h) override { w = h = 0; }
  void DrawPicture(Raster&, int, int, const CandyPicture&, PictureLook, Color) override {}
};

class PlainColors : public SystemColors {
 public:
  Color Translate(Color c) override { return c & 0xFFFFFF; }
};

void BenchRedraw(benchmark::State& state, int style, int width, int height, int scheme) {
  NullHost host;
  NullSurface surface;
  PlainColors colors;
  CandyButton button(host, surface, colors);
  CandyProperties& p = button.StoredProperties();
  const SchemeColors s = *PresetScheme(scheme);
  p.enabled = true;
  p.style = style;
  p.caption = u"caption";
  p.colorButtonUp = s.up, p.colorButtonHover = s.hover, p.colorButtonDown = s.down, p.colorBright = s.bright;
  button.SetSize(width, height);
  button.SetReady();
  button.ApplyShape();
  for (auto _ : state) button.Redraw(VisualState::Up);
}

void BM_RedrawRounded129x41(benchmark::State& state) { BenchRedraw(state, kRounded, 129, 41, 5); }
void BM_RedrawGel300x80(benchmark::State& state) { BenchRedraw(state, kGel, 300, 80, 1); }

BENCHMARK(BM_RedrawRounded129x41)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedrawGel300x80)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace zc::candy
