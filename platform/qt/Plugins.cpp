#include "platform/Plugins.h"

#include <dlfcn.h>

#include <algorithm>
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
    throw PluginLoadException("The plug-in library \"" + m_name + "\" has no function \"" + declaration + "\".");
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

std::vector<std::string> PluginFolders()
{
    std::vector<std::string> folders;
    const std::string exeFolder = ExecutableFolder();
    if (!exeFolder.empty())
        folders.push_back((std::filesystem::path(exeFolder).parent_path() / "lib").string());
#ifdef TAVRINE_BUILD_LIB_DIR
    if (std::find(folders.begin(), folders.end(), TAVRINE_BUILD_LIB_DIR) == folders.end())
        folders.emplace_back(TAVRINE_BUILD_LIB_DIR);
#endif
    return folders;
}

std::shared_ptr<PluginLibrary> LoadPluginLibrary(const std::string& name)
{
    auto& loaded = Loaded();
    if (auto found = loaded.find(name); found != loaded.end())
        return found->second;

    const std::string fileName = "lib" + name + ".so";
    std::string looked;
    for (const std::string& folder : PluginFolders()) {
        const std::string path = (std::filesystem::path(folder) / fileName).string();
        looked += (looked.empty() ? "" : ", ") + folder;
        if (!std::filesystem::exists(path))
            continue;
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = dlerror();
            throw PluginLoadException("The plug-in library \"" + fileName + "\" could not be loaded: "
                + (why ? why : "unknown error"));
        }
        if (!EntriesOf(handle))
            throw PluginLoadException("The plug-in library \"" + fileName + "\" lists no functions.");
        if (auto attach = reinterpret_cast<PluginAttachFunction>(dlsym(handle, TAVRINE_PLUGIN_ATTACH)))
            attach(&Host());
        auto library = std::make_shared<PluginLibrary>(name, path, handle);
        loaded.emplace(name, library);
        return library;
    }
    throw PluginLoadException("The plug-in library \"" + fileName + "\" is missing (looked in " + looked + ").");
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
