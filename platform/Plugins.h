#pragma once

#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "platform/Object.h"
#include "platform/plugins/PluginTable.h"

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
    // Raises PluginLoadException naming the library and every one of these
    // declarations it lacks (or lists without a function).
    void Require(const std::vector<std::string>& declarations) const;

private:
    std::string m_name;
    std::string m_path;
    void* m_handle;
};

// The folders searched for plug-in libraries: only the application folder's
// lib/, beside the folder that holds the executable, so the application
// folder works wherever it is copied and nothing outside it is used.
std::vector<std::string> PluginFolders();

// Loads lib<name>.so from the first plug-in folder that has it (once per
// run; later calls give the same library) and gives it the framework's
// services. Raises PluginLoadException naming the library when it is missing
// or cannot be loaded.
std::shared_ptr<PluginLibrary> LoadPluginLibrary(const std::string& name);

// Binds every function of a plug-in table (PictureFunctions,
// SoundFunctions, ...) from the library by its declaration text. Raises
// PluginLoadException naming the library and what it lacks, so a mismatch
// between the game and a library is an error at load, never a function left
// unbound.
template <class Table>
Table BindPluginTable(const PluginLibrary& library)
{
    std::vector<std::string> declarations;
    std::apply([&](const auto&... slot) { (declarations.emplace_back(slot.declaration), ...); }, Table::Slots());
    library.Require(declarations);
    Table table;
    std::apply(
        [&](const auto&... slot) {
            ((table.*(slot.member) = reinterpret_cast<std::remove_reference_t<decltype(table.*(slot.member))>>(
                  library.Function(slot.declaration))),
                ...);
        },
        Table::Slots());
    return table;
}

// Loads the table's own library and binds the table from it.
template <class Table>
Table LoadPluginTable(const std::string& libraryName = Table::kLibrary)
{
    return BindPluginTable<Table>(*LoadPluginLibrary(libraryName));
}

// Pictures crossing the plug-in boundary. A plug-in's result becomes a
// picture (nullptr stays nil); a picture is passed to a plug-in as a pointer
// valid while the picture lives.
std::shared_ptr<Picture> PictureFromPlugin(void* result);
const void* PictureForPlugin(const Picture& picture);

} // namespace fw
