// The whole build as `qzffont build` runs it (the binary itself, as a child
// process, so that its peak resident memory is its own) against the floor
// for the same work: FreeType alone rendering the same glyphs at the same
// pixel sizes, plus one read and one write of the font file.
//
// Usage: build_floor <qzffont> <stock font file> <stock dictionary> <work dir> [runs]
#include <ft2build.h>
#include FT_FREETYPE_H

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dict/load_dictionary_file.h"
#include "dict/qorv_string_dict.h"
#include "fileutil/atomic_file_write.h"
#include "fileutil/file_range.h"
#include "fontpatch/font_format.h"
#include "fontpatch/pass_messages.h"
#include "platform/fontengine/cp936_table.h"
#include "platform/fontengine/font_match.h"
#include "platform/fontengine/freetype_handles.h"
#include "platform/fontengine/realized_font.h"
#include "platform/win32.h"

extern char** environ;

namespace {

constexpr char kFace[] = "Noto Sans CJK SC";
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double CpuSeconds(const rusage& usage) {
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double SelfCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return CpuSeconds(usage);
}

struct ChildRun {
  double seconds = 0;
  double cpu = 0;
  long peakKib = 0;
  bool ok = false;
};

ChildRun RunBuild(const std::string& tool, const std::string& output, const char* threads) {
  std::vector<std::string> args{tool, "build", "--face", kFace, "--out", output, "--quiet"};
  if (threads) args.insert(args.end(), {"--threads", threads});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  ChildRun run;
  const auto start = Clock::now();
  // Its summary lines would only clutter the table.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return run;
  run.seconds = Seconds(start);
  run.cpu = CpuSeconds(usage);
  run.peakKib = usage.ru_maxrss;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

// The characters the passes draw, in cell order: codes with an entry that is
// not marked to keep and holds a two-byte character.
std::vector<char16_t> DrawnCharacters(const std::vector<unsigned char>& image, const char* dictionaryPath) {
  qzf::QorvStringDict dictionary;
  std::vector<char16_t> characters;
  if (qzf::LoadDictionaryFile(dictionary, dictionaryPath) == 0) return characters;
  for (std::uint32_t i = 0; i < qzf::ReadGlyphCount(image.data()); ++i) {
    const auto key = qzf::CodeKeyAt(image.data(), i);
    const qzf::DictRecord* entry = dictionary.FindRecordA(key.data());
    if (entry == nullptr || lstrcmpiA(entry->CHI, qzf::pass_text::kNoChange) == 0 || entry->CHILength < 2) continue;
    const unsigned code = static_cast<unsigned char>(entry->CHI[0]) * 256u + static_cast<unsigned char>(entry->CHI[1]);
    characters.push_back(qzf::Cp936ToUnicode(code));
  }
  return characters;
}

struct Floor {
  double cpu = 0;
  double render = 0;
  double io = 0;
  std::size_t glyphs = 0;
};

// One read of the file, the glyphs of every size rendered, one write.
Floor MeasureFloor(const qzf::FontMatch& match, const std::vector<int>& ppems, const std::vector<char16_t>& characters,
                   const std::string& stockFont, const std::string& output) {
  Floor floor;
  const double cpuStart = SelfCpuSeconds();
  auto start = Clock::now();
  // The same memory the tool reads into: the floor gets every advantage the
  // build has.
  qzf::FontImage bytes;
  if (!bytes.PrepareForRead(qzf::kFontFileLength)) std::exit(1);
  qzf::ReadFileRangeArgs read;
  read.path = stockFont.c_str();
  read.buffer = bytes.data();
  read.size = bytes.length();
  qzf::ReadFileRange(read);
  floor.io += Seconds(start);

  start = Clock::now();
  const auto library = qzf::ProcessFreeType();
  for (const int ppem : ppems) {
    FT_Face raw = nullptr;
    if (FT_New_Face(library.get(), match.file.c_str(), match.index, &raw) != 0) std::exit(1);
    qzf::FtFacePtr face(raw);
    FT_Set_Pixel_Sizes(raw, 0, static_cast<FT_UInt>(ppem));
    for (const char16_t c : characters) {
      const FT_UInt glyph = FT_Get_Char_Index(raw, c);
      if (FT_Load_Glyph(raw, glyph, FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH | FT_LOAD_TARGET_NORMAL | FT_LOAD_NO_BITMAP) ==
          0)
        FT_Render_Glyph(raw->glyph, FT_RENDER_MODE_NORMAL);
      ++floor.glyphs;
    }
  }
  floor.render = Seconds(start);

  start = Clock::now();
  qzf::WriteWholeFile(output.c_str(), bytes.bytes());
  floor.io += Seconds(start);
  floor.cpu = SelfCpuSeconds() - cpuStart;
  return floor;
}

// The set-up both floors share: the characters drawn and the pixel sizes.
struct FloorWork {
  std::vector<char16_t> characters;
  std::optional<qzf::FontMatch> match;
  std::vector<int> ppems;
};

std::optional<FloorWork> PrepareFloorWork(const std::string& stockFont, const std::string& stockDict) {
  // Only the count and the code table: reading the whole file here would
  // free 20 MB just before the floor runs, and in a virtual machine that
  // hands freed memory back to its host, memory freed a moment ago is much
  // cheaper to touch again than the memory a fresh process gets. The build
  // starts with no such gift; neither should the floor.
  std::vector<unsigned char> image(qzf::kCodeTableOffset + qzf::kCodeTableBytes);
  qzf::ReadFileRangeArgs read;
  read.path = stockFont.c_str();
  read.buffer = image.data();
  read.size = static_cast<std::uint32_t>(image.size());
  if (qzf::ReadFileRange(read) != image.size() || qzf::ReadGlyphCount(image.data()) != qzf::kIndexedGlyphCount) {
    std::fprintf(stderr, "cannot read %s\n", stockFont.c_str());
    return std::nullopt;
  }
  FloorWork work;
  work.characters = DrawnCharacters(image, stockDict.c_str());
  work.match = qzf::MatchInstalledFont(kFace, FW_NORMAL, false, GB2312_CHARSET);
  if (work.characters.empty() || !work.match || !work.match->exact()) {
    std::fprintf(stderr, "no dictionary or no \"%s\"\n", kFace);
    return std::nullopt;
  }
  for (const auto& size : qzf::SizeModeTable) {
    qzf::RealizedFont::Request request;
    request.height = size.fontHeight;
    const auto font = qzf::RealizedFont::Open(work.match->file, work.match->index, request);
    if (!font) return std::nullopt;
    work.ppems.push_back(font->ppem());
  }
  return work;
}

constexpr char kFloorChild[] = "--floor-child";

// The floor in a process of its own, started like the build: a fresh process
// pays for its first touch of memory, which a warm one does not. Only its
// floor work is timed, not its start or set-up.
std::optional<Floor> RunFloorChild(const std::string& self, const std::string& stockFont, const std::string& stockDict,
                                   const std::string& output) {
  int fds[2];
  if (pipe(fds) != 0) return std::nullopt;
  std::vector<std::string> args{self, kFloorChild, stockFont, stockDict, output};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  std::string text;
  char chunk[256];
  for (ssize_t n; spawned == 0 && (n = read(fds[0], chunk, sizeof(chunk))) > 0;) text.append(chunk, n);
  close(fds[0]);
  int status = 0;
  if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return std::nullopt;
  Floor floor;
  if (std::sscanf(text.c_str(), "%lf %lf %lf %zu", &floor.cpu, &floor.render, &floor.io, &floor.glyphs) != 4)
    return std::nullopt;
  return floor;
}

int FloorChildMain(const std::string& stockFont, const std::string& stockDict, const std::string& output) {
  const auto work = PrepareFloorWork(stockFont, stockDict);
  if (!work) return 1;
  const Floor floor = MeasureFloor(*work->match, work->ppems, work->characters, stockFont, output);
  std::printf("%.6f %.6f %.6f %zu\n", floor.cpu, floor.render, floor.io, floor.glyphs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == kFloorChild) return FloorChildMain(argv[2], argv[3], argv[4]);
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s <qzffont> <stock font> <stock dictionary> <work dir> [runs]\n", argv[0]);
    return 2;
  }
  const std::string tool = argv[1], stockFont = argv[2], stockDict = argv[3], work = argv[4];
  const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 5;
  const std::string self = std::filesystem::canonical("/proc/self/exe").string();
  std::filesystem::create_directories(work);
  const std::string buildOutput = work + "/F_FONTJ.qzf";
  const std::string floorOutput = work + "/floor.qzf";
  const auto floorWork = PrepareFloorWork(stockFont, stockDict);
  if (!floorWork) return 1;
  const bool verbose = std::getenv("BENCH_VERBOSE") != nullptr;

  std::vector<double> buildTimes, buildCpu, oneTimes, oneCpu, floorCpu, floorWall, renderTimes, ioTimes, warmCpu,
      ratios, cpuRatios;
  long peakKib = 0;
  std::size_t glyphs = 0;
  for (int i = 0; i < runs; ++i) {
    const ChildRun run = RunBuild(tool, buildOutput, nullptr);
    const ChildRun one = RunBuild(tool, buildOutput, "1");
    if (!run.ok || !one.ok) {
      std::fprintf(stderr, "qzffont build failed\n");
      return 1;
    }
    const auto floor = RunFloorChild(self, stockFont, stockDict, floorOutput);
    if (!floor) {
      std::fprintf(stderr, "the floor's process failed\n");
      return 1;
    }
    const Floor warm = MeasureFloor(*floorWork->match, floorWork->ppems, floorWork->characters, stockFont, floorOutput);
    buildTimes.push_back(run.seconds);
    buildCpu.push_back(run.cpu);
    oneTimes.push_back(one.seconds);
    oneCpu.push_back(one.cpu);
    peakKib = std::max({peakKib, run.peakKib, one.peakKib});
    floorCpu.push_back(floor->cpu);
    floorWall.push_back(floor->render + floor->io);
    renderTimes.push_back(floor->render);
    ioTimes.push_back(floor->io);
    warmCpu.push_back(warm.cpu);
    ratios.push_back(run.seconds / (floor->render + floor->io));
    cpuRatios.push_back(run.cpu / floor->cpu);
    glyphs = floor->glyphs;
    if (verbose)
      std::printf(
          "  run %d: build %.3f s wall (%.3f s cpu), on one thread %.3f s wall, floor %.3f s wall (in a warm "
          "process %.3f s cpu)\n",
          i + 1, run.seconds, run.cpu, one.seconds, floor->render + floor->io, warm.cpu);
  }
  std::filesystem::remove(floorOutput);

  // Wall time is what a player waits; the floor is one thread's work, which
  // takes as long in wall time as in CPU time. Each build is paired with the
  // floor measured right after it, so that the ratio compares runs made
  // under the same conditions: here the speed of both drifts by a fifth
  // from minute to minute.
  const double build = Median(buildTimes), floor = Median(floorWall);
  const double ratio = Median(ratios);
  const double peakMib = peakKib / 1024.0;
  constexpr double kGoal = 0.8;
  std::printf("\nWhole build against the floor, \"%s\", embedded data, median of %d runs\n", kFace, runs);
  std::printf("  %-52s %9s %9s\n", "what", "wall s", "cpu s");
  std::printf("  %-52s %9.3f %9.3f\n", "qzffont build, every core (its own process)", build, Median(buildCpu));
  std::printf("  %-52s %9.3f %9.3f\n", "qzffont build --threads 1", Median(oneTimes), Median(oneCpu));
  std::printf("  %-52s %9.3f %9.3f\n", "floor, one thread (its own process, its work only)", floor, Median(floorCpu));
  std::printf("  %-52s %9.3f\n", ("  FreeType alone, " + std::to_string(glyphs) + " glyphs").c_str(),
              Median(renderTimes));
  std::printf("  %-52s %9.3f\n", "  one read + one write of the font file", Median(ioTimes));
  std::printf("  %-52s %9s %9.3f\n", "floor again in this warm process", "", Median(warmCpu));
  std::printf("  pixel sizes %d, %d, %d px; %zu characters per size\n", floorWork->ppems[0], floorWork->ppems[1],
              floorWork->ppems[2], floorWork->characters.size());
  std::printf("  build wall / floor (median of the %d pairs): %.3f (goal <= %.1f) %s\n", runs, ratio, kGoal,
              ratio <= kGoal ? "met" : "MISSED");
  std::printf("  build cpu / floor cpu: %.3f\n", Median(cpuRatios));
  std::printf("  peak RSS of qzffont build: %.1f MiB (goal < 64) %s\n", peakMib, peakMib < 64 ? "met" : "MISSED");
  // For the summary table of `make bench`.
  if (const char* summary = std::getenv("BENCH_SUMMARY")) {
    if (std::FILE* f = std::fopen(summary, "w")) {
      std::fprintf(f, "build_wall %.4f\nbuild_cpu %.4f\none_thread_wall %.4f\nfloor %.4f\nratio %.4f\npeak_mib %.2f\n",
                   build, Median(buildCpu), Median(oneTimes), floor, ratio, peakMib);
      std::fclose(f);
    }
  }
  return 0;
}
