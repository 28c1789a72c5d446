#include "studio/loopback_server.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

namespace qzf::studio {
namespace {

#ifdef _WIN32
using SocketHandle = SOCKET;
constexpr SocketHandle kNoSocket = INVALID_SOCKET;
void CloseSocket(SocketHandle s) { closesocket(s); }
bool AddressInUse() { return WSAGetLastError() == WSAEADDRINUSE; }
using IoSize = int;
#else
using SocketHandle = int;
constexpr SocketHandle kNoSocket = -1;
void CloseSocket(SocketHandle s) { close(s); }
bool AddressInUse() { return errno == EADDRINUSE; }
using IoSize = ssize_t;
#endif

// One socket, closed when its holder goes.
class Socket {
 public:
  Socket() = default;
  explicit Socket(SocketHandle handle) : handle_(handle) {}
  ~Socket() { Reset(); }
  Socket(Socket&& other) noexcept : handle_(other.handle_) { other.handle_ = kNoSocket; }
  Socket& operator=(Socket&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = other.handle_;
      other.handle_ = kNoSocket;
    }
    return *this;
  }
  SocketHandle get() const { return handle_; }
  bool valid() const { return handle_ != kNoSocket; }
  void Reset() {
    if (handle_ != kNoSocket) CloseSocket(handle_);
    handle_ = kNoSocket;
  }

 private:
  SocketHandle handle_ = kNoSocket;
};

#ifdef _WIN32
// Winsock is started once for the process's servers.
struct WinsockStart {
  WinsockStart() {
    WSADATA data;
    ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  bool ok = false;
};
bool StartWinsock() {
  static const WinsockStart start;
  return start.ok;
}
#else
bool StartWinsock() { return true; }
#endif

void SetReadTimeout(SocketHandle s, int seconds) {
#ifdef _WIN32
  const DWORD ms = static_cast<DWORD>(seconds) * 1000;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof(ms));
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof(ms));
#else
  timeval tv{};
  tv.tv_sec = seconds;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv));
#endif
}

// A listening socket on one loopback address; invalid on failure, with
// `inUse` telling whether the port was taken.
Socket ListenOn(bool ipv6, std::uint16_t port, bool& inUse) {
  inUse = false;
  Socket s(socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!s.valid()) return s;
  const int one = 1;
#ifdef _WIN32
  // No other program may bind the same port while the studio has it.
  setsockopt(s.get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&one), sizeof(one));
#else
  // A restart on a fixed port is not kept waiting by old connections.
  setsockopt(s.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
#endif
  int bound;
  if (ipv6) {
    setsockopt(s.get(), IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&one), sizeof(one));
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    address.sin6_port = htons(port);
    bound = bind(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  } else {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    bound = bind(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  }
  if (bound != 0) {
    inUse = AddressInUse();
    return Socket();
  }
  if (listen(s.get(), 16) != 0) return Socket();
  return s;
}

std::uint16_t LocalPort(SocketHandle s) {
  sockaddr_storage address{};
  socklen_t length = sizeof(address);
  if (getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
  return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

bool SendAll(SocketHandle s, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const auto chunk = static_cast<int>(std::min<std::size_t>(data.size() - sent, 1 << 20));
    const IoSize n = send(s, data.data() + sent, chunk, 0);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool IsTokenChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
}

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Parses the request line and headers; the status to answer when they are
// malformed (0 when fine).
int ParseHead(const std::string& head, HttpRequest& request) {
  std::size_t lineEnd = head.find("\r\n");
  const std::string requestLine = head.substr(0, lineEnd);
  const std::size_t space1 = requestLine.find(' ');
  const std::size_t space2 = space1 == std::string::npos ? std::string::npos : requestLine.find(' ', space1 + 1);
  if (space2 == std::string::npos || requestLine.find(' ', space2 + 1) != std::string::npos) return 400;
  request.method = requestLine.substr(0, space1);
  const std::string target = requestLine.substr(space1 + 1, space2 - space1 - 1);
  const std::string version = requestLine.substr(space2 + 1);
  if (version != "HTTP/1.1" && version != "HTTP/1.0") return 400;
  if (request.method.empty() || !std::all_of(request.method.begin(), request.method.end(), IsTokenChar)) return 400;
  if (target.empty() || target[0] != '/') return 400;
  for (const char c : target) {
    if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) return 400;
  }
  const std::size_t question = target.find('?');
  request.path = target.substr(0, question);
  request.query = question == std::string::npos ? "" : target.substr(question + 1);

  while (lineEnd != std::string::npos && lineEnd + 2 < head.size()) {
    const std::size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
    if (line.empty()) break;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) return 400;
    const std::string name = Lower(line.substr(0, colon));
    // No folded lines, no space before the colon.
    if (!std::all_of(name.begin(), name.end(), IsTokenChar)) return 400;
    const std::string value = Trim(line.substr(colon + 1));
    for (const char c : value) {
      if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) return 400;
    }
    if (request.headers.count(name)) {
      // Two hosts or two lengths could be read differently by two parties.
      if (name == "host" || name == "content-length") return 400;
      continue;
    }
    request.headers.emplace(name, value);
  }
  if (version == "HTTP/1.1" && !request.headers.count("host")) return 400;
  return 0;
}

