#include "studio/loopback_server.h"

#include "studio/studio_language.h"
// Boost 1.74's Asio uses std::exchange without including <utility>.
#include <utility>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/bind_handler.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <limits>
#include <list>
#include <sstream>

namespace qzf::studio {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using Parser = http::request_parser<http::string_body>;

HttpResponse PlainError(int status, const std::string& text) {
  HttpResponse response;
  response.status = status;
  response.body = text + "\n";
  return response;
}

std::string_view View(beast::string_view text) { return {text.data(), text.size()}; }

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The parsed head as the owner sees it; a refusal when it is not one the
// server takes (two Hosts, an HTTP/1.1 request without one).
std::optional<HttpResponse> HeadOf(const Parser::value_type& head, std::uint16_t port, HttpRequest& request) {
  if (head.version() != 10 && head.version() != 11) return PlainError(400, Text(MessageId::kRequestMalformed));
  request.method = std::string(View(head.method_string()));
  const std::string_view target = View(head.target());
  if (target.empty() || target.front() != '/') return PlainError(400, Text(MessageId::kRequestMalformed));
  const std::size_t question = target.find('?');
  request.path = std::string(target.substr(0, question));
  request.query = question == std::string_view::npos ? "" : std::string(target.substr(question + 1));
  request.localPort = port;
  std::size_t hosts = 0;
  for (const auto& field : head) {
    std::string name = Lower(View(field.name_string()));
    if (name == "host") ++hosts;
    // A name given twice keeps its first value.
    request.headers.emplace(std::move(name), std::string(View(field.value())));
  }
  // Two hosts could be read differently by two parties.
  if (hosts > 1 || (hosts == 0 && head.version() >= 11)) return PlainError(400, Text(MessageId::kRequestMalformed));
  return std::nullopt;
}

// The head's verdict: a response to send at once, or the body's limit.
HeadDecision Judge(const Parser& parser, const LoopbackServer::HeadCheck& headCheck, std::uint16_t port,
                   HttpRequest& request) {
  HeadDecision decision;
  if (auto refusal = HeadOf(parser.get(), port, request)) {
    decision.refusal = std::move(refusal);
    return decision;
  }
  // A body comes with its length, so its deadline and limit are known at once.
  if (parser.chunked() || request.headers.count("transfer-encoding")) {
    decision.refusal = PlainError(411, Text(MessageId::kRequestNoLength));
    return decision;
  }
  decision = headCheck(request);
  if (decision.refusal) return decision;
  const auto length = parser.content_length();
  if (length && *length > decision.maxBodyBytes) {
    decision.refusal = PlainError(413, Text(MessageId::kRequestTooLargeAtMost, std::to_string(decision.maxBodyBytes)));
  }
  return decision;
}

HttpResponse Handle(const LoopbackServer::Handler& handler, const HttpRequest& request) {
  try {
    return handler(request);
  } catch (const std::exception&) {
    return PlainError(500, Text(MessageId::kStudioInternalError));
  }
}

// The wire form of a response; HEAD gets the length but no body.
http::response<http::string_body> Wire(HttpResponse response, bool head) {
  http::response<http::string_body> out{static_cast<http::status>(response.status), 11};
  out.set(http::field::content_type, response.contentType);
  out.set(http::field::connection, "close");
  out.set(http::field::cache_control, "no-store");
  out.set("X-Content-Type-Options", "nosniff");
  for (const auto& [name, value] : response.headers) out.insert(name, value);
  out.content_length(response.body.size());
  if (!head) out.body() = std::move(response.body);
  return out;
}

int StatusOfReadError(const beast::error_code& error) {
  if (error == http::error::header_limit) return 431;
  if (error == http::error::body_limit) return 413;
  if (error.category() == http::make_error_code(http::error::bad_target).category() &&
      error != http::error::end_of_stream && error != http::error::partial_message && error != http::error::need_more)
    return 400;
  return 0;  // closed, reset or too slow: nobody to answer
}

struct Shared;

// One connection from accept to close. All of it runs on the socket thread
// except the handler, which runs on a handler thread.
class Session : public std::enable_shared_from_this<Session> {
 public:
  enum class Phase { kReading, kHandling, kWriting };

