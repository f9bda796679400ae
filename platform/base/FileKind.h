// What is under a path's whole name, for one that must tell a regular file from the rest before it writes or
// deletes there (the classic attributes call a FIFO or a device a file). In the module's path dialect.
#pragma once

#include <optional>

namespace plat {

enum class FileKind { Regular, Folder, Link, Other };
enum class Links { Follow, Keep };

// With Links::Follow the kind of the file a link leads to, with Links::Keep that of the name itself (a link is a
// Link). nullopt (with errno) when nothing can be looked at there: ENOENT for nothing, ENAMETOOLONG for a name the
// file system does not take, ...
std::optional<FileKind> KindOf(const char* path, Links links);

// Removes the file under `path`'s whole name where it is a regular file, and answers what was there: Regular for
// the file removed, else the kind left as it is (the name itself is judged: a link is a Link, whatever it leads to).
// The path is walked once to the folder of its last name, and the name is judged and removed in that folder, only
// while it still holds the very file judged: a folder on the way exchanged for a link after the look never turns
// the removal to another folder's file, nor a FIFO or a device put under the name meanwhile to that. nullopt (with
// errno) where nothing was removed for a fault: ENOENT for nothing there, EBUSY for another file under the name by
// the removal, EACCES for a link of another user on the way in a folder every user may write, ...
std::optional<FileKind> RemoveRegularFile(const char* path);

}  // namespace plat
