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

}  // namespace plat
