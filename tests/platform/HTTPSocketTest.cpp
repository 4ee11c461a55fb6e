// The HTTP socket against a server of the test's own on 127.0.0.1: pages of
// any status, the error codes, the body limit, and requests abandoned by
// Disconnect or by closing the owning window.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/HTTPSocket.h"
#include "platform/PropertyList.h"
#include "platform/Window.h"
#include "tests/platform/HTTPSocketTestServer.h"

namespace {

using testserver::Response;

constexpr int32_t WaitLimit = 15000;

struct Page {
    std::string url;
    int32_t status = 0;
    std::shared_ptr<fw::InternetHeaders> headers;
    std::string content;
};

// A socket whose events are recorded.
class SocketTest : public testing::Test {
protected:
    void SetUp() override
    {
        socket = std::make_shared<fw::HTTPSocket>();
        socket->OnPageReceived = [this](fw::HTTPSocket&, const std::string& url, int32_t status,
                                     const std::shared_ptr<fw::InternetHeaders>& headers, const std::string& content) {
            pages.push_back({ url, status, headers, content });
        };
        socket->OnError = [this](fw::HTTPSocket&, int32_t code) { errors.push_back(code); };
    }

    bool Answered() const { return pages.size() + errors.size() > 0; }
    bool WaitForAnswer() { return fw::RunEventLoopUntil([this] { return Answered(); }, WaitLimit); }

    testserver::Server server;
    std::shared_ptr<fw::HTTPSocket> socket;
    std::vector<Page> pages;
    std::vector<int32_t> errors;
};

TEST_F(SocketTest, DeliversThePageWithItsStatusHeadersAndExactBody)
{
    // NUL bytes, CR LF pairs and non-ASCII text must come through unchanged.
    std::string body = std::string("<CurrentVersion>1.4.0</CurrentVersion>\r\n\0tail \xC3\xA9", 47);
    Response response = Response::Page(body);
    response.headers.emplace_back("X-Tavrine-Test", "one two");
    server.Serve("/Updates/tavrine.xml", response);

    socket->Get(server.Url("/Updates/tavrine.xml"));
    // The answer comes from the event loop, never from inside Get.
    EXPECT_FALSE(Answered());
    EXPECT_TRUE(socket->IsConnected());
    ASSERT_TRUE(WaitForAnswer());

    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(pages[0].url, server.Url("/Updates/tavrine.xml"));
    EXPECT_EQ(pages[0].status, 200);
    EXPECT_EQ(pages[0].content, body);
    ASSERT_TRUE(pages[0].headers);
    EXPECT_EQ(pages[0].headers->Value("x-tavrine-test"), "one two");
    EXPECT_EQ(pages[0].headers->Value("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(pages[0].headers->Value("No-Such-Header"), "");
    EXPECT_NE(pages[0].headers->Source().find("X-Tavrine-Test: one two\r\n"), std::string::npos);
    EXPECT_FALSE(socket->IsConnected());

    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], "GET /Updates/tavrine.xml HTTP/1.1");
}

TEST_F(SocketTest, ErrorStatusesAndEmptyBodiesArePagesNotFailures)
{
    server.Serve("/missing", Response::Page("<html>Not here</html>", 404, "Not Found"));
    socket->Get(server.Url("/missing"));
    ASSERT_TRUE(WaitForAnswer());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].status, 404);
    EXPECT_EQ(pages[0].content, "<html>Not here</html>");

    server.Serve("/broken", Response::Page("oops", 500, "Internal Server Error"));
    socket->Get(server.Url("/broken"));
    ASSERT_TRUE(fw::RunEventLoopUntil([this] { return pages.size() == 2; }, WaitLimit));
    EXPECT_EQ(pages[1].status, 500);
    EXPECT_EQ(pages[1].content, "oops");

    server.Serve("/empty", Response::Page(""));
    socket->Get(server.Url("/empty"));
    ASSERT_TRUE(fw::RunEventLoopUntil([this] { return pages.size() == 3; }, WaitLimit));
    EXPECT_EQ(pages[2].status, 200);
    EXPECT_EQ(pages[2].content, "");
    EXPECT_TRUE(errors.empty());
}

