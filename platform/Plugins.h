#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Object.h"

namespace fw {

class Picture;

// A plug-in library loaded from the application folder. Its functions are
// found by the texts of their declarations. A loaded library stays loaded
// until the process ends: pictures it made may still run its code.
class PluginLibrary : public Object {
public:
    PluginLibrary(std::string name, std::string path, void* handle);
    std::string ClassName() const override { return "PluginLibrary"; }

    const std::string& Name() const { return m_name; }
    const std::string& Path() const { return m_path; }
    // The function registered under exactly this declaration; raises
    // PluginLoadException naming the declaration when there is none.
    void* Function(const std::string& declaration) const;
    // Every declaration the library registers, in its order.
    std::vector<std::string> Declarations() const;

private:
    std::string m_name;
    std::string m_path;
    void* m_handle;
};

// The folders searched for plug-in libraries, in order: the application
// folder's lib/ (the parent of the executable's folder), then the build's
// lib/ folder.
std::vector<std::string> PluginFolders();

// Loads lib<name>.so from the first plug-in folder that has it (once per
// run; later calls give the same library) and gives it the framework's
// services. Raises PluginLoadException naming the library when it is missing
// or cannot be loaded.
std::shared_ptr<PluginLibrary> LoadPluginLibrary(const std::string& name);

// Pictures crossing the plug-in boundary. A plug-in's result becomes a
// picture (nullptr stays nil); a picture is passed to a plug-in as a pointer
// valid while the picture lives.
std::shared_ptr<Picture> PictureFromPlugin(void* result);
const void* PictureForPlugin(const Picture& picture);

} // namespace fw
