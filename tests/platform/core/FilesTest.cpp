#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/Files.h"

using namespace fw;
using namespace std::string_literals;
namespace stdfs = std::filesystem;

namespace {

class FilesTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tavrine-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        stdfs::remove_all(m_dir, ignored);
    }

    std::string PathOf(const std::string& name) const { return m_dir + "/" + name; }

    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }

    std::string Read(const std::string& name) const
    {
        std::ifstream in(PathOf(name), std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    static std::vector<std::string> AllLines(TextInputStream& stream)
    {
        std::vector<std::string> lines;
        while (!stream.EOF())
            lines.push_back(stream.ReadLine());
        EXPECT_EQ(stream.ReadLine(), "") << "reading past the end gives nothing";
        EXPECT_FALSE(stream.Failed());
        return lines;
    }

    // The lines of `bytes`, read from memory and from a file, which must
    // agree.
    std::vector<std::string> Lines(const std::string& bytes) const
    {
        TextInputStream stream(bytes);
        std::vector<std::string> lines = AllLines(stream);
        Write("lines", bytes);
        auto file = FolderItem(PathOf("lines")).OpenAsTextFile();
        EXPECT_NE(file, nullptr);
        if (file) {
            EXPECT_EQ(AllLines(*file), lines) << "read from a file";
        }
        return lines;
    }

    std::string m_dir;
};

using Lines_ = std::vector<std::string>;

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

} // namespace

TEST_F(FilesTest, ItemsNameClimbAndDescend)
{
    FolderItem folder(m_dir + "/");
    EXPECT_EQ(folder.NativePath(), m_dir) << "a trailing slash names the same item";
    EXPECT_TRUE(folder.Directory());
    auto child = folder.Child("tavrine2.txt");
    EXPECT_EQ(child->NativePath(), m_dir + "/tavrine2.txt");
    EXPECT_EQ(child->Name(), "tavrine2.txt");
    EXPECT_FALSE(child->Exists()) << "a child may name an item that is not there";
    EXPECT_EQ(child->Parent()->NativePath(), m_dir);
    EXPECT_EQ(FolderItem("/").Child("tmp")->NativePath(), "/tmp");

    auto item = child;
    int steps = 0;
    while (auto parent = item->Parent()) {
        item = parent;
        ASSERT_LT(++steps, 50);
    }
    EXPECT_EQ(item->NativePath(), "/");

    // A relative path is taken from the current folder.
    FolderItem relative("relative-name");
    EXPECT_EQ(relative.NativePath(), stdfs::current_path().string() + "/relative-name");
    EXPECT_NE(relative.Parent(), nullptr);
}

TEST_F(FilesTest, DeleteReportsWhetherTheItemIsGone)
{
    Write("file", "x");
    FolderItem file(PathOf("file"));
    EXPECT_TRUE(file.Exists());
    EXPECT_FALSE(file.Directory());
    EXPECT_TRUE(file.Delete());
    EXPECT_FALSE(file.Exists());
    EXPECT_TRUE(file.Delete()) << "an item that is not there is gone";

    stdfs::create_directory(PathOf("full"));
    Write("full/inside", "x");
    EXPECT_FALSE(FolderItem(PathOf("full")).Delete()) << "a folder with contents stays";
    EXPECT_TRUE(stdfs::exists(PathOf("full/inside")));
    stdfs::create_directory(PathOf("empty"));
    EXPECT_TRUE(FolderItem(PathOf("empty")).Delete());
}

TEST_F(FilesTest, MoveToReplacesTheDestinationOrChangesNothing)
{
    Write("new", "new settings\n");
    Write("old", "old settings\n");
    ASSERT_TRUE(FolderItem(PathOf("new")).MoveTo(FolderItem(PathOf("old"))));
    EXPECT_EQ(Read("old"), "new settings\n");
    EXPECT_FALSE(stdfs::exists(PathOf("new")));

    EXPECT_FALSE(FolderItem(PathOf("old")).MoveTo(FolderItem(PathOf("missing/dest"))));
    EXPECT_EQ(Read("old"), "new settings\n");
    EXPECT_FALSE(FolderItem(PathOf("absent")).MoveTo(FolderItem(PathOf("old"))));
    EXPECT_EQ(Read("old"), "new settings\n");
}