TEST_F(SocketTest, ARefusedConnectionAndOneClosedMidBodyGiveCode102)
{
    testserver::RefusingPort refusing;
    socket->Get(refusing.Url("/Updates/tavrine.xml"));
    ASSERT_TRUE(WaitForAnswer());
    EXPECT_EQ(errors, std::vector<int32_t> { fw::HTTPSocket::ConnectionError });
    EXPECT_EQ(fw::HTTPSocket::ConnectionError, 102);

    // A body shorter than announced is a lost connection, not a short page.
    Response cut = Response::Page("<CurrentVersion>1.3.0</CurrentVersion>");
    cut.mode = Response::Mode::CloseMidBody;
    server.Serve("/cut", cut);
    socket->Get(server.Url("/cut"));
    ASSERT_TRUE(fw::RunEventLoopUntil([this] { return errors.size() == 2; }, WaitLimit));
    EXPECT_EQ(errors[1], 102);
    EXPECT_TRUE(pages.empty());
}

TEST_F(SocketTest, BodiesOverOneMebibyteFailWithCode100)
{
    // Announced too long: stopped as soon as the headers are in.
    Response announced = Response::Page(std::string(fw::HTTPSocket::MaxContentLength + 1, 'a'));
    server.Serve("/announced", announced);
    socket->Get(server.Url("/announced"));
    ASSERT_TRUE(WaitForAnswer());
    EXPECT_EQ(errors, std::vector<int32_t> { fw::HTTPSocket::OtherError });

    // No length announced, and far more than the limit streamed: stopped while
    // reading, not after buffering everything.
    Response endless;
    endless.mode = Response::Mode::Stream;
    endless.streamBytes = 64LL * 1024 * 1024;
    server.Serve("/endless", endless);
    socket->Get(server.Url("/endless"));
    ASSERT_TRUE(fw::RunEventLoopUntil([this] { return errors.size() == 2; }, WaitLimit));
    EXPECT_EQ(errors[1], 100);
    EXPECT_TRUE(pages.empty());
    EXPECT_FALSE(socket->IsConnected());
}

TEST_F(SocketTest, ABodyOfExactlyTheLimitIsKept)
{
    Response exact;
    exact.mode = Response::Mode::Stream;
    exact.streamBytes = fw::HTTPSocket::MaxContentLength; // a multiple of the server's slice
    server.Serve("/exact", exact);
    socket->Get(server.Url("/exact"));
    ASSERT_TRUE(WaitForAnswer());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(int64_t(pages[0].content.size()), fw::HTTPSocket::MaxContentLength);
    EXPECT_TRUE(errors.empty());
}

TEST_F(SocketTest, OnlyWebAddressesAreFetched)
{
    // Qt could read local files through the same call; the socket must not.
    for (const char* url : { "file:///etc/hostname", "qrc:/x", "http://", "not a url at all" }) {
        SCOPED_TRACE(url);
        pages.clear();
        errors.clear();
        socket->Get(url);
        EXPECT_FALSE(Answered());
        ASSERT_TRUE(WaitForAnswer());
        EXPECT_EQ(errors, std::vector<int32_t> { 100 });
        EXPECT_TRUE(pages.empty());
    }
}

TEST_F(SocketTest, AbandonedRequestsRaiseNothing)
{
    Response silent;
    silent.mode = Response::Mode::NeverAnswer;
    server.Serve("/silent", silent);
    server.Serve("/page", Response::Page("second"));

    // A second Get replaces the first: only the second one answers.
    socket->Get(server.Url("/silent"));
    ASSERT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldOpen() == 1; }, WaitLimit));
    socket->Get(server.Url("/page"));
    ASSERT_TRUE(WaitForAnswer());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].content, "second");
    EXPECT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldClosedByClient() == 1; }, WaitLimit));

    // Disconnect drops the connection; the server sees it go and the socket
    // reports nothing for it.
    pages.clear();
    socket->Get(server.Url("/silent"));
    ASSERT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldOpen() == 1; }, WaitLimit));
    EXPECT_TRUE(socket->IsConnected());
    socket->Disconnect();
    EXPECT_FALSE(socket->IsConnected());
    EXPECT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldClosedByClient() == 2; }, WaitLimit));
    fw::RunEventLoopUntil([] { return false; }, 100);
    EXPECT_FALSE(Answered());

    // Even a failure that is already on its way to the event loop is dropped.
    socket->Get("file:///etc/hostname");
    socket->Disconnect();
    fw::RunEventLoopUntil([] { return false; }, 100);
    EXPECT_FALSE(Answered());
}

