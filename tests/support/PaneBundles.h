#pragma once

#include "support/TempDir.h"

#include <filesystem>
#include <string>

namespace velmora::test {

// A plug-in bundle in a temporary folder, put together piece by piece: its Info.plist, the
// resources the manager reads, and pane bundles made of the test panes the build produced.
class PluginBundleBuilder {
public:
    explicit PluginBundleBuilder(const TempDir& dir, std::string name = "Press.plugin")
        : _dir(dir), _root(std::move(name)) {}

    std::string path() const { return _dir / _root; }
    std::string resources() const { return path() + "/Contents/Resources"; }

    // Info.plist with the bundle's name and the given entries; miscellaneous.plist names the
    // panes tree "PanesTree" and the bundle PPD "PressInfo".
    PluginBundleBuilder& info(const std::string& entries) {
        _dir.write(_root + "/Contents/Info.plist",
                   "<plist><dict><key>CFBundleName</key><string>Press</string>" + entries +
                       "</dict></plist>");
        _dir.write(_root + "/Contents/Resources/miscellaneous.plist",
                   "<plist><dict><key>Press</key><dict><key>panesTreeFileName</key>"
                   "<string>PanesTree</string><key>ppdFileName</key><string>PressInfo</string>"
                   "</dict></dict></plist>");
        return *this;
    }
    PluginBundleBuilder& resource(const std::string& name, const std::string& content) {
        _dir.write(_root + "/Contents/Resources/" + name, content);
        return *this;
    }
    PluginBundleBuilder& encryptionLibrary() {
        std::filesystem::copy_file(std::string(VELMORA_PLUGIN_RESOURCES) + "/libencryption.so",
                                   resources() + "/libencryption.so");
        return *this;
    }
    // A pane bundle PlugIns/<name>.bundle whose object is the test pane built as object, with
    // NSPrincipalClass className and further Info.plist entries.
    PluginBundleBuilder& pane(const std::string& name, const std::string& object,
                              const std::string& className, const std::string& entries = "") {
        std::string contents = _root + "/Contents/PlugIns/" + name + ".bundle/Contents";
        _dir.write(contents + "/Info.plist",
                   "<plist><dict><key>CFBundleExecutable</key><string>" + object +
                       ".so</string><key>NSPrincipalClass</key><string>" + className +
                       "</string><key>VelmoraTestName</key><string>" + name + "</string>" +
                       entries + "</dict></plist>");
        std::filesystem::create_directories(_dir / (contents + "/Linux"));
        std::filesystem::copy_file(std::string(VELMORA_TEST_PANES) + "/" + object + ".so",
                                   _dir / (contents + "/Linux/" + object + ".so"));
        return *this;
    }

private:
    const TempDir& _dir;
    std::string _root;
};

// A panes tree node naming a plug-in: <dict><key>bundleName</key><string>…</string></dict>
inline std::string paneNode(const std::string& bundleName) {
    return "<dict><key>bundleName</key><string>" + bundleName + "</string></dict>";
}

inline std::string panesTree(const std::string& nodes) {
    return "<plist><dict><key>items</key><array>" + nodes + "</array></dict></plist>";
}

} // namespace velmora::test