TEST_F(FilesTest, TextLinesEndAtLfCrlfOrCr)
{
    EXPECT_EQ(Lines("a\nb\nc"), (Lines_ { "a", "b", "c" }));
    EXPECT_EQ(Lines("a\r\nb\r\n"), (Lines_ { "a", "b" }));
    EXPECT_EQ(Lines("a\rb\r"), (Lines_ { "a", "b" }));
    EXPECT_EQ(Lines("#a 1\n#b 2\r\n'c\r#d 4"), (Lines_ { "#a 1", "#b 2", "'c", "#d 4" }));
    EXPECT_EQ(Lines("x\n"), (Lines_ { "x" })) << "a final line end adds no empty line";
    EXPECT_EQ(Lines("a\n\nb"), (Lines_ { "a", "", "b" }));
    EXPECT_EQ(Lines("a\r\n\r\nb"), (Lines_ { "a", "", "b" }));
    EXPECT_EQ(Lines("\r\r"), (Lines_ { "", "" }));
    EXPECT_EQ(Lines("\n\r"), (Lines_ { "", "" })) << "LF then CR is two line ends";
    EXPECT_EQ(Lines("\n"), (Lines_ { "" }));
    EXPECT_EQ(Lines(""), (Lines_ {}));
    // The bytes are the text: a byte-order mark, NULs and damaged UTF-8 stay.
    EXPECT_EQ(Lines("\xEF\xBB\xBF#x\0y\xFF\n"s), (Lines_ { "\xEF\xBB\xBF#x\0y\xFF"s }));

    TextInputStream stream("a\nb\n");
    stream.ReadLine();
    stream.Close();
    EXPECT_TRUE(stream.EOF());
    EXPECT_EQ(stream.ReadLine(), "");
}

TEST_F(FilesTest, OpenAsTextFileReadsRegularFilesOnly)
{
    Write("settings", "#Window1Position 120,-40\r\n#UseRotation True");
    auto stream = FolderItem(PathOf("settings")).OpenAsTextFile();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->ReadLine(), "#Window1Position 120,-40");
    EXPECT_EQ(stream->ReadLine(), "#UseRotation True");
    EXPECT_TRUE(stream->EOF());

    Write("empty", "");
    auto empty = FolderItem(PathOf("empty")).OpenAsTextFile();
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->EOF());

    EXPECT_EQ(FolderItem(PathOf("absent")).OpenAsTextFile(), nullptr);
    EXPECT_EQ(FolderItem(m_dir).OpenAsTextFile(), nullptr);
    ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0600), 0);
    EXPECT_EQ(FolderItem(PathOf("fifo")).OpenAsTextFile(), nullptr) << "a pipe would block start-up";
    if (geteuid() != 0) {
        Write("locked", "x");
        chmod(PathOf("locked").c_str(), 0);
        EXPECT_EQ(FolderItem(PathOf("locked")).OpenAsTextFile(), nullptr);
    }
}

TEST_F(FilesTest, ATenMegabyteLineComesBackWhole)
{
    std::string line(10 * 1024 * 1024, 'q');
    line[12345] = '\xFF';
    Write("big", line + "\r\nend");
    auto stream = FolderItem(PathOf("big")).OpenAsTextFile();
    ASSERT_NE(stream, nullptr);
    std::string first = stream->ReadLine();
    EXPECT_EQ(first.size(), line.size());
    EXPECT_TRUE(first == line);
    EXPECT_EQ(stream->ReadLine(), "end");
    EXPECT_TRUE(stream->EOF());
}

TEST_F(FilesTest, AFileIsReadAsTheLinesAreAskedFor)
{
    // Line ends on both sides of the reader's buffer edges, whatever its
    // size: a CR and its LF split between two reads is still one line end.
    for (size_t edge : { size_t(4096), size_t(65536), size_t(1) << 20 }) {
        for (const char* end : { "\r\n", "\r", "\n" }) {
            for (size_t shift : { 0, 1, 2 }) {
                std::string first(edge - shift, 'a');
                std::string bytes = first + end + "#b" + end + end + "c";
                EXPECT_EQ(Lines(bytes), (Lines_ { first, "#b", "", "c" })) << edge << " " << shift;
            }
        }
    }

    // A line over the caller's bound ends reading without being held.
    Write("long", "#short\n" + std::string(300000, 'x') + "\n#after\n");
    auto stream = FolderItem(PathOf("long")).OpenAsTextFile();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->ReadLine(100), std::optional<std::string>("#short"));
    EXPECT_FALSE(stream->Failed());
    EXPECT_EQ(stream->ReadLine(200000), std::nullopt);
    EXPECT_TRUE(stream->Failed());
    EXPECT_TRUE(stream->EOF());
    EXPECT_EQ(stream->ReadLine(), "");
    // Lines longer than the buffer but within the bound come whole, up to
    // the bound exactly, whether a line end or the file's end ends them.
    const std::string wide(200000, 'y');
    Write("wide", wide + "\r\n#next\n" + wide + "z");
    auto wideStream = FolderItem(PathOf("wide")).OpenAsTextFile();
    ASSERT_NE(wideStream, nullptr);
    EXPECT_EQ(wideStream->ReadLine(wide.size()), std::optional<std::string>(wide));
    EXPECT_EQ(wideStream->ReadLine(5), std::optional<std::string>("#next"));
    EXPECT_EQ(wideStream->ReadLine(wide.size() + 1), std::optional<std::string>(wide + "z"));
    EXPECT_TRUE(wideStream->EOF());
    EXPECT_FALSE(wideStream->Failed());
    TextInputStream exact("abc\nabcd");
    EXPECT_EQ(exact.ReadLine(3), std::optional<std::string>("abc"));
    EXPECT_EQ(exact.ReadLine(3), std::nullopt) << "a last line without its end counts too";
}