TEST_F(SocketTest, DestroyingTheSocketMidRequestIsSafe)
{
    Response silent;
    silent.mode = Response::Mode::NeverAnswer;
    server.Serve("/silent", silent);
    socket->Get(server.Url("/silent"));
    ASSERT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldOpen() == 1; }, WaitLimit));
    socket.reset();
    EXPECT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldClosedByClient() == 1; }, WaitLimit));
    EXPECT_FALSE(Answered());
}

TEST_F(SocketTest, AHandlerMayReleaseTheSocketAndStartAnotherRequest)
{
    server.Serve("/a", Response::Page("first"));
    server.Serve("/b", Response::Page("second"));
    std::vector<std::string> seen;
    socket->OnPageReceived = [&](fw::HTTPSocket& sender, const std::string&, int32_t,
                                 const std::shared_ptr<fw::InternetHeaders>&, const std::string& content) {
        seen.push_back(content);
        if (content == "first") {
            sender.Get(server.Url("/b"));
        } else {
            // The last reference goes while the handler runs.
            socket.reset();
        }
    };
    socket->Get(server.Url("/a"));
    ASSERT_TRUE(fw::RunEventLoopUntil([&] { return seen.size() == 2; }, WaitLimit));
    EXPECT_EQ(seen, (std::vector<std::string> { "first", "second" }));
    EXPECT_FALSE(socket);
}

// A socket owned by a window: the window's closing stops the request.
class SocketWindow : public fw::Window {
public:
    std::string ClassName() const override { return "Window"; }
};

TEST_F(SocketTest, ClosingTheOwningWindowAbortsTheRequest)
{
    Response silent;
    silent.mode = Response::Mode::NeverAnswer;
    server.Serve("/silent", silent);
    auto window = std::make_shared<SocketWindow>();
    window->Constructor();
    auto owned = window->New<fw::HTTPSocket>();
    window->AddControl(owned, "hp");
    bool raised = false;
    owned->OnPageReceived = [&](fw::HTTPSocket&, const std::string&, int32_t,
                                const std::shared_ptr<fw::InternetHeaders>&, const std::string&) { raised = true; };
    owned->OnError = [&](fw::HTTPSocket&, int32_t) { raised = true; };
    owned->Get(server.Url("/silent"));
    ASSERT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldOpen() == 1; }, WaitLimit));

    window->Close();
    EXPECT_TRUE(fw::RunEventLoopUntil([this] { return server.HeldClosedByClient() == 1; }, WaitLimit));
    fw::RunEventLoopUntil([] { return false; }, 100);
    EXPECT_FALSE(raised);
    EXPECT_FALSE(owned->IsConnected());
}

TEST(HTTPSocketProperties, TheLayoutTableSetsTheSocketsProperties)
{
    fw::HTTPSocket socket;
    fw::PropertyList list;
    list.Text("httpProxyAddress", "proxy.example").Int("httpProxyPort", 8080).Text("Address", "www.example").Int("Port", 80).Bool("yield", true);
    fw::RuntimeMassPropertySetter(socket, list);
    EXPECT_EQ(socket.httpProxyAddress(), "proxy.example");
    EXPECT_EQ(socket.httpProxyPort(), 8080);
    EXPECT_EQ(socket.Address(), "www.example");
    EXPECT_EQ(socket.Port(), 80);
    EXPECT_TRUE(socket.Yield());

    fw::PropertyList unknown;
    unknown.Text("Address", "changed").Int("TimeOut", 5);
    EXPECT_THROW(fw::RuntimeMassPropertySetter(socket, unknown), fw::PropertyListException);
    EXPECT_EQ(socket.Address(), "www.example");
}

TEST(InternetHeadersTest, KeepsOrderAndFindsTheFirstValueIgnoringCase)
{
    fw::InternetHeaders headers;
    headers.AppendHeader("Set-Cookie", "a=1");
    headers.AppendHeader("Content-Type", "text/xml");
    headers.AppendHeader("set-cookie", "b=2");
    EXPECT_EQ(headers.Count(), 3);
    EXPECT_EQ(headers.Name(2), "set-cookie");
    EXPECT_EQ(headers.Value(2), "b=2");
    EXPECT_EQ(headers.Value("SET-COOKIE"), "a=1");
    EXPECT_EQ(headers.Name(3), "");
    EXPECT_EQ(headers.Value(-1), "");
    EXPECT_EQ(headers.Source(), "Set-Cookie: a=1\r\nContent-Type: text/xml\r\nset-cookie: b=2\r\n");
}

} // namespace
