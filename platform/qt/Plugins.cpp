#include "platform/Plugins.h"

#include <dlfcn.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <mutex>

#include "platform/Exceptions.h"
#include "platform/Picture.h"
#include "platform/pictures/PictureData.h"
#include "platform/qt/PictureImpl.h"

namespace fw {

namespace {

const PluginEntry* EntriesOf(void* handle)
{
    auto entries = reinterpret_cast<PluginEntriesFunction>(dlsym(handle, TAVRINE_PLUGIN_ENTRIES));
    return entries ? entries() : nullptr;
}

std::string ExecutableFolder()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

std::map<std::string, std::shared_ptr<PluginLibrary>>& Loaded()
{
    static std::map<std::string, std::shared_ptr<PluginLibrary>> libraries;
    return libraries;
}

// What the framework offers every plug-in library.
const PictureHost& Host()
{
    static const PictureHost host = [] {
        PictureHost h;
        h.captureScreen = &CaptureScreenForPlugin;
        return h;
    }();
    return host;
}

} // namespace

PluginLibrary::PluginLibrary(std::string name, std::string path, void* handle)
    : m_name(std::move(name))
    , m_path(std::move(path))
    , m_handle(handle)
{
}

void* PluginLibrary::Function(const std::string& declaration) const
{
    if (const PluginEntry* entry = EntriesOf(m_handle)) {
        for (; entry->declaration; ++entry) {
            if (declaration == entry->declaration && entry->function)
                return entry->function;
        }
    }
    Require({ declaration });
    return nullptr;
}

std::vector<std::string> PluginLibrary::Declarations() const
{
    std::vector<std::string> declarations;
    if (const PluginEntry* entry = EntriesOf(m_handle)) {
        for (; entry->declaration; ++entry)
            declarations.emplace_back(entry->declaration);
    }
    return declarations;
}

void PluginLibrary::Require(const std::vector<std::string>& declarations) const
{
    std::vector<std::string> missing;
    for (const std::string& declaration : declarations) {
        bool found = false;
        if (const PluginEntry* entry = EntriesOf(m_handle)) {
            for (; entry->declaration && !found; ++entry)
                found = declaration == entry->declaration && entry->function;
        }
        if (!found)
            missing.push_back(declaration);
    }
    if (missing.empty())
        return;
    std::string list;
    for (const std::string& declaration : missing)
        list += (list.empty() ? "\"" : ", \"") + declaration + "\"";
    throw PluginLoadException("The plug-in library " + m_path + " lacks the function"
        + (missing.size() > 1 ? "s " : " ") + list
        + " that the game needs, so it does not belong to this version of the game. "
          "Install the lib folder that came with this game.");
}

std::vector<std::string> PluginFolders()
{
    const std::string exeFolder = ExecutableFolder();
    if (exeFolder.empty())
        return {};
    return { (std::filesystem::path(exeFolder).parent_path() / "lib").string() };
}

std::shared_ptr<PluginLibrary> LoadPluginLibrary(const std::string& name)
{
    auto& loaded = Loaded();
    if (auto found = loaded.find(name); found != loaded.end())
        return found->second;

    const std::string fileName = "lib" + name + ".so";
    const auto folders = PluginFolders();
    for (const std::string& folder : folders) {
        const std::string path = (std::filesystem::path(folder) / fileName).string();
        if (!std::filesystem::exists(path))
            continue;
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = dlerror();
            throw PluginLoadException("The plug-in library " + path + " could not be loaded: "
                + (why ? why : "unknown error")
                + ". Install the libraries it needs, or the lib folder that came with this game.");
        }
        if (!EntriesOf(handle))
            throw PluginLoadException("The file " + path
                + " is not a plug-in library of this game: it lists no functions. "
                  "Install the lib folder that came with this game.");
        if (auto attach = reinterpret_cast<PluginAttachFunction>(dlsym(handle, TAVRINE_PLUGIN_ATTACH)))
            attach(&Host());
        auto library = std::make_shared<PluginLibrary>(name, path, handle);
        loaded.emplace(name, library);
        return library;
    }
    const std::string where = folders.empty() ? std::string("the game's lib folder (the game cannot tell where it is)")
                                              : folders.front();
    throw PluginLoadException("The plug-in library " + fileName + " is missing: it is not in " + where
        + ". The game looks for its libraries only in the folder lib beside the folder bin that holds it; "
          "install the whole application folder, with bin, lib and Resources side by side.");
}

std::shared_ptr<Picture> PictureFromPlugin(void* result)
{
    std::unique_ptr<PictureData> data(static_cast<PictureData*>(result));
    if (!data || data->stored.isNull())
        return nullptr;
    return PictureImpl::Adopt(std::move(*data));
}

const void* PictureForPlugin(const Picture& picture)
{
    return &picture.Impl().Data();
}

} // namespace fw