  Session(tcp::socket socket, Shared& shared) : stream_(std::move(socket)), shared_(shared), start_(Clock::now()) {}

  void Start();
  void Close() {
    beast::error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
    stream_.close();
  }
  Phase phase() const { return phase_; }
  Clock::time_point start() const { return start_; }
  // Past its deadline by this much, a connection the system has not let go
  // of (a write to a gone client that never ends) no longer holds a slot.
  bool Stuck(Clock::time_point now) const {
    // No deadline while being answered (the largest time point): never stuck.
    return now > deadline_ && now - deadline_ > std::chrono::seconds(2);
  }
  // The client closed its end while its request was being answered.
  bool Gone() const { return gone_.load(); }

 private:
  void OnHead(beast::error_code error, std::size_t);
  void ReadBody();
  void OnBody(beast::error_code error, std::size_t);
  void Answer(HttpResponse response, bool bodyUnread);
  void OnWritten(bool bodyUnread, beast::error_code error, std::size_t);
  void Drain(Clock::time_point until);
  Clock::duration TransferTime(std::size_t bytes) const;
  void SetDeadline(Clock::time_point at) {
    deadline_ = at;
    stream_.expires_at(at);
  }

  beast::tcp_stream stream_;
  Shared& shared_;
  Clock::time_point start_;
  Phase phase_ = Phase::kReading;
  Clock::time_point deadline_ = Clock::time_point::max();
  std::atomic<bool> gone_{false};
  beast::flat_buffer buffer_;
  std::optional<Parser> parser_;
  HttpRequest request_;
  bool head_ = false;
  std::size_t maxBody_ = 0;
  std::shared_ptr<http::response<http::string_body>> response_;
  std::array<char, 16384> discard_{};
};

struct Shared {
  LoopbackServer::HeadCheck headCheck;
  LoopbackServer::Handler handler;
  ServerLimits limits;
  std::uint16_t port = 0;
  asio::io_context io{1};
  std::optional<asio::thread_pool> workers;
  std::list<std::weak_ptr<Session>> sessions;  // touched on the socket thread only
  bool stopping = false;

  // Room for one more connection: the oldest one still sending its request
  // goes when every slot is taken. False when all are being answered.
  bool MakeRoom() {
    const auto now = Clock::now();
    sessions.remove_if([now](const std::weak_ptr<Session>& weak) {
      const auto s = weak.lock();
      if (s && s->Stuck(now)) s->Close();
      return !s || s->Stuck(now) || s->Gone();
    });
    if (sessions.size() < limits.maxConnections) return true;
    std::shared_ptr<Session> slowest;
    for (const auto& weak : sessions) {
      const auto s = weak.lock();
      if (s && s->phase() == Session::Phase::kReading && (!slowest || s->start() < slowest->start())) slowest = s;
    }
    if (!slowest) return false;
    slowest->Close();
    sessions.remove_if([&slowest](const std::weak_ptr<Session>& s) { return s.lock() == slowest; });
    return true;
  }

  bool AnyOpen() const {
    return std::any_of(sessions.begin(), sessions.end(), [](const std::weak_ptr<Session>& s) { return !s.expired(); });
  }

