// One redraw of the studio's preview on the server: a control changed, so
// the preview request carries a style not seen before, and the three
// preview lines are drawn anew at the three sizes (the stock cells are
// already on the page). The request goes through the whole API: guard, JSON,
// layout, live cells, the answer's JSON. Goal: 50 ms or less, centred
// included; the fit button's request: 0.5 s or less.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>

#include "platform/base/codepage.h"
#include "preview/preview_lines.h"
#include "studio/studio_api.h"
#include "studio/studio_data.h"

namespace {

using nlohmann::json;
using qzf::studio::HttpRequest;

const qzf::studio::StudioData& Data() {
  static const auto data = [] {
    std::string error;
    auto loaded = qzf::studio::StudioData::Load("", "", error);
    if (!loaded) {
      std::fprintf(stderr, "studio data: %s\n", error.c_str());
      std::exit(1);
    }
    return std::move(*loaded);
  }();
  return data;
}

HttpRequest PreviewRequest(const json& style) {
  HttpRequest request;
  request.method = "POST";
  request.path = "/api/preview";
  request.headers = {{"host", "127.0.0.1:1"}, {"x-studio-token", "t"}, {"content-type", "application/json"}};
  json texts = json::array();
  for (const char* line : {qzf::kPreviewLine1, qzf::kPreviewLine2, qzf::kPreviewLine3})
    texts.push_back(qzf::GbkToUtf8Lossy(line));
  request.body = json{{"face", "Noto Sans CJK SC"}, {"style", style}, {"texts", texts}, {"width", 20}}.dump();
  return request;
}

// Times one kind of request through the whole API, after the face's first
// load (which is not a redraw): `request(step)` gives, at every step, a
// request not answered before.
template <typename MakeRequest>
void TimeRequests(benchmark::State& state, const char* firstAlign, MakeRequest request) {
  qzf::studio::StudioSettings settings;
  settings.token = "t";
  settings.port = 1;
  qzf::studio::StudioApi api(Data(), settings);
  api.Handle(PreviewRequest(json{{"align", firstAlign}}));
  int step = 0;
  for (auto _ : state) {
    const auto response = api.Handle(request(++step));
    if (response.status != 200) state.SkipWithError(response.body.c_str());
    benchmark::DoNotOptimize(response.body.data());
  }
}

// `perSize`: the control changed is one size's (64 px) rather than one for
// every size.
void Redraw(benchmark::State& state, const char* align, bool perSize) {
  TimeRequests(state, align, [&](int step) {
    // Every step a weight and gamma not drawn before: new fonts, new cells.
    const json changed{{"weight", 100 + (step % 9) * 100}, {"gamma", 1.0 + step * 1e-4}};
    json style = perSize ? json{{"size", {{"64", changed}}}} : changed;
    style["align"] = align;
    return PreviewRequest(style);
  });
}

// Centred, changing only what centring does not measure (gamma, shift,
// baseline): the offsets are kept, nothing is measured again.
void BM_PreviewRedrawCentredLook(benchmark::State& state) {
  TimeRequests(state, "center", [](int step) {
    return PreviewRequest(json{{"align", "center"},
                               {"gamma", 1.0 + step * 1e-4},
                               {"shift", json::array({step % 3, 0})},
                               {"size", {{"24", {{"baseline", 15 + step % 4}}}}}});
  });
}

// The fit button: the em heights chosen for the three sizes.
void BM_Fit(benchmark::State& state) {
  TimeRequests(state, "center", [](int step) {
    // A weight not fitted before each time: the whole fit, nothing kept.
    HttpRequest request = PreviewRequest(json::object());
    request.path = "/api/fit";
    request.body = json{{"face", "Noto Sans CJK SC"}, {"style", {{"weight", 100 + step % 800}}}}.dump();
    return request;
  });
}

HttpRequest FitRequest(int weight) {
  HttpRequest request = PreviewRequest(json::object());
  request.path = "/api/fit";
  request.body = json{{"face", "Noto Sans CJK SC"}, {"style", {{"weight", weight}}}}.dump();
  return request;
}

// The fit button as the page has it: the fit, then the centred preview at
// the em heights chosen (a weight not fitted before each time).
void BM_FitAndRedraw(benchmark::State& state) {
  qzf::studio::StudioSettings settings;
  settings.token = "t";
  settings.port = 1;
  qzf::studio::StudioApi api(Data(), settings);
  api.Handle(PreviewRequest(json{{"align", "center"}}));
  int step = 0;
  for (auto _ : state) {
    ++step;
    const int weight = 200 + step % 700;
    const auto fitted = api.Handle(FitRequest(weight));
    if (fitted.status != 200) state.SkipWithError(fitted.body.c_str());
    const json chosen = json::parse(fitted.body);
    json sizes = json::object();
    for (const auto& [cell, fit] : chosen["sizes"].items()) sizes[cell] = json{{"glyph-size", fit["glyphSize"]}};
    const auto response = api.Handle(PreviewRequest(json{{"align", "center"}, {"weight", weight}, {"size", sizes}}));
    if (response.status != 200) state.SkipWithError(response.body.c_str());
    benchmark::DoNotOptimize(response.body.data());
  }
}

// A style fitted before (the button pressed again, or a weight tried again):
// the glyphs' ink boxes are kept, nothing is drawn.
void BM_FitAgain(benchmark::State& state) {
  qzf::studio::StudioSettings settings;
  settings.token = "t";
  settings.port = 1;
  qzf::studio::StudioApi api(Data(), settings);
  api.Handle(FitRequest(400));
  for (auto _ : state) {
    const auto response = api.Handle(FitRequest(400));
    if (response.status != 200) state.SkipWithError(response.body.c_str());
    benchmark::DoNotOptimize(response.body.data());
  }
}

void BM_PreviewRedraw(benchmark::State& state) { Redraw(state, "design", false); }
// Centred glyphs: a changed style is first measured over the dictionary's
// characters at each size it changes, as the build does.
void BM_PreviewRedrawCentred(benchmark::State& state) { Redraw(state, "center", false); }
void BM_PreviewRedrawCentredOneSize(benchmark::State& state) { Redraw(state, "center", true); }

BENCHMARK(BM_PreviewRedraw)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PreviewRedrawCentred)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PreviewRedrawCentredOneSize)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PreviewRedrawCentredLook)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Fit)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FitAndRedraw)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FitAgain)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace

BENCHMARK_MAIN();