std::string FormatResponse(const HttpResponse& response, bool withBody) {
  std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) + "\r\n";
  out += "Content-Type: " + response.contentType + "\r\n";
  out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  out += "Connection: close\r\n";
  out += "Cache-Control: no-store\r\n";
  out += "X-Content-Type-Options: nosniff\r\n";
  for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
  out += "\r\n";
  if (withBody) out += response.body;
  return out;
}

HttpResponse PlainError(int status, const std::string& text) {
  HttpResponse response;
  response.status = status;
  response.body = text + "\n";
  return response;
}

}  // namespace

struct LoopbackServer::Impl {
  Handler handler;
  ServerLimits limits;
  Socket v4, v6;
  std::mutex mutex;
  std::condition_variable idle;
  std::size_t open = 0;

  void Serve(Socket connection, std::uint16_t port);
};

void LoopbackServer::Impl::Serve(Socket connection, std::uint16_t port) {
  const SocketHandle s = connection.get();
  SetReadTimeout(s, limits.readTimeoutSeconds);
  std::string data;
  char buffer[16384];
  std::size_t headEnd = std::string::npos;
  auto answer = [&](const HttpResponse& response, bool withBody) { SendAll(s, FormatResponse(response, withBody)); };

  while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
    if (data.size() > limits.maxHeaderBytes) return answer(PlainError(431, "request head too large"), true);
    const IoSize n = recv(s, buffer, sizeof(buffer), 0);
    if (n <= 0) return;  // closed or timed out before a whole head
    data.append(buffer, static_cast<std::size_t>(n));
  }
  if (headEnd > limits.maxHeaderBytes) return answer(PlainError(431, "request head too large"), true);

  HttpRequest request;
  request.localPort = port;
  if (const int status = ParseHead(data.substr(0, headEnd + 2), request)) {
    return answer(PlainError(status, "malformed request"), true);
  }
  const bool head = request.method == "HEAD";
  if (request.headers.count("transfer-encoding")) return answer(PlainError(411, "give the body's length"), !head);

  std::size_t length = 0;
  if (const auto text = request.Header("content-length")) {
    if (text->empty() || text->size() > 15 ||
        !std::all_of(text->begin(), text->end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return answer(PlainError(400, "bad Content-Length"), !head);
    }
    length = std::stoull(*text);
  }
  const std::size_t allowed = limits.maxBodyBytes ? limits.maxBodyBytes(request) : 0;
  if (length > allowed) {
    answer(PlainError(413, "request body too large (at most " + std::to_string(allowed) + " bytes)"), !head);
    // The client may still be sending: take in a little of it so that
    // closing does not reset the connection before it read the answer.
#ifdef _WIN32
    shutdown(s, SD_SEND);
#else
    shutdown(s, SHUT_WR);
#endif
    SetReadTimeout(s, 1);
    std::size_t drained = 0;
    while (drained < (std::size_t{64} << 20)) {
      const IoSize n = recv(s, buffer, sizeof(buffer), 0);
      if (n <= 0) break;
      drained += static_cast<std::size_t>(n);
    }
    return;
  }

  request.body = data.substr(headEnd + 4);
  if (request.body.size() > length) request.body.resize(length);
  request.body.reserve(length);
  while (request.body.size() < length) {
    const auto want = static_cast<int>(std::min<std::size_t>(sizeof(buffer), length - request.body.size()));
    const IoSize n = recv(s, buffer, want, 0);
    if (n <= 0) return;
    request.body.append(buffer, static_cast<std::size_t>(n));
  }

  HttpResponse response;
  try {
    response = handler(request);
  } catch (const std::exception&) {
    response = PlainError(500, "internal error");
  }
  answer(response, !head);
#ifdef _WIN32
  shutdown(s, SD_SEND);
#else
  shutdown(s, SHUT_WR);
#endif
}