TEST_F(FilesTest, WrittenLinesReadBackExactly)
{
    Write("out", "older and much longer contents\n");
    FolderItem file(PathOf("out"));
    auto out = TextOutputStream::Create(file);
    ASSERT_NE(out, nullptr);
    out->WriteLine("#Window1Position -12,300");
    out->WriteLine("");
    out->WriteLine("#\xC3\x84 \xFF");
    EXPECT_TRUE(out->Close());
    EXPECT_TRUE(out->Close()) << "closing again keeps the answer";
    EXPECT_EQ(Read("out"), "#Window1Position -12,300\n\n#\xC3\x84 \xFF\n") << "Create truncates";

    // More than one buffer's worth, and a stream closed by its destructor.
    {
        auto many = TextOutputStream::Create(file);
        ASSERT_NE(many, nullptr);
        for (int i = 0; i < 20000; ++i)
            many->WriteLine("line " + std::to_string(i));
    }
    auto in = file.OpenAsTextFile();
    ASSERT_NE(in, nullptr);
    int count = 0;
    while (!in->EOF())
        ASSERT_EQ(in->ReadLine(), "line " + std::to_string(count++));
    EXPECT_EQ(count, 20000);
}

TEST_F(FilesTest, WriteFailuresAreReported)
{
    EXPECT_EQ(TextOutputStream::Create(FolderItem(PathOf("missing/out.txt"))), nullptr);
    EXPECT_EQ(TextOutputStream::Create(FolderItem(m_dir)), nullptr);

    // /dev/full takes the open but refuses every byte.
    auto small = TextOutputStream::Create(FolderItem("/dev/full"));
    ASSERT_NE(small, nullptr);
    small->WriteLine("#UseRotation True");
    EXPECT_FALSE(small->Close());
    EXPECT_FALSE(small->Close());

    auto large = TextOutputStream::Create(FolderItem("/dev/full"));
    ASSERT_NE(large, nullptr);
    for (int i = 0; i < 10000; ++i)
        large->WriteLine(std::string(100, 'x'));
    EXPECT_FALSE(large->Close());

    // A device that takes data but cannot be synchronised is not a failure.
    auto null = TextOutputStream::Create(FolderItem("/dev/null"));
    ASSERT_NE(null, nullptr);
    null->WriteLine("x");
    EXPECT_TRUE(null->Close());
}

TEST_F(FilesTest, PreferencesFollowXdgAndAreCreated)
{
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", PathOf("config/deeper").c_str());
        auto prefs = SpecialFolder::Preferences();
        ASSERT_NE(prefs, nullptr);
        EXPECT_EQ(prefs->NativePath(), PathOf("config/deeper"));
        EXPECT_TRUE(prefs->Directory());
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "relative/ignored");
        ScopedEnv home("HOME", m_dir.c_str());
        auto prefs = SpecialFolder::Preferences();
        ASSERT_NE(prefs, nullptr);
        EXPECT_EQ(prefs->NativePath(), PathOf(".config"));
        EXPECT_TRUE(prefs->Directory());
    }
    {
        Write("blocker", "x");
        ScopedEnv xdg("XDG_CONFIG_HOME", PathOf("blocker").c_str());
        EXPECT_EQ(SpecialFolder::Preferences(), nullptr);
    }
}

TEST_F(FilesTest, TheApplicationFindsItsOwnFolders)
{
    auto exe = ApplicationExecutable();
    ASSERT_NE(exe, nullptr);
    EXPECT_EQ(exe->Name(), "core_tests");
    EXPECT_TRUE(exe->Exists());
    // The build lays the tests out like the application: bin/ beside Resources/.
    auto resources = ResourcesFolder();
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(resources->NativePath(), exe->Parent()->Parent()->NativePath() + "/Resources");
}
