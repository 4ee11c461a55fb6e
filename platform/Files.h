#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

// The C library's EOF macro would swallow the member EOF() below. <cstdio>
// is included first so its include guard is spent and the macro cannot come
// back; code that needs the C constant can use std::char_traits<char>::eof().
#ifdef EOF
#undef EOF
#endif

#include "platform/Object.h"

namespace fw {

class TextInputStream;
class Sound;
class Picture;

// An item in the file system, existing or not.
class FolderItem : public Object {
public:
    explicit FolderItem(std::string path);
    std::string ClassName() const override { return "FolderItem"; }

    const std::string& NativePath() const { return m_path; }
    std::string Name() const;
    bool Exists() const;
    bool Directory() const;
    // The item for `name` inside this folder, whether or not it exists.
    std::shared_ptr<FolderItem> Child(const std::string& name) const;
    // nullptr for the root.
    std::shared_ptr<FolderItem> Parent() const;
    // True when the item is gone afterwards.
    [[nodiscard]] bool Delete() const;
    // Replaces `destination` with this item in one step (rename); on failure
    // both stay as they were.
    [[nodiscard]] bool MoveTo(const FolderItem& destination) const;

    // nullptr when the item is absent, a folder, or cannot be opened.
    std::shared_ptr<TextInputStream> OpenAsTextFile() const;
    // nullptr when the item is missing or holds no playable sound.
    std::shared_ptr<Sound> OpenAsSound() const;

private:
    std::string m_path;
};

// Reads lines; LF, CRLF and CR all end a line. A file is read as the lines
// are asked for, a buffer at a time, so memory follows the longest line read
// rather than the size of the file.
class TextInputStream : public Object {
public:
    // Over the bytes of memory.
    explicit TextInputStream(std::string bytes);
    ~TextInputStream() override;
    std::string ClassName() const override { return "TextInputStream"; }

    // True at the end of the text, after Close, and once reading has failed.
    bool EOF();
    // The same test under a name no macro can touch.
    bool Eof() { return EOF(); }
    // The next line without its line end; "" at the end.
    std::string ReadLine();
    // The next line, or nullopt when it is longer than `maxBytes` or the file
    // could not be read; the stream is then at its end and Failed().
    [[nodiscard]] std::optional<std::string> ReadLine(size_t maxBytes);
    // True when a read failed or a line was too long.
    bool Failed() const { return m_failed; }
    void Close();

private:
    friend class FolderItem;
    // Over an open file, which the stream then owns.
    explicit TextInputStream(int fd);
    // Makes sure unread bytes are buffered; false at the end or on failure.
    bool Fill();
    // Whether the line that goes on past the buffer ends within `room` more
    // bytes of the file, read ahead without being kept; the file is then put
    // back where it was. True when that cannot be told (the file cannot seek);
    // false too when it cannot be put back.
    bool LineEndsWithin(size_t room);
    void Release();

    int m_fd = -1;
    std::string m_buffer;
    size_t m_pos = 0;
    // The last line ended in CR: a LF that follows belongs to it.
    bool m_afterCr = false;
    bool m_ended = false;
    bool m_failed = false;
};

// Writes lines ending in "\n".
class TextOutputStream : public Object {
public:
    ~TextOutputStream() override;
    std::string ClassName() const override { return "TextOutputStream"; }

    // A new, empty text file; nullptr when it cannot be created.
    static std::shared_ptr<TextOutputStream> Create(const FolderItem& file);
    // A text file that takes the place of `file` in one step when it is
    // closed: the lines go to a new file of a unique name in the same folder,
    // created exclusively (never through a link), which Close renames over
    // `file`. Where `file` is a link, the file at the end of its links is
    // replaced and the link stays. The new file keeps the old one's
    // permissions (0600 for a first one). nullptr when the new file cannot
    // be created.
    static std::shared_ptr<TextOutputStream> CreateReplacing(const FolderItem& file);

    void WriteLine(const std::string& text);
    // True when every byte reached the file (and, for a replacing stream,
    // the file took its place; otherwise the new file is removed and the old
    // one stays as it was).
    [[nodiscard]] bool Close();

private:
    TextOutputStream() = default;
    struct State;
    std::unique_ptr<State> m_state;
};

namespace SpecialFolder {
// The XDG config folder (~/.config, or $XDG_CONFIG_HOME), created when missing.
std::shared_ptr<FolderItem> Preferences();
}

// The application's executable file.
std::shared_ptr<FolderItem> ApplicationExecutable();
// "Resources", the child of the parent of the executable's folder; nullptr
// when it does not exist.
std::shared_ptr<FolderItem> ResourcesFolder();

} // namespace fw
