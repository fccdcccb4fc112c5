// The page reads no files, and is linked without Emscripten's file system (-sFILESYSTEM=0),
// whose stand-ins in this Emscripten report success without doing anything (open gives
// descriptor 0, stat an empty record) or fail on a missing helper (read). Here every look for a
// file finds none and every descriptor but the standard streams is a bad one, as the library's
// search for its configuration file expects of a place without it.
mergeInto(LibraryManager.library, {
  __syscall_open: function() { return -{{{ cDefine('ENOENT') }}}; },
  __syscall_stat64: function() { return -{{{ cDefine('ENOENT') }}}; },
  __syscall_readlink: function() { return -{{{ cDefine('ENOENT') }}}; },
  __syscall_unlink: function() { return -{{{ cDefine('ENOENT') }}}; },
  __syscall_getdents64: function() { return -{{{ cDefine('EBADF') }}}; },
  __syscall_dup: function() { return -{{{ cDefine('EBADF') }}}; },
  fd_read: function() { return {{{ cDefine('EBADF') }}}; },
  fd_seek: function() { return {{{ cDefine('EBADF') }}}; },
});