  void CloseReading() {
    for (const auto& weak : sessions) {
      if (const auto s = weak.lock(); s && s->phase() == Session::Phase::kReading) s->Close();
    }
  }
};

Clock::duration Session::TransferTime(std::size_t bytes) const {
  const auto perSecond = std::max<std::size_t>(shared_.limits.slowestBytesPerSecond, 1);
  return shared_.limits.transferTime + std::chrono::seconds(bytes / perSecond);
}

void Session::Start() {
  SetDeadline(start_ + shared_.limits.headTime);
  parser_.emplace();
  parser_->header_limit(static_cast<std::uint32_t>(shared_.limits.maxHeaderBytes));
  // The body's limit comes with the route, once the head is judged.
  parser_->body_limit(std::numeric_limits<std::uint64_t>::max());
  http::async_read_header(stream_, buffer_, *parser_, beast::bind_front_handler(&Session::OnHead, shared_from_this()));
}

void Session::OnHead(beast::error_code error, std::size_t) {
  if (error) {
    if (const int status = StatusOfReadError(error))
      return Answer(PlainError(status, Text(MessageId::kRequestMalformed)), true);
    return Close();
  }
  HeadDecision decision = Judge(*parser_, shared_.headCheck, shared_.port, request_);
  head_ = request_.method == "HEAD";
  if (decision.refusal) return Answer(std::move(*decision.refusal), !parser_->is_done());
  maxBody_ = decision.maxBodyBytes;
  parser_->body_limit(maxBody_);
  const auto expect = request_.Header("expect");
  if (expect && Lower(*expect) == "100-continue" && !parser_->is_done()) {
    auto self = shared_from_this();
    auto proceed = std::make_shared<http::response<http::empty_body>>(http::status::continue_, 11);
    SetDeadline(Clock::now() + shared_.limits.transferTime);
    http::async_write(stream_, *proceed, [self, proceed](beast::error_code e, std::size_t) {
      if (e) return self->Close();
      self->ReadBody();
    });
    return;
  }
  ReadBody();
}

void Session::ReadBody() {
  if (parser_->is_done()) return OnBody({}, 0);
  SetDeadline(Clock::now() + TransferTime(parser_->content_length().value_or(maxBody_)));
  http::async_read(stream_, buffer_, *parser_, beast::bind_front_handler(&Session::OnBody, shared_from_this()));
}

void Session::OnBody(beast::error_code error, std::size_t) {
  if (error) {
    if (const int status = StatusOfReadError(error))
      return Answer(PlainError(status, Text(MessageId::kRequestMalformed)), true);
    return Close();
  }
  request_.body = std::move(parser_->get().body());
  parser_.reset();
  buffer_ = beast::flat_buffer();
  phase_ = Phase::kHandling;
  stream_.expires_never();
  deadline_ = Clock::time_point::max();
  // The socket thread keeps running while the handler works; the guard keeps
  // it from ending before the answer comes back.
  asio::post(*shared_.workers, [self = shared_from_this(), guard = asio::make_work_guard(shared_.io)] {
    if (self->Gone()) return;
    HttpResponse response = Handle(self->shared_.handler, self->request_);
    asio::post(self->stream_.get_executor(),
               [self, response = std::move(response)]() mutable { self->Answer(std::move(response), false); });
  });
#ifndef _WIN32
  // Meanwhile, a client that closes its end is forgotten: its slot is free
  // and, if its turn has not come, its request is not answered. (Not under
  // Windows: there the page's own requests were seen to go unanswered.)
  stream_.socket().async_read_some(asio::buffer(discard_.data(), 1),
                                   [self = shared_from_this()](beast::error_code e, std::size_t) {
                                     if (e && self->phase_ == Phase::kHandling) {
                                       self->gone_.store(true);
                                       self->Close();
                                     }
                                   });
#endif
}

void Session::Answer(HttpResponse response, bool bodyUnread) {
  phase_ = Phase::kWriting;
  const std::size_t size = response.body.size();
  response_ = std::make_shared<http::response<http::string_body>>(Wire(std::move(response), head_));
  SetDeadline(Clock::now() + TransferTime(size));
  http::async_write(stream_, *response_,
                    beast::bind_front_handler(&Session::OnWritten, shared_from_this(), bodyUnread));
}

void Session::OnWritten(bool bodyUnread, beast::error_code error, std::size_t) {
  response_.reset();
  // A client that left mid-response is forgotten.
  if (error) return Close();
  beast::error_code ignored;
  stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
  // A client still sending a refused body: a moment for it to read the
  // answer before closing resets the connection. What comes is thrown away.
  if (bodyUnread) return Drain(Clock::now() + std::chrono::seconds(1));
  stream_.close();
}

void Session::Drain(Clock::time_point until) {
  SetDeadline(until);
  stream_.async_read_some(asio::buffer(discard_), [self = shared_from_this(), until](beast::error_code e, std::size_t) {
    if (e) return self->stream_.close();
    self->Drain(until);
  });
}

void Accept(tcp::acceptor& acceptor, Shared& shared) {
  acceptor.async_accept([&acceptor, &shared](beast::error_code error, tcp::socket socket) {
    if (shared.stopping || !acceptor.is_open()) return;
    if (!error) {
      if (shared.MakeRoom()) {
        auto session = std::make_shared<Session>(std::move(socket), shared);
        shared.sessions.push_back(session);
        session->Start();
      } else {
        beast::error_code ignored;
        socket.close(ignored);  // every slot is being answered: closed unanswered
      }
    }
    Accept(acceptor, shared);
  });
}

}  // namespace

