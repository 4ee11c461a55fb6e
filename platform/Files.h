#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
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

// Reads lines; LF, CRLF and CR all end a line.
class TextInputStream : public Object {
public:
    // Over the bytes of a file or of memory.
    explicit TextInputStream(std::string bytes);
    std::string ClassName() const override { return "TextInputStream"; }

    bool EOF() const;
    // The same test under a name no macro can touch.
    bool Eof() const { return EOF(); }
    // The next line without its line end; "" at the end.
    std::string ReadLine();
    void Close();

private:
    std::string m_bytes;
    size_t m_pos = 0;
};

// Writes lines ending in "\n".
class TextOutputStream : public Object {
public:
    ~TextOutputStream() override;
    std::string ClassName() const override { return "TextOutputStream"; }

    // A new, empty text file; nullptr when it cannot be created.
    static std::shared_ptr<TextOutputStream> Create(const FolderItem& file);

    void WriteLine(const std::string& text);
    // True when every byte reached the file.
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
