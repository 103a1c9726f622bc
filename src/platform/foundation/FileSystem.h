#pragma once

#include <string>
#include <sys/types.h>

namespace velmora::FileSystem {

// The user's home folder: $HOME, else the account's, else /tmp.
std::string homeFolder();
// The user's settings folder: $VELMORA_USER_LIBRARY, else $XDG_CONFIG_HOME, else ~/.config.
std::string userLibraryFolder();
// The machine-wide settings folder: $VELMORA_SYSTEM_LIBRARY, else /var/lib/velmora.
std::string systemLibraryFolder();

bool exists(const std::string& path);
bool isFolder(const std::string& path);
// A regular file, or a link that leads to one: not a folder, a FIFO or a device, whose reading
// could block for ever or never end.
bool isRegularFile(const std::string& path);
// Creates the folder and any missing parents with the given permissions (not narrowed by the
// process umask). True when the folder exists afterwards.
bool createFolder(const std::string& path, mode_t mode);

// Moves a file or folder into the user's freedesktop.org trash, with its .trashinfo record.
// True on success; the item is left where it was on failure.
bool moveToTrash(const std::string& path, std::string* error = nullptr);
// The trash folder used by moveToTrash: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
std::string trashFolder();

// The Finder's invisible flag, kept in the extended attribute user.com.apple.FinderInfo.
bool isInvisible(const std::string& path);
bool setInvisible(const std::string& path, bool invisible);

} // namespace velmora::FileSystem