struct LoopbackServer::Impl {
  Shared shared;
  std::optional<tcp::acceptor> v4, v6;
  std::optional<asio::steady_timer> ticker;
  bool forced = false;  // serving ended with connections still open

  // A listening socket on one loopback address; `inUse` when the port is taken.
  std::optional<tcp::acceptor> ListenOn(bool ipv6, std::uint16_t port, bool& inUse) {
    inUse = false;
    tcp::acceptor acceptor(shared.io);
    const tcp::endpoint at(ipv6 ? asio::ip::address(asio::ip::address_v6::loopback())
                                : asio::ip::address(asio::ip::address_v4::loopback()),
                           port);
    beast::error_code error;
    acceptor.open(at.protocol(), error);
    if (error) return std::nullopt;
#ifdef _WIN32
    // No other program may bind the same port while the studio has it.
    using ExclusiveAddressUse = asio::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>;
    acceptor.set_option(ExclusiveAddressUse(true), error);
#else
    // A restart on a fixed port is not kept waiting by old connections.
    acceptor.set_option(tcp::acceptor::reuse_address(true), error);
#endif
    if (ipv6) acceptor.set_option(asio::ip::v6_only(true), error);
    acceptor.bind(at, error);
    if (error) {
      inUse = error == asio::error::address_in_use;
      return std::nullopt;
    }
    acceptor.listen(asio::socket_base::max_listen_connections, error);
    if (error) return std::nullopt;
    return acceptor;
  }
};

LoopbackServer::LoopbackServer(HeadCheck headCheck, Handler handler, ServerLimits limits)
    : impl_(std::make_unique<Impl>()) {
  impl_->shared.headCheck = std::move(headCheck);
  impl_->shared.handler = std::move(handler);
  impl_->shared.limits = std::move(limits);
}

LoopbackServer::~LoopbackServer() {
  // Windows' sockets wait, on destruction, for every operation still
  // pending; one the system never ends would hang the process on its way
  // out. When serving was cut short, the process is ending: left as it is.
  if (impl_ && impl_->forced) static_cast<void>(impl_.release());
}

bool LoopbackServer::listensOnIpv6() const { return impl_->v6.has_value(); }

