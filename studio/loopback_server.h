// A small HTTP/1.1 server that listens on the loopback addresses only
// (127.0.0.1 and, where the system has it, ::1, on one port) and hands each
// request to one handler. Every connection carries one request and is closed
// after the response; headers and bodies have limits, so a client cannot make
// it hold more than it allows.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "studio/http_message.h"

namespace qzf::studio {

struct ServerLimits {
  std::size_t maxHeaderBytes = 16 * 1024;
  // The largest body a request may carry, asked once its head is read
  // (method, path, headers); a longer one is answered 413 unread.
  std::function<std::size_t(const HttpRequest& head)> maxBodyBytes;
  std::size_t maxConnections = 32;  // more at once are closed unanswered
  int readTimeoutSeconds = 20;
};

class LoopbackServer {
 public:
  using Handler = std::function<HttpResponse(const HttpRequest&)>;

  LoopbackServer(Handler handler, ServerLimits limits);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Binds 127.0.0.1 and ::1 to `port`, or to one free port both take when
  // `port` is 0. False, with `error` saying why, when not even 127.0.0.1 can
  // be bound.
  bool Listen(std::uint16_t port, std::string& error);
  std::uint16_t port() const { return port_; }
  bool listensOnIpv6() const;

  // Serves until Stop; `tick` (if any) is called about four times a second
  // from the serving thread. Waits for the open connections before returning.
  void Run(const std::function<void()>& tick = {});
  // May be called from any thread and from a signal handler.
  void Stop() { stop_.store(true); }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
};

}  // namespace qzf::studio
