#include "studio/loopback_server.h"

#include <gtest/gtest.h>

#include <string>

namespace qzf::studio {
namespace {

constexpr std::uint16_t kPort = 40123;

// A head check that refuses /secret and allows 10 body bytes elsewhere; the
// handler echoes what it was given, counting its calls.
struct Recorder {
  int handled = 0;
  std::string lastBody;
  LoopbackServer::HeadCheck headCheck = [](const HttpRequest& head) {
    HeadDecision decision;
    if (head.path == "/secret") {
      HttpResponse refusal;
      refusal.status = 403;
      refusal.body = "no";
      decision.refusal = refusal;
    }
    decision.maxBodyBytes = 10;
    return decision;
  };
  LoopbackServer::Handler handler = [this](const HttpRequest& request) {
    ++handled;
    lastBody = request.body;
    HttpResponse response;
    response.body = request.method + " " + request.path + " ? " + request.query +
                    " host=" + request.Header("host").value_or("-") + " body=" + request.body;
    return response;
  };
  std::string Answer(const std::string& bytes) { return AnswerRawRequest(bytes, headCheck, handler, kPort); }
};

std::string StatusLine(const std::string& answer) { return answer.substr(0, answer.find("\r\n")); }

TEST(LoopbackServerTest, MalformedAndRefusedRequestsGetTheirStatusWithoutTheHandler) {
  const std::string host = "Host: 127.0.0.1:40123\r\n";
  const std::pair<std::string, const char*> cases[] = {
      {"GET /x HTTP/2.0\r\n" + host + "\r\n", "HTTP/1.1 400 Bad Request"},
      {"GET http://a/x HTTP/1.1\r\n" + host + "\r\n", "HTTP/1.1 400 Bad Request"},
      {"GET /x HTTP/1.1\r\n\r\n", "HTTP/1.1 400 Bad Request"},
      {"GET /x HTTP/1.1\r\n" + host + host + "\r\n", "HTTP/1.1 400 Bad Request"},
      {"GET /x HTTP/1.1\r\n" + host + "X-A : 1\r\n\r\n", "HTTP/1.1 400 Bad Request"},
      {"G(T /x HTTP/1.1\r\n" + host + "\r\n", "HTTP/1.1 400 Bad Request"},
      {"POST /x HTTP/1.1\r\n" + host + "Content-Length: 2\r\nContent-Length: 3\r\n\r\n{}", "HTTP/1.1 400 Bad Request"},
      {"POST /x HTTP/1.1\r\n" + host + "Content-Length: -2\r\n\r\n{}", "HTTP/1.1 400 Bad Request"},
      {"POST /x HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n2\r\n{}\r\n0\r\n\r\n",
       "HTTP/1.1 411 Length Required"},
      {"GET /x HTTP/1.1\r\n" + host + "X-Pad: " + std::string(17000, 'a') + "\r\n\r\n",
       "HTTP/1.1 431 Request Header Fields Too Large"},
      // Refused on the head: the body never has to come.
      {"POST /secret HTTP/1.1\r\n" + host + "Content-Length: 60000000\r\n\r\n", "HTTP/1.1 403 Forbidden"},
      {"POST /x HTTP/1.1\r\n" + host + "Content-Length: 11\r\n\r\n", "HTTP/1.1 413 Payload Too Large"},
  };
  for (const auto& [bytes, status] : cases) {
    Recorder recorder;
    EXPECT_EQ(StatusLine(recorder.Answer(bytes)), status) << bytes.substr(0, 60);
    EXPECT_EQ(recorder.handled, 0) << bytes.substr(0, 60);
  }
}

TEST(LoopbackServerTest, WholeRequestsReachTheHandlerAndIncompleteOnesDoNot) {
  Recorder recorder;
  const std::string head = "POST /a/b?x=1&y=%20 HTTP/1.1\r\nHost: [::1]:40123\r\nContent-Length: 10\r\n\r\n";
  const std::string answer = recorder.Answer(head + "0123456789");
  EXPECT_EQ(StatusLine(answer), "HTTP/1.1 200 OK");
  EXPECT_NE(answer.find("\r\n\r\nPOST /a/b ? x=1&y=%20 host=[::1]:40123 body=0123456789"), std::string::npos) << answer;
  EXPECT_NE(answer.find("Connection: close\r\n"), std::string::npos);
  EXPECT_NE(answer.find("X-Content-Type-Options: nosniff\r\n"), std::string::npos);
  // Cut anywhere short of the whole: no answer, no handler.
  Recorder cut;
  for (const std::size_t length : {std::size_t{0}, std::size_t{5}, head.size() - 1, head.size(), head.size() + 9})
    EXPECT_EQ(cut.Answer((head + "0123456789").substr(0, length)), "") << length;
  EXPECT_EQ(cut.handled, 0);
  // HTTP/1.0 needs no Host.
  EXPECT_EQ(StatusLine(recorder.Answer("GET / HTTP/1.0\r\n\r\n")), "HTTP/1.1 200 OK");
}

TEST(LoopbackServerTest, HeadGetsTheLengthButNoBody) {
  Recorder recorder;
  const std::string answer = recorder.Answer("HEAD /page HTTP/1.1\r\nHost: 127.0.0.1:40123\r\n\r\n");
  const std::string expectedBody = "HEAD /page ?  host=127.0.0.1:40123 body=";
  EXPECT_NE(answer.find("Content-Length: " + std::to_string(expectedBody.size()) + "\r\n"), std::string::npos)
      << answer;
  EXPECT_EQ(answer.substr(answer.find("\r\n\r\n") + 4), "");
}

}  // namespace
}  // namespace qzf::studio
