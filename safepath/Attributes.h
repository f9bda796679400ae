// Attributes: the extended attributes a save by rename carries from the file it replaces to the new file that takes its
// name, so that the save keeps who may read and write the file (its access ACL is the attribute
// "system.posix_acl_access") and what programs noted on it ("user." attributes). Every save by rename goes through
// CopyAttributes: the platform's (AtomicFile, which gives the owner too), and through CopyOwnLooks the field solver's
// cache and its self-test index. This folder uses the C library and the standard library only.
#pragma once

namespace safepath {

// Gives the file open as `to` the extended attributes of the file open as `from` (open for reading: a "user."
// attribute is read only so) as far as this process can list them: each of `from`'s is set on `to` with its value,
// unless `to` holds that value already, and each of `to`'s that `from` lacks is removed (an access ACL the folder's
// default ACL gave the new file, where the old file has none). Called after the new file got its mode: the access ACL
// then sets the group bits to its mask, where a mode set after it would set the mask to the group bits.
//
// Neither carried nor removed: "security.capability" (the privileges a program file grants, which the kernel drops at
// every write of a file: new bytes never gain them), "security.ima" and "security.evm" (the kernel's own digests of a
// file's bytes and looks, which it keeps for the new file itself). "trusted." attributes are listed to a privileged
// process alone, and so carried by its saves only.
//
// 0, or the errno value of the first attribute that could not be listed, read, set or removed (EPERM for a "security."
// attribute this process may not set, EACCES for a "user." one of a file it may not read): the caller then keeps the
// old file, written in place. A file system that keeps no attributes has none to carry.
int CopyAttributes(int from, int to);

// For a save that replaces the file open as `from` (for reading) by the new file open as `to` and gives no file
// another owner: where `from` is a regular file of this user's own, `to` gets its mode and then its attributes
// (CopyAttributes); any other file gives nothing, and the new file stays this user's as its making made it (0666 less
// the umask, or the folder's default ACL). 0, or the errno value of the step that failed: the save then keeps the old
// file.
int CopyOwnLooks(int from, int to);

}  // namespace safepath
