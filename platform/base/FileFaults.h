// FileFaults: the file layer's test seam. A test installs a hook that answers, for each step the layer is about
// to take, an errno value that makes the step fail as the file system would have (0 lets it happen). Tests run as
// root in CI, where permission bits stop no write; through this seam a read-only file, a read-only folder or a
// full disk fail there too, on the same code paths a real one takes.
//
// Steps and the path each is asked about:
//   CreateIn  making a new file, temporary or not (the folder it is made in)
//   Modify    writing into or truncating an existing file, or reporting it writable (the file)
//   Reserve   reserving room on the disk for the text a file written in place is about to get (the file)
//   Write     putting bytes into a file being written (the file the bytes are meant for)
//   Own       giving a temporary file the owner and group of the file it replaces (the file)
//   Attributes  giving a temporary file the extended attributes of the file it replaces, its access ACL among them
//             (the file); a failure writes the file in place, as where the process may not set one
//   Flush     making a written file durable before its write is reported done or its temporary file takes the
//             file's name (the file), and making the folder's entries durable after that (the folder)
//   Replace   putting a written temporary file in the place of the target (the target)
//   TakeFreeName  giving a fresh file its name only where that name is free, by a rename that refuses to replace
//             (the name); EINVAL answers as a file system without that rename does, and the save then takes the
//             name by a hard link, as it does there
//   Remove    deleting a file, also a save's temporary file as a failed save removes it (the file)
//   Open      opening an existing file for reading (the file)
//   Read      taking the next bytes from a file being read (the file); a test may also change the file here, as
//             another program would while it is read
#pragma once

#include <functional>
#include <string>

namespace plat {

enum class FileStep {
  CreateIn, Modify, Reserve, Write, Own, Flush, Replace, TakeFreeName, Remove, Open, Read, Attributes
};

using FileFaultHook = std::function<int(FileStep step, const std::string& path)>;

// Installs the hook (an empty one removes it) and returns the previous one. Process-wide.
FileFaultHook SetFileFaultHook(FileFaultHook hook);

// The errno value the hook answers for the step, 0 without a hook.
int FileFault(FileStep step, const std::string& path);
// Whether a hook is installed: a caller that must not allocate (a destructor) builds the step's path only then.
bool FileFaultHookInstalled() noexcept;

// Ready-made hooks for tests. Paths are compared as given after removing trailing slashes.
// A folder in which nothing can be made or deleted (EACCES); its files can still be written.
FileFaultHook ReadOnlyFolderFaults(std::string folder);
// A file that may not be written (EACCES).
FileFaultHook ReadOnlyFileFaults(std::string file);
// Every reservation of room and every write of bytes fails with ENOSPC.
FileFaultHook FullDiskFaults();

// Installs a hook for a scope and puts the previous one back at its end.
class FileFaultScope {
 public:
  explicit FileFaultScope(FileFaultHook hook) : previous_(SetFileFaultHook(std::move(hook))) {}
  ~FileFaultScope() { SetFileFaultHook(std::move(previous_)); }
  FileFaultScope(const FileFaultScope&) = delete;
  FileFaultScope& operator=(const FileFaultScope&) = delete;

 private:
  FileFaultHook previous_;
};

}  // namespace plat