bool LoopbackServer::Listen(std::uint16_t port, std::string& error, MessageLanguage language) {
  // A free port for both addresses: the system picks one for 127.0.0.1, and
  // ::1 must take the same; when it is taken there, try another.
  for (int attempt = 0; attempt < 20; ++attempt) {
    bool inUse = false;
    auto v4 = impl_->ListenOn(false, port, inUse);
    if (!v4) {
      error = inUse ? Say(MessageId::kPortInUse, language, {std::to_string(port)})
                    : Say(MessageId::kCannotListen, language);
      return false;
    }
    const std::uint16_t chosen = v4->local_endpoint().port();
    auto v6 = impl_->ListenOn(true, chosen, inUse);
    if (!v6 && inUse && port == 0) continue;
    if (!v6 && inUse) {
      error = Say(MessageId::kPortInUseV6, language, {std::to_string(port)});
      return false;
    }
    // Without IPv6 on the system, 127.0.0.1 alone.
    impl_->v4 = std::move(v4);
    impl_->v6 = std::move(v6);
    port_ = chosen;
    impl_->shared.port = chosen;
    return true;
  }
  error = Say(MessageId::kNoFreePort, language);
  return false;
}

void LoopbackServer::Run(const std::function<void()>& tick) {
  Impl& impl = *impl_;
  Shared& shared = impl.shared;
  shared.workers.emplace(std::max(1u, shared.limits.handlerThreads));
  for (auto* acceptor : {&impl.v4, &impl.v6}) {
    if (*acceptor) Accept(**acceptor, shared);
  }
  impl.ticker.emplace(shared.io);
  Clock::time_point stoppedAt;
  std::function<void()> arm = [&] {
    impl.ticker->expires_after(std::chrono::milliseconds(250));
    impl.ticker->async_wait([&](beast::error_code) {
      if (tick) tick();
      if (!stop_.load()) return arm();
      if (!shared.stopping) {
        // No new requests; those being answered finish.
        shared.stopping = true;
        stoppedAt = Clock::now();
        beast::error_code ignored;
        for (auto* acceptor : {&impl.v4, &impl.v6}) {
          if (*acceptor) (*acceptor)->close(ignored);
        }
        shared.CloseReading();
      }
      if (!shared.AnyOpen()) return;
      // A while for them, but a connection the system does not let go of
      // (seen under Wine: a write to a client that left) does not keep the
      // studio running.
      if (Clock::now() - stoppedAt > shared.limits.stopGrace) {
        impl.forced = true;
        return shared.io.stop();
      }
      arm();
    });
  };
  arm();
  shared.io.run();
  shared.workers->join();
  shared.workers.reset();
  impl.v4.reset();
  impl.v6.reset();
}

std::string AnswerRawRequest(std::string_view bytes, const LoopbackServer::HeadCheck& headCheck,
                             const LoopbackServer::Handler& handler, std::uint16_t port, std::size_t maxHeaderBytes) {
  Parser parser;
  parser.header_limit(static_cast<std::uint32_t>(maxHeaderBytes));
  parser.body_limit(std::numeric_limits<std::uint64_t>::max());
  HttpRequest request;
  std::optional<HttpResponse> response;
  bool judged = false;
  std::size_t used = 0;
  // Not eager: the parser stops after the head, which is judged before the body.
  while (!response) {
    if (parser.is_header_done() && !judged) {
      judged = true;
      HeadDecision decision = Judge(parser, headCheck, port, request);
      if (decision.refusal) {
        response = std::move(decision.refusal);
        break;
      }
      parser.body_limit(decision.maxBodyBytes);
    }
    if (parser.is_done()) break;
    if (used >= bytes.size()) return "";
    beast::error_code error;
    const std::size_t n = parser.put(asio::buffer(bytes.data() + used, bytes.size() - used), error);
    used += n;
    if (error == http::error::need_more) return "";
    if (error) {
      const int status = StatusOfReadError(error);
      if (status == 0) return "";
      response = PlainError(status, Text(MessageId::kRequestMalformed));
    } else if (n == 0) {
      return "";
    }
  }
  if (!response) {
    if (!parser.is_done() || !judged) return "";
    request.body = std::move(parser.get().body());
    response = Handle(handler, request);
  }
  std::ostringstream out;
  out << Wire(std::move(*response), request.method == "HEAD");
  return out.str();
}

}  // namespace qzf::studio
