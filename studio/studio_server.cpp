#include "studio/studio_server.h"

#include <chrono>
#include <cstdio>

#include "platform/portable/system_path.h"
#include "platform/win32.h"
#include "studio/loopback_server.h"
#include "studio/open_browser.h"
#include "studio/request_guard.h"
#include "studio/studio_api.h"
#include "studio/studio_data.h"

#ifndef _WIN32
#include <signal.h>
#endif

namespace qzf::studio {
namespace {

// The one server a signal may stop.
LoopbackServer* gServer = nullptr;

#ifdef _WIN32
// Called on a thread of its own; handlers installed later are asked first.
BOOL WINAPI ConsoleControl(DWORD) {
  if (gServer) gServer->Stop();
  // Closing the console window gives a few seconds; the serving thread
  // ends within a quarter of one.
  Sleep(1000);
  return TRUE;
}
#else
struct sigaction gPrevious[2];
constexpr int kStopSignals[2] = {SIGINT, SIGTERM};

// The first signal stops the server; the handler that was there before
// (or the default) takes a second one.
void OnSignal(int signal) {
  if (gServer) gServer->Stop();
  for (int i = 0; i < 2; ++i) {
    if (kStopSignals[i] == signal) sigaction(signal, &gPrevious[i], nullptr);
  }
}
#endif

void CatchStops(LoopbackServer* server) {
  gServer = server;
#ifdef _WIN32
  SetConsoleCtrlHandler(ConsoleControl, server != nullptr);
#else
  for (int i = 0; i < 2; ++i) {
    if (server) {
      struct sigaction action {};
      action.sa_handler = &OnSignal;
      sigemptyset(&action.sa_mask);
      sigaction(kStopSignals[i], &action, &gPrevious[i]);
    } else {
      sigaction(kStopSignals[i], &gPrevious[i], nullptr);
    }
  }
#endif
}

}  // namespace

std::string DefaultOutputFolder() {
  char path[MAX_PATH] = {};
#ifdef _WIN32
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  const std::size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? "." : folder.substr(0, slash);
#else
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, path);
  return n == 0 || n >= MAX_PATH ? "." : std::string(path, n);
#endif
}

int RunStudio(const StudioOptions& options) {
  std::string error;
  const auto data = StudioData::Load(options.basePath, options.dictionaryPath, error, options.language);
  if (!data) {
    std::fprintf(stderr, "qzffont: %s\n", error.c_str());
    return 1;
  }
  const DWORD attributes = GetFileAttributesA(options.outputFolder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    std::fprintf(stderr, "qzffont: %s\n",
                 Say(MessageId::kNotFolder, options.language, {SystemPathToUtf8(options.outputFolder)}).c_str());
    return 1;
  }
  StudioSettings settings;
  settings.token = MakeToken();
  if (settings.token.empty()) {
    std::fprintf(stderr, "qzffont: the system gives no random numbers for the studio's token\n");
    return 1;
  }
  settings.outputFolder = options.outputFolder;
  while (settings.outputFolder.size() > 1 &&
         (settings.outputFolder.back() == '\\' || settings.outputFolder.back() == '/'))
    settings.outputFolder.pop_back();
  settings.version = options.version;

  settings.fontFiles = options.fontFiles;

  StudioApi api(*data, settings);
  if (const std::string problem = api.UseStartFontFiles(); !problem.empty()) {
    std::fprintf(stderr, "qzffont: %s\n", problem.c_str());
    return 1;
  }
  LoopbackServer server([&api](const HttpRequest& head) { return api.CheckHead(head); },
                        [&api](const HttpRequest& request) { return api.Handle(request); }, ServerLimits{});
  if (!server.Listen(options.port, error, options.language)) {
    std::fprintf(stderr, "qzffont: %s\n", error.c_str());
    return 1;
  }
  api.SetPort(server.port());
  api.onQuit = [&server] { server.Stop(); };

  // Before the address is out: whoever has it may stop the studio at once.
  CatchStops(&server);
#ifndef _WIN32
  // A browser that closes the page mid-answer must not end the studio.
  signal(SIGPIPE, SIG_IGN);
#endif
  const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/?token=" + settings.token;
  std::printf("qzffont 字体工作室 / font studio: %s\n", url.c_str());
  std::printf("文件写入 / files go to: %s\n", SystemPathToUtf8(settings.outputFolder).c_str());
  std::printf("按 Ctrl+C 或关闭本窗口即可停止工作室。 Press Ctrl+C to stop the studio.\n");
  std::fflush(stdout);
  if (options.openBrowser && !OpenInBrowser(url))
    std::printf("浏览器没有打开，请把上面的地址复制到浏览器。 Open the address above in a browser.\n");
  std::fflush(stdout);

  const auto idle = std::chrono::seconds(options.idleSeconds);
  bool idleEnd = false;
  server.Run([&] {
    if (std::chrono::steady_clock::now() - api.lastContact() > idle) {
      idleEnd = true;
      server.Stop();
    }
  });
  CatchStops(nullptr);
  api.WaitForBuild();
  std::printf("%s\n", idleEnd ? "工作室已停止：页面已关闭。 The studio stopped: no page is open."
                              : "工作室已停止。 The studio stopped.");
  return 0;
}

}  // namespace qzf::studio
