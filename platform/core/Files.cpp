#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {

namespace fs = std::filesystem;

namespace {

// Relative paths are taken from the current folder once, so Parent() can
// always climb; "/a/b/" and "/a/b" name the same item; the root keeps its one
// slash.
std::string NormalisedPath(const std::string& given)
{
    std::string path = given;
    if (!given.empty() && given[0] != '/') {
        std::error_code ec;
        fs::path absolute = fs::absolute(fs::path(given), ec);
        if (!ec)
            path = absolute.string();
    }
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

FolderItem::FolderItem(std::string path)
    : m_path(NormalisedPath(path))
{
}

std::string FolderItem::Name() const
{
    size_t slash = m_path.rfind('/');
    return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

bool FolderItem::Exists() const
{
    std::error_code ec;
    return !m_path.empty() && fs::exists(m_path, ec);
}

bool FolderItem::Directory() const
{
    std::error_code ec;
    return !m_path.empty() && fs::is_directory(m_path, ec);
}

std::shared_ptr<FolderItem> FolderItem::Child(const std::string& name) const
{
    // Joined as text: std::filesystem's operator/ would let an absolute name
    // replace the folder altogether.
    if (m_path == "/")
        return std::make_shared<FolderItem>("/" + name);
    return std::make_shared<FolderItem>(m_path + "/" + name);
}

std::shared_ptr<FolderItem> FolderItem::Parent() const
{
    if (m_path.empty() || m_path == "/")
        return nullptr;
    size_t slash = m_path.rfind('/');
    if (slash == std::string::npos)
        return nullptr;
    return std::make_shared<FolderItem>(slash == 0 ? std::string("/") : m_path.substr(0, slash));
}

bool FolderItem::Delete() const
{
    if (m_path.empty())
        return false;
    std::error_code ec;
    fs::remove(m_path, ec);
    // remove() takes a file, a symbolic link or an empty folder; a folder with
    // contents stays, and the result says so.
    std::error_code statusError;
    return fs::symlink_status(m_path, statusError).type() == fs::file_type::not_found;
}

bool FolderItem::MoveTo(const FolderItem& destination) const
{
    if (m_path.empty() || destination.m_path.empty())
        return false;
    // rename(2) swaps the destination in one step; across file systems it
    // fails and leaves both items untouched, which is what callers want
    // rather than a half-finished copy.
    std::error_code ec;
    fs::rename(m_path, destination.m_path, ec);
    return !ec;
}

std::shared_ptr<TextInputStream> FolderItem::OpenAsTextFile() const
{
    if (m_path.empty())
        return nullptr;
    int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    // Only regular files: a FIFO or a device could block or never end, and a
    // settings file that hangs start-up is worse than a missing one.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::shared_ptr<TextInputStream>(new TextInputStream(fd));
}

namespace {

constexpr size_t kReadChunk = 64 * 1024;

} // namespace

TextInputStream::TextInputStream(std::string bytes)
    : m_buffer(std::move(bytes))
{
}

TextInputStream::TextInputStream(int fd)
    : m_fd(fd)
{
}

TextInputStream::~TextInputStream()
{
    Release();
}

void TextInputStream::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_ended = true;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_pos = 0;
}

bool TextInputStream::Fill()
{
    for (;;) {
        if (m_ended)
            return false;
        if (m_pos < m_buffer.size()) {
            if (!m_afterCr)
                return true;
            m_afterCr = false;
            if (m_buffer[m_pos] == '\n')
                ++m_pos;
            continue;
        }
        if (m_fd < 0) {
            Release();
            return false;
        }
        m_buffer.resize(kReadChunk);
        m_pos = 0;
        ssize_t got = ::read(m_fd, m_buffer.data(), kReadChunk);
        if (got < 0 && errno == EINTR) {
            m_buffer.clear();
            continue;
        }
        if (got <= 0) {
            if (got < 0)
                m_failed = true;
            Release();
            return false;
        }
        m_buffer.resize(size_t(got));
    }
}

bool TextInputStream::EOF()
{
    return !Fill();
}

std::string TextInputStream::ReadLine()
{
    return ReadLine(std::string::npos).value_or(std::string());
}

std::optional<std::string> TextInputStream::ReadLine(size_t maxBytes)
{
    std::string line;
    if (!Fill())
        return m_failed ? std::nullopt : std::optional<std::string>(line);
    for (;;) {
        const char* data = m_buffer.data();
        const size_t n = m_buffer.size();
        // The line ends at the first CR or LF; memchr scans many bytes a step.
        const char* stop = data + n;
        if (const void* lf = std::memchr(data + m_pos, '\n', n - m_pos))
            stop = static_cast<const char*>(lf);
        if (const void* cr = std::memchr(data + m_pos, '\r', size_t(stop - (data + m_pos))))
            stop = static_cast<const char*>(cr);
        const size_t end = size_t(stop - data);
        // Too long to be what the caller reads: stop here rather than hold
        // any more of it. A line that goes on past the buffer is first read
        // ahead for its end, so one that is too long is never held at all.
        if (end - m_pos > maxBytes - line.size()
            || (end == n && line.empty() && maxBytes != std::string::npos
                && !LineEndsWithin(maxBytes - (end - m_pos)))) {
            m_failed = true;
            Release();
            return std::nullopt;
        }
        line.append(data + m_pos, end - m_pos);
        if (end < n) {
            m_afterCr = data[end] == '\r';
            m_pos = end + 1;
            return line;
        }
        m_pos = n;
        if (!Fill())
            return m_failed ? std::nullopt : std::optional<std::string>(std::move(line));
    }
}

bool TextInputStream::LineEndsWithin(size_t room)
{
    if (m_fd < 0)
        return true;
    const off_t start = ::lseek(m_fd, 0, SEEK_CUR);
    if (start < 0)
        return true;
    // A line longer than the caller takes is refused without being held, and
    // without the memory it would take to hold it up to the bound.
    std::string ahead(kReadChunk, '\0');
    bool ends = false;
    for (;;) {
        const ssize_t got = ::read(m_fd, ahead.data(), ahead.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            // The end of the file ends the line; a read error shows again
            // when the line is read.
            ends = true;
            break;
        }
        // A line end among the next room + 1 bytes ends the line in time.
        const size_t bytes = size_t(got);
        const size_t within = std::min(bytes, room + 1);
        if (std::memchr(ahead.data(), '\n', within) || std::memchr(ahead.data(), '\r', within)) {
            ends = true;
            break;
        }
        if (bytes > room)
            break;
        room -= bytes;
    }
    // Not put back, the file can no longer be read in order: a failed read.
    if (::lseek(m_fd, start, SEEK_SET) != start)
        return false;
    return ends;
}

void TextInputStream::Close()
{
    Release();
}

struct TextOutputStream::State {
    int Fd = -1;
    bool Failed = false;
    bool Closed = false;
    std::string Pending;
    // For a replacing stream: the new file's name and the file it replaces.
    std::string TempPath;
    std::string TargetPath;
};

namespace {

constexpr size_t kFlushAt = 64 * 1024;

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote > 0)
            done += size_t(wrote);
        else if (wrote < 0 && errno == EINTR)
            continue;
        else
            return false;
    }
    return true;
}

} // namespace

