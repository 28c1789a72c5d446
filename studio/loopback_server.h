// A small HTTP/1.1 server that listens on the loopback addresses only
// (127.0.0.1 and, where the system has it, ::1, on one port), built on a
// widely used HTTP library; this header keeps that library out of the rest of
// the studio. Every connection carries one request and is closed after the
// response. A request's head is judged before one byte of its body is read;
// the head and the body each have a deadline for the whole of it, so a client
// that sends a byte now and then is dropped, and when every slot is taken the
// slowest unfinished request makes room for a new one.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "i18n/message_catalog.h"
#include "studio/http_message.h"

namespace qzf::studio {

// What the owner says about a request once its head is read.
struct HeadDecision {
  std::optional<HttpResponse> refusal;  // answered at once; the body is never read
  std::size_t maxBodyBytes = 0;         // a longer body is answered 413 unread
};

struct ServerLimits {
  std::size_t maxHeaderBytes = 16 * 1024;
  std::size_t maxConnections = 32;
  // From the connection to the end of the head.
  std::chrono::milliseconds headTime{5000};
  // For a body, or a response: this long plus its length at the slowest rate.
  std::chrono::milliseconds transferTime{10000};
  std::size_t slowestBytesPerSecond = 512 * 1024;
  // After Stop, how long requests being answered may take to finish.
  std::chrono::milliseconds stopGrace{10000};
  // Threads that run the handler; the sockets have one thread of their own.
  unsigned handlerThreads = 3;
};

class LoopbackServer {
 public:
  using HeadCheck = std::function<HeadDecision(const HttpRequest& head)>;
  using Handler = std::function<HttpResponse(const HttpRequest&)>;

  LoopbackServer(HeadCheck headCheck, Handler handler, ServerLimits limits);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Binds 127.0.0.1 and ::1 to `port`, or to one free port both take when
  // `port` is 0. False, with `error` saying why, when not even 127.0.0.1 can
  // be bound.
  bool Listen(std::uint16_t port, std::string& error, MessageLanguage language = MessageLanguage::kEnglish);
  std::uint16_t port() const { return port_; }
  bool listensOnIpv6() const;

  // Serves until Stop on the calling thread (and the handler threads);
  // `tick` (if any) is called about four times a second from it. Requests
  // being answered are finished before it returns (for up to stopGrace).
  void Run(const std::function<void()>& tick = {});
  // May be called from any thread and from a signal handler.
  void Stop() { stop_.store(true); }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
};

// One request's raw bytes through the same parser, head check and handler as
// a connection's, without a socket: the response's bytes (empty when the
// bytes end before a whole request). For fuzzing and tests.
std::string AnswerRawRequest(std::string_view bytes, const LoopbackServer::HeadCheck& headCheck,
                             const LoopbackServer::Handler& handler, std::uint16_t port,
                             std::size_t maxHeaderBytes = 16 * 1024);

}  // namespace qzf::studio
