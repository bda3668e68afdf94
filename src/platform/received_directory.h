// Whether the host handed over the active panel's directory whole. The Windows host keeps the
// process in that directory, and hands the module its text in the OEM code page, cut to its
// field and with each character the page lacks replaced ('?', or a look-alike letter): the
// system's own record of the process's directory tells such a text from the directory it stands
// for. Elsewhere texts come unconverted and no directory outgrows the host's field, so the
// system has nothing to add.
#pragma once

enum ReceivedDirectory {
    // The process is elsewhere, or the system cannot say.
    kDirectoryUnknown,
    kDirectoryWhole,
    // The text is the start of the directory the process is in.
    kDirectoryCut,
    // The text is the directory the process is in, with characters the page lacks replaced.
    kDirectoryReplaced,
};

#ifdef _WIN32
ReceivedDirectory VelmoraReceivedDirectory(const char* dir);
#else
inline ReceivedDirectory VelmoraReceivedDirectory(const char*) {
    return kDirectoryUnknown;
}
#endif