TextOutputStream::~TextOutputStream()
{
    if (m_state)
        (void)Close();
}

std::shared_ptr<TextOutputStream> TextOutputStream::Create(const FolderItem& file)
{
    const std::string& path = file.NativePath();
    if (path.empty())
        return nullptr;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    std::shared_ptr<TextOutputStream> stream(new TextOutputStream());
    stream->m_state = std::make_unique<State>();
    stream->m_state->Fd = fd;
    return stream;
}

namespace {

// Links a chain may pass through before it counts as a circle, as the
// kernel counts them.
constexpr int kMostLinks = 40;

// The file `path` names once its links are followed, whether or not that
// file exists yet; "" when the links go round in a circle or one cannot be
// read.
std::string FinalTarget(const std::string& path)
{
    std::string current = path;
    for (int links = 0; links <= kMostLinks; ++links) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::error_code ec;
        fs::path next = fs::read_symlink(current, ec);
        if (ec || next.empty())
            return "";
        // A relative link counts from the folder that holds it.
        if (next.is_relative())
            next = fs::path(current).parent_path() / next;
        current = NormalisedPath(next.string());
    }
    return "";
}

} // namespace

std::shared_ptr<TextOutputStream> TextOutputStream::CreateReplacing(const FolderItem& file)
{
    // A file kept as a link (to a dotfile, say) stays one: the file behind
    // the link is replaced, in its own folder, and the link is left alone.
    const std::string path = FinalTarget(file.NativePath());
    if (path.empty() || path == "/")
        return nullptr;
    // mkostemp creates the file with O_CREAT | O_EXCL under a name nobody
    // could have guessed, so a link planted in the folder is never followed
    // and no other file is written through.
    std::string name = path + ".XXXXXX";
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    // The new file keeps the old one's permissions; a first one is the
    // owner's alone (mkostemp's 0600). The new file is ours, so the change
    // cannot be refused.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        (void)::fchmod(fd, old.st_mode & 0777);
    std::shared_ptr<TextOutputStream> stream(new TextOutputStream());
    stream->m_state = std::make_unique<State>();
    stream->m_state->Fd = fd;
    stream->m_state->TempPath = name;
    stream->m_state->TargetPath = path;
    return stream;
}