LoopbackServer::LoopbackServer(Handler handler, ServerLimits limits) : impl_(std::make_unique<Impl>()) {
  impl_->handler = std::move(handler);
  impl_->limits = std::move(limits);
}

LoopbackServer::~LoopbackServer() = default;

bool LoopbackServer::listensOnIpv6() const { return impl_->v6.valid(); }

bool LoopbackServer::Listen(std::uint16_t port, std::string& error) {
  if (!StartWinsock()) {
    error = "the network layer did not start";
    return false;
  }
  // A free port for both addresses: the system picks one for 127.0.0.1, and
  // ::1 must take the same; when it is taken there, try another.
  for (int attempt = 0; attempt < 20; ++attempt) {
    bool inUse = false;
    Socket v4 = ListenOn(false, port, inUse);
    if (!v4.valid()) {
      error = inUse ? "port " + std::to_string(port) + " is in use" : "cannot listen on 127.0.0.1";
      return false;
    }
    const std::uint16_t chosen = LocalPort(v4.get());
    Socket v6 = ListenOn(true, chosen, inUse);
    if (!v6.valid() && inUse && port == 0) continue;
    if (!v6.valid() && inUse) {
      error = "port " + std::to_string(port) + " is in use on ::1";
      return false;
    }
    // Without IPv6 on the system, 127.0.0.1 alone.
    impl_->v4 = std::move(v4);
    impl_->v6 = std::move(v6);
    port_ = chosen;
    return true;
  }
  error = "no free port found";
  return false;
}

void LoopbackServer::Run(const std::function<void()>& tick) {
  Impl& impl = *impl_;
  while (!stop_.load()) {
    fd_set readable;
    FD_ZERO(&readable);
    SocketHandle highest = 0;
    for (const Socket* s : {&impl.v4, &impl.v6}) {
      if (!s->valid()) continue;
      FD_SET(s->get(), &readable);
      highest = std::max(highest, s->get());
    }
    timeval wait{};
    wait.tv_usec = 250 * 1000;
    const int ready = select(static_cast<int>(highest + 1), &readable, nullptr, nullptr, &wait);
    if (tick) tick();
    if (ready <= 0) continue;
    for (const Socket* s : {&impl.v4, &impl.v6}) {
      if (!s->valid() || !FD_ISSET(s->get(), &readable)) continue;
      Socket connection(accept(s->get(), nullptr, nullptr));
      if (!connection.valid()) continue;
      std::unique_lock lock(impl.mutex);
      if (impl.open >= impl.limits.maxConnections) continue;  // closed unanswered
      ++impl.open;
      lock.unlock();
      std::thread([&impl, c = std::move(connection), port = port_]() mutable {
        impl.Serve(std::move(c), port);
        c.Reset();
        std::lock_guard done(impl.mutex);
        --impl.open;
        impl.idle.notify_all();
      }).detach();
    }
  }
  impl.v4.Reset();
  impl.v6.Reset();
  std::unique_lock lock(impl.mutex);
  impl.idle.wait(lock, [&impl] { return impl.open == 0; });
}

}  // namespace qzf::studio
