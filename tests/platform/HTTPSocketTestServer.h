#pragma once

// A small HTTP server for tests: it listens on 127.0.0.1 on a free port, in a
// background thread, and answers each path the way a test set up. Every wait
// in it is bounded, so a test that goes wrong fails instead of hanging.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testserver {

struct Response {
    enum class Mode {
        Complete, // status line, headers and the whole body, then close
        CloseMidBody, // announces twice the body's length, sends the body, closes
        NeverAnswer, // reads the request and says nothing until the client goes
        Stream, // no length announced; sends StreamBytes bytes of 'x', then closes
    };
    Mode mode = Mode::Complete;
    int status = 200;
    std::string reason = "OK";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    bool announceLength = true;
    int64_t streamBytes = 0;

    static Response Page(std::string body, int status = 200, std::string reason = "OK")
    {
        Response r;
        r.body = std::move(body);
        r.status = status;
        r.reason = std::move(reason);
        r.headers.emplace_back("Content-Type", "text/xml");
        return r;
    }
};

class Server {
public:
    Server()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 16);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Run(); });
    }

    ~Server()
    {
        m_stop = true;
        m_thread.join();
        for (int fd : m_held)
            ::close(fd);
        ::close(m_listener);
    }

    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    int Port() const { return m_port; }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

    void Serve(const std::string& path, Response response)
    {
        std::lock_guard lock(m_mutex);
        m_routes[path] = std::move(response);
    }

    // The request lines received so far ("GET /path HTTP/1.1").
    std::vector<std::string> Requests() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    // The full text of the last request.
    std::string LastRequest() const
    {
        std::lock_guard lock(m_mutex);
        return m_lastRequest;
    }
    // How many connections held without an answer the client has closed.
    int HeldClosedByClient() const { return m_heldClosed; }
    int HeldOpen() const { return m_heldOpen; }

private:
    void Run()
    {
        while (!m_stop) {
            std::vector<pollfd> fds;
            fds.push_back({ m_listener, POLLIN, 0 });
            for (int fd : m_held)
                fds.push_back({ fd, POLLIN, 0 });
            if (::poll(fds.data(), fds.size(), 20) <= 0)
                continue;
            for (size_t i = 1; i < fds.size(); ++i) {
                if (!fds[i].revents)
                    continue;
                char buffer[512];
                if (::recv(fds[i].fd, buffer, sizeof buffer, MSG_DONTWAIT) <= 0) {
                    ::close(fds[i].fd);
                    m_held.erase(std::find(m_held.begin(), m_held.end(), fds[i].fd));
                    --m_heldOpen;
                    ++m_heldClosed;
                }
            }
            if (fds[0].revents & POLLIN) {
                int client = ::accept(m_listener, nullptr, nullptr);
                if (client >= 0)
                    Handle(client);
            }
        }
    }

    void Handle(int client)
    {
        // No send or receive waits longer than two seconds.
        timeval limit { 2, 0 };
        ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            request.append(buffer, size_t(n));
        }
        std::string line = request.substr(0, request.find("\r\n"));
        std::string path;
        size_t firstBlank = line.find(' ');
        if (firstBlank != std::string::npos)
            path = line.substr(firstBlank + 1, line.find(' ', firstBlank + 1) - firstBlank - 1);
        Response response = Response::Page("no such page", 404, "Not Found");
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(line);
            m_lastRequest = request;
            auto it = m_routes.find(path);
            if (it != m_routes.end())
                response = it->second;
        }

        if (response.mode == Response::Mode::NeverAnswer) {
            m_held.push_back(client);
            ++m_heldOpen;
            return;
        }

        std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
        for (const auto& [name, value] : response.headers)
            head += name + ": " + value + "\r\n";
        if (response.mode == Response::Mode::CloseMidBody)
            head += "Content-Length: " + std::to_string(response.body.size() * 2 + 10) + "\r\n";
        else if (response.mode == Response::Mode::Complete && response.announceLength)
            head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
        head += "Connection: close\r\n\r\n";
        bool ok = SendAll(client, head);
        if (ok && response.mode == Response::Mode::Stream) {
            std::string chunk(16384, 'x');
            for (int64_t sent = 0; ok && sent < response.streamBytes && !m_stop; sent += int64_t(chunk.size()))
                ok = SendAll(client, chunk);
        } else if (ok) {
            SendAll(client, response.body);
        }
        ::shutdown(client, SHUT_WR);
        // Let the client read what was sent before the connection goes.
        pollfd wait { client, POLLIN, 0 };
        while (::poll(&wait, 1, 200) > 0 && ::recv(client, buffer, sizeof buffer, 0) > 0) {
        }
        ::close(client);
    }

    static bool SendAll(int fd, const std::string& data)
    {
        size_t done = 0;
        while (done < data.size()) {
            ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            done += size_t(n);
        }
        return true;
    }

    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    mutable std::mutex m_mutex;
    std::map<std::string, Response> m_routes;
    std::vector<std::string> m_requests;
    std::string m_lastRequest;
    std::vector<int> m_held;
    std::atomic<int> m_heldClosed { 0 };
    std::atomic<int> m_heldOpen { 0 };
};

// A port on 127.0.0.1 that refuses connections: bound, never listening, and
// kept bound so no other program takes it while the test runs.
class RefusingPort {
public:
    RefusingPort()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~RefusingPort() { ::close(m_fd); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace testserver