void TextOutputStream::WriteLine(const std::string& text)
{
    State& state = *m_state;
    if (state.Closed || state.Failed)
        return;
    state.Pending += text;
    state.Pending.push_back('\n');
    if (state.Pending.size() >= kFlushAt) {
        if (!WriteAll(state.Fd, state.Pending))
            state.Failed = true;
        state.Pending.clear();
    }
}

bool TextOutputStream::Close()
{
    State& state = *m_state;
    if (state.Closed)
        return !state.Failed;
    state.Closed = true;
    if (!state.Failed && !state.Pending.empty() && !WriteAll(state.Fd, state.Pending))
        state.Failed = true;
    state.Pending.clear();
    // EINVAL and EROFS mean the file cannot be synchronised at all (a device,
    // say), not that written data was lost.
    if (!state.Failed && ::fsync(state.Fd) != 0 && errno != EINVAL && errno != EROFS)
        state.Failed = true;
    if (::close(state.Fd) != 0 && errno != EINTR)
        state.Failed = true;
    state.Fd = -1;
    if (!state.TempPath.empty()) {
        if (!state.Failed && ::rename(state.TempPath.c_str(), state.TargetPath.c_str()) != 0)
            state.Failed = true;
        if (state.Failed) {
            ::unlink(state.TempPath.c_str());
        } else {
            // The rename itself lives in the folder: sync it too, where the
            // file system allows, so the new name survives a crash.
            std::string folder = fs::path(state.TargetPath).parent_path().string();
            int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dir >= 0) {
                (void)::fsync(dir);
                ::close(dir);
            }
        }
        state.TempPath.clear();
    }
    return !state.Failed;
}

namespace SpecialFolder {

std::shared_ptr<FolderItem> Preferences()
{
    std::string path;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (xdg && xdg[0] == '/') {
        path = xdg;
    } else {
        std::string home;
        if (const char* env = std::getenv("HOME"); env && env[0] == '/') {
            home = env;
        } else if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) {
            home = entry->pw_dir;
        }
        if (home.empty())
            return nullptr;
        path = home + "/.config";
    }
    std::error_code ec;
    fs::create_directories(path, ec);
    if (!fs::is_directory(path, ec))
        return nullptr;
    return std::make_shared<FolderItem>(path);
}

} // namespace SpecialFolder

std::shared_ptr<FolderItem> ApplicationExecutable()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty())
        return nullptr;
    return std::make_shared<FolderItem>(exe.string());
}

std::shared_ptr<FolderItem> ResourcesFolder()
{
    auto exe = ApplicationExecutable();
    if (!exe)
        return nullptr;
    auto bin = exe->Parent();
    auto app = bin ? bin->Parent() : nullptr;
    if (!app)
        return nullptr;
    auto resources = app->Child("Resources");
    return resources->Directory() ? resources : nullptr;
}

} // namespace fw
